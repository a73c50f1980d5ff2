#include "Device.h"

#include <cmath>
#include <set>
#include <tuple>

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

constexpr Failure kOk{};
constexpr int kMaxCashierLength = 24;
constexpr int kMaxOrderLength = 20;
constexpr int kMaxPaymentTextLength = 20;

Failure fail(ErrorCode code, Reason reason = Reason::General)
{
    return Failure{code, reason};
}

bool takesPositions(DocumentType type)
{
    return type == DocumentType::Sale || type == DocumentType::SaleAnnulment ||
           type == DocumentType::Purchase || type == DocumentType::PurchaseReturn;
}

bool isTextDocument(DocumentType type)
{
    return type == DocumentType::Text || type == DocumentType::TextWithoutNumber;
}

// Money taken into the drawer counts up, money handed out counts down.
int moneyDirection(DocumentType type)
{
    switch (type) {
    case DocumentType::Sale:
    case DocumentType::CashIn:
    case DocumentType::PurchaseReturn:
        return 1;
    case DocumentType::SaleAnnulment:
    case DocumentType::CashOut:
    case DocumentType::Refund:
    case DocumentType::Purchase:
        return -1;
    default:
        return 0;
    }
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

// The quantity of a cancelling operation arrives as the operator typed it: a whole number of
// thousandths, as text or as a number.
std::optional<qint64> quantityOf(const QVariant& value, Reason& reason)
{
    reason = Reason::NotANumber;
    if (value.metaType().id() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return std::nullopt;
        for (QChar c : text) {
            if (!c.isDigit() && c != u'-' && c != u'+')
                return std::nullopt;
        }
        bool ok = false;
        const qlonglong number = text.toLongLong(&ok);
        return ok ? std::optional<qint64>(number) : std::nullopt;
    }
    if (value.metaType().id() == QMetaType::Double) {
        const double d = value.toDouble();
        if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 9e15)
            return std::nullopt;
        return static_cast<qint64>(d);
    }
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    return ok ? std::optional<qint64>(number) : std::nullopt;
}

std::optional<int> paymentTypeOf(const QVariant& value)
{
    bool ok = false;
    const qlonglong number = value.metaType().id() == QMetaType::QString
                                 ? value.toString().trimmed().toLongLong(&ok)
                                 : value.toLongLong(&ok);
    if (!ok || number < 1 || number > 8)
        return std::nullopt;
    return static_cast<int>(number);
}

} // namespace

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
    switch (type) {
    case DocumentType::Sale:
        return u"ПРОДАЖА"_s;
    case DocumentType::SaleAnnulment:
        return u"АННУЛИРОВАНИЕ ПРОДАЖИ"_s;
    case DocumentType::Text:
        return u"ТЕКСТОВЫЙ ДОКУМЕНТ"_s;
    case DocumentType::CashIn:
        return u"ВНЕСЕНИЕ"_s;
    case DocumentType::CashOut:
        return u"ВЫПЛАТА"_s;
    case DocumentType::Refund:
        return u"ВЫПЛАТА ЗА ВОЗВРАЩЕННЫЙ ТОВАР"_s;
    case DocumentType::TextWithoutNumber:
        return QString();
    case DocumentType::Purchase:
        return u"ПОКУПКА"_s;
    case DocumentType::PurchaseReturn:
        return u"ВОЗВРАТ ПОКУПКИ"_s;
    }
    return QString();
}

Device::Device(DeviceState state, Clock clock)
    : m_state(std::move(state)), m_clock(std::move(clock))
{
}

Effects Device::takeEffects()
{
    Effects taken;
    std::swap(taken, m_effects);
    return taken;
}

QDateTime Device::now() const
{
    const QDateTime host = m_clock ? m_clock() : QDateTime::currentDateTime();
    return host.addSecs(m_state.clockOffsetSeconds);
}

int Device::option(int number) const
{
    return m_state.options.value(number, defaultDeviceOption(number));
}

bool Device::isSaleSide() const
{
    return m_state.document && (m_state.document->type == DocumentType::Sale ||
                                m_state.document->type == DocumentType::SaleAnnulment);
}

// ---- guards ------------------------------------------------------------------------------------

Failure Device::checkPrinter() const
{
    if (m_state.sensors.printerError)
        return fail(ErrorCode::PrinterError);
    if (m_state.sensors.paperOut)
        return fail(ErrorCode::PaperOut);
    return kOk;
}

Failure Device::checkShiftLimit() const
{
    if (!m_state.shiftOpen || !m_state.shiftOpenedAt.isValid())
        return kOk;
    const qint64 limit = static_cast<qint64>(option(37)) * 3600;
    if (m_state.shiftOpenedAt.secsTo(now()) > limit)
        return fail(ErrorCode::ShiftTooLong, Reason::ShiftClosedAtInit);
    return kOk;
}

Failure Device::requireShift() const
{
    if (!m_state.shiftOpen)
        return fail(ErrorCode::ShiftNotOpen);
    return checkShiftLimit();
}

Failure Device::requireDocument(std::initializer_list<DocumentType> types) const
{
    if (!m_state.document)
        return fail(ErrorCode::NoOpenDocument);
    for (DocumentType type : types) {
        if (m_state.document->type == type)
            return kOk;
    }
    return fail(ErrorCode::NotAllowedInDocument, Reason::WrongKind);
}

// Once a payment has reached the device the receipt takes no more positions; payments the
// driver only caches do not count, the device has not seen them yet.
Failure Device::requireNoPayment() const
{
    for (const Payment& payment : m_state.document->payments) {
        if (!payment.cached)
            return fail(ErrorCode::NotAllowedInState, Reason::AfterPayment);
    }
    return kOk;
}

// A text prints on one line of the tape: line breaks and other control characters would forge
// extra lines (and extra log records), so they are refused like a text that is too long.
Failure Device::checkText(const QString& text, qsizetype limit) const
{
    if (text.size() > limit)
        return fail(ErrorCode::TextTooLong, Reason::TooLarge);
    if (std::any_of(text.cbegin(), text.cend(),
                    [](QChar c) { return c.category() == QChar::Other_Control; }))
        return fail(ErrorCode::InvalidValue, Reason::ControlCharacter);
    return kOk;
}

