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
    {.title = u"ПРОДАЖА",
     .positions = true,
     .money = 1,
     .counted = CounterPair{SaleCount, SalesTotal},
     .sales = true},
    {.title = u"АННУЛИРОВАНИЕ ПРОДАЖИ",
     .positions = true,
     .money = -1,
     .counted = CounterPair{AnnulmentCount, AnnulmentSum},
     .alsoCounted = kSaleReturns},
    {.title = u"ТЕКСТОВЫЙ ДОКУМЕНТ", .text = true, .nonFiscal = true},
    {.title = u"ВНЕСЕНИЕ", .money = 1, .counted = CounterPair{CashInCount, CashInSum}},
    {.title = u"ВЫПЛАТА",
     .money = -1,
     .counted = CounterPair{CashOutCount, CashOutSum},
     .drawerOnly = true},
    {.title = u"ВЫПЛАТА ЗА ВОЗВРАЩЕННЫЙ ТОВАР",
     .money = -1,
     .counted = CounterPair{RefundCount, RefundSum},
     .alsoCounted = kSaleReturns},
    {.title = u"", .text = true}, // the text document without number
    {.title = u"ПОКУПКА",
     .positions = true,
     .money = -1,
     .counted = CounterPair{PurchaseCount, PurchaseSum}},
    {.title = u"ВОЗВРАТ ПОКУПКИ",
     .positions = true,
     .money = 1,
     .counted = CounterPair{PurchaseReturnCount, PurchaseReturnSum}},
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

qint64 saturatingAdd(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? INT64_MAX : INT64_MIN;
    return sum;
}

QString documentTitle(DocumentType type)
{
    return QString::fromUtf16(documentKind(type).title);
}

} // namespace emulator
