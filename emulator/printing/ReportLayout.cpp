#include "ReportLayout.h"

#include "DeviceMessages.h"
#include "DeviceNumbers.h"
#include "DeviceOptions.h"
#include "TapeLayout.h"

using namespace Qt::StringLiterals;

namespace emulator::tape {
namespace {

QString version(const DeviceState& state)
{
    return u"%1.%2"_s.arg(state.major).arg(state.minor);
}

// Reports and tests are headed like receipts: the time with the open shift, the cashier set last
// with the register.
void reportHeading(Printout& out, const DeviceState& state, const QDateTime& at,
                   const QString& title)
{
    heading(out, state,
            {at, state.shiftOpen ? numbered(Word::Shift, state.shiftNumber) : QString(),
             state.cashier, numbered(Word::CashDesk, state.registerNumber)});
    out.centered(title);
}

void captioned(Printout& out, Word caption, const QString& value)
{
    out.columns(word(caption), value);
}

void trialReceipt(Printout& out, const DeviceState& state)
{
    constexpr Kopecks kPrice = 100;
    constexpr qint64 kOne = 1000; // thousandths
    positionLines(out, word(Word::Goods), kOne, kPrice, kPrice, QString());
    out.separator();
    out.amountLine(word(Word::Total), kPrice);
    out.amountLine(meanName(state, PaymentType::Cash), kPrice);
    out.separator();
    out.centered(word(Word::NonFiscal));
}

// The character set, then each print attribute the tape knows, named in its own style.
void printTest(Printout& out)
{
    out.line(u"0123456789"_s);
    out.line(u"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"_s);
    out.line(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s);
    out.line(u"abcdefghijklmnopqrstuvwxyz"_s);
    out.line(u"АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"_s);
    out.line(u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя"_s);
    out.separator();
    out.styled(word(Word::Bold), false, true, false);
    out.attributed(word(Word::DoubleWidth), {.doubleWidth = true});
    out.attributed(word(Word::DoubleHeight), {.doubleHeight = true});
    out.attributed(word(Word::Underlined), {.underline = true});
    out.attributed(word(Word::DoubleWidth),
                   {.doubleWidth = true, .doubleHeight = true, .underline = true});
    out.separator(u'=');
}

QString either(bool fault, Word faulty, Word sound = Word::Normal)
{
    return word(fault ? faulty : sound);
}

void selfTest(Printout& out, const DeviceState& state)
{
    const Sensors& s = state.sensors;
    captioned(out, Word::Version, version(state));
    captioned(out, Word::SerialNumber, state.serial);
    out.separator();
    captioned(out, Word::Paper,
              word(s.paperOut       ? Word::No
                   : s.paperNearEnd ? Word::Low
                                    : Word::Normal));
    captioned(out, Word::Drawer, either(s.drawerOpen, Word::IsOpen, Word::IsClosed));
    captioned(out, Word::Battery, either(s.batteryLow, Word::Discharged));
    captioned(out, Word::Eklz,
              word(s.eklzFull       ? Word::Full
                   : s.eklzNearFull ? Word::NearlyFull
                                    : Word::Normal));
    captioned(out, Word::Printer, either(s.printerError, Word::Error));
    captioned(out, Word::Slip, either(s.slipInserted, Word::Yes, Word::No));
    out.separator();
}

// The totals of a shift, each a count and a sum: first the documents, then the corrections within
// them. Cash-ins, cash-outs, cancelled receipts and duplicates concern no goods, so no department.
struct TotalsRow
{
    Word caption;
    Counter count;
    Counter sum;
    bool goods;
};

using enum Counter;
constexpr TotalsRow kTotalsRows[] = {
    {Word::Sales, SaleCount, SalesTotal, true},
    {Word::Annulments, AnnulmentCount, AnnulmentSum, true},
    {Word::Returns, RefundCount, RefundSum, true},
    {Word::Purchases, PurchaseCount, PurchaseSum, true},
    {Word::PurchaseReturns, PurchaseReturnCount, PurchaseReturnSum, true},
    {Word::CashIns, CashInCount, CashInSum, false},
    {Word::CashOuts, CashOutCount, CashOutSum, false},
    {Word::Discounts, DiscountCount, DiscountSum, true},
    {Word::Surcharges, SurchargeCount, SurchargeSum, true},
    {Word::Void, VoidCount, VoidSum, true},
    {Word::Corrections, CorrectionCount, CorrectionSum, true},
    {Word::Cancellations, CancelledCount, CancelledSum, false},
    {Word::Duplicates, DuplicateCount, DuplicateSum, false},
};
constexpr std::size_t kDocumentRows = 7;

// What the department rows of the X2 report count, printed above them: each department's part of
// the receipts' totals, as the shift's rows count them. The device's numbered messages are a
// fixed set, so this text is not among them.
const QString kDepartmentsAfterCorrections = u"С УЧЕТОМ СКИДОК И НАДБАВОК"_s;

// Each row as "CAPTION N   =sum"; `goodsOnly` for the rows of one department.
void totalsRows(Printout& out, const Counters& c, bool corrections, bool goodsOnly)
{
    const std::size_t rows = corrections ? std::size(kTotalsRows) : kDocumentRows;
    for (std::size_t i = 0; i < rows; ++i) {
        const TotalsRow& row = kTotalsRows[i];
        if (row.goods || !goodsOnly)
            out.columns(numbered(row.caption, c[row.count]), u'=' + formatMoney(c[row.sum]));
    }
}

} // namespace

void shiftOpened(Printout& out, const DeviceState& state)
{
    out.centered(kShiftOpenedTitle + u' ' + QString::number(state.shiftNumber));
    out.columns(printed(state, state.shiftOpenedAt),
                numbered(Word::CashDesk, state.registerNumber));
    out.line(word(Word::Cashier) + u' ' + state.cashier);
}

void shiftTotals(Printout& out, const Counters& c, bool corrections)
{
    totalsRows(out, c, corrections, false);
}

void shiftReport(Printout& out, const DeviceState& state, const QString& title, bool byDepartment,
                 const QDateTime& at)
{
    const Counters& c = state.shiftCounters;
    reportHeading(out, state, at, title);
    if (state.shiftOpenedAt.isValid() && optionValue(state, DeviceOption::PrintShiftStartOnReports))
        out.line(word(Word::Opened) + u' ' + printed(state, state.shiftOpenedAt));
    out.separator();
    shiftTotals(out, c, true);
    out.separator();
    for (int type = PaymentType::First; type <= PaymentType::Last; ++type) {
        const qint64 sum = c.at(type);
        if (sum != 0)
            out.amountLine(meanName(state, type), sum);
    }
    if (byDepartment) {
        for (auto it = state.departmentCounters.cbegin(); it != state.departmentCounters.cend();
             ++it) {
            out.separator();
            if (it == state.departmentCounters.cbegin())
                out.centered(kDepartmentsAfterCorrections);
            out.line(numbered(Word::Department, it.key()));
            totalsRows(out, it.value(), true, true);
        }
    }
    out.separator();
    out.amountLine(word(Word::CashInDrawer), state.cashInDrawer);
    out.amountLine(word(Word::RunningTotal), state.grandSalesTotal);
}

void programmingReport(Printout& out, const DeviceState& state, const QDateTime& at)
{
    reportHeading(out, state, at, word(Word::ProgrammingReport));
    captioned(out, Word::Version, version(state));
    captioned(out, Word::SerialNumber, state.serial);
    for (int number = DeviceOption::First; number <= DeviceOption::Last; ++number)
        out.columns(numbered(Word::Option, number), QString::number(optionValue(state, number)));
    captioned(out, Word::Speed, QString::number(optionValue(state, DeviceOption::Speed)));
    captioned(out, Word::ClockCorrection,
              QString::number(optionValue(state, DeviceOption::ClockCorrection)));
    captioned(out, Word::PaperType, QString::number(state.paperType));
    out.separator();
    out.line(word(Word::ReceiptHeader));
    for (qsizetype line = 0; line < state.headerLines.size(); ++line) {
        const QString bold = state.headerBold.value(line) ? u" Ж"_s : QString();
        out.line(u"%1%2 %3"_s.arg(line + 1).arg(bold, state.headerLines.at(line)).trimmed());
    }
    out.separator();
    out.line(word(Word::Pictures));
    if (state.pictures.isEmpty())
        out.line(word(Word::No));
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
        reportHeading(out, state, at, word(Word::TrialReceipt));
        trialReceipt(out, state);
        break;
    case TestKind::PrintTest:
        reportHeading(out, state, at, word(Word::PrintTest));
        printTest(out);
        break;
    default:
        reportHeading(out, state, at, word(Word::PrinterTest));
        selfTest(out, state);
        break;
    }
}

} // namespace emulator::tape