// ---- arithmetic --------------------------------------------------------------------------------

// Quantity times price, in kopecks, rounded by option 23: 0 down, 1 half up, 2 up. Both factors
// are bounded (quantity by kMaxQuantity, price by 32 bits), so the product fits 64 bits.
Kopecks Device::roundedAmount(qint64 quantity, Kopecks price) const
{
    const qint64 product = quantity * price;
    const qint64 whole = product / 1000;
    const qint64 rest = product % 1000;
    switch (option(23)) {
    case 0:
        return whole;
    case 2:
        return whole + (rest > 0 ? 1 : 0);
    default:
        return whole + (rest >= 500 ? 1 : 0);
    }
}

Kopecks Device::roundedShare(Kopecks base, std::int32_t percent) const
{
    // base <= kMaxAmount (about 2^40) and percent <= 100, so the product stays far below 2^63.
    const qint64 product = base * percent;
    const qint64 whole = product / 100;
    const qint64 rest = product % 100;
    switch (option(23)) {
    case 0:
        return whole;
    case 2:
        return whole + (rest > 0 ? 1 : 0);
    default:
        return whole + (rest >= 50 ? 1 : 0);
    }
}

Kopecks Device::documentTotal() const
{
    if (!m_state.document)
        return 0;
    Kopecks total = 0;
    for (const Entry& entry : m_state.document->body.entries)
        total += entrySign(entry.kind) * entry.amount; // each step is bounded by kMaxAmount
    return total;
}

Kopecks Device::paidTotal() const
{
    if (!m_state.document)
        return 0;
    Kopecks paid = 0;
    for (const Payment& payment : m_state.document->payments)
        paid += payment.amount; // each payment and the running sum are bounded by kMaxAmount
    return paid;
}

void Device::addToBoth(Counter counter, qint64 value)
{
    m_state.shiftCounters[counter] = saturatingAdd(m_state.shiftCounters[counter], value);
    m_state.totalCounters[counter] = saturatingAdd(m_state.totalCounters[counter], value);
}

// ---- printing ----------------------------------------------------------------------------------

void Device::print(Printout& out)
{
    const QStringList lines = out.takeLines();
    m_effects.tape += lines;
    if (m_state.document)
        m_state.document->lines += lines;
}

void Device::printHeader(const Document& document)
{
    Printout out(m_state.lineWidth);
    out.centered(u"ДОБРО ПОЖАЛОВАТЬ!"_s);
    out.columns(u"ККМ "_s + m_state.serial, u"ИНН "_s + m_state.taxpayerNumber);
    out.columns(document.openedAt.toString(u"dd.MM.yyyy HH:mm"_s),
                document.number > 0 ? u"ДОК %1"_s.arg(document.number) : QString());
    out.columns(u"КАССИР "_s + document.cashier, u"ОТД %1"_s.arg(document.department));
    if (!document.order.isEmpty())
        out.line(u"ЗАКАЗ "_s + document.order);
    const QString title = documentTitle(document.type);
    if (!title.isEmpty())
        out.centered(title);
    if (takesPositions(document.type)) {
        for (const QString& extra : m_state.extraStrings)
            out.line(extra);
    }
    for (const QString& data : m_state.pendingExtraData)
        out.line(data);
    print(out);
}

void Device::printPositionLines(Printout& out, const QString& name, qint64 quantity, Kopecks price,
                                Kopecks signedAmount, const QString& prefix) const
{
    out.line(prefix.isEmpty() ? name : name.isEmpty() ? prefix : prefix + u' ' + name);
    out.columns(u"  "_s + formatQuantity(quantity) + u" x "_s + formatMoney(price),
                u'=' + formatMoney(signedAmount));
}

void Device::printXReport(const QString& title, bool byDepartment)
{
    const Counters& c = m_state.shiftCounters;
    Printout out(m_state.lineWidth);
    out.centered(title);
    out.columns(u"ККМ "_s + m_state.serial, u"ИНН "_s + m_state.taxpayerNumber);
    out.columns(now().toString(u"dd.MM.yyyy HH:mm"_s), u"СМЕНА %1"_s.arg(m_state.shiftNumber));
    if (m_state.shiftOpenedAt.isValid())
        out.line(u"ОТКРЫТА "_s + m_state.shiftOpenedAt.toString(u"dd.MM.yyyy HH:mm"_s));
    out.line(u"КАССИР "_s + m_state.cashier);
    out.separator();
    const auto row = [&](const QString& caption, Counter count, Counter sum) {
        out.columns(caption + u' ' + QString::number(c[count]), u'=' + formatMoney(c[sum]));
    };
    row(u"ПРОДАЖИ"_s, Counter::SaleCount, Counter::SalesTotal);
    row(u"АННУЛИРОВАНИЯ"_s, Counter::AnnulmentCount, Counter::AnnulmentSum);
    row(u"ВОЗВРАТЫ"_s, Counter::RefundCount, Counter::RefundSum);
    row(u"ПОКУПКИ"_s, Counter::PurchaseCount, Counter::PurchaseSum);
    row(u"ВОЗВРАТЫ ПОКУПОК"_s, Counter::PurchaseReturnCount, Counter::PurchaseReturnSum);
    row(u"ВНЕСЕНИЯ"_s, Counter::CashInCount, Counter::CashInSum);
    row(u"ВЫПЛАТЫ"_s, Counter::CashOutCount, Counter::CashOutSum);
    row(u"СКИДКИ"_s, Counter::DiscountCount, Counter::DiscountSum);
    row(u"НАДБАВКИ"_s, Counter::SurchargeCount, Counter::SurchargeSum);
    row(u"СТОРНО"_s, Counter::VoidCount, Counter::VoidSum);
    row(u"КОРРЕКЦИИ"_s, Counter::CorrectionCount, Counter::CorrectionSum);
    row(u"ОТМЕНЫ ЧЕКОВ"_s, Counter::CancelledCount, Counter::CancelledSum);
    row(u"ДУБЛИКАТЫ"_s, Counter::DuplicateCount, Counter::DuplicateSum);
    out.separator();
    for (int type = 1; type <= 8; ++type) {
        const qint64 sum = c.at(type);
        if (sum != 0)
            out.amountLine(paymentName(type), sum);
    }
    if (byDepartment) {
        out.separator();
        for (auto it = m_state.departmentSales.cbegin(); it != m_state.departmentSales.cend(); ++it)
            out.amountLine(u"ОТДЕЛ %1"_s.arg(it.key()), it.value());
    }
    out.separator();
    out.amountLine(u"НАЛИЧНЫХ В КАССЕ"_s, m_state.cashInDrawer);
    out.amountLine(u"НАРАСТАЮЩИЙ ИТОГ"_s, m_state.grandSalesTotal);
    print(out);
}

