// Payments, the subtotal and closing a fiscal document: settling its money, printing its end and
// counting it.

#include "DepartmentCounters.h"
#include "Device.h"
#include "DeviceMessages.h"
#include "DeviceNumbers.h"
#include "GeneralValue.h"
#include "TapeLayout.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

constexpr int kMaxPaymentTextLength = 20;

std::optional<int> paymentTypeOf(const QVariant& value)
{
    const std::optional<qint64> number = wholeNumber(value);
    if (!number || *number < PaymentType::First || *number > PaymentType::Last)
        return std::nullopt;
    return static_cast<int>(*number);
}

} // namespace

Failure Device::tender(double amount, const QVariant& typeValue, const QVariant& card,
                       const QString& reference, TenderMode mode)
{
    using enum DocumentType;
    if (const Failure f = requireDocument(
            {Sale, SaleAnnulment, CashIn, CashOut, Refund, Purchase, PurchaseReturn});
        !f.ok())
        return f;
    if (!std::isfinite(amount) || amount <= 0)
        return fail(ErrorCode::InvalidAmount, Reason::NotPositive);
    if (amount > static_cast<double>(kMaxReportable))
        return fail(ErrorCode::InvalidAmount, Reason::TooLarge);
    if (amount != std::floor(amount)) // a part of a kopeck cannot be paid
        return fail(ErrorCode::InvalidAmount, Reason::NotANumber);
    const auto kopecks = static_cast<Kopecks>(amount);
    const std::optional<int> type = paymentTypeOf(typeValue);
    if (!type)
        return fail(ErrorCode::UnknownPaymentType);
    const QString cardText = card.toString();
    if (const Failure f = checkText(cardText, kMaxPaymentTextLength); !f.ok())
        return f;
    if (const Failure f = checkText(reference, kMaxPaymentTextLength); !f.ok())
        return f;
    Document& document = *m_state.document;
    const PaymentMean& mean = paymentMean(*type);
    if ((document.type == CashIn || document.type == CashOut) && !mean.cash)
        return fail(ErrorCode::NotAllowedInDocument, Reason::OnlyCash);
    const Kopecks paid = paidTotal();
    if (paid + kopecks > kMaxReportable)
        return fail(ErrorCode::Overflow, Reason::TooLarge);
    const bool positional = documentKind(document.type).positions;
    if (positional && !mode.cached) {
        const Kopecks due = documentTotal() - paid;
        if (due <= 0 && !document.payments.isEmpty())
            return fail(ErrorCode::NotAllowedInState);
        // Only a mean that gives change may pay more than is due.
        if (!mean.change && kopecks > due)
            return fail(ErrorCode::NonCashExceedsTotal);
    }

    // A covering payment may close the receipt; if closing is refused the payment is undone too,
    // so that a failed call leaves the device as it found it.
    const DeviceState before = m_state;
    // Only a card keeps the card number.
    document.payments.append(
        Payment{*type, kopecks, mean.card ? cardText : QString(), reference, mode.cached});
    if (positional && mode.autoClose && !mode.cached && paidTotal() >= documentTotal()) {
        const Failure closed = closeDocument();
        if (!closed.ok()) {
            m_state = before;
            return closed;
        }
    }
    return kOk;
}

Failure Device::resetPayInfo()
{
    using enum DocumentType;
    if (const Failure f = requireDocument(
            {Sale, SaleAnnulment, CashIn, CashOut, Refund, Purchase, PurchaseReturn});
        !f.ok())
        return f;
    m_state.document->payments.clear();
    return kOk;
}

Failure Device::printResult()
{
    using enum DocumentType;
    if (const Failure f = requireDocument({Sale, SaleAnnulment, Purchase, PurchaseReturn}); !f.ok())
        return f;
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    Printout out = paper();
    out.amountLine(word(Word::Subtotal), documentTotal());
    print(out);
    return kOk;
}

// ---- closing -----------------------------------------------------------------------------------

Device::Settlement Device::settlement() const
{
    const Document& document = *m_state.document;
    Settlement s;
    s.paid = paidTotal();
    for (const Payment& payment : document.payments) {
        const PaymentMean& mean = paymentMean(payment.type);
        if (!mean.change)
            s.withoutChange += payment.amount;
        if (mean.cash)
            s.cash += payment.amount;
    }
    s.total = documentKind(document.type).positions ? documentTotal() : s.paid;
    s.change = std::max<Kopecks>(0, s.paid - s.total);
    // The change is given in cash from the drawer, whatever mean was overpaid.
    s.cashNet = s.cash - s.change;
    return s;
}

