#include "dlgPrintDocumentMode.h"
#include "ui_dlgPrintDocumentMode.h"

#include "DeviceNumbers.h"
#include "SharedState.h"
#include "SlipMode.h"
#include "StatusLine.h"

using namespace Qt::StringLiterals;

dlgPrintDocumentMode::dlgPrintDocumentMode(forms::SharedState& main, QWidget* parent)
    : forms::Loadable<QDialog>(parent), ui(std::make_unique<Ui::dlgPrintDocumentMode>()),
      m_main(main)
{
    ui->setupUi(this);
    connect(ui->ApplyButton, &QPushButton::clicked, this, &dlgPrintDocumentMode::ApplyButton_Click);
    connect(ui->CancelButton, &QPushButton::clicked, this,
            &dlgPrintDocumentMode::CancelButton_Click);
}

dlgPrintDocumentMode::~dlgPrintDocumentMode() = default;

void dlgPrintDocumentMode::SetStatus(const QString& text)
{
    forms::setStatus(ui->StatusText, text);
}

void dlgPrintDocumentMode::showResult(Driver::Result r)
{
    m_result = r;
    SetStatus(forms::statusText(m_driver->GetErrorComment(r)));
}

void dlgPrintDocumentMode::Form_Load()
{
    m_driver = m_main.GetQuolt();
    const std::int32_t packed = m_driver->GetDeviceInfo(DeviceInfo::SlipMode);
    if (packed <= 0) {
        // Roll printing: the slip settings stay as designed.
        ui->cbSlipDocMode->setChecked(false);
        return;
    }
    ui->cbSlipDocMode->setChecked(true);
    const slipmode::Settings settings = slipmode::unpack(packed);
    if (settings.side == SlipSide::Left)
        ui->opLeftSide->setChecked(true);
    else
        ui->opRightSide->setChecked(true);
    ui->TxtNumberOfCopies->setText(QString::number(settings.copies));
    ui->TxtFiscalCopyNumber->setText(QString::number(settings.fiscalCopy));
    ui->TxtRowsBefore->setText(QString::number(settings.rowsBefore));
    ui->TxtRowsBetween->setText(QString::number(settings.rowsBetween));
}

void dlgPrintDocumentMode::ApplyButton_Click()
{
    SetStatus(u"Установка кассира..."_s);
    showResult(m_driver->SetClerk(m_main.clerkId()));
    if (m_result != 0)
        return;

    std::int32_t side = 0;
    if (ui->opLeftSide->isChecked())
        side = SlipSide::Left;
    else if (ui->opRightSide->isChecked())
        side = SlipSide::Right;
    const std::int32_t mode = ui->cbSlipDocMode->isChecked() ? PrintMode::Slip : PrintMode::Roll;

    // The device checks the ranges; the window only wants numbers that fit.
    const auto copies = m_fields.lenientInt32(ui->TxtNumberOfCopies, u"Количество копий"_s);
    if (!copies)
        return;
    const auto fiscalCopy =
        m_fields.lenientInt32(ui->TxtFiscalCopyNumber, u"Номер фискальной копии"_s);
    if (!fiscalCopy)
        return;
    const auto rowsBefore = m_fields.lenientInt32(ui->TxtRowsBefore, u"Строк перед"_s);
    if (!rowsBefore)
        return;
    const auto rowsBetween = m_fields.lenientInt32(ui->TxtRowsBetween, u"Строк между"_s);
    if (!rowsBetween)
        return;

    SetStatus(u"Установка режима подкладной печати..."_s);
    showResult(m_driver->SetPrintDocumentMode(mode, side, *copies, *fiscalCopy, *rowsBefore,
                                              *rowsBetween));
}

void dlgPrintDocumentMode::CancelButton_Click()
{
    close();
}