// ---- shift -------------------------------------------------------------------------------------

Failure Device::startSession(const QString& cashier, std::int32_t registerNumber)
{
    if (m_state.shiftOpen)
        return fail(ErrorCode::ShiftAlreadyOpen);
    if (cashier.trimmed().isEmpty())
        return fail(ErrorCode::InvalidValue, Reason::EmptyText);
    if (const Failure f = checkText(cashier, kMaxCashierLength); !f.ok())
        return f;
    if (registerNumber < 1)
        return fail(ErrorCode::InvalidValue, Reason::NotPositive);
    if (registerNumber > 9999)
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;

    m_state.shiftOpen = true;
    m_state.shiftNumber += 1;
    m_state.shiftOpenedAt = now();
    m_state.registerNumber = registerNumber;
    m_state.cashier = cashier;
    m_state.cashierSet = true;
    m_state.departmentSales.clear();
    m_state.shiftCounters.clear();
    m_state.shiftCounters[Counter::LastZNumber] = m_state.totalCounters[Counter::LastZNumber];
    m_state.shiftCounters[Counter::CashAtShiftStart] = m_state.cashInDrawer;

    Printout out(m_state.lineWidth);
    out.centered(u"ОТКРЫТИЕ СМЕНЫ %1"_s.arg(m_state.shiftNumber));
    out.columns(m_state.shiftOpenedAt.toString(u"dd.MM.yyyy HH:mm"_s),
                u"КАССА %1"_s.arg(registerNumber));
    out.line(u"КАССИР "_s + cashier);
    print(out);
    return kOk;
}

Failure Device::endSession()
{
    if (!m_state.shiftOpen)
        return fail(ErrorCode::ShiftNotOpen);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;

    const int zNumber = static_cast<int>(m_state.totalCounters[Counter::LastZNumber]) + 1;
    m_state.totalCounters[Counter::LastZNumber] = zNumber;
    m_state.shiftCounters[Counter::LastZNumber] = zNumber;
    printXReport(u"Z-ОТЧЕТ %1"_s.arg(zNumber), false);
    Printout out(m_state.lineWidth);
    out.centered(u"СМЕНА ЗАКРЫТА"_s);
    print(out);

    m_effects.shifts.append(Effects::ClosedShift{m_state.shiftNumber, m_state.shiftOpenedAt, now(),
                                                 m_state.shiftCounters});
    m_state.shiftOpen = false;
    m_state.shiftOpenedAt = QDateTime();
    m_state.departmentSales.clear();
    m_state.shiftCounters.clear();
    m_state.shiftCounters[Counter::LastZNumber] = zNumber;
    m_state.shiftCounters[Counter::CashAtShiftStart] = m_state.cashInDrawer;
    return kOk;
}

Failure Device::setClerk(const QString& cashier)
{
    if (cashier.trimmed().isEmpty())
        return fail(ErrorCode::InvalidValue, Reason::EmptyText);
    if (const Failure f = checkText(cashier, kMaxCashierLength); !f.ok())
        return f;
    m_state.cashier = cashier;
    m_state.cashierSet = true;
    return kOk;
}

Failure Device::openDrawer()
{
    m_state.sensors.drawerOpen = true;
    return kOk;
}

Failure Device::printDuplicate()
{
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (m_state.lastReceipt.isEmpty())
        return fail(ErrorCode::NoReceiptForDuplicate);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    Printout out(m_state.lineWidth);
    out.centered(u"ДУБЛИКАТ"_s);
    for (const QString& line : m_state.lastReceipt)
        out.line(line);
    out.centered(u"ДУБЛИКАТ"_s);
    print(out);
    addToBoth(Counter::DuplicateCount, 1);
    addToBoth(Counter::DuplicateSum, m_state.lastReceiptTotal);
    return kOk;
}

// ---- documents ---------------------------------------------------------------------------------

Failure Device::startDocument(std::int32_t type, std::int32_t department, const QString& order,
                              const QString& cashier)
{
    if (type < 1 || type > 9)
        return fail(ErrorCode::UnknownDocumentType);
    const auto documentType = static_cast<DocumentType>(type);
    if (documentType == DocumentType::TextWithoutNumber && m_state.major < 4)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (const Failure f = requireShift(); !f.ok())
        return f;
    if (department < 1)
        return fail(ErrorCode::InvalidValue, Reason::NotPositive);
    if (department > 99)
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    if (const Failure f = checkText(order, kMaxOrderLength); !f.ok())
        return f;
    if (const Failure f = checkText(cashier, kMaxCashierLength); !f.ok())
        return f;
    if (const Failure f = checkPrinter(); !f.ok())
        return f;

    Document document;
    document.type = documentType;
    document.number =
        documentType == DocumentType::TextWithoutNumber ? 0 : m_state.allDocuments + 1;
    document.department = department;
    document.order = order;
    document.cashier = cashier.isEmpty() ? m_state.cashier : cashier;
    document.openedAt = now();
    m_state.document = document;
    printHeader(document);
    m_state.pendingExtraData.clear();
    return kOk;
}

