#include "MainForm.h"
#include "ui_MainForm.h"

#include "AboutProgram.h"
#include "FormExtraDocData.h"
#include "FormOptions.h"
#include "DeviceNumbers.h"
#include "ExchangeSpeeds.h"
#include "FormPay.h"
#include "FormPurchase.h"
#include "FormSale.h"
#include "FormTaxes.h"
#include "FormTextDoc.h"
#include "FormVoidItem.h"
#include "FormVoidPurchase.h"
#include "Seams.h"
#include "StatusLine.h"
#include "ViewMenu.h"
#include "dlgBaudRate.h"
#include "dlgExtraInfo2.h"
#include "dlgEKLZ.h"
#include "dlgInfo.h"
#include "dlgLineDisplay.h"
#include "dlgPaymentMeans.h"
#include "dlgPrintDocumentMode.h"
#include "dlgStatus.h"
#include "FormReports.h"

#include <QCloseEvent>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {

// Opens a window of the main window's family modally, owned by the main window, after `prepare`
// has set what the window must know before it loads. The window lives for this one opening.
template <typename Window, typename Prepare> void showOwned(MainForm& owner, Prepare prepare)
{
    Window window(owner);
    prepare(window);
    forms::showModal(window, &owner);
}

template <typename Window> void showOwned(MainForm& owner)
{
    showOwned<Window>(owner, [](Window&) {});
}

} // namespace

MainForm::MainForm(std::shared_ptr<Driver> driver, QWidget* parent)
    : forms::Loadable<QMainWindow>(parent), ui(std::make_unique<Ui::MainForm>()),
      m_driver(std::move(driver))
{
    ui->setupUi(this);
    Option1 = {nullptr,       ui->Option1_1, ui->Option1_2, ui->Option1_3, ui->Option1_4,
               ui->Option1_5, ui->Option1_6, ui->Option1_7, ui->Option1_8, ui->Option1_9};

    connect(ui->CmdOpenSession, &QPushButton::clicked, this, &MainForm::CmdOpenSession_Click);
    connect(ui->CmdCloseSession, &QPushButton::clicked, this, &MainForm::CmdCloseSession_Click);
    connect(ui->CmdOpenDrawer, &QPushButton::clicked, this, &MainForm::CmdOpenDrawer_Click);
    connect(ui->CmdPrintDuplicate, &QPushButton::clicked, this, &MainForm::CmdPrintDuplicate_Click);
    connect(ui->CmdDeviceData, &QPushButton::clicked, this, &MainForm::CmdDeviceData_Click);
    connect(ui->CmdGetExtendedError, &QPushButton::clicked, this,
            &MainForm::CmdGetExtendedError_Click);
    connect(ui->CmdOpenDoc, &QPushButton::clicked, this, &MainForm::CmdOpenDoc_Click);
    connect(ui->mnBaudRate, &QAction::triggered, this, &MainForm::mnBaudRate_Click);
    connect(ui->CmdClose, &QPushButton::clicked, this, &MainForm::CmdClose_Click);
    connect(ui->CmdStatus, &QPushButton::clicked, this, &MainForm::CmdStatus_Click);
    connect(ui->CmdExtraInfo, &QPushButton::clicked, this, &MainForm::CmdExtraInfo_Click);
    connect(ui->CmdSettings, &QPushButton::clicked, this, &MainForm::CmdSettings_Click);
    connect(ui->CmdTaxes, &QPushButton::clicked, this, &MainForm::CmdTaxes_Click);
    connect(ui->CmdReports, &QPushButton::clicked, this, &MainForm::CmdReports_Click);
    connect(ui->cmdInfo, &QPushButton::clicked, this, &MainForm::cmdInfo_Click);
    connect(ui->CmdEKLZ, &QPushButton::clicked, this, &MainForm::CmdEKLZ_Click);
    connect(ui->CmdExtraDocData, &QPushButton::clicked, this, &MainForm::CmdExtraDocData_Click);
    connect(ui->CmdPaymentMeans, &QPushButton::clicked, this, &MainForm::CmdPaymentMeans_Click);
    connect(ui->CmdLineDisplay, &QPushButton::clicked, this, &MainForm::CmdLineDisplay_Click);
    connect(ui->CmdPrintDocumentCopyMode, &QPushButton::clicked, this,
            &MainForm::CmdPrintDocumentCopyMode_Click);
    // The menu "Вид" beside "Команды": windows that follow the device and the calls.
    new view::ViewMenu(*this, m_driver.get(), exchangeSpeedName);
    // The last menu, as everywhere.
    QMenu* help = menuBar()->addMenu(u"&Справка"_s);
    help->setObjectName(u"mnHelp"_s);
    QAction* about = help->addAction(u"&О программе"_s);
    about->setObjectName(u"mnAbout"_s);
    connect(about, &QAction::triggered, this, &MainForm::mnAbout_Click);
}

