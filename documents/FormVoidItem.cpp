#include "FormVoidItem.h"
#include "ui_FormVoidItem.h"

#include "DeviceNumbers.h"
#include "MainForm.h"
#include "Seams.h"
#include "StartForm.h"
#include "StatusLine.h"
#include "dlgExtraInfo2.h"

using namespace Qt::StringLiterals;
using documents::StatusStyle;

FormVoidItem::FormVoidItem(MainForm& main, QWidget* parent)
    : ui::Loadable<QDialog>(parent), m_main(main), ui(std::make_unique<Ui::FormVoidItem>())
{
    ui->setupUi(this);
    m_counters.add(ui->TxtAllItems, DocInfo::ItemQuantity);
    m_counters.add(ui->TxtUnicalItems, DocInfo::DistinctItems);
    m_counters.add(ui->TxtAllAmount, DocInfo::Amount);
    m_counters.add(ui->TxtTenders, DocInfo::Payments);
    m_counters.add(ui->TxtAllTenderAmount, DocInfo::PaidAmount);

    connect(ui->CmdItem, &QPushButton::clicked, this, &FormVoidItem::CmdItem_Click);
    connect(ui->CmdVoidItem, &QPushButton::clicked, this, &FormVoidItem::CmdVoidItem_Click);
    connect(ui->Command1, &QPushButton::clicked, this, &FormVoidItem::Command1_Click);
    connect(ui->CmdTender, &QPushButton::clicked, this, &FormVoidItem::CmdTender_Click);
    connect(ui->CmdCloseDoc, &QPushButton::clicked, this, &FormVoidItem::CmdCloseDoc_Click);
    connect(ui->CmdCancel, &QPushButton::clicked, this, &FormVoidItem::CmdCancel_Click);
    connect(ui->CmdExtraInfo, &QPushButton::clicked, this, &FormVoidItem::CmdExtraInfo_Click);
}

FormVoidItem::~FormVoidItem() = default;

void FormVoidItem::SetStatus(const QString& text)
{
    ui::setStatus(ui->StatusText, text);
}

void FormVoidItem::RefreshDocInfo()
{
    m_counters.refresh(*m_driver);
}

void FormVoidItem::Form_Load()
{
    m_driver = m_main.GetQuolt();
    m_commands.setDriver(m_driver);
    documents::fillPaymentTypes(*ui->ComboTenderID);
    m_MajorVersion = m_driver->GetDeviceInfo(DeviceInfo::MajorVersion);
    RefreshDocInfo();
    ui->CmdExtraInfo->setEnabled(m_MajorVersion >= 4);
}

void FormVoidItem::CmdItem_Click()
{
    const auto quantity = m_fields.strictInt32(ui->TxtQuantity, u"Кол-во"_s);
    if (!quantity)
        return;
    const auto price = m_fields.strictInt32(ui->TxtAmount, u"Сумма"_s);
    if (!price)
        return;
    const QString name = ui->TxtText->text();
    const auto taxGroup = m_fields.strictInt32(ui->TxtTaxGroup, u"Налог"_s);
    if (!taxGroup)
        return;
    m_nResult = m_commands.run(StatusStyle::bare(),
                               [&] { return m_driver->Item(*quantity, *price, name, *taxGroup); });
    RefreshDocInfo();
}

void FormVoidItem::CmdVoidItem_Click()
{
    // A cancelled position goes to the device with its quantity exactly as typed.
    const QVariant quantity(ui->TxtQuantity->text());
    const auto price = m_fields.strictInt32(ui->TxtAmount, u"Сумма"_s);
    if (!price)
        return;
    const QString name = ui->TxtText->text();
    const auto taxGroup = m_fields.strictInt32(ui->TxtTaxGroup, u"Налог"_s);
    if (!taxGroup)
        return;
    m_nResult = m_commands.run(
        StatusStyle::bare(), [&] { return m_driver->VoidItem(quantity, *price, name, *taxGroup); });
    RefreshDocInfo();
}

void FormVoidItem::Command1_Click()
{
    m_nResult = m_commands.run(StatusStyle::bare(), [this] { return m_driver->CorrectLastItem(); });
    RefreshDocInfo();
}

void FormVoidItem::CmdTender_Click()
{
    const auto amount = m_fields.strictDouble(ui->TxtTenderAmount, u"Сумма"_s);
    if (!amount)
        return;
    const auto type = std::int16_t(documents::paymentTypeCode(*ui->ComboTenderID));
    const documents::Payment payment{*amount, QVariant::fromValue(type),
                                     ui->TxtTenderCardNum->text(), ui->TxtTenderAuthCode->text()};
    const auto outcome = m_commands.pay(StatusStyle::bare(), payment);
    m_nResult = outcome.result;
    // Printing is offered when the device will not end the paid document by itself.
    if (m_commands.printingNeeded(outcome, StartForm::m_bCashPay))
        ui->CmdCloseDoc->setEnabled(true);
    if (!outcome.documentOpen) {
        close();
        return;
    }
    RefreshDocInfo();
}

void FormVoidItem::CmdCloseDoc_Click()
{
    if (m_commands.end(StatusStyle::bare(), [this] { return m_driver->EndDocument(); })) {
        close();
        return;
    }
    RefreshDocInfo();
}

void FormVoidItem::CmdCancel_Click()
{
    if (m_commands.end(StatusStyle::bare(), [this] { return m_driver->CancelDocument(); }))
        close();
}

void FormVoidItem::CmdExtraInfo_Click()
{
    dlgExtraInfo2 window(m_main, this);
    ui::showModal(window, this);
}