Failure Device::setExtraDocData(int firstGeneration, int lastGeneration, const QStringList& values)
{
    if (m_state.major < firstGeneration || m_state.major > lastGeneration)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    static const int descriptors[] = {42, 81, 82, 80};
    QStringList lines;
    for (qsizetype i = 0; i < values.size() && i < 4; ++i) {
        if (values[i].isEmpty())
            continue;
        const QString line = u"%1: "_s.arg(descriptors[i]) + values[i];
        if (const Failure f = checkText(line, m_state.lineWidth); !f.ok())
            return f;
        lines.append(line);
    }
    m_state.pendingExtraData = lines;
    return kOk;
}

void Device::finishDocument(bool cancelled, Kopecks total)
{
    const Document& document = *m_state.document;
    if (document.number > 0)
        m_state.allDocuments += 1;
    if (document.type == DocumentType::Text)
        m_state.nonFiscalDocuments += 1;
    m_state.lastDocumentAt = now();
    m_effects.documents.append(Effects::IssuedDocument{
        document.number, static_cast<int>(document.type), m_state.shiftNumber,
        m_state.lastDocumentAt, total, cancelled, document.lines});
    m_state.document.reset();
}

Failure Device::closeDocument()
{
    Document& document = *m_state.document;
    const DocumentType type = document.type;
    const Kopecks paid = paidTotal();
    Kopecks nonCash = 0;
    for (const Payment& payment : document.payments) {
        if (payment.type != 8)
            nonCash += payment.amount;
    }

    const bool positional = takesPositions(type);
    const Kopecks total = positional ? documentTotal() : paid;
    if (document.payments.isEmpty() && (!positional || total > 0))
        return fail(ErrorCode::PaymentInsufficient, Reason::NoPayment);
    if (positional && total == 0 && option(16) == 0)
        return fail(ErrorCode::ZeroTotal);
    if (paid < total)
        return fail(ErrorCode::PaymentInsufficient);
    if (nonCash > total)
        return fail(ErrorCode::NonCashExceedsTotal);
    const Kopecks change = paid - total;
    const Kopecks cashNet = paid - nonCash - change;
    const int direction = moneyDirection(type);
    if (option(15) != 0 && direction < 0 && m_state.cashInDrawer < cashNet)
        return fail(ErrorCode::InsufficientCash);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;

    Printout out(m_state.lineWidth);
    out.separator();
    out.amountLine(u"ИТОГ"_s, total);
    for (const Payment& payment : document.payments) {
        out.amountLine(paymentName(payment.type), payment.amount);
        if (payment.type != 8 && !payment.card.isEmpty())
            out.line(u"  КАРТА "_s + payment.card);
        if (payment.type != 8 && !payment.reference.isEmpty())
            out.line(u"  ДОКУМЕНТ "_s + payment.reference);
    }
    if (change > 0)
        out.amountLine(u"СДАЧА"_s, change);
    if (positional) {
        for (const QString& extra : m_state.extraStrings2)
            out.line(extra);
    }
    out.separator();
    out.columns(u"ЭКЛЗ "_s + m_state.eklzNumber,
                u"КПК %1"_s.arg(m_state.fiscalDocuments + 1, 8, 10, QChar(u'0')));
    out.centered(u"ФП"_s);
    print(out);

    for (int i = 0; i < kCounterCount; ++i) {
        const qint64 value = document.body.delta.values()[static_cast<std::size_t>(i)];
        if (value != 0)
            addToBoth(static_cast<Counter>(i + 1), value);
    }
    // Per payment type the money that stayed: the change goes back out of the cash total.
    for (const Payment& payment : document.payments)
        addToBoth(static_cast<Counter>(payment.type), direction * payment.amount);
    if (change > 0)
        addToBoth(static_cast<Counter>(8), -direction * change);
    m_state.cashInDrawer = saturatingAdd(m_state.cashInDrawer, direction * cashNet);

    switch (type) {
    case DocumentType::Sale:
        addToBoth(Counter::SaleCount, 1);
        addToBoth(Counter::SalesTotal, total);
        m_state.grandSalesTotal = saturatingAdd(m_state.grandSalesTotal, total);
        for (const Entry& entry : document.body.entries) {
            if (isPosition(entry.kind)) {
                Kopecks& sum = m_state.departmentSales[entry.department];
                sum = saturatingAdd(sum, entrySign(entry.kind) * entry.amount);
            }
        }
        break;
    case DocumentType::SaleAnnulment:
        addToBoth(Counter::AnnulmentCount, 1);
        addToBoth(Counter::AnnulmentSum, total);
        addToBoth(Counter::SaleReturnCount, 1);
        addToBoth(Counter::SaleReturnSum, total);
        break;
    case DocumentType::Refund:
        addToBoth(Counter::RefundCount, 1);
        addToBoth(Counter::RefundSum, total);
        addToBoth(Counter::SaleReturnCount, 1);
        addToBoth(Counter::SaleReturnSum, total);
        break;
    case DocumentType::CashIn:
        addToBoth(Counter::CashInCount, 1);
        addToBoth(Counter::CashInSum, total);
        break;
    case DocumentType::CashOut:
        addToBoth(Counter::CashOutCount, 1);
        addToBoth(Counter::CashOutSum, total);
        break;
    case DocumentType::Purchase:
        addToBoth(Counter::PurchaseCount, 1);
        addToBoth(Counter::PurchaseSum, total);
        break;
    case DocumentType::PurchaseReturn:
        addToBoth(Counter::PurchaseReturnCount, 1);
        addToBoth(Counter::PurchaseReturnSum, total);
        break;
    default:
        break;
    }

    m_state.fiscalDocuments += 1;
    m_state.lastReceipt = document.lines;
    m_state.lastReceiptTotal = total;
    finishDocument(false, total);
    return kOk;
}

Failure Device::endDocument()
{
    if (!m_state.document)
        return fail(ErrorCode::NoOpenDocument);
    if (!isTextDocument(m_state.document->type))
        return closeDocument();
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    Printout out(m_state.lineWidth);
    out.separator();
    if (m_state.document->number > 0)
        out.centered(u"НЕФИСКАЛЬНЫЙ ДОКУМЕНТ"_s);
    print(out);
    finishDocument(false, 0);
    return kOk;
}