MainForm::~MainForm() = default;

QString MainForm::sessionClerk() const
{
    return ui->TxtSessClerkID->text();
}

QString MainForm::clerkId() const
{
    return ui->TxtClerkID->text();
}

void MainForm::SetStatus(const QString& text)
{
    forms::setStatus(ui->StatusText, text);
}

void MainForm::showResult(Driver::Result r)
{
    SetStatus(forms::statusText(m_driver->GetErrorComment(r)));
}

void MainForm::Form_Load()
{
    refreshCounters();
    m_MajorVersion = m_driver->GetDeviceInfo(DeviceInfo::MajorVersion);
    m_MinorVersion = m_driver->GetDeviceInfo(DeviceInfo::MinorVersion);
    enableByGeneration();

    bSessionOpen = m_driver->GetDeviceInfo(DeviceInfo::ShiftOpen) != 0;
    SetStatus(QString());
    if (bSessionOpen)
        showShift(true);
    else
        ui->CmdPrintDuplicate->setEnabled(false);
}

void MainForm::enableByGeneration()
{
    if (m_MajorVersion < 4) {
        ui->CmdExtraInfo->setEnabled(false);
        ui->CmdEKLZ->setEnabled(false);
        // Older devices have no text document without a number.
        Option1[DocumentType::UnnumberedText]->setEnabled(false);
    }
    if (m_MajorVersion < 3)
        ui->CmdExtraDocData->setEnabled(false);

    // The EKLZ and the customer display buttons share one place; the generation picks one.
    const bool eklz = (m_MajorVersion == 4 && m_MinorVersion != 3) || m_MajorVersion >= 5;
    ui->CmdEKLZ->setVisible(eklz);
    ui->CmdLineDisplay->setVisible(!eklz);
}

void MainForm::showShift(bool open)
{
    bSessionOpen = open;
    ui->CmdOpenSession->setEnabled(!open);
    ui->CmdCloseSession->setEnabled(open);
    ui->CmdOpenDoc->setEnabled(open);
}

void MainForm::readShiftState()
{
    const bool open = m_driver->GetDeviceInfo(DeviceInfo::ShiftOpen) != 0;
    showShift(open);
    // As after an opening; a closing leaves the duplicate as it was.
    if (open)
        ui->CmdPrintDuplicate->setEnabled(true);
}

void MainForm::refreshCounters()
{
    SetStatus(u"Получение данных..."_s);
    ui->TxtSessionsCount->setText(QString::number(m_driver->GetDeviceInfo(DeviceInfo::Shifts)));
    ui->TxtAllDocs->setText(QString::number(m_driver->GetDeviceInfo(DeviceInfo::AllDocuments)));
    ui->TxtFscDocs->setText(QString::number(m_driver->GetDeviceInfo(DeviceInfo::FiscalDocuments)));
    ui->TxtNFiscDocs->setText(
        QString::number(m_driver->GetDeviceInfo(DeviceInfo::NonFiscalDocuments)));
    ui->TxtItogSale->setText(m_driver->GetTextDeviceInfo(TextInfo::SalesTotal));
    SetStatus(QString());
}

