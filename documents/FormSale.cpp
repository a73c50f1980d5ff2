#include "FormSale.h"
#include "ui_FormSale.h"

#include "DeviceNumbers.h"
#include "SharedState.h"
#include "Seams.h"
#include "dlgExtraInfo2.h"
#include "dlgStatus.h"

#include <QMenuBar>

using namespace Qt::StringLiterals;

FormSale::FormSale(forms::SharedState& main, QWidget* parent)
    : DocumentWindow(main, {Status::Progress, TypeWidth::Int32, PrintOffer::WhenPaid}, parent),
      ui(std::make_unique<Ui::FormSale>())
{
    ui->setupUi(this);
    bindControls();
    OptionPosType = {ui->OptionPosType_0, ui->OptionPosType_1, ui->OptionPosType_2};

    auto* menuBar = new QMenuBar(this);
    QMenu* commands = menuBar->addMenu(u"Команды"_s);
    commands->setObjectName(u"mnCommands"_s);
    commands->addAction(ui->mnClearExtraStrings);
    layout()->setMenuBar(menuBar);

    connect(ui->CmdItem, &QPushButton::clicked, this, &FormSale::CmdItem_Click);
    connect(ui->CmdVoidItem, &QPushButton::clicked, this, &FormSale::CmdVoidItem_Click);
    connect(ui->CmdRepeat, &QPushButton::clicked, this, &FormSale::CmdRepeat_Click);
    connect(ui->CmdCorrection, &QPushButton::clicked, this, &FormSale::CmdCorrection_Click);
    connect(ui->CmdTenderReset, &QPushButton::clicked, this, &FormSale::CmdTenderReset_Click);
    connect(ui->CmdItog, &QPushButton::clicked, this, &FormSale::CmdItog_Click);
    // Toggled, not clicked: checking the box while loading must send the option as a click does.
    connect(ui->CheckAutoCloseReceipt, &QCheckBox::toggled, this,
            &FormSale::CheckAutoCloseReceipt_Click);
    connect(ui->CmdText, &QPushButton::clicked, this, &FormSale::CmdText_Click);
    connect(ui->mnClearExtraStrings, &QAction::triggered, this,
            &FormSale::mnClearExtraStrings_Click);
    connect(ui->CmdStatus, &QPushButton::clicked, this, &FormSale::CmdStatus_Click);
    connect(ui->CmdExtraInfo, &QPushButton::clicked, this, &FormSale::CmdExtraInfo_Click);
}

FormSale::~FormSale() = default;

void FormSale::Document_Load()
{
    m_MajorVersion = m_driver->GetDeviceInfo(DeviceInfo::MajorVersion);
    addCounters(m_MajorVersion);
    RefreshDocInfo();

    const bool correctionWithText = m_MajorVersion >= 3;
    ui->TxtAbsoluteChangeText->setEnabled(correctionWithText);
    ui->CmdAbsoluteChangeText->setEnabled(correctionWithText);
    ui->TxtAbsChText->setEnabled(correctionWithText);
    ui->CmdExtraInfo->setEnabled(m_MajorVersion >= 4);
    ui->CmdText->setEnabled(m_MajorVersion >= 5);

    // Older devices always end a fully paid receipt themselves; newer ones leave it to the
    // driver option, which the operator may change here.
    if (m_MajorVersion >= 6) {
        const std::int32_t autoClose = m_driver->GetDriverOpt(DriverOption::AutoClose);
        ui->CheckAutoCloseReceipt->setEnabled(true);
        if (autoClose != 0)
            ui->CheckAutoCloseReceipt->setChecked(true);
    } else {
        ui->CheckAutoCloseReceipt->setChecked(true);
        ui->CheckAutoCloseReceipt->setEnabled(false);
    }

    // Written so that reading it back gives the document's own department.
    ui->TxtSection->setText(documents::signedNumberText(m_main.m_nSection));
}

std::optional<FormSale::PositionKind> FormSale::selectedKind() const
{
    for (std::size_t i = 0; i < OptionPosType.size(); ++i)
        if (OptionPosType[i]->isChecked())
            return PositionKind(i);
    return std::nullopt;
}

std::optional<FormSale::PositionInput> FormSale::readPosition(Quantity quantity)
{
    PositionInput input;
    const auto department = m_fields.lenientInt16(ui->TxtSection, u"Отдел"_s);
    if (!department)
        return std::nullopt;
    input.department = *department;
    if (quantity == Quantity::Number) {
        const auto number = m_fields.strictInt32(ui->TxtQuantity, u"Кол-во"_s);
        if (!number)
            return std::nullopt;
        input.quantity = *number;
    }
    const auto price = m_fields.strictInt32(ui->TxtAmount, u"Цена"_s);
    if (!price)
        return std::nullopt;
    input.price = *price;
    input.name = ui->TxtText->text();
    const auto taxGroup = m_fields.strictInt32(ui->TxtTaxGroup, u"Налог"_s);
    if (!taxGroup)
        return std::nullopt;
    input.taxGroup = *taxGroup;
    return input;
}