Failure Device::cancelDocument()
{
    if (!m_state.document)
        return fail(ErrorCode::NoOpenDocument);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    const DocumentType type = m_state.document->type;
    const Kopecks total = takesPositions(type) ? documentTotal() : paidTotal();
    Printout out(m_state.lineWidth);
    out.separator();
    out.centered(u"ДОКУМЕНТ АННУЛИРОВАН"_s);
    print(out);
    if (!isTextDocument(type)) {
        addToBoth(Counter::CancelledCount, 1);
        addToBoth(Counter::CancelledSum, total);
    }
    finishDocument(true, total);
    return kOk;
}

Failure Device::printResult()
{
    using enum DocumentType;
    if (const Failure f = requireDocument({Sale, SaleAnnulment, Purchase, PurchaseReturn}); !f.ok())
        return f;
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    Printout out(m_state.lineWidth);
    out.amountLine(u"ПОДЫТОГ"_s, documentTotal());
    print(out);
    return kOk;
}

// ---- positions ---------------------------------------------------------------------------------

Failure Device::registerPosition(const PositionRequest& request, bool explicitDepartment)
{
    using enum DocumentType;
    const Failure kind = request.kind == EntryKind::Purchase
                             ? requireDocument({Purchase, PurchaseReturn})
                         : request.kind == EntryKind::Goods ? requireDocument({Sale, SaleAnnulment})
                                                            : requireDocument({Sale});
    if (!kind.ok())
        return kind;
    if (explicitDepartment && m_state.major < 3 && request.kind != EntryKind::Purchase)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (const Failure f = requireNoPayment(); !f.ok())
        return f;
    if (request.quantity <= 0)
        return fail(ErrorCode::InvalidQuantity, Reason::NotPositive);
    if (request.quantity > kMaxQuantity)
        return fail(ErrorCode::InvalidQuantity, Reason::TooLarge);
    if (request.price < 0)
        return fail(ErrorCode::InvalidPrice, Reason::Negative);
    if (const Failure f = checkText(request.name, m_state.lineWidth); !f.ok())
        return f;
    if (request.taxGroup < 0 || request.taxGroup > 8)
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    Document& document = *m_state.document;
    const std::int32_t department = explicitDepartment ? request.department : document.department;
    if (department < 1 || department > 99)
        return fail(ErrorCode::InvalidValue,
                    department < 1 ? Reason::NotPositive : Reason::TooLarge);
    if (document.body.entries.size() >= kMaxEntries)
        return fail(ErrorCode::DocumentFull);
    const Kopecks amount = roundedAmount(request.quantity, request.price);
    if (amount > kMaxAmount)
        return fail(ErrorCode::Overflow, Reason::TooLarge);
    const Kopecks total = documentTotal() + entrySign(request.kind) * amount;
    if (total > kMaxAmount)
        return fail(ErrorCode::Overflow, Reason::TooLarge);
    if (total < 0)
        return fail(ErrorCode::NegativeTotal);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;

    document.undo = document.body;
    PositionRequest registered = request;
    registered.department = department;
    document.body.entries.append(Entry{request.kind, request.quantity, request.price, request.name,
                                       request.taxGroup, department, amount});
    if (request.kind == EntryKind::Tare) {
        document.body.delta[Counter::TareSaleCount] += 1;
        document.body.delta[Counter::TareSaleSum] += amount;
    } else if (request.kind == EntryKind::TareReturn) {
        document.body.delta[Counter::TareReturnCount] += 1;
        document.body.delta[Counter::TareReturnSum] += amount;
    }
    document.body.lastPosition = registered;
    document.body.lastOperationAmount = amount;

    Printout out(m_state.lineWidth);
    const QString prefix = request.kind == EntryKind::Tare         ? u"ТАРА"_s
                           : request.kind == EntryKind::TareReturn ? u"ВОЗВРАТ ТАРЫ"_s
                                                                   : QString();
    printPositionLines(out, request.name, request.quantity, request.price,
                       entrySign(request.kind) * amount, prefix);
    if (department != document.department)
        out.line(u"  ОТДЕЛ %1"_s.arg(department));
    print(out);
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
    const Failure allowed = kind == EntryKind::Purchase
                                ? requireDocument({Purchase, PurchaseReturn})
                            : kind == EntryKind::Goods ? requireDocument({Sale, SaleAnnulment})
                                                       : requireDocument({Sale});
    if (!allowed.ok())
        return allowed;
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
    const Entry& entry = document.body.entries[found];
    const qint64 left = entry.quantity - *quantity;
    const Kopecks leftAmount = roundedAmount(left, price);
    const Kopecks voided = entry.amount - leftAmount;
    const Kopecks total = documentTotal() - entrySign(kind) * voided;
    if (total < 0)
        return fail(ErrorCode::NegativeTotal);
    if (total > kMaxAmount)
        return fail(ErrorCode::Overflow, Reason::TooLarge);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;

    document.undo = document.body;
    if (left == 0) {
        document.body.entries.removeAt(found);
    } else {
        document.body.entries[found].quantity = left;
        document.body.entries[found].amount = leftAmount;
    }
    document.body.delta[Counter::VoidCount] += 1;
    document.body.delta[Counter::VoidSum] += voided;
    document.body.lastPosition.reset();
    document.body.lastOperationAmount = voided;

    Printout out(m_state.lineWidth);
    printPositionLines(out, name, *quantity, price, -entrySign(kind) * voided, u"СТОРНО"_s);
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
    document.body = *document.undo;
    document.undo.reset();
    document.body.lastPosition.reset();
    document.body.delta[Counter::CorrectionCount] += 1;
    document.body.delta[Counter::CorrectionSum] += undone;

    Printout out(m_state.lineWidth);
    out.amountLine(u"КОРРЕКЦИЯ"_s, undone);
    print(out);
    return kOk;
}

