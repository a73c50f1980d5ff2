#include "DocumentKinds.h"

#include <array>

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

using enum Counter;

constexpr CounterPair kSaleReturns{SaleReturnCount, SaleReturnSum};

// Indexed by the document type less one.
constexpr std::array<DocumentKind, 9> kKinds{{
    {u"ПРОДАЖА", true, false, 1, CounterPair{SaleCount, SalesTotal}, {}, true, false},
    {u"АННУЛИРОВАНИЕ ПРОДАЖИ", true, false, -1, CounterPair{AnnulmentCount, AnnulmentSum},
     kSaleReturns, false, false},
    {u"ТЕКСТОВЫЙ ДОКУМЕНТ", false, true, 0, {}, {}, false, true},
    {u"ВНЕСЕНИЕ", false, false, 1, CounterPair{CashInCount, CashInSum}, {}, false, false},
    {u"ВЫПЛАТА", false, false, -1, CounterPair{CashOutCount, CashOutSum}, {}, false, false},
    {u"ВЫПЛАТА ЗА ВОЗВРАЩЕННЫЙ ТОВАР", false, false, -1, CounterPair{RefundCount, RefundSum},
     kSaleReturns, false, false},
    {u"", false, true, 0, {}, {}, false, false},
    {u"ПОКУПКА", true, false, -1, CounterPair{PurchaseCount, PurchaseSum}, {}, false, false},
    {u"ВОЗВРАТ ПОКУПКИ",
     true,
     false,
     1,
     CounterPair{PurchaseReturnCount, PurchaseReturnSum},
     {},
     false,
     false},
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

QString paymentName(int type)
{
    switch (type) {
    case 6:
        return u"ЧЕКОМ"_s;
    case 7:
        return u"В КРЕДИТ"_s;
    case 8:
        return u"НАЛИЧНЫМИ"_s;
    default:
        return u"ПЛАТ. КАРТОЙ %1"_s.arg(type);
    }
}

QString documentTitle(DocumentType type)
{
    return QString::fromUtf16(documentKind(type).title);
}

} // namespace emulator
