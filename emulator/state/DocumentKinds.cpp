#include "DocumentKinds.h"

#include "DeviceNumbers.h"

#include <array>

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

using enum Counter;

constexpr CounterPair kSaleReturns{SaleReturnCount, SaleReturnSum};

// Indexed by the document type less one.
constexpr std::array<DocumentKind, 9> kKinds{{
    {.title = Word::Sale,
     .positions = true,
     .money = 1,
     .counted = CounterPair{SaleCount, SalesTotal},
     .sales = true,
     .departmental = true},
    {.title = Word::SaleAnnulment,
     .positions = true,
     .money = -1,
     .counted = CounterPair{AnnulmentCount, AnnulmentSum},
     .alsoCounted = kSaleReturns,
     .departmental = true},
    {.title = Word::TextDocument, .text = true, .nonFiscal = true},
    {.title = Word::CashIn, .money = 1, .counted = CounterPair{CashInCount, CashInSum}},
    {.title = Word::CashOut, .money = -1, .counted = CounterPair{CashOutCount, CashOutSum}},
    {.title = Word::RefundPayout,
     .money = -1,
     .counted = CounterPair{RefundCount, RefundSum},
     .alsoCounted = kSaleReturns,
     .departmental = true},
    {.text = true}, // the text document without number
    {.title = Word::Purchase,
     .positions = true,
     .money = -1,
     .counted = CounterPair{PurchaseCount, PurchaseSum},
     .departmental = true},
    {.title = Word::PurchaseReturn,
     .positions = true,
     .money = 1,
     .counted = CounterPair{PurchaseReturnCount, PurchaseReturnSum},
     .departmental = true},
}};

} // namespace

const DocumentKind& documentKind(DocumentType type)
{
    return kKinds[static_cast<std::size_t>(type) - 1];
}

int entrySign(EntryKind kind)
{
    return (kind == EntryKind::TareReturn || kind == EntryKind::Discount) ? -1 : 1;
}

bool isPosition(EntryKind kind)
{
    return kind != EntryKind::Surcharge && kind != EntryKind::Discount;
}

qint64 positionQuantity(const QList<Entry>& entries)
{
    qint64 quantity = 0;
    for (const Entry& e : entries) {
        if (isPosition(e.kind))
            quantity += e.quantity; // at most 100 entries of at most 99 999 999 each
    }
    return quantity;
}

qint64 saturatingAdd(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? INT64_MAX : INT64_MIN;
    return sum;
}

QString documentTitle(DocumentType type)
{
    const std::optional<Word> title = documentKind(type).title;
    return title ? word(*title) : QString();
}

} // namespace emulator