Failure Device::checkSettlement(const Settlement& s) const
{
    const Document& document = *m_state.document;
    const DocumentKind& kind = documentKind(document.type);
    if (document.payments.isEmpty() && (!kind.positions || s.total > 0))
        return fail(ErrorCode::PaymentInsufficient, Reason::NoPayment);
    if (kind.positions && s.total == 0 && option(DeviceOption::AllowZeroTotal) == 0)
        return fail(ErrorCode::ZeroTotal);
    // Its corrections alone are no receipt: when every position was voided, nothing was sold.
    const QList<Entry>& entries = document.body.entries;
    if (kind.positions && std::none_of(entries.cbegin(), entries.cend(),
                                       [](const Entry& e) { return isPosition(e.kind); }))
        return fail(ErrorCode::NotAllowedInState, Reason::NoPosition);
    if (s.paid < s.total)
        return fail(ErrorCode::PaymentInsufficient);
    if (s.withoutChange > s.total)
        return fail(ErrorCode::NonCashExceedsTotal);
    // Option 15: the change a receipt gives must already be in the drawer before the receipt.
    if (kind.money > 0 && s.change > 0 && option(DeviceOption::CheckCashForChange) != 0 &&
        s.change > m_state.cashInDrawer)
        return fail(ErrorCode::InsufficientCash);
    // The drawer cannot pay out cash it does not hold, whatever the options say: a payout, or
    // change beyond the cash the receipt itself takes in. A document that takes no cash out is
    // never refused here, even when an older record left the drawer below zero.
    const Kopecks outflow = -kind.money * s.cashNet;
    if (outflow > 0 && outflow > m_state.cashInDrawer)
        return fail(ErrorCode::PayoutExceedsCash);
    return checkPrinter();
}

// The document's own counters, the money per payment type and in the drawer, and the counters of
// its type.
void Device::countClosedDocument(const Settlement& s)
{
    const Document& document = *m_state.document;
    const DocumentKind& kind = documentKind(document.type);
    for (int i = 0; i < kCounterCount; ++i) {
        const qint64 value = document.body.delta.values()[static_cast<std::size_t>(i)];
        if (value != 0)
            addToBoth(static_cast<Counter>(i + 1), value);
    }
    // Per payment type the money that stayed: the change comes off the means that give it, the
    // last payment first (only they can have been overpaid).
    Kopecks changeLeft = s.change;
    for (auto payment = document.payments.crbegin(); payment != document.payments.crend();
         ++payment) {
        Kopecks kept = payment->amount;
        if (changeLeft > 0 && paymentMean(payment->type).change) {
            const Kopecks returned = std::min(changeLeft, kept);
            kept -= returned;
            changeLeft -= returned;
        }
        addToBoth(static_cast<Counter>(payment->type), kind.money * kept);
    }
    m_state.cashInDrawer = saturatingAdd(m_state.cashInDrawer, kind.money * s.cashNet);

    for (const std::optional<CounterPair>& pair : {kind.counted, kind.alsoCounted}) {
        if (pair) {
            addToBoth(pair->count, 1);
            addToBoth(pair->sum, s.total);
        }
    }
    if (kind.sales)
        m_state.grandSalesTotal = saturatingAdd(m_state.grandSalesTotal, s.total);
    countInDepartments(m_state.departmentCounters, document, s.total,
                       roundingFromOption(option(DeviceOption::TaxBaseRounding)));
}

Failure Device::closeDocument()
{
    const Settlement s = settlement();
    if (const Failure f = checkSettlement(s); !f.ok())
        return f;
    Printout out = paper();
    settleTaxes(out);
    tape::receiptEnd(out, m_state, *m_state.document, s.total, s.change);
    print(out);
    countClosedDocument(s);
    showChangeOnDisplay(s.total, s.change);
    // The drawer opens once for the receipt if any of its means opens it; a locked drawer
    // (option 30) stays shut whatever was paid.
    const QList<Payment>& payments = m_state.document->payments;
    const bool opensDrawer =
        std::any_of(payments.cbegin(), payments.cend(),
                    [this](const Payment& p) { return paymentMean(p.type).drawer; });
    if (opensDrawer && option(DeviceOption::LockDrawer) == 0)
        kickDrawer();
    m_state.fiscalDocuments += 1;
    m_state.lastReceipt = m_state.document->lines;
    m_state.lastReceiptTotal = s.total;
    finishDocument(false, s.total);
    // The receipt printed this number at its end; it goes to the control tape with it.
    putOnControlTape();
    return kOk;
}

} // namespace emulator