void FormSale::CmdItem_Click()
{
    const auto in = readPosition(Quantity::Number);
    if (!in)
        return;
    const auto kind = selectedKind();
    if (!kind) {
        RefreshDocInfo();
        return;
    }
    const bool own = ownDepartment(in->department);
    switch (*kind) {
    case PositionKind::Goods:
        runCommand(u"Добавление товарной позиции..."_s, [&] {
            return own ? m_driver->Item(in->quantity, in->price, in->name, in->taxGroup)
                       : m_driver->ItemEx(in->quantity, in->price, in->name, in->taxGroup,
                                          in->department);
        });
        break;
    case PositionKind::Tare:
        runCommand(u"Добавление позиции продажи тары..."_s, [&] {
            return own ? m_driver->ItemTare(in->quantity, in->price, in->name, in->taxGroup)
                       : m_driver->ItemTareEx(in->quantity, in->price, in->name, in->taxGroup,
                                              in->department);
        });
        break;
    case PositionKind::TareReturn:
        // The tare operations take the price first.
        runCommand(u"Добавление позиции возврата тары..."_s,
                   [&] { return m_driver->ReturnTare(in->price, in->quantity); });
        break;
    }
}

void FormSale::CmdVoidItem_Click()
{
    const auto in = readPosition(Quantity::Text);
    if (!in)
        return;
    // A cancellation hands the driver the quantity exactly as typed.
    const QVariant quantity(ui->TxtQuantity->text());
    const auto kind = selectedKind();
    if (!kind) {
        RefreshDocInfo();
        return;
    }
    const bool own = ownDepartment(in->department);
    switch (*kind) {
    case PositionKind::Goods:
        runCommand(u"Отмена товарной позиции ..."_s, [&] {
            return voidGoods(quantity, in->price, in->name, in->taxGroup, in->department);
        });
        break;
    case PositionKind::Tare:
        runCommand(u"Отмена позиции продажи тары..."_s, [&] {
            return own ? m_driver->VoidItemTare(quantity, in->price, in->name, in->taxGroup)
                       : m_driver->VoidItemTareEx(quantity, in->price, in->name, in->taxGroup,
                                                  in->department);
        });
        break;
    case PositionKind::TareReturn:
        runCommand(u"Добавление позиции отмены возврата тары..."_s,
                   [&] { return m_driver->VoidReturnTare(in->price, quantity); });
        break;
    }
}

void FormSale::CmdRepeat_Click()
{
    runCommand(u"Повтор последней операции..."_s, [&] { return m_driver->RepeatItem(); });
}

void FormSale::CmdCorrection_Click()
{
    runCommand(u"Отмена последней операции..."_s, [&] { return m_driver->CorrectLastItem(); });
}

void FormSale::CmdTenderReset_Click()
{
    runCommand(u"Сброс данных оплаты..."_s, [&] { return m_driver->ResetPayInfo(); });
}

void FormSale::CmdItog_Click()
{
    runCommand(
        u"Печать промежуточного итога..."_s, [&] { return m_driver->PrintResult(); }, Refresh::No);
}

void FormSale::CheckAutoCloseReceipt_Click()
{
    if (!m_driver)
        return;
    m_driver->SetDriverOpt(DriverOption::AutoClose, ui->CheckAutoCloseReceipt->isChecked() ? 1 : 0);
}

void FormSale::CmdText_Click()
{
    const QString text = ui->TxtTextLine->text();
    const QString number = ui->TxtNumTextLine->text();
    // Generation 5 prints the line at once; generation 6 keeps it to print after the receipt.
    if (m_MajorVersion == 5)
        runCommand(
            u"Печать текстовой строки..."_s, [&] { return m_driver->TextLine(text); }, Refresh::No);
    else if (m_MajorVersion == 6)
        runCommand(
            u"Добавление текстовой строки в конце чека..."_s,
            [&] { return m_driver->AddExtraString2(text, number); }, Refresh::No);
    RefreshDocInfo();
}

void FormSale::mnClearExtraStrings_Click()
{
    runCommand(
        u"Очистка строк в конце чека..."_s, [&] { return m_driver->ClearExtraStrings2(); },
        Refresh::No);
}

void FormSale::CmdStatus_Click()
{
    dlgStatus window(m_main);
    window.m_bPrinterOnly = true;
    forms::showModal(window, this);
}

void FormSale::CmdExtraInfo_Click()
{
    dlgExtraInfo2 window(m_main);
    forms::showModal(window, this);
}
