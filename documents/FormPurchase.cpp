#include "FormPurchase.h"
#include "ui_FormPurchase.h"

#include "SharedState.h"
#include "Seams.h"
#include "dlgStatus.h"

using namespace Qt::StringLiterals;

FormPurchase::FormPurchase(forms::SharedState& main, QWidget* parent)
    : DocumentWindow(main, {Status::Progress, TypeWidth::Int16, PrintOffer::WhenPaid}, parent),
      ui(std::make_unique<Ui::FormPurchase>())
{
    ui->setupUi(this);
    bindControls();
    connect(ui->CmdItem, &QPushButton::clicked, this, &FormPurchase::CmdItem_Click);
    connect(ui->CmdVoidItem, &QPushButton::clicked, this, &FormPurchase::CmdVoidItem_Click);
    connect(ui->CmdStatus, &QPushButton::clicked, this, &FormPurchase::CmdStatus_Click);
}

FormPurchase::~FormPurchase() = default;

void FormPurchase::Document_Load()
{
    // The counters stay empty until the first command refreshes them. The main window has
    // already read the device generation, so no extra query is made here.
    addCounters(m_main.m_MajorVersion);
}

void FormPurchase::CmdItem_Click()
{
    const auto department = m_fields.lenientInt16(ui->TxtSection, u"Отдел"_s);
    if (!department)
        return;
    const auto quantity = m_fields.strictInt32(ui->TxtQuantity, u"Кол-во"_s);
    if (!quantity)
        return;
    const auto price = m_fields.strictInt32(ui->TxtAmount, u"Цена"_s);
    if (!price)
        return;
    const QString name = ui->TxtText->text();
    // A purchased position always names its department, even the document's own.
    runCommand(u"Добавление товарной позиции..."_s, [&] {
        return m_driver->ItemPurchase(*quantity, *price, name, std::int32_t(*department));
    });
}

void FormPurchase::CmdVoidItem_Click()
{
    const auto department = m_fields.lenientInt16(ui->TxtSection, u"Отдел"_s);
    if (!department)
        return;
    const QVariant quantity(ui->TxtQuantity->text());
    const auto price = m_fields.strictInt32(ui->TxtAmount, u"Цена"_s);
    if (!price)
        return;
    const QString name = ui->TxtText->text();
    // The window has no tax group box: purchases are cancelled in group 0.
    const std::int32_t taxGroup = 0;
    runCommand(u"Отмена товарной позиции ..."_s,
               [&] { return voidGoods(quantity, *price, name, taxGroup, *department); });
}

void FormPurchase::CmdStatus_Click()
{
    // The full status: the purchase window wants more than the printer's part.
    dlgStatus window(m_main, this);
    forms::showModal(window, this);
}