void MainForm::CmdDeviceData_Click()
{
    refreshCounters();
}

void MainForm::CmdOpenSession_Click()
{
    const auto registerNumber = m_fields.strictInt32(ui->TxtSessPosIS, u"N кассы"_s);
    if (!registerNumber)
        return;
    SetStatus(u"Открытие смены..."_s);
    const Driver::Result r = m_driver->StartSession(ui->TxtSessClerkID->text(), *registerNumber);
    showResult(r);
    if (r != 0) {
        if (forms::refusedForShiftState(r))
            readShiftState();
        return;
    }
    showShift(true);
    ui->CmdPrintDuplicate->setEnabled(true);
}

void MainForm::CmdCloseSession_Click()
{
    SetStatus(u"Закрытие смены..."_s);
    const Driver::Result r = m_driver->EndSession();
    showResult(r);
    // The duplicate stays as it was: the last receipt can still be repeated after the close.
    if (r == 0) {
        showShift(false);
        return;
    }
    if (forms::refusedForShiftState(r))
        readShiftState();
    offerToCancelOpenDocument();
}

void MainForm::CmdOpenDrawer_Click()
{
    SetStatus(u"Открытие ящика..."_s);
    Driver::Result r = m_driver->SetClerk(ui->TxtSessClerkID->text());
    if (r == 0)
        r = m_driver->OpenDrawer();
    showResult(r);
}

void MainForm::CmdPrintDuplicate_Click()
{
    SetStatus(u"Печать дубликата чека..."_s);
    showResult(m_driver->PrintDuplicate());
}

void MainForm::CmdGetExtendedError_Click()
{
    const std::int32_t code = m_driver->GetErrorCode2();
    ui->ExtendedErrorCodeText->setText(QString::number(code));
    ui->ExtendedErrorText->setText(m_driver->GetErrorComment2(code));
}

void MainForm::mnBaudRate_Click()
{
    dlgBaudRate dialog;
    forms::showModal(dialog, this);
    if (!dialog.bOk)
        return;
    SetStatus(u"Установка скорости обмена..."_s);
    showResult(m_driver->SetDeviceOpt(DeviceOption::Speed, dialog.Index));
}

void MainForm::mnAbout_Click()
{
    forms::showMessage(this, aboutText(aboutFacts(*m_driver, m_MajorVersion, m_MinorVersion)),
                       u"О программе"_s);
}

int MainForm::selectedDocumentType() const
{
    for (int type = DocumentType::First; type <= DocumentType::Last; ++type) {
        if (Option1[type]->isChecked())
            return type;
    }
    return DocumentType::None;
}

void MainForm::sendExtraDocData()
{
    // The version is compared whole: an absurd answer must not wrap round into a small one.
    const std::int32_t major = m_driver->GetDeviceInfo(DeviceInfo::MajorVersion);
    if (major < 3)
        return;
    SetStatus(u"Дополнительные данные документа..."_s);
    const Driver::Result r =
        major < 4
            ? m_driver->SetExtraDocData(m_lValDesc42, m_lValDesc81, m_lValDesc82, m_sValDesc80)
            : m_driver->SetExtraDocData2(m_sValDesc42, m_sValDesc81, m_sValDesc82, m_sValDesc80);
    // The document is opened all the same; the next status replaces this one.
    showResult(r);
}