// ---- corrections -------------------------------------------------------------------------------

Failure Device::addCorrection(Kopecks signedAmount, const QString& caption)
{
    Document& document = *m_state.document;
    const bool anyPosition =
        std::any_of(document.body.entries.cbegin(), document.body.entries.cend(),
                    [](const Entry& e) { return isPosition(e.kind); });
    if (!anyPosition)
        return fail(ErrorCode::NotAllowedInState, Reason::NoPreviousOperation);
    const Kopecks total = documentTotal() + signedAmount;
    if (total < 0)
        return fail(ErrorCode::NegativeTotal);
    if (total > kMaxAmount)
        return fail(ErrorCode::Overflow, Reason::TooLarge);
    if (document.body.entries.size() >= kMaxEntries)
        return fail(ErrorCode::DocumentFull);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;

    const bool discount = signedAmount < 0;
    const Kopecks amount = discount ? -signedAmount : signedAmount;
    document.undo = document.body;
    document.body.entries.append(Entry{discount ? EntryKind::Discount : EntryKind::Surcharge, 0, 0,
                                       caption, 0, document.department, amount});
    Counters& delta = document.body.delta;
    delta[discount ? Counter::DiscountCount : Counter::SurchargeCount] += 1;
    delta[discount ? Counter::DiscountSum : Counter::SurchargeSum] += amount;
    if (isSaleSide()) {
        delta[discount ? Counter::SaleDiscountCount : Counter::SaleSurchargeCount] += 1;
        delta[discount ? Counter::SaleDiscountSum : Counter::SaleSurchargeSum] += amount;
    } else {
        delta[discount ? Counter::PurchaseDiscountCount : Counter::PurchaseSurchargeCount] += 1;
        delta[discount ? Counter::PurchaseDiscountSum : Counter::PurchaseSurchargeSum] += amount;
    }
    document.body.lastPosition.reset();
    document.body.lastOperationAmount = amount;

    Printout out(m_state.lineWidth);
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
    const QString caption = text && !text->isEmpty() ? *text
                            : amount < 0             ? u"СКИДКА"_s
                                                     : u"НАДБАВКА"_s;
    return addCorrection(amount, caption);
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
    const Kopecks base = documentTotal();
    const Kopecks share = roundedShare(base, percent < 0 ? -percent : percent);
    if (base > 0 && share == 0)
        return fail(ErrorCode::InvalidAmount, Reason::NotPositive);
    const QString caption =
        (percent < 0 ? u"СКИДКА %1%"_s : u"НАДБАВКА %1%"_s).arg(percent < 0 ? -percent : percent);
    return addCorrection(percent < 0 ? -share : share, caption);
}

// ---- payments ----------------------------------------------------------------------------------

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
    if (amount > static_cast<double>(kMaxAmount))
        return fail(ErrorCode::InvalidAmount, Reason::TooLarge);
    const Kopecks kopecks = std::llround(amount);
    if (kopecks <= 0)
        return fail(ErrorCode::InvalidAmount, Reason::NotPositive);
    const std::optional<int> type = paymentTypeOf(typeValue);
    if (!type)
        return fail(ErrorCode::UnknownPaymentType);
    const QString cardText = card.toString();
    if (const Failure f = checkText(cardText, kMaxPaymentTextLength); !f.ok())
        return f;
    if (const Failure f = checkText(reference, kMaxPaymentTextLength); !f.ok())
        return f;
    Document& document = *m_state.document;
    if ((document.type == CashIn || document.type == CashOut) && *type != 8)
        return fail(ErrorCode::NotAllowedInDocument, Reason::OnlyCash);
    const Kopecks paid = paidTotal();
    if (paid + kopecks > kMaxAmount)
        return fail(ErrorCode::Overflow, Reason::TooLarge);
    const bool positional = takesPositions(document.type);
    if (positional && !mode.cached) {
        const Kopecks due = documentTotal() - paid;
        if (due <= 0 && !document.payments.isEmpty())
            return fail(ErrorCode::NotAllowedInState);
        if (*type != 8 && kopecks > due)
            return fail(ErrorCode::NonCashExceedsTotal);
    }

    // A covering payment may close the receipt; if closing is refused the payment is undone too,
    // so that a failed call leaves the device as it found it.
    const DeviceState before = m_state;
    document.payments.append(Payment{*type, kopecks, cardText, reference, mode.cached});
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

// ---- text --------------------------------------------------------------------------------------

Failure Device::textLine(const QString& text, PrintAttributes attributes)
{
    if (!m_state.document)
        return fail(ErrorCode::NoOpenDocument);
    if (!isTextDocument(m_state.document->type) && m_state.major < 5)
        return fail(ErrorCode::NotSupportedByGeneration);
    // Print attributes belong to the unnumbered text document of generation 4 and later.
    if (m_state.document->type != DocumentType::TextWithoutNumber || m_state.major < 4)
        attributes = PrintAttributes{};
    const int limit = attributes.doubleWidth ? m_state.lineWidth / 2 : m_state.lineWidth;
    if (const Failure f = checkText(text, limit); !f.ok())
        return f;
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    Printout out(m_state.lineWidth);
    out.attributed(text, {attributes.doubleWidth, attributes.doubleHeight, attributes.underline});
    print(out);
    return kOk;
}

Failure Device::addExtraString(const QString& line)
{
    if (m_state.major < 4)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (const Failure f = checkText(line, kMaxExtraStringLength); !f.ok())
        return f;
    if (m_state.extraStrings.size() >= kMaxExtraStrings)
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    m_state.extraStrings.append(line);
    return kOk;
}

Failure Device::clearExtraStrings()
{
    if (m_state.major < 4)
        return fail(ErrorCode::NotSupportedByGeneration);
    m_state.extraStrings.clear();
    return kOk;
}

