#include "FormVoidPurchase.h"
#include "ui_FormVoidPurchase.h"

#include "DeviceNumbers.h"
#include "MainForm.h"
#include "StartForm.h"
#include "StatusLine.h"

using namespace Qt::StringLiterals;
using documents::StatusStyle;

FormVoidPurchase::FormVoidPurchase(MainForm& main, QWidget* parent)
    : ui::Loadable<QDialog>(parent), m_main(main), ui(std::make_unique<Ui::FormVoidPurchase>())
{
    ui->setupUi(this);
    connect(ui->CmdItem, &QPushButton::clicked, this, &FormVoidPurchase::CmdItem_Click);
    connect(ui->CmdVoidItem, &QPushButton::clicked, this, &FormVoidPurchase::CmdVoidItem_Click);
    connect(ui->CmdCorrectLastItem, &QPushButton::clicked, this,
            &FormVoidPurchase::CmdCorrectLastItem_Click);
    connect(ui->CmdTender, &QPushButton::clicked, this, &FormVoidPurchase::CmdTender_Click);
    connect(ui->CmdCloseDoc, &QPushButton::clicked, this, &FormVoidPurchase::CmdCloseDoc_Click);
    connect(ui->CmdCancel, &QPushButton::clicked, this, &FormVoidPurchase::CmdCancel_Click);
}

FormVoidPurchase::~FormVoidPurchase() = default;

void FormVoidPurchase::SetStatus(const QString& text)
{
    ui::setStatus(ui->StatusText, text);
}

void FormVoidPurchase::Form_Load()
{
    m_driver = m_main.GetQuolt();
    m_commands.setDriver(m_driver);
}

void FormVoidPurchase::CmdItem_Click()
{
    const auto quantity = m_fields.strictInt32(ui->TxtQuantity, u"Кол-во"_s);
    if (!quantity)
        return;
    const auto price = m_fields.strictInt32(ui->TxtAmount, u"Сумма"_s);
    if (!price)
        return;
    // Here the department must be a number: a text without one is refused, not read as 0.
    const auto department = m_fields.strictInt32(ui->TxtSection, u"Отдел"_s);
    if (!department)
        return;
    const QString name = ui->TxtText->text();
    m_commands.run(StatusStyle::bare(),
                   [&] { return m_driver->ItemPurchase(*quantity, *price, name, *department); });
}

void FormVoidPurchase::CmdVoidItem_Click()
{
    // Cancels a position as the purchase window does; the department is read as strictly as
    // for registering one here, within the range the cancelling operation takes.
    const auto department = m_fields.strictInt16(ui->TxtSection, u"Отдел"_s);
    if (!department)
        return;
    const QVariant quantity(ui->TxtQuantity->text());
    const auto price = m_fields.strictInt32(ui->TxtAmount, u"Сумма"_s);
    if (!price)
        return;
    const QString name = ui->TxtText->text();
    const std::int32_t taxGroup = 0;
    m_commands.run(StatusStyle::bare(), [&] {
        if (*department == m_main.m_nSection)
            return m_driver->VoidItem(quantity, *price, name, taxGroup);
        return m_driver->VoidItemEx(quantity, *price, name, taxGroup, *department);
    });
}

void FormVoidPurchase::CmdCorrectLastItem_Click()
{
    m_commands.run(StatusStyle::withProgress(u"Отмена последней операции..."_s),
                   [this] { return m_driver->CorrectLastItem(); });
}

void FormVoidPurchase::CmdTender_Click()
{
    const auto amount = m_fields.strictDouble(ui->TxtTenderAmount, u"Сумма"_s);
    if (!amount)
        return;
    const documents::Payment payment{*amount, QVariant::fromValue<std::int16_t>(PaymentType::Cash),
                                     ui->TxtTenderCardNum->text(), ui->TxtTenderAuthCode->text()};
    const auto outcome = m_commands.pay(StatusStyle::bare(), payment);
    // Printing is offered when the device will not end the paid document by itself.
    if (m_commands.printingNeeded(outcome, StartForm::m_bCashPay))
        ui->CmdCloseDoc->setEnabled(true);
    if (!outcome.documentOpen)
        close();
}

void FormVoidPurchase::CmdCloseDoc_Click()
{
    if (m_commands.end(StatusStyle::bare(), [this] { return m_driver->EndDocument(); }))
        close();
}

void FormVoidPurchase::CmdCancel_Click()
{
    if (m_commands.end(StatusStyle::bare(), [this] { return m_driver->CancelDocument(); }))
        close();
}
