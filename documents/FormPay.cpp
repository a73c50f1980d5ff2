#include "FormPay.h"
#include "ui_FormPay.h"

#include "MainForm.h"
#include "StatusLine.h"

using namespace Qt::StringLiterals;
using documents::StatusStyle;

FormPay::FormPay(MainForm& main, QWidget* parent)
    : ui::Loadable<QDialog>(parent), m_main(main), ui(std::make_unique<Ui::FormPay>())
{
    ui->setupUi(this);
    connect(ui->CmdTender, &QPushButton::clicked, this, &FormPay::CmdTender_Click);
    connect(ui->CmdCloseDoc, &QPushButton::clicked, this, &FormPay::CmdCloseDoc_Click);
    connect(ui->CmdCancel, &QPushButton::clicked, this, &FormPay::CmdCancel_Click);
}

FormPay::~FormPay() = default;

void FormPay::SetStatus(const QString& text)
{
    ui::setStatus(ui->StatusText, text);
}

void FormPay::Form_Load()
{
    m_driver = m_main.GetQuolt();
    m_commands.setDriver(m_driver);
    documents::fillPaymentTypes(*ui->ComboTenderID);
}

void FormPay::CmdTender_Click()
{
    const auto amount = m_fields.strictDouble(ui->TxtTenderAmount, u"Сумма"_s);
    if (!amount)
        return;
    const documents::Payment payment{
        *amount, QVariant::fromValue(documents::paymentTypeCode(*ui->ComboTenderID)),
        ui->TxtTenderCardNum->text(), ui->TxtTenderAuthCode->text()};
    const auto outcome = m_commands.pay(StatusStyle::bare(), payment);
    // Once paid the document may be printed, whatever later payments bring.
    if (outcome.result == 0)
        ui->CmdCloseDoc->setEnabled(true);
    if (!outcome.documentOpen)
        close();
}

void FormPay::CmdCloseDoc_Click()
{
    if (m_commands.end(StatusStyle::bare(), [this] { return m_driver->EndDocument(); }))
        close();
}

void FormPay::CmdCancel_Click()
{
    if (m_commands.end(StatusStyle::bare(), [this] { return m_driver->CancelDocument(); }))
        close();
}
