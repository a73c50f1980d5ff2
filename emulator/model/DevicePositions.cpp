// Positions, voids and corrections of the open receipt.

#include "DepartmentCounters.h"
#include "Device.h"
#include "DeviceMessages.h"
#include "DeviceNumbers.h"
#include "GeneralValue.h"
#include "TapeLayout.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

constexpr std::int32_t kMaxTaxGroup = 8;

// The counters a discount or a surcharge moves: all of them, and those of its side.
struct CorrectionCounters
{
    CounterPair all;
    CounterPair sale;
    CounterPair purchase;
};
constexpr CorrectionCounters kDiscountCounters{
    {Counter::DiscountCount, Counter::DiscountSum},
    {Counter::SaleDiscountCount, Counter::SaleDiscountSum},
    {Counter::PurchaseDiscountCount, Counter::PurchaseDiscountSum}};
constexpr CorrectionCounters kSurchargeCounters{
    {Counter::SurchargeCount, Counter::SurchargeSum},
    {Counter::SaleSurchargeCount, Counter::SaleSurchargeSum},
    {Counter::PurchaseSurchargeCount, Counter::PurchaseSurchargeSum}};

// The quantity of a cancelling operation arrives as the operator typed it: a whole number of
// thousandths, as text or as a number.
std::optional<qint64> quantityOf(const QVariant& value, Reason& reason)
{
    reason = Reason::NotANumber;
    return wholeNumber(value);
}

} // namespace

// The documents a position of this kind may stand in.
Failure Device::requireDocumentFor(EntryKind kind) const
{
    using enum DocumentType;
    return kind == EntryKind::Purchase ? requireDocument({Purchase, PurchaseReturn})
           : kind == EntryKind::Goods  ? requireDocument({Sale, SaleAnnulment})
                                       : requireDocument({Sale});
}

Failure Device::registerPosition(const PositionRequest& request, bool explicitDepartment)
{
    if (const Failure f = requireDocumentFor(request.kind); !f.ok())
        return f;
    if (explicitDepartment && m_state.major < 3 && request.kind != EntryKind::Purchase)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (const Failure f = requireNoPayment(); !f.ok())
        return f;
    // Option 18: no selling while the cash drawer stands open.
    if (request.kind != EntryKind::Purchase && m_state.sensors.drawerOpen &&
        option(DeviceOption::BlockSalesWithDrawerOpen) != 0)
        return fail(ErrorCode::NotAllowedInState, Reason::DrawerOpen);
    if (request.quantity <= 0)
        return fail(ErrorCode::InvalidQuantity, Reason::NotPositive);
    if (request.quantity > kMaxQuantity)
        return fail(ErrorCode::InvalidQuantity, Reason::TooLarge);
    if (request.price < 0)
        return fail(ErrorCode::InvalidPrice, Reason::Negative);
    if (const Failure f = checkText(request.name, m_state.lineWidth); !f.ok())
        return f;
    if (request.taxGroup < 0 || request.taxGroup > kMaxTaxGroup)
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    Document& document = *m_state.document;
    const std::int32_t department = explicitDepartment ? request.department : document.department;
    if (department < 1 || department > kMaxDepartment)
        return fail(ErrorCode::InvalidValue,
                    department < 1 ? Reason::NotPositive : Reason::TooLarge);
    if (document.body.entries.size() >= kMaxEntries)
        return fail(ErrorCode::DocumentFull);
    const Kopecks amount = roundedAmount(request.quantity, request.price);
    if (amount > kMaxReportable)
        return fail(ErrorCode::Overflow, Reason::TooLarge);
    QList<Entry> next = document.body.entries;
    next.append(Entry{request.kind, request.quantity, request.price, request.name, request.taxGroup,
                      department, amount});
    if (const Failure f = checkDocumentFigures(next); !f.ok())
        return f;
    if (const Failure f = checkPrinter(); !f.ok())
        return f;

    document.undo = document.body;
    PositionRequest registered = request;
    registered.department = department;
    document.body.entries = std::move(next);
    if (request.kind == EntryKind::Tare) {
        countOperation(document.body, department, {Counter::TareSaleCount, Counter::TareSaleSum},
                       amount);
    } else if (request.kind == EntryKind::TareReturn) {
        countOperation(document.body, department,
                       {Counter::TareReturnCount, Counter::TareReturnSum}, amount);
    }
    document.body.lastPosition = registered;
    document.body.lastOperationAmount = amount;
    document.body.lastOperationDepartment = department;

    Printout out = paper();
    // Option 36 rules a line between two records of sales.
    if (option(DeviceOption::PrintLineBetweenSales) != 0 && document.body.entries.size() > 1)
        out.separator();
    const QString prefix = request.kind == EntryKind::Tare         ? word(Word::Tare)
                           : request.kind == EntryKind::TareReturn ? word(Word::TareReturn)
                                                                   : QString();
    tape::positionLines(out, request.name, request.quantity, request.price,
                        entrySign(request.kind) * amount, prefix);
    // A position's own department is always printed; option 9 prints every position's.
    if (department != document.department || option(DeviceOption::PrintDepartment) != 0)
        out.line(u"  "_s + tape::numbered(Word::Department, department));
    print(out);
    showPositionOnDisplay(request.name, entrySign(request.kind) * amount);
    return kOk;
}

