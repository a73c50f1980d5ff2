#include "FormVoidItem.h"
#include "ui_FormVoidItem.h"

#include "DeviceNumbers.h"
#include "SharedState.h"
#include "Seams.h"
#include "dlgExtraInfo2.h"

using namespace Qt::StringLiterals;

FormVoidItem::FormVoidItem(forms::SharedState& main, QWidget* parent)
    : DocumentWindow(main, {Status::Bare, TypeWidth::Int16, PrintOffer::WhenNeeded}, parent),
      ui(std::make_unique<Ui::FormVoidItem>())
{
    ui->setupUi(this);
    bindControls();
    connect(ui->CmdItem, &QPushButton::clicked, this, &FormVoidItem::CmdItem_Click);
    connect(ui->CmdVoidItem, &QPushButton::clicked, this, &FormVoidItem::CmdVoidItem_Click);
    connect(ui->Command1, &QPushButton::clicked, this, &FormVoidItem::Command1_Click);
    connect(ui->CmdExtraInfo, &QPushButton::clicked, this, &FormVoidItem::CmdExtraInfo_Click);
}

FormVoidItem::~FormVoidItem() = default;

void FormVoidItem::Document_Load()
{
    m_MajorVersion = m_driver->GetDeviceInfo(DeviceInfo::MajorVersion);
    addCounters(m_MajorVersion);
    RefreshDocInfo();
    ui->CmdExtraInfo->setEnabled(m_MajorVersion >= 4);
}

std::optional<FormVoidItem::Goods> FormVoidItem::readGoods()
{
    const auto price = m_fields.strictInt32(ui->TxtAmount, u"Сумма"_s);
    if (!price)
        return std::nullopt;
    const QString name = ui->TxtText->text();
    const auto taxGroup = m_fields.strictInt32(ui->TxtTaxGroup, u"Налог"_s);
    if (!taxGroup)
        return std::nullopt;
    return Goods{*price, name, *taxGroup};
}

void FormVoidItem::CmdItem_Click()
{
    const auto quantity = m_fields.strictInt32(ui->TxtQuantity, u"Кол-во"_s);
    if (!quantity)
        return;
    const auto goods = readGoods();
    if (!goods)
        return;
    runCommand(
        [&] { return m_driver->Item(*quantity, goods->price, goods->name, goods->taxGroup); });
}

void FormVoidItem::CmdVoidItem_Click()
{
    // A cancelled position goes to the device with its quantity exactly as typed.
    const QVariant quantity(ui->TxtQuantity->text());
    const auto goods = readGoods();
    if (!goods)
        return;
    runCommand(
        [&] { return m_driver->VoidItem(quantity, goods->price, goods->name, goods->taxGroup); });
}

void FormVoidItem::Command1_Click()
{
    runCommand([this] { return m_driver->CorrectLastItem(); });
}

void FormVoidItem::CmdExtraInfo_Click()
{
    dlgExtraInfo2 window(m_main, this);
    forms::showModal(window, this);
}