void MainForm::CmdOpenDoc_Click()
{
    const int type = selectedDocumentType();
    const QString order = ui->TXTCustomerID->text();
    const QString cashier = ui->TxtClerkID->text();
    const auto section = m_fields.strictInt16(ui->TxtSection, u"N Отдела"_s);
    if (!section)
        return;
    m_nSection = *section;

    sendExtraDocData();

    SetStatus(u"Открытие документа..."_s);
    const Driver::Result r = m_driver->StartDocument(type, m_nSection, order, cashier);
    // A refusal stays in the status line: a document left open by a window closed from its frame
    // is refused here with the device's own words.
    showResult(r);
    if (r != 0) {
        // A shift closed or opened elsewhere (a Z report, another program on the same device)
        // must not leave the buttons offering what the device refuses.
        if (forms::refusedForShiftState(r))
            readShiftState();
        offerToCancelOpenDocument();
        return;
    }
    openDocumentWindow(type);
}

void MainForm::offerToCancelOpenDocument()
{
    // A document window closed by its frame leaves its document open on the device, and no
    // window is left to end it; without this the shift could never be closed again.
    if (m_driver->GetDeviceInfo(DeviceInfo::DocumentOpen) == 0)
        return;
    if (forms::askYesNo(this, u"На устройстве открыт документ. Отменить его?"_s) !=
        forms::Answer::Yes)
        return;
    SetStatus(u"Отмена документа..."_s);
    showResult(m_driver->CancelDocument());
}

void MainForm::openDocumentWindow(int type)
{
    const auto cashCaption = [](const QString& caption) {
        return [caption](FormPay& window) { window.setWindowTitle(caption); };
    };
    const auto textDocument = [type](FormTextDoc& window) { window.m_DocumentType = type; };
    switch (type) {
    case DocumentType::Sale:
        showOwned<FormSale>(*this);
        break;
    case DocumentType::SaleAnnulment:
        showOwned<FormVoidItem>(*this);
        break;
    case DocumentType::Text:
    case DocumentType::UnnumberedText:
        showOwned<FormTextDoc>(*this, textDocument);
        break;
    case DocumentType::CashIn:
        showOwned<FormPay>(*this, cashCaption(u"Внесение"_s));
        break;
    case DocumentType::CashOut:
        showOwned<FormPay>(*this, cashCaption(u"Выплата"_s));
        break;
    case DocumentType::ReturnPayout:
        showOwned<FormPay>(*this, cashCaption(u"Возврат"_s));
        break;
    case DocumentType::Purchase:
        showOwned<FormPurchase>(*this);
        break;
    case DocumentType::PurchaseReturn:
        showOwned<FormVoidPurchase>(*this);
        break;
    default:
        break; // no type chosen: the device was asked, but there is no window to fill
    }
}

void MainForm::CmdStatus_Click()
{
    showOwned<dlgStatus>(*this, [](dlgStatus& window) { window.m_bPrinterOnly = false; });
}

void MainForm::CmdExtraInfo_Click()
{
    showOwned<dlgExtraInfo2>(*this);
}

void MainForm::CmdSettings_Click()
{
    showOwned<FormOptions>(*this);
}
void MainForm::CmdTaxes_Click()
{
    showOwned<FormTaxes>(*this);
}
void MainForm::CmdReports_Click()
{
    showOwned<FormReports>(*this);
}
void MainForm::cmdInfo_Click()
{
    showOwned<dlgInfo>(*this);
}
void MainForm::CmdEKLZ_Click()
{
    showOwned<dlgEKLZ>(*this);
}
void MainForm::CmdExtraDocData_Click()
{
    showOwned<FormExtraDocData>(*this);
}
void MainForm::CmdPaymentMeans_Click()
{
    showOwned<dlgPaymentMeans>(*this);
}
void MainForm::CmdLineDisplay_Click()
{
    showOwned<dlgLineDisplay>(*this);
}
void MainForm::CmdPrintDocumentCopyMode_Click()
{
    showOwned<dlgPrintDocumentMode>(*this);
}

void MainForm::CmdClose_Click()
{
    close();
}

void MainForm::closeEvent(QCloseEvent* event)
{
    // The device is released once, however the window is closed, and the run ends with it.
    if (!m_released) {
        m_released = true;
        m_driver->DeinitDevice();
        forms::endProgram();
    }
    event->accept();
}