Failure Device::voidPosition(EntryKind kind, const QVariant& quantityValue, std::int32_t price,
                             const QString& name, std::int32_t taxGroup,
                             std::optional<std::int32_t> explicitDepartment)
{
    using enum DocumentType;
    if (!m_state.document)
        return fail(ErrorCode::NoOpenDocument);
    const DocumentType type = m_state.document->type;
    // In a purchase the goods positions are purchases: VoidItem cancels them there.
    if (kind == EntryKind::Goods && (type == Purchase || type == PurchaseReturn))
        kind = EntryKind::Purchase;
    if (const Failure f = requireDocumentFor(kind); !f.ok())
        return f;
    if (explicitDepartment && m_state.major < 3)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (const Failure f = requireNoPayment(); !f.ok())
        return f;
    Reason reason = Reason::General;
    const std::optional<qint64> quantity = quantityOf(quantityValue, reason);
    if (!quantity)
        return fail(ErrorCode::InvalidQuantity, reason);
    if (*quantity <= 0)
        return fail(ErrorCode::InvalidQuantity, Reason::NotPositive);
    if (*quantity > kMaxQuantity)
        return fail(ErrorCode::InvalidQuantity, Reason::TooLarge);
    if (price < 0)
        return fail(ErrorCode::InvalidPrice, Reason::Negative);
    if (const Failure f = checkText(name, m_state.lineWidth); !f.ok())
        return f;
    Document& document = *m_state.document;
    const std::int32_t department = explicitDepartment.value_or(document.department);

    qsizetype found = -1;
    for (qsizetype i = 0; i < document.body.entries.size(); ++i) {
        const Entry& e = document.body.entries[i];
        if (e.kind == kind && e.price == price && e.name == name && e.taxGroup == taxGroup &&
            e.department == department && e.quantity >= *quantity) {
            found = i;
            break;
        }
    }
    if (found < 0)
        return fail(ErrorCode::PositionNotFound);
    QList<Entry> next = document.body.entries;
    const qint64 left = next[found].quantity - *quantity;
    const Kopecks leftAmount = roundedAmount(left, price);
    const Kopecks voided = next[found].amount - leftAmount;
    if (left == 0) {
        next.removeAt(found);
    } else {
        next[found].quantity = left;
        next[found].amount = leftAmount;
    }
    // What the receipt comes to without it, its taxes included.
    if (const Failure f = checkDocumentFigures(next); !f.ok())
        return f;
    if (const Failure f = checkPrinter(); !f.ok())
        return f;

    document.undo = document.body;
    document.body.entries = std::move(next);
    // Option 28 keeps the books of storno; the position is voided either way.
    if (option(DeviceOption::CountVoidsAndCorrections) != 0)
        countOperation(document.body, department, {Counter::VoidCount, Counter::VoidSum}, voided);
    document.body.lastPosition.reset();
    document.body.lastOperationAmount = voided;
    document.body.lastOperationDepartment = department;

    Printout out = paper();
    tape::positionLines(out, name, *quantity, price, -entrySign(kind) * voided, word(Word::Void));
    print(out);
    return kOk;
}

Failure Device::repeatItem()
{
    using enum DocumentType;
    if (const Failure f = requireDocument({Sale, SaleAnnulment, Purchase, PurchaseReturn}); !f.ok())
        return f;
    const std::optional<PositionRequest> last = m_state.document->body.lastPosition;
    if (!last)
        return fail(ErrorCode::NothingToRepeat, Reason::NoPreviousOperation);
    return registerPosition(*last, last->department != m_state.document->department);
}

