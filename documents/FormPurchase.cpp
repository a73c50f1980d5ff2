#include "FormPurchase.h"
#include "ui_FormPurchase.h"

#include "DeviceNumbers.h"
#include "MainForm.h"
#include "Seams.h"
#include "StatusLine.h"
#include "dlgStatus.h"

using namespace Qt::StringLiterals;
using documents::StatusStyle;

FormPurchase::FormPurchase(MainForm& main, QWidget* parent)
    : ui::Loadable<QDialog>(parent), m_main(main), ui(std::make_unique<Ui::FormPurchase>())
{
    ui->setupUi(this);
    m_corrections.emplace(m_fields, m_commands,
                          documents::Corrections::Boxes{ui->TxtAbsCh, ui->TxtChProc,
                                                        ui->TxtAbsChText,
                                                        ui->TxtAbsoluteChangeText});
    connect(ui->CmdItem, &QPushButton::clicked, this, &FormPurchase::CmdItem_Click);
    connect(ui->CmdVoidItem, &QPushButton::clicked, this, &FormPurchase::CmdVoidItem_Click);
    connect(ui->CmdItemChange, &QPushButton::clicked, this, &FormPurchase::CmdItemChange_Click);
    connect(ui->CmdProcChange, &QPushButton::clicked, this, &FormPurchase::CmdProcChange_Click);
    connect(ui->CmdAbsoluteChangeText, &QPushButton::clicked, this,
            &FormPurchase::CmdAbsoluteChangeText_Click);
    connect(ui->CmdTender, &QPushButton::clicked, this, &FormPurchase::CmdTender_Click);
    connect(ui->CmdCloseDoc, &QPushButton::clicked, this, &FormPurchase::CmdCloseDoc_Click);
    connect(ui->CmdResetError, &QPushButton::clicked, this, &FormPurchase::CmdResetError_Click);
    connect(ui->CmdStatus, &QPushButton::clicked, this, &FormPurchase::CmdStatus_Click);
}

FormPurchase::~FormPurchase() = default;

void FormPurchase::SetStatus(const QString& text)
{
    ui::setStatus(ui->StatusText, text);
}

void FormPurchase::RefreshDocInfo()
{
    m_counters.refresh(*m_driver);
}

void FormPurchase::Form_Load()
{
    m_driver = m_main.GetQuolt();
    m_commands.setDriver(m_driver);
    // The counters stay empty until the first command refreshes them.
    m_counters.add(ui->TxtAllItems, DocInfo::ItemQuantity);
    m_counters.add(ui->TxtUnicalItems, DocInfo::DistinctItems);
    m_counters.add(ui->TxtAllAmount, DocInfo::Amount);
    m_counters.add(ui->TxtTenders, DocInfo::Payments);
    m_counters.add(ui->TxtAllTenderAmount, DocInfo::PaidAmount);
    m_counters.add(ui->TxtFreeDocItems, DocInfo::FreeItems);
    // Only devices from the third generation on keep count of the document memory; the main
    // window has already read the generation, so no extra query is made here.
    if (m_main.m_MajorVersion >= 3)
        m_counters.add(ui->TxtFreeDocMemory, DocInfo::FreeMemory);
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
    m_commands.run(StatusStyle::withProgress(u"Добавление товарной позиции..."_s), [&] {
        return m_driver->ItemPurchase(*quantity, *price, name, std::int32_t(*department));
    });
    RefreshDocInfo();
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
    m_commands.run(StatusStyle::withProgress(u"Отмена товарной позиции ..."_s), [&] {
        if (*department == m_main.m_nSection)
            return m_driver->VoidItem(quantity, *price, name, taxGroup);
        return m_driver->VoidItemEx(quantity, *price, name, taxGroup, *department);
    });
    RefreshDocInfo();
}

void FormPurchase::CmdItemChange_Click()
{
    if (m_corrections->absolute(*m_driver))
        RefreshDocInfo();
}

void FormPurchase::CmdProcChange_Click()
{
    if (m_corrections->percent(*m_driver))
        RefreshDocInfo();
}

void FormPurchase::CmdAbsoluteChangeText_Click()
{
    if (m_corrections->absoluteWithText(*m_driver))
        RefreshDocInfo();
}

void FormPurchase::CmdTender_Click()
{
    const auto amount = m_fields.strictDouble(ui->TxtTenderAmount, u"Сумма"_s);
    if (!amount)
        return;
    // Purchases are paid in cash only.
    const documents::Payment payment{*amount, QVariant::fromValue<std::int16_t>(PaymentType::Cash),
                                     ui->TxtTenderCardNum->text(), ui->TxtTenderAuthCode->text()};
    const auto outcome = m_commands.pay(StatusStyle::withProgress(u"Платеж..."_s), payment);
    if (outcome.result == 0)
        ui->CmdCloseDoc->setEnabled(true);
    if (!outcome.documentOpen) {
        close();
        return;
    }
    RefreshDocInfo();
}

void FormPurchase::CmdCloseDoc_Click()
{
    if (m_commands.end(StatusStyle::withProgress(u"Завершение чека..."_s),
                       [this] { return m_driver->EndDocument(); })) {
        close();
        return;
    }
    RefreshDocInfo();
}

void FormPurchase::CmdResetError_Click()
{
    m_commands.run(StatusStyle::withProgress(u"Сброс ошибки..."_s),
                   [this] { return m_driver->ResetError(); });
    if (!m_commands.documentOpen()) {
        close();
        return;
    }
    RefreshDocInfo();
}

void FormPurchase::CmdStatus_Click()
{
    // The full status: the purchase window wants more than the printer's part.
    dlgStatus window(m_main, this);
    ui::showModal(window, this);
}