Failure Device::addExtraString2(const QString& text, const QString& number)
{
    if (m_state.major < 6)
        return fail(ErrorCode::NotSupportedByGeneration);
    // Without a number the line goes after the last one.
    int index = m_state.extraStrings2.isEmpty() ? 1 : m_state.extraStrings2.lastKey() + 1;
    if (!number.trimmed().isEmpty()) {
        bool ok = false;
        index = number.trimmed().toInt(&ok);
        if (!ok)
            return fail(ErrorCode::InvalidValue, Reason::NotANumber);
    }
    if (index < 1)
        return fail(ErrorCode::InvalidValue, Reason::NotPositive);
    if (index > kMaxExtraStrings)
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    if (const Failure f = checkText(text, m_state.lineWidth); !f.ok())
        return f;
    m_state.extraStrings2.insert(index, text);
    return kOk;
}

Failure Device::clearExtraStrings2()
{
    if (m_state.major < 6)
        return fail(ErrorCode::NotSupportedByGeneration);
    m_state.extraStrings2.clear();
    return kOk;
}

// ---- reports and tests -------------------------------------------------------------------------

Failure Device::printReport(std::int32_t kind)
{
    if (kind != 1 && kind != 2 && kind != 3 && kind != 11)
        return fail(ErrorCode::UnknownIndex);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (kind == 3)
        return endSession();
    if (kind != 11 && !m_state.shiftOpen)
        return fail(ErrorCode::ShiftNotOpen);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    if (kind == 1 || kind == 2) {
        printXReport(kind == 1 ? u"X-ОТЧЕТ"_s : u"X2-ОТЧЕТ ПО ОТДЕЛАМ"_s, kind == 2);
        return kOk;
    }
    Printout out(m_state.lineWidth);
    out.centered(u"ОТЧЕТ ПО ПРОГРАММИРОВАНИЮ"_s);
    out.columns(u"ВЕРСИЯ"_s, u"%1.%2"_s.arg(m_state.major).arg(m_state.minor));
    out.columns(u"ЗАВ. НОМЕР"_s, m_state.serial);
    for (int number = 3; number <= 51; ++number)
        out.columns(u"ОПЦИЯ %1"_s.arg(number), QString::number(option(number)));
    out.columns(u"СКОРОСТЬ"_s, QString::number(option(101)));
    print(out);
    return kOk;
}