Failure Device::correctLastItem()
{
    using enum DocumentType;
    if (const Failure f = requireDocument({Sale, SaleAnnulment, Purchase, PurchaseReturn}); !f.ok())
        return f;
    if (const Failure f = requireNoPayment(); !f.ok())
        return f;
    Document& document = *m_state.document;
    if (!document.undo) {
        return fail(ErrorCode::NothingToRepeat, document.body.entries.isEmpty()
                                                    ? Reason::NoPreviousOperation
                                                    : Reason::AlreadyCorrected);
    }
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    const Kopecks undone = document.body.lastOperationAmount;
    const std::int32_t department = document.body.lastOperationDepartment;
    const Kopecks totalBefore = documentTotal();
    document.body = *document.undo;
    document.undo.reset();
    document.body.lastPosition.reset();
    if (option(DeviceOption::CountVoidsAndCorrections) != 0) {
        countOperation(document.body, department,
                       {Counter::CorrectionCount, Counter::CorrectionSum}, undone);
    }

    Printout out = paper();
    out.amountLine(word(Word::Correction),
                   documentTotal() - totalBefore); // with the sign it moved by
    print(out);
    return kOk;
}

// ---- corrections -------------------------------------------------------------------------------

Failure Device::addCorrection(bool discount, Kopecks amount, const QString& caption)
{
    const Kopecks signedAmount = discount ? -amount : amount;
    Document& document = *m_state.document;
    const bool anyPosition =
        std::any_of(document.body.entries.cbegin(), document.body.entries.cend(),
                    [](const Entry& e) { return isPosition(e.kind); });
    if (!anyPosition)
        return fail(ErrorCode::NotAllowedInState, Reason::NoPreviousOperation);
    // A correction applies to the sum of the positions; the taxes follow from it.
    if (positionsTotal() + signedAmount < 0)
        return fail(ErrorCode::NegativeTotal);
    QList<Entry> next = document.body.entries;
    next.append(Entry{discount ? EntryKind::Discount : EntryKind::Surcharge, 0, 0, caption, 0,
                      document.department, amount});
    if (const Failure f = checkDocumentFigures(next); !f.ok())
        return f;
    if (document.body.entries.size() >= kMaxEntries)
        return fail(ErrorCode::DocumentFull);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;

    document.undo = document.body;
    document.body.entries = std::move(next);
    // A correction on the whole receipt belongs to the receipt's department.
    const CorrectionCounters& counters = discount ? kDiscountCounters : kSurchargeCounters;
    for (const CounterPair& pair : {counters.all, isSaleSide() ? counters.sale : counters.purchase})
        countOperation(document.body, document.department, pair, amount);
    document.body.lastPosition.reset();
    document.body.lastOperationAmount = amount;
    document.body.lastOperationDepartment = document.department;

    Printout out = paper();
    out.amountLine(caption, signedAmount);
    print(out);
    return kOk;
}

Failure Device::absoluteCorrection(std::int32_t amount, const std::optional<QString>& text)
{
    using enum DocumentType;
    if (text && m_state.major < 3)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (const Failure f = requireDocument({Sale, SaleAnnulment, Purchase, PurchaseReturn}); !f.ok())
        return f;
    if (const Failure f = requireNoPayment(); !f.ok())
        return f;
    if (amount == 0)
        return fail(ErrorCode::InvalidAmount, Reason::NotPositive);
    if (text) {
        if (const Failure f = checkText(*text, m_state.lineWidth); !f.ok())
            return f;
    }
    const QString caption =
        text && !text->isEmpty() ? *text : word(amount < 0 ? Word::Discount : Word::Surcharge);
    return addCorrection(amount < 0, amount < 0 ? -Kopecks{amount} : Kopecks{amount}, caption);
}

Failure Device::percentCorrection(std::int32_t percent)
{
    using enum DocumentType;
    if (const Failure f = requireDocument({Sale, SaleAnnulment, Purchase, PurchaseReturn}); !f.ok())
        return f;
    if (const Failure f = requireNoPayment(); !f.ok())
        return f;
    if (percent == 0)
        return fail(ErrorCode::InvalidValue, Reason::NotPositive);
    if (percent < -100 || percent > 100)
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    // A percentage that comes to nothing, on an empty subtotal too, is no correction: it would
    // print and count a discount or surcharge of 0.00.
    const Kopecks share = roundedShare(positionsTotal(), percent < 0 ? -percent : percent);
    if (share == 0)
        return fail(ErrorCode::InvalidAmount, Reason::NotPositive);
    const QString caption = word(percent < 0 ? Word::Discount : Word::Surcharge) +
                            u" %1%"_s.arg(percent < 0 ? -percent : percent);
    return addCorrection(percent < 0, share, caption);
}

} // namespace emulator
