// The counters of what happens inside receipts -- voids, corrections of the last operation,
// discounts and surcharges, tare, taxes -- against the documents on record. A document record
// keeps its type, shift and total but not its positions, so these counters are compared with
// what follows from the documents' types alone.

#include "DeviceLedgerRecords.h"

#include "Taxes.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ledger::detail {
namespace {

using emulator::Counter;
using emulator::DocumentType;

const QList<DocumentType> kWithPositions{DocumentType::Sale, DocumentType::SaleAnnulment,
                                         DocumentType::Purchase, DocumentType::PurchaseReturn};
const QList<DocumentType> kSaleSide{DocumentType::Sale, DocumentType::SaleAnnulment};
const QList<DocumentType> kPurchaseSide{DocumentType::Purchase, DocumentType::PurchaseReturn};

// An operation inside receipts, the counters that hold it and the documents it can stand in. It
// is counted when its document closes, so a cancelled document adds nothing.
struct Operation
{
    const char16_t* name;
    Counter count;
    Counter sum;
    QList<DocumentType> documents;
    bool neverZero; // each one moves at least a kopeck, so the sum is at least the count
};

const Operation kOperations[] = {
    {u"voids", Counter::VoidCount, Counter::VoidSum, kWithPositions, false},
    {u"corrections", Counter::CorrectionCount, Counter::CorrectionSum, kWithPositions, false},
    {u"tare sales", Counter::TareSaleCount, Counter::TareSaleSum, {DocumentType::Sale}, false},
    {u"tare returns",
     Counter::TareReturnCount,
     Counter::TareReturnSum,
     {DocumentType::Sale},
     false},
    {u"discounts", Counter::DiscountCount, Counter::DiscountSum, kWithPositions, true},
    {u"surcharges", Counter::SurchargeCount, Counter::SurchargeSum, kWithPositions, true},
    {u"sale discounts", Counter::SaleDiscountCount, Counter::SaleDiscountSum, kSaleSide, true},
    {u"sale surcharges", Counter::SaleSurchargeCount, Counter::SaleSurchargeSum, kSaleSide, true},
    {u"purchase discounts", Counter::PurchaseDiscountCount, Counter::PurchaseDiscountSum,
     kPurchaseSide, true},
    {u"purchase surcharges", Counter::PurchaseSurchargeCount, Counter::PurchaseSurchargeSum,
     kPurchaseSide, true},
};

// A discount or a surcharge is counted once in all and once on the side of its document.
struct Sides
{
    const char16_t* name;
    Counter allCount, allSum, saleCount, saleSum, purchaseCount, purchaseSum;
};

const Sides kSides[] = {
    {u"discounts", Counter::DiscountCount, Counter::DiscountSum, Counter::SaleDiscountCount,
     Counter::SaleDiscountSum, Counter::PurchaseDiscountCount, Counter::PurchaseDiscountSum},
    {u"surcharges", Counter::SurchargeCount, Counter::SurchargeSum, Counter::SaleSurchargeCount,
     Counter::SaleSurchargeSum, Counter::PurchaseSurchargeCount, Counter::PurchaseSurchargeSum},
};

Counter taxCounter(int tax)
{
    return static_cast<Counter>(static_cast<int>(Counter::Tax1) + tax - 1);
}

bool issuedAny(const Period& period, const QList<DocumentType>& types)
{
    return std::any_of(period.documents.cbegin(), period.documents.cend(),
                       [&](const DocumentRecord& d) {
                           return !d.cancelled && types.contains(static_cast<DocumentType>(d.type));
                       });
}

void checkOperation(const Period& period, const Operation& operation, QStringList& out)
{
    const qint64 count = at(period.counters, operation.count);
    const qint64 sum = at(period.counters, operation.sum);
    const QString what = u"%1: %2 counted %3 for %4"_s.arg(period.name)
                             .arg(QString::fromUtf16(operation.name))
                             .arg(count)
                             .arg(sum);
    if (count < 0 || sum < 0)
        out << what + u", neither can be negative"_s;
    else if (count == 0 && sum != 0)
        out << what + u", a sum without an operation"_s;
    else if (operation.neverZero && sum < count)
        out << what + u", each one is at least a kopeck"_s;
    if (count > 0 && !issuedAny(period, operation.documents))
        out << what + u", no document that takes them was issued"_s;
}

void checkSides(const Period& period, const Sides& sides, QStringList& out)
{
    const Values& c = period.counters;
    if (at(c, sides.allCount) == at(c, sides.saleCount) + at(c, sides.purchaseCount) &&
        at(c, sides.allSum) == at(c, sides.saleSum) + at(c, sides.purchaseSum))
        return;
    out << u"%1: %2 counted %3 for %4, on the sale side %5 for %6 and on the purchase side %7"
           u" for %8"_s.arg(period.name, QString::fromUtf16(sides.name))
               .arg(at(c, sides.allCount))
               .arg(at(c, sides.allSum))
               .arg(at(c, sides.saleCount))
               .arg(at(c, sides.saleSum))
               .arg(at(c, sides.purchaseCount))
               .arg(at(c, sides.purchaseSum));
}

// Sales add their taxes and annulments take theirs back; no other document moves them. The
// taxes of the open shift are all counted at today's rates (they cannot change while a shift is
// open), so a rate of zero has counted nothing.
void checkTaxes(const emulator::DeviceState& s, const Period& period, QStringList& out)
{
    const bool taxed = issuedAny(period, kSaleSide);
    for (int tax = 1; tax <= emulator::kTaxRateCount; ++tax) {
        const qint64 counted = at(period.counters, taxCounter(tax));
        if (counted == 0)
            continue;
        if (!taxed)
            out << u"%1: tax %2 counted %3, no sale or annulment was issued"_s.arg(period.name)
                       .arg(tax)
                       .arg(counted);
        else if (period.open && s.taxRates[std::size_t(tax - 1)] == 0)
            out << u"%1: tax %2 counted %3 at a rate of 0"_s.arg(period.name).arg(tax).arg(counted);
    }
}

} // namespace

void checkOperations(const emulator::DeviceState& s, const Records& r, QStringList& out)
{
    for (const Period& period : periods(s, r)) {
        for (const Operation& operation : kOperations)
            checkOperation(period, operation, out);
        for (const Sides& sides : kSides)
            checkSides(period, sides, out);
        checkTaxes(s, period, out);
    }
}

} // namespace ledger::detail
