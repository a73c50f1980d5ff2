#include "DocumentWindow.h"

#include "DeviceNumbers.h"
#include "Seams.h"
#include "SharedState.h"
#include "StatusLine.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <array>

using namespace Qt::StringLiterals;

namespace documents {

namespace {

struct CounterBox
{
    QStringView name;
    std::int16_t index;
};

// The counters of the current document, in the order the windows read them.
constexpr std::array kCounterBoxes{
    CounterBox{u"TxtAllItems", DocInfo::ItemQuantity},
    CounterBox{u"TxtUnicalItems", DocInfo::DistinctItems},
    CounterBox{u"TxtAllAmount", DocInfo::Amount},
    CounterBox{u"TxtTenders", DocInfo::Payments},
    CounterBox{u"TxtAllTenderAmount", DocInfo::PaidAmount},
    CounterBox{u"TxtFreeDocItems", DocInfo::FreeItems},
    CounterBox{u"TxtFreeDocMemory", DocInfo::FreeMemory},
};

// Only devices from the third generation on keep count of the document memory left.
constexpr std::int32_t kFreeMemoryFrom = 3;

} // namespace

DocumentWindow::DocumentWindow(forms::SharedState& main, Style style, QWidget* parent)
    : forms::Loadable<QDialog>(parent), m_main(main), m_style(style)
{
}

DocumentWindow::~DocumentWindow() = default;

void DocumentWindow::bindControls()
{
    m_statusLine = findChild<QLineEdit*>(u"StatusText"_s);
    Q_ASSERT(m_statusLine);
    m_paymentTypes = findChild<QComboBox*>(u"ComboTenderID"_s);
    m_tenderAmount = findChild<QLineEdit*>(u"TxtTenderAmount"_s);
    m_cardNumber = findChild<QLineEdit*>(u"TxtTenderCardNum"_s);
    m_documentNumber = findChild<QLineEdit*>(u"TxtTenderAuthCode"_s);
    m_closeDocument = findChild<QPushButton*>(u"CmdCloseDoc"_s);

    const std::array<std::pair<QString, void (DocumentWindow::*)()>, 7> commands{{
        {u"CmdTender"_s, &DocumentWindow::CmdTender_Click},
        {u"CmdCloseDoc"_s, &DocumentWindow::CmdCloseDoc_Click},
        {u"CmdCancel"_s, &DocumentWindow::CmdCancel_Click},
        {u"CmdResetError"_s, &DocumentWindow::CmdResetError_Click},
        {u"CmdItemChange"_s, &DocumentWindow::CmdItemChange_Click},
        {u"CmdProcChange"_s, &DocumentWindow::CmdProcChange_Click},
        {u"CmdAbsoluteChangeText"_s, &DocumentWindow::CmdAbsoluteChangeText_Click},
    }};
    for (const auto& [name, handler] : commands)
        if (auto* button = findChild<QPushButton*>(name))
            connect(button, &QPushButton::clicked, this, handler);

    if (findChild<QPushButton*>(u"CmdItemChange"_s))
        m_corrections.emplace(
            m_fields, m_commands,
            Corrections::Boxes{findChild<QLineEdit*>(u"TxtAbsCh"_s),
                               findChild<QLineEdit*>(u"TxtChProc"_s),
                               findChild<QLineEdit*>(u"TxtAbsChText"_s),
                               findChild<QLineEdit*>(u"TxtAbsoluteChangeText"_s)});
}

void DocumentWindow::Form_Load()
{
    m_driver = m_main.GetQuolt();
    m_commands.setDriver(m_driver);
    if (m_paymentTypes)
        fillPaymentTypes(*m_paymentTypes);
    Document_Load();
}

void DocumentWindow::SetStatus(const QString& text)
{
    forms::setStatus(m_statusLine, text);
}

void DocumentWindow::RefreshDocInfo()
{
    m_counters.refresh(*m_driver);
}

void DocumentWindow::addCounters(std::int32_t majorVersion)
{
    for (const CounterBox& counter : kCounterBoxes) {
        if (counter.index == DocInfo::FreeMemory && majorVersion < kFreeMemoryFrom)
            continue;
        if (auto* box = findChild<QLineEdit*>(counter.name.toString()))
            m_counters.add(box, counter.index);
    }
}

StatusStyle DocumentWindow::styled(const QString& progress) const
{
    return m_style.status == Status::Progress ? StatusStyle::withProgress(progress)
                                              : StatusStyle::bare();
}

Driver::Result DocumentWindow::runCommand(const QString& progress,
                                          const DocumentCommands::Command& call, Refresh refresh)
{
    const Driver::Result result = m_commands.run(StatusStyle::withProgress(progress), call);
    if (refresh == Refresh::Yes)
        RefreshDocInfo();
    return result;
}

Driver::Result DocumentWindow::runCommand(const DocumentCommands::Command& call, Refresh refresh)
{
    const Driver::Result result = m_commands.run(StatusStyle::bare(), call);
    if (refresh == Refresh::Yes)
        RefreshDocInfo();
    return result;
}

void DocumentWindow::closeIfDocumentEnded(bool documentOpen)
{
    if (documentOpen)
        RefreshDocInfo();
    else
        closeEnded();
}

void DocumentWindow::closeEnded()
{
    m_ended = true;
    close();
}

void DocumentWindow::closeEvent(QCloseEvent* event)
{
    // Without the question the operator would learn that the document is still open only at the
    // next opening, and a window without a cancel button would leave no way to end it. The
    // device is asked: it alone knows whether the document is still there.
    if (isVisible() && !m_ended && m_driver && m_commands.documentOpen()) {
        switch (askAboutOpenDocument()) {
        case OpenDocumentAnswer::Leave:
            break;
        case OpenDocumentAnswer::Cancel:
            // A refused cancellation keeps the window, with the device's words in its status.
            if (!m_commands.end(styled(u"Отмена документа..."_s),
                                [this] { return m_driver->CancelDocument(); })) {
                event->ignore();
                return;
            }
            m_ended = true;
            break;
        case OpenDocumentAnswer::GoBack:
            event->ignore();
            return;
        }
    }
    forms::Loadable<QDialog>::closeEvent(event);
}

DocumentWindow::OpenDocumentAnswer DocumentWindow::askAboutOpenDocument()
{
    // Leaving the document open is what closing the window always did; Esc goes back to the
    // window, which neither strands nor cancels anything.
    forms::Choice choice;
    choice.text = u"Документ ещё открыт на устройстве. Что с ним сделать?"_s;
    choice.answers = {u"Оставить открытым"_s, u"Отменить документ"_s, u"Вернуться в окно"_s};
    choice.preferred = 0;
    choice.onEscape = 2;
    switch (forms::choose(this, choice)) {
    case 1:
        return OpenDocumentAnswer::Cancel;
    case 2:
        return OpenDocumentAnswer::GoBack;
    default:
        return OpenDocumentAnswer::Leave;
    }
}

bool DocumentWindow::ownDepartment(std::int16_t department) const
{
    return department == m_main.m_nSection;
}

Driver::Result DocumentWindow::voidGoods(const QVariant& quantity, std::int32_t price,
                                         const QString& name, std::int32_t taxGroup,
                                         std::int16_t department)
{
    if (ownDepartment(department))
        return m_driver->VoidItem(quantity, price, name, taxGroup);
    return m_driver->VoidItemEx(quantity, price, name, taxGroup, department);
}

QVariant DocumentWindow::paymentType() const
{
    // A window without a payment type box pays in cash.
    const std::int32_t code = m_paymentTypes ? paymentTypeCode(*m_paymentTypes) : PaymentType::Cash;
    if (m_style.paymentType == TypeWidth::Int16)
        return QVariant::fromValue(std::int16_t(code));
    return QVariant::fromValue(code);
}

void DocumentWindow::CmdTender_Click()
{
    const auto amount = m_fields.strictDouble(m_tenderAmount, u"Сумма"_s);
    if (!amount)
        return;
    const Payment payment{*amount, paymentType(), m_cardNumber->text(), m_documentNumber->text()};
    const PaymentOutcome outcome = m_commands.pay(styled(u"Платеж..."_s), payment);
    const bool offer = m_style.printOffer == PrintOffer::WhenPaid
                           ? outcome.result == 0
                           : m_commands.printingNeeded(outcome, forms::SharedState::m_bCashPay);
    if (offer && m_closeDocument)
        m_closeDocument->setEnabled(true);
    // A payment that covers the total may have ended the document on the device, even a
    // refused one.
    closeIfDocumentEnded(outcome.documentOpen);
}

void DocumentWindow::CmdCloseDoc_Click()
{
    if (m_commands.end(styled(u"Завершение чека..."_s),
                       [this] { return m_driver->EndDocument(); })) {
        closeEnded();
        return;
    }
    RefreshDocInfo();
}

void DocumentWindow::CmdCancel_Click()
{
    if (m_commands.end(styled(u"Отмена чека..."_s), [this] { return m_driver->CancelDocument(); }))
        closeEnded();
}

void DocumentWindow::CmdResetError_Click()
{
    m_commands.run(styled(u"Сброс ошибки..."_s), [this] { return m_driver->ResetError(); });
    closeIfDocumentEnded(m_commands.documentOpen());
}

void DocumentWindow::CmdItemChange_Click()
{
    if (m_corrections->absolute(*m_driver))
        RefreshDocInfo();
}

void DocumentWindow::CmdProcChange_Click()
{
    if (m_corrections->percent(*m_driver))
        RefreshDocInfo();
}

void DocumentWindow::CmdAbsoluteChangeText_Click()
{
    if (m_corrections->absoluteWithText(*m_driver))
        RefreshDocInfo();
}

} // namespace documents
