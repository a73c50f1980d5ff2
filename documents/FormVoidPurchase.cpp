#include "FormVoidPurchase.h"
#include "ui_FormVoidPurchase.h"

using namespace Qt::StringLiterals;

FormVoidPurchase::FormVoidPurchase(forms::SharedState& main, QWidget* parent)
    : DocumentWindow(main, {Status::Bare, TypeWidth::Int16, PrintOffer::WhenNeeded}, parent),
      ui(std::make_unique<Ui::FormVoidPurchase>())
{
    ui->setupUi(this);
    bindControls();
    connect(ui->CmdItem, &QPushButton::clicked, this, &FormVoidPurchase::CmdItem_Click);
    connect(ui->CmdVoidItem, &QPushButton::clicked, this, &FormVoidPurchase::CmdVoidItem_Click);
    connect(ui->CmdCorrectLastItem, &QPushButton::clicked, this,
            &FormVoidPurchase::CmdCorrectLastItem_Click);
}

FormVoidPurchase::~FormVoidPurchase() = default;

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
    runCommand([&] { return m_driver->ItemPurchase(*quantity, *price, name, *department); });
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
    runCommand([&] { return voidGoods(quantity, *price, name, taxGroup, *department); });
}

void FormVoidPurchase::CmdCorrectLastItem_Click()
{
    runCommand(u"Отмена последней операции..."_s, [this] { return m_driver->CorrectLastItem(); });
}