Failure Device::testPrinter(std::int32_t kind)
{
    if (kind < 1 || kind > 3)
        return fail(ErrorCode::UnknownIndex);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    Printout out(m_state.lineWidth);
    switch (kind) {
    case 1:
        out.centered(u"ПРОБНЫЙ ЧЕК"_s);
        out.line(now().toString(u"dd.MM.yyyy HH:mm"_s));
        out.columns(u"ТОВАР"_s, u"=1.00"_s);
        out.amountLine(u"ИТОГ"_s, 100);
        out.centered(u"НЕФИСКАЛЬНЫЙ ДОКУМЕНТ"_s);
        break;
    case 2:
        out.centered(u"ТЕСТ ПЕЧАТИ"_s);
        out.line(u"0123456789 !\"#$%&'()*+,-./:;<=>?@"_s);
        out.line(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s);
        out.line(u"АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"_s);
        out.line(u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя"_s);
        out.separator(u'=');
        break;
    default:
        out.centered(u"ТЕСТ ПРИНТЕРА"_s);
        out.columns(u"ВЕРСИЯ"_s, u"%1.%2"_s.arg(m_state.major).arg(m_state.minor));
        out.columns(u"ЗАВ. НОМЕР"_s, m_state.serial);
        out.columns(u"БУМАГА"_s, m_state.sensors.paperNearEnd ? u"МАЛО"_s : u"НОРМА"_s);
        out.columns(u"БАТАРЕЯ"_s, m_state.sensors.batteryLow ? u"РАЗРЯЖЕНА"_s : u"НОРМА"_s);
        out.columns(u"ЭКЛЗ"_s, m_state.sensors.eklzNearFull ? u"ПОЧТИ ЗАПОЛНЕНА"_s : u"НОРМА"_s);
        break;
    }
    print(out);
    return kOk;
}

// ---- options and information -------------------------------------------------------------------

Failure Device::setDeviceOption(std::int32_t number, std::int32_t value)
{
    if (!isKnownDeviceOption(number))
        return fail(ErrorCode::UnknownIndex);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    switch (number) {
    case 101:
        if (value < 0 || value > 6)
            return fail(ErrorCode::InvalidSpeed);
        break;
    case 37:
        if (value < 1 || value > 24)
            return fail(ErrorCode::InvalidValue,
                        value < 1 ? Reason::NotPositive : Reason::TooLarge);
        if (m_state.shiftOpen)
            return fail(ErrorCode::ShiftAlreadyOpen);
        break;
    case 15:
    case 16:
        if (value < 0 || value > 1)
            return fail(ErrorCode::InvalidValue, Reason::TooLarge);
        break;
    case 23:
        if (value < 0 || value > 2)
            return fail(ErrorCode::InvalidValue, Reason::TooLarge);
        break;
    default:
        return fail(ErrorCode::NotSupportedYet);
    }
    if (value == defaultDeviceOption(number))
        m_state.options.remove(number);
    else
        m_state.options.insert(number, value);
    return kOk;
}

std::int32_t Device::deviceOption(std::int32_t number, Failure& failure) const
{
    if (number == 46) {
        if (m_state.major < 6) {
            failure = fail(ErrorCode::NotSupportedByGeneration);
            return -1;
        }
        const bool purchase =
            m_state.document && (m_state.document->type == DocumentType::Purchase ||
                                 m_state.document->type == DocumentType::PurchaseReturn);
        return purchase ? 1 : 0;
    }
    if (!isKnownDeviceOption(number)) {
        failure = fail(ErrorCode::UnknownIndex);
        return -1;
    }
    return option(number);
}

std::int32_t Device::deviceInfo(std::int32_t index, Failure& failure) const
{
    const Sensors& s = m_state.sensors;
    const bool open = m_state.document.has_value();
    const auto flag = [](bool value) { return value ? 1 : 0; };
    const auto newer = [&](int generation, std::int32_t value) {
        if (m_state.major >= generation)
            return value;
        failure = fail(ErrorCode::NotSupportedByGeneration);
        return -1;
    };
    switch (index) {
    case 1:
        return flag(s.paperNearEnd);
    case 2:
        return 1; // the device is registered with the tax office
    case 3:
        return flag(s.eklzNearFull);
    case 4:
        return flag(m_state.shiftOpen);
    case 5:
        return flag(m_state.cashierSet);
    case 6:
        return flag(open && !isTextDocument(m_state.document->type));
    case 7:
        return flag(open && isTextDocument(m_state.document->type));
    case 8:
        return 0;
    case 9:
        return flag(s.printerError);
    case 10:
        return flag(s.paperOut);
    case 11:
        return 0;
    case 12:
        return 0;
    case 13:
        return 0;
    case 14:
        return flag(!checkShiftLimit().ok());
    case 23:
        return m_state.shiftNumber;
    case 24:
        return m_state.fiscalDocuments;
    case 25:
        return m_state.nonFiscalDocuments;
    case 26:
        return m_state.allDocuments;
    case 27:
        return m_state.shiftNumber;
    case 32:
        return flag(!s.paperOut && !s.printerError);
    case 33:
        return 0; // no second printer is fitted
    case 34:
        return flag(s.drawerOpen);
    case 35:
        return flag(s.batteryLow);
    case 36:
        return flag(!s.printerError);
    case 37:
        return 0;
    case 38:
        return flag(s.printerError);
    case 39:
        return flag(s.paperNearEnd);
    case 40:
        return flag(s.eklzNearFull);
    case 42:
        return newer(5, flag(m_state.shiftOpen));
    case 43:
        return newer(6, 0);
    case 44:
        return newer(6, flag(s.paperOut));
    case 45:
        return 0; // standard paper
    case 102:
        return open ? static_cast<std::int32_t>(m_state.document->type) : 0;
    case 103:
        return 0; // slip printing mode off
    case 201:
        return m_state.major;
    case 202:
        return m_state.minor;
    default:
        failure = fail(ErrorCode::UnknownIndex);
        return -1;
    }
}

QString Device::textInfo(std::int32_t index, Failure& failure) const
{
    const auto newer = [&](const QString& value) {
        if (m_state.major >= 4)
            return value;
        failure = fail(ErrorCode::NotSupportedByGeneration);
        return QString();
    };
    switch (index) {
    case 20:
        return m_state.serial;
    case 21:
        return m_state.taxpayerNumber;
    case 22:
        return m_state.registration;
    case 23:
        return formatMoney(m_state.grandSalesTotal);
    case 24:
        return u"%1.%2"_s.arg(m_state.major).arg(m_state.minor);
    case 25:
        return newer(u"%1"_s.arg(m_state.fiscalDocuments, 8, 10, QChar(u'0')));
    case 26:
        return newer(m_state.eklzNumber);
    case 27:
        return newer(m_state.lastDocumentAt.toString(u"dd.MM.yyyy"_s));
    case 28:
        return newer(m_state.lastDocumentAt.toString(u"HH:mm"_s));
    default:
        break;
    }
    // Descriptors (1000 + n) and device messages (1200 + n) are not programmable yet: empty.
    if ((index >= 1000 && index <= 1122) || (index >= 1200 && index <= 1322))
        return QString();
    failure = fail(ErrorCode::UnknownIndex);
    return QString();
}

double Device::doubleInfo(std::int32_t index, Failure& failure) const
{
    const bool shift = index >= 301 && index <= 356;
    const bool total = index >= 401 && index <= 456;
    if (!shift && !total) {
        failure = fail(ErrorCode::UnknownIndex);
        return -1;
    }
    const int number = index % 100;
    const int available = m_state.major >= 6   ? 56
                          : m_state.major == 5 ? 40
                          : m_state.major == 4 ? 38
                                               : 0;
    if (number > available) {
        failure = fail(ErrorCode::NotSupportedByGeneration);
        return -1;
    }
    if (total && number == static_cast<int>(Counter::CashAtShiftStart))
        return static_cast<double>(m_state.cashInDrawer);
    const Counters& counters = shift ? m_state.shiftCounters : m_state.totalCounters;
    return static_cast<double>(counters.at(number));
}

std::int32_t Device::documentInfo(std::int32_t index, Failure& failure) const
{
    if ((index >= 10 && index <= 14 && m_state.major < 4) || (index == 15 && m_state.major < 3)) {
        failure = fail(ErrorCode::NotSupportedByGeneration);
        return -1;
    }
    if (index < 2 || index > 15 || index == 7 || index == 8) {
        failure = fail(ErrorCode::UnknownIndex);
        return -1;
    }
    if (!m_state.document)
        return index == 9 ? kMaxEntries : index == 15 ? kDocumentMemory : 0;
    const Document& document = *m_state.document;
    const auto clamp = [](qint64 v) {
        return static_cast<std::int32_t>(std::clamp<qint64>(v, INT32_MIN, INT32_MAX));
    };
    qint64 quantity = 0;
    std::set<std::tuple<int, QString, Kopecks, int, int>> distinct;
    for (const Entry& e : document.body.entries) {
        if (isPosition(e.kind)) {
            quantity += e.quantity;
            distinct.emplace(static_cast<int>(e.kind), e.name, e.price, e.taxGroup, e.department);
        }
    }
    const auto entries = static_cast<std::int32_t>(document.body.entries.size());
    switch (index) {
    case 2:
        return clamp(quantity);
    case 3:
        return static_cast<std::int32_t>(distinct.size());
    case 4:
    case 10:
        return clamp(documentTotal());
    case 5:
    case 13:
        return static_cast<std::int32_t>(document.payments.size());
    case 6:
    case 11:
        return clamp(paidTotal());
    case 9:
        return kMaxEntries - entries;
    case 12:
        return entries;
    case 14:
        return static_cast<std::int32_t>(document.type);
    case 15:
        return kDocumentMemory - 80 * entries;
    default:
        return 0;
    }
}

} // namespace emulator
