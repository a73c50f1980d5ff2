#include "TapeLayout.h"

#include "DeviceNumbers.h"
#include "DeviceOptions.h"
#include "DocumentKinds.h"

using namespace Qt::StringLiterals;

namespace emulator::tape {
namespace {

// A printed date and time, the date in the order option 22 asks for.
QString printed(const DeviceState& state, const QDateTime& at)
{
    switch (optionValue(state, DeviceOption::DateFormat)) {
    case DateOrder::YearMonthDay:
        return at.toString(u"yyyy.MM.dd HH:mm"_s);
    case DateOrder::MonthDayYear:
        return at.toString(u"MM.dd.yyyy HH:mm"_s);
    default:
        return at.toString(u"dd.MM.yyyy HH:mm"_s);
    }
}

// The purchases of a receipt as option 21 counts them: its positions, or their whole quantity.
QString purchases(const DeviceState& state, const Document& document)
{
    qint64 positions = 0;
    qint64 quantity = 0;
    for (const Entry& entry : document.body.entries) {
        if (isPosition(entry.kind)) {
            positions += 1;
            quantity += entry.quantity;
        }
    }
    return optionValue(state, DeviceOption::CountTotalQuantity) != 0 ? formatQuantity(quantity)
                                                                     : QString::number(positions);
}

QString meanName(const DeviceState& state, int type)
{
    return state.peripherals.paymentMeans[static_cast<std::size_t>(type - PaymentType::First)].name;
}

// The pictures at the head of a receipt, centred: the chosen slot's, then pictures 1 to 3 as
// their options ask (a picture already printed as the chosen one is not printed twice).
void receiptPictures(Printout& out, const DeviceState& state)
{
    QList<int> chosen;
    if (state.chosenPicture > 0)
        chosen.append(state.chosenPicture);
    for (int n = 1; n <= 3; ++n) {
        if (optionValue(state, DeviceOption::PrintPictureBase + n) != 0 && !chosen.contains(n))
            chosen.append(n);
    }
    for (int slot : chosen) {
        const auto picture = state.pictures.constFind(slot);
        if (picture != state.pictures.cend())
            out.raster(picture->placed(kPrintWidthDots, 1));
    }
}

// The programmed bar code where a height option asks for it (0: not printed, 1 to 3: that many
// times its programmed height), with its readable text before and after as programmed.
void receiptBarCode(Printout& out, const DeviceState& state, int heightOption)
{
    const int factor = optionValue(state, heightOption);
    if (!state.barCode || factor <= 0)
        return;
    const BarCode& code = *state.barCode;
    if (code.textBefore && !code.text.isEmpty())
        out.centered(code.text);
    out.raster(code.raster(factor));
    if (code.textAfter && !code.text.isEmpty())
        out.centered(code.text);
}

QString version(const DeviceState& state)
{
    return u"%1.%2"_s.arg(state.major).arg(state.minor);
}

} // namespace

void shiftOpened(Printout& out, const DeviceState& state)
{
    out.centered(kShiftOpenedTitle + u" %1"_s.arg(state.shiftNumber));
    out.columns(printed(state, state.shiftOpenedAt), u"КАССА %1"_s.arg(state.registerNumber));
    out.line(u"КАССИР "_s + state.cashier);
}

void shiftTotals(Printout& out, const Counters& c, bool corrections)
{
    struct Row
    {
        const char16_t* caption;
        Counter count;
        Counter sum;
    };
    using enum Counter;
    static constexpr Row kRows[] = {
        {u"ПРОДАЖИ", SaleCount, SalesTotal},
        {u"АННУЛИРОВАНИЯ", AnnulmentCount, AnnulmentSum},
        {u"ВОЗВРАТЫ", RefundCount, RefundSum},
        {u"ПОКУПКИ", PurchaseCount, PurchaseSum},
        {u"ВОЗВРАТЫ ПОКУПОК", PurchaseReturnCount, PurchaseReturnSum},
        {u"ВНЕСЕНИЯ", CashInCount, CashInSum},
        {u"ВЫПЛАТЫ", CashOutCount, CashOutSum},
        // The corrections within documents follow the documents themselves.
        {u"СКИДКИ", DiscountCount, DiscountSum},
        {u"НАДБАВКИ", SurchargeCount, SurchargeSum},
        {u"СТОРНО", VoidCount, VoidSum},
        {u"КОРРЕКЦИИ", CorrectionCount, CorrectionSum},
        {u"ОТМЕНЫ ЧЕКОВ", CancelledCount, CancelledSum},
        {u"ДУБЛИКАТЫ", DuplicateCount, DuplicateSum},
    };
    constexpr std::size_t kDocumentRows = 7;
    const std::size_t rows = corrections ? std::size(kRows) : kDocumentRows;
    for (std::size_t i = 0; i < rows; ++i) {
        const Row& row = kRows[i];
        out.columns(QString::fromUtf16(row.caption) + u' ' + QString::number(c[row.count]),
                    u'=' + formatMoney(c[row.sum]));
    }
}

void shiftReport(Printout& out, const DeviceState& state, const QString& title, bool byDepartment,
                 const QDateTime& at)
{
    const Counters& c = state.shiftCounters;
    out.centered(title);
    out.columns(u"ККМ "_s + state.serial, u"ИНН "_s + state.taxpayerNumber);
    out.columns(printed(state, at), u"СМЕНА %1"_s.arg(state.shiftNumber));
    if (state.shiftOpenedAt.isValid())
        out.line(u"ОТКРЫТА "_s + printed(state, state.shiftOpenedAt));
    out.line(u"КАССИР "_s + state.cashier);
    out.separator();
    shiftTotals(out, c, true);
    out.separator();
    for (int type = PaymentType::First; type <= PaymentType::Last; ++type) {
        const qint64 sum = c.at(type);
        if (sum != 0)
            out.amountLine(meanName(state, type), sum);
    }
    if (byDepartment) {
        out.separator();
        for (auto it = state.departmentSales.cbegin(); it != state.departmentSales.cend(); ++it)
            out.amountLine(u"ОТДЕЛ %1"_s.arg(it.key()), it.value());
    }
    out.separator();
    out.amountLine(u"НАЛИЧНЫХ В КАССЕ"_s, state.cashInDrawer);
    out.amountLine(u"НАРАСТАЮЩИЙ ИТОГ"_s, state.grandSalesTotal);
}

void programmingReport(Printout& out, const DeviceState& state)
{
    out.centered(u"ОТЧЕТ ПО ПРОГРАММИРОВАНИЮ"_s);
    out.columns(u"ВЕРСИЯ"_s, version(state));
    out.columns(u"ЗАВ. НОМЕР"_s, state.serial);
    for (int number = DeviceOption::First; number <= DeviceOption::Last; ++number)
        out.columns(u"ОПЦИЯ %1"_s.arg(number), QString::number(optionValue(state, number)));
    out.columns(u"СКОРОСТЬ"_s, QString::number(optionValue(state, DeviceOption::Speed)));
    out.columns(u"КОРРЕКЦИЯ ЧАСОВ"_s,
                QString::number(optionValue(state, DeviceOption::ClockCorrection)));
    out.columns(u"ТИП БУМАГИ"_s, QString::number(state.paperType));
    out.separator();
    out.line(u"ЗАГОЛОВОК ЧЕКА"_s);
    for (qsizetype line = 0; line < state.headerLines.size(); ++line) {
        const QString bold = state.headerBold.value(line) ? u" Ж"_s : QString();
        out.line(u"%1%2 %3"_s.arg(line + 1).arg(bold, state.headerLines.at(line)).trimmed());
    }
    out.separator();
    out.line(u"КАРТИНКИ"_s);
    if (state.pictures.isEmpty())
        out.line(u"НЕТ"_s);
    for (auto it = state.pictures.cbegin(); it != state.pictures.cend(); ++it) {
        const QString chosen = it.key() == state.chosenPicture ? u" *"_s : QString();
        out.columns(u"%1%2"_s.arg(it.key()).arg(chosen),
                    u"%1x%2"_s.arg(it.value().width).arg(it.value().height));
    }
}

void printerTest(Printout& out, const DeviceState& state, int kind, const QDateTime& at)
{
    switch (kind) {
    case TestKind::TrialReceipt:
        out.centered(u"ПРОБНЫЙ ЧЕК"_s);
        out.line(printed(state, at));
        out.columns(u"ТОВАР"_s, u"=1.00"_s);
        out.amountLine(u"ИТОГ"_s, 100);
        out.centered(u"НЕФИСКАЛЬНЫЙ ДОКУМЕНТ"_s);
        break;
    case TestKind::PrintTest:
        out.centered(u"ТЕСТ ПЕЧАТИ"_s);
        out.line(u"0123456789 !\"#$%&'()*+,-./:;<=>?@"_s);
        out.line(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s);
        out.line(u"АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"_s);
        out.line(u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя"_s);
        out.separator(u'=');
        break;
    default:
        out.centered(u"ТЕСТ ПРИНТЕРА"_s);
        out.columns(u"ВЕРСИЯ"_s, version(state));
        out.columns(u"ЗАВ. НОМЕР"_s, state.serial);
        out.columns(u"БУМАГА"_s, state.sensors.paperNearEnd ? u"МАЛО"_s : u"НОРМА"_s);
        out.columns(u"БАТАРЕЯ"_s, state.sensors.batteryLow ? u"РАЗРЯЖЕНА"_s : u"НОРМА"_s);
        out.columns(u"ЭКЛЗ"_s, state.sensors.eklzNearFull ? u"ПОЧТИ ЗАПОЛНЕНА"_s : u"НОРМА"_s);
        break;
    }
}

void duplicate(Printout& out, const QStringList& receipt)
{
    out.centered(u"ДУБЛИКАТ"_s);
    for (const QString& line : receipt)
        out.line(line);
    out.centered(u"ДУБЛИКАТ"_s);
}

void documentHeader(Printout& out, const DeviceState& state, const Document& document)
{
    const bool receipt = documentKind(document.type).positions;
    if (receipt)
        receiptPictures(out, state);
    // The programmed header opens every document; without one the device greets.
    const bool centred = optionValue(state, DeviceOption::CentreHeader) != 0;
    bool headerPrinted = false;
    for (int i = 0; i < DeviceState::kHeaderLines; ++i) {
        if (state.headerLines.at(i).isEmpty())
            continue;
        out.styled(state.headerLines.at(i), centred, state.headerBold.at(i), false);
        headerPrinted = true;
    }
    if (!headerPrinted)
        out.centered(u"ДОБРО ПОЖАЛОВАТЬ!"_s);
    out.columns(u"ККМ "_s + state.serial, u"ИНН "_s + state.taxpayerNumber);
    out.columns(printed(state, document.openedAt),
                document.number > 0 ? u"ДОК %1"_s.arg(document.number) : QString());
    out.columns(u"КАССИР "_s + document.cashier, u"ОТД %1"_s.arg(document.department));
    if (!document.order.isEmpty())
        out.line(u"ЗАКАЗ "_s + document.order);
    const QString title = documentTitle(document.type);
    if (!title.isEmpty())
        out.centered(title);
    if (receipt) {
        for (const QString& extra : state.extraStrings)
            out.line(extra);
    }
    for (const QString& descriptor : state.descriptors)
        out.line(descriptor);
    for (const QString& data : state.pendingExtraData)
        out.line(data);
    if (receipt)
        receiptBarCode(out, state, DeviceOption::StartBarCodeHeight);
    if (receipt && optionValue(state, DeviceOption::PrintDelimiter) != 0)
        out.separator(u'=');
}

void positionLines(Printout& out, const QString& name, qint64 quantity, Kopecks price,
                   Kopecks signedAmount, const QString& prefix)
{
    out.line(prefix.isEmpty() ? name : name.isEmpty() ? prefix : prefix + u' ' + name);
    out.columns(u"  "_s + formatQuantity(quantity) + u" x "_s + formatMoney(price),
                u'=' + formatMoney(signedAmount));
}

void receiptEnd(Printout& out, const DeviceState& state, const Document& document, Kopecks total,
                Kopecks change)
{
    out.separator();
    if (documentKind(document.type).positions &&
        optionValue(state, DeviceOption::PrintQuantity) != 0)
        out.columns(u"ПОКУПОК"_s, purchases(state, document));
    // The total in the style the options ask for, with an asterisk before the amount if asked.
    const QChar sign = optionValue(state, DeviceOption::AsteriskBeforeTotal) != 0 ? u'*' : u'=';
    Printout totalLine(out.width());
    totalLine.columns(u"ИТОГ"_s, sign + formatMoney(total));
    out.styled(totalLine.lines().constFirst(), false,
               optionValue(state, DeviceOption::BoldTotal) != 0,
               optionValue(state, DeviceOption::TallTotal) != 0);
    for (const Payment& payment : document.payments) {
        out.amountLine(meanName(state, payment.type), payment.amount);
        if (!payment.card.isEmpty())
            out.line(u"  КАРТА "_s + payment.card);
        if (payment.type != PaymentType::Cash && !payment.reference.isEmpty())
            out.line(u"  ДОКУМЕНТ "_s + payment.reference);
    }
    if (change > 0)
        out.amountLine(u"СДАЧА"_s, change);
    if (documentKind(document.type).positions) {
        for (const QString& extra : state.extraStrings2)
            out.line(extra);
        receiptBarCode(out, state, DeviceOption::EndBarCodeHeight);
    }
    out.separator();
    eklzStamp(out, state, state.lastKpk + 1);
    out.centered(u"ФП"_s);
}

QString kpkText(int kpk)
{
    return u"КПК %1"_s.arg(kpk, 8, 10, QChar(u'0'));
}

void eklzStamp(Printout& out, const DeviceState& state, int kpk)
{
    out.columns(u"ЭКЛЗ "_s + state.eklzNumber, kpkText(kpk));
}

void textDocumentEnd(Printout& out, const Document& document)
{
    out.separator();
    if (document.number > 0)
        out.centered(u"НЕФИСКАЛЬНЫЙ ДОКУМЕНТ"_s);
}

void cancelled(Printout& out)
{
    out.separator();
    out.centered(u"ДОКУМЕНТ АННУЛИРОВАН"_s);
}

} // namespace emulator::tape
