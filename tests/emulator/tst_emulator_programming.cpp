#include "DeviceMessages.h"
#include "DeviceNumbers.h"
#include "EmulatorFixture.h"
#include "EmulatorTest.h"
#include "Printout.h"
#include "ResultCodes.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

// The lines of the last receipt on the tape, from its first header line on.
QList<TapeText> lastReceipt(const QString& folder)
{
    QList<TapeText> lines;
    for (const QString& line : tape(folder, 1, 40))
        lines << tapeText(line);
    return lines;
}

const TapeText* findLine(const QList<TapeText>& lines, const QString& start)
{
    for (const TapeText& line : lines) {
        if (line.text.trimmed().startsWith(start))
            return &line;
    }
    return nullptr;
}

// Device options and the values written to them, in order.
using OptionValues = QList<QPair<int, int>>;

void sellOne(Driver& d)
{
    QCOMPARE(d.StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    QCOMPARE(d.Item(1000, 1250, u"Хлеб"_s, 1), 0);
    QCOMPARE(d.Tender2(1250, PaymentType::Cash, QString(), QString()), 0);
}

} // namespace

class TestEmulatorProgramming : public EmulatorTest
{
    Q_OBJECT

public:
    TestEmulatorProgramming() : EmulatorTest(Start::NewDevice) {}

private slots:
    void optionWrites_data();
    void optionWrites();
    void optionsChangeTheReceipt();
    void programmingReportListsWhatIsProgrammed();
    void optionEffects_data();
    void optionEffects();
    void deviceClock_data();
    void deviceClock();
    void drawerOptions_data();
    void drawerOptions();
    void shiftOptions_data();
    void shiftOptions();
    void headerReadBackAndPrinted();
    void dateAndTime_data();
    void dateAndTime();
    void paperType_data();
    void paperType();
};

void TestEmulatorProgramming::optionWrites_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<bool>("shiftOpen");
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("code");

    const int ok = 0;
    const int value = codeOf(ErrorCode::InvalidValue);
    const int shift = codeOf(ErrorCode::ShiftAlreadyOpen);
    const int generation = codeOf(ErrorCode::NotSupportedByGeneration);
    QTest::newRow("bold total, shift closed") << 6 << false << 13 << 1 << ok;
    QTest::newRow("bold total, shift open") << 6 << true << 13 << 1 << shift;
    QTest::newRow("bold total 2") << 6 << false << 13 << 2 << value;
    QTest::newRow("date format 2") << 6 << false << 22 << 2 << ok;
    QTest::newRow("date format 3") << 6 << false << 22 << 3 << value;
    QTest::newRow("tax rates on reports, shift open") << 6 << true << 6 << 1 << ok;
    QTest::newRow("bar code height 3") << 6 << true << 38 << 3 << ok;
    QTest::newRow("bar code height 4") << 6 << false << 39 << 4 << value;
    QTest::newRow("bar code height on 2") << 2 << false << 38 << 1 << generation;
    QTest::newRow("clock correction -31") << 6 << false << 48 << -31 << ok;
    QTest::newRow("clock correction 32") << 6 << false << 48 << 32 << value;
    QTest::newRow("clock correction on 5") << 5 << false << 48 << 1 << generation;
    QTest::newRow("picture 3 printed") << 6 << false << 51 << 1 << ok;
    QTest::newRow("minute beep, kept only") << 6 << true << 17 << 1 << ok;
    QTest::newRow("purchase mode is the device's")
        << 6 << false << 46 << 1 << codeOf(ErrorCode::UnknownIndex);
    QTest::newRow("negative flag") << 6 << false << 9 << -1 << value;
}

void TestEmulatorProgramming::optionWrites()
{
    QFETCH(int, major);
    QFETCH(bool, shiftOpen);
    QFETCH(int, option);
    QFETCH(int, value);
    QFETCH(int, code);
    createDevice(folder(), 1, major, 1);
    auto d = connectDriver(folder(), {}, shiftOpen);
    QVERIFY(d);
    const std::int32_t before = d->GetDeviceOpt(std::int16_t(option));
    QCOMPARE(d->SetDeviceOpt(std::int16_t(option), std::int16_t(value)), code);
    QCOMPARE(d->GetDeviceOpt(std::int16_t(option)), code == 0 ? value : before);
}

void TestEmulatorProgramming::optionsChangeTheReceipt()
{
    auto d = connectDriver(folder(), {}, false);
    QVERIFY(d);
    QCOMPARE(d->SetDeviceOpt(DeviceOption::BoldTotal, 1), 0);
    QCOMPARE(d->SetDeviceOpt(DeviceOption::AsteriskBeforeTotal, 1), 0);
    QCOMPARE(d->SetDeviceOpt(DeviceOption::PrintDelimiter, 1), 0);
    QCOMPARE(d->StartSession(u"Кассир1"_s, 1), 0);
    sellOne(*d);
    const QList<TapeText> lines = lastReceipt(folder());
    const TapeText* total = findLine(lines, u"ИТОГ"_s);
    QVERIFY(total);
    QVERIFY(total->bold);
    QVERIFY(!total->tall);
    QVERIFY(total->text.endsWith(u"*12.50"_s));
    QVERIFY(findLine(lines, QString(40, u'=')));
}

void TestEmulatorProgramming::programmingReportListsWhatIsProgrammed()
{
    auto d = connectDriver(folder(), {}, false);
    QVERIFY(d);
    QCOMPARE(d->SetDeviceOpt(DeviceOption::ClockCorrection, -7), 0);
    QCOMPARE(d->SetOrderHeader(2, u"ООО Ромашка"_s, 1), 0);
    QCOMPARE(d->PrintReport(ReportKind::Programming), 0);
    const QString report = tape(folder()).join(u'\n');
    for (const QString& line : {u"ОТЧЕТ ПО ПРОГРАММИРОВАНИЮ"_s, u"КОРРЕКЦИЯ ЧАСОВ"_s,
                                u"2 Ж ООО Ромашка"_s, u"КАРТИНКИ\nНЕТ"_s})
        QVERIFY2(report.contains(line), qPrintable(line));
    QVERIFY(report.contains(QRegularExpression(u"КОРРЕКЦИЯ ЧАСОВ +-7\n"_s)));
}

void TestEmulatorProgramming::optionEffects_data()
{
    QTest::addColumn<OptionValues>("options");
    QTest::addColumn<QString>("pattern"); // over the receipt's lines joined by line feeds
    QTest::addColumn<bool>("found");

    using Options = OptionValues;
    using namespace DeviceOption;
    const QString separator = u"-{40}\n"_s;
    // clang-format off
    QTest::newRow("no purchase count") << Options{} << u"ПОКУПОК"_s << false;
    QTest::newRow("purchases counted by positions")
        << Options{{PrintQuantity, 1}} << u"\nПОКУПОК +2\n"_s << true;
    QTest::newRow("purchases counted by quantity")
        << Options{{PrintQuantity, 1}, {CountTotalQuantity, 1}} << u"\nПОКУПОК +3.500\n"_s << true;
    QTest::newRow("no department lines") << Options{} << u"  ОТДЕЛ"_s << false;
    QTest::newRow("department under each position")
        << Options{{PrintDepartment, 1}} << u"=15.00\n  ОТДЕЛ 1\nМолоко"_s << true;
    QTest::newRow("no line between sales") << Options{} << separator + u"Молоко"_s << false;
    QTest::newRow("line between sales")
        << Options{{PrintLineBetweenSales, 1}} << u"=15.00\n"_s + separator + u"Молоко"_s << true;
    QTest::newRow("no line before the first sale")
        << Options{{PrintLineBetweenSales, 1}} << separator + u"Хлеб"_s << false;
    const auto today = [](const QString& format) {
        return u"\n"_s + QRegularExpression::escape(QDate::currentDate().toString(format)) + u' ';
    };
    QTest::newRow("day first") << Options{} << today(u"dd.MM.yyyy"_s) << true;
    QTest::newRow("year first")
        << Options{{DateFormat, DateOrder::YearMonthDay}} << today(u"yyyy.MM.dd"_s) << true;
    QTest::newRow("month first")
        << Options{{DateFormat, DateOrder::MonthDayYear}} << today(u"MM.dd.yyyy"_s) << true;
    // clang-format on
}

void TestEmulatorProgramming::optionEffects()
{
    QFETCH(OptionValues, options);
    QFETCH(QString, pattern);
    QFETCH(bool, found);

    auto d = connectDriver(folder(), {}, false);
    QVERIFY(d);
    for (const auto& [option, value] : options)
        QCOMPARE(d->SetDeviceOpt(std::int16_t(option), std::int16_t(value)), 0);
    QCOMPARE(d->StartSession(u"Кассир1"_s, 1), 0);
    const qsizetype before = tape(folder()).size();
    QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    QCOMPARE(d->Item(1500, 1000, u"Хлеб"_s, 1), 0);
    QCOMPARE(d->Item(2000, 500, u"Молоко"_s, 1), 0);
    QCOMPARE(d->Tender2(2500, PaymentType::Cash, QString(), QString()), 0);
    QStringList receipt;
    for (const QString& line : tape(folder()).mid(before))
        receipt << tapeText(line).text;
    const QString text = receipt.join(u'\n') + u'\n';
    QVERIFY2(text.contains(QRegularExpression(pattern)) == found, qPrintable(text));
}

void TestEmulatorProgramming::drawerOptions_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("openDrawerCode"); // OpenDrawer after a cash receipt
    QTest::addColumn<int>("itemCode");       // a sale while the drawer is as that left it
    QTest::addColumn<int>("drawerOpen");
    QTest::addColumn<int>("kicks"); // pulses the drawer got from the receipt and OpenDrawer

    const int refused = codeOf(ErrorCode::NotAllowedInState);
    // The receipt paid in cash twice opens the drawer once; an open drawer is not kicked again
    // unless the device is told to.
    QTest::newRow("no option") << 0 << 0 << 0 << 1 << 1;
    QTest::newRow("no sales with the drawer open")
        << int(DeviceOption::BlockSalesWithDrawerOpen) << 0 << refused << 1 << 1;
    QTest::newRow("drawer locked") << int(DeviceOption::LockDrawer) << refused << 0 << 0 << 0;
    QTest::newRow("always kicked") << int(DeviceOption::AlwaysOpenDrawer) << 0 << 0 << 1 << 2;
}

void TestEmulatorProgramming::drawerOptions()
{
    QFETCH(int, option);
    QFETCH(int, openDrawerCode);
    QFETCH(int, itemCode);
    QFETCH(int, drawerOpen);
    QFETCH(int, kicks);

    auto d = connectDriver(folder(), {}, false);
    QVERIFY(d);
    if (option != 0)
        QCOMPARE(d->SetDeviceOpt(std::int16_t(option), 1), 0);
    QCOMPARE(d->StartSession(u"Кассир1"_s, 1), 0);
    QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    QCOMPARE(d->Item(1000, 1250, u"Хлеб"_s, 1), 0);
    QCOMPARE(d->Tender2(1000, PaymentType::Cash, QString(), QString()), 0);
    QCOMPARE(d->Tender2(250, PaymentType::Cash, QString(), QString()), 0);
    QCOMPARE(d->OpenDrawer(), openDrawerCode);
    QCOMPARE(d->GetDeviceInfo(DeviceInfo::DrawerOpen), drawerOpen);
    QCOMPARE(stateOf(folder()).drawerKicks, kicks);
    QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    QCOMPARE(d->Item(1000, 100, u"Соль"_s, 1), itemCode);
}

// Options that change what a shift counts and what its reports print: a receipt with a void
// and a correction, the X report, the Z report and the shift after it.
void TestEmulatorProgramming::shiftOptions_data()
{
    QTest::addColumn<OptionValues>("options");
    QTest::addColumn<bool>("openedLine"); // the shift's start on the X and Z reports
    QTest::addColumn<int>("voidsCounted");
    QTest::addColumn<int>("correctionsCounted");
    QTest::addColumn<double>("cashCarried"); // into the next shift

    using Options = OptionValues;
    using namespace DeviceOption;
    QTest::newRow("defaults") << Options{} << false << 1 << 1 << 1000.0;
    QTest::newRow("shift start on reports")
        << Options{{PrintShiftStartOnReports, 1}} << true << 1 << 1 << 1000.0;
    QTest::newRow("storno and corrections not counted")
        << Options{{CountVoidsAndCorrections, 0}} << false << 0 << 0 << 1000.0;
    QTest::newRow("cash not carried over") << Options{{CarryCashOver, 0}} << false << 1 << 1 << 0.0;
}

void TestEmulatorProgramming::shiftOptions()
{
    QFETCH(OptionValues, options);
    QFETCH(bool, openedLine);
    QFETCH(int, voidsCounted);
    QFETCH(int, correctionsCounted);
    QFETCH(double, cashCarried);

    auto d = connectDriver(folder(), {}, false);
    QVERIFY(d);
    for (const auto& [option, value] : options)
        QCOMPARE(d->SetDeviceOpt(std::int16_t(option), std::int16_t(value)), 0);
    QCOMPARE(d->StartSession(u"Кассир1"_s, 1), 0);
    QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    QCOMPARE(d->Item(1000, 1000, u"Хлеб"_s, 1), 0);
    QCOMPARE(d->Item(1000, 500, u"Молоко"_s, 1), 0);
    QCOMPARE(d->VoidItem(QVariant(u"1000"_s), 500, u"Молоко"_s, 1), 0);
    QCOMPARE(d->Item(1000, 200, u"Соль"_s, 1), 0);
    QCOMPARE(d->CorrectLastItem(), 0);
    // Voided and corrected whatever is counted: 10.00 is due.
    QCOMPARE(d->Tender2(1000, PaymentType::Cash, QString(), QString()), 0);
    QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);

    const QRegularExpression opened(u"^"_s + word(Word::Opened) + u" \\d"_s);
    for (const std::int16_t report : {ReportKind::X1, ReportKind::Z1}) {
        const qsizetype before = tape(folder()).size();
        QCOMPARE(d->PrintReport(report), 0);
        QStringList printed;
        for (const QString& line : tape(folder()).mid(before))
            printed << tapeText(line).text;
        QVERIFY2(printed.filter(opened).isEmpty() != openedLine, qPrintable(printed.join(u'\n')));
    }
    QCOMPARE(totalCounter(*d, DeviceCounter::SalesTotal), 1000.0);
    QCOMPARE(totalCounter(*d, DeviceCounter::VoidCount), voidsCounted);
    QCOMPARE(totalCounter(*d, DeviceCounter::VoidSum), voidsCounted * 500.0);
    QCOMPARE(totalCounter(*d, DeviceCounter::CorrectionCount), correctionsCounted);
    QCOMPARE(totalCounter(*d, DeviceCounter::CorrectionSum), correctionsCounted * 200.0);
    // The drawer as the Z report left it, before the next shift opens.
    QCOMPARE(totalCounter(*d, DeviceCounter::CashAtShiftStart), cashCarried);
    QCOMPARE(d->StartSession(u"Кассир1"_s, 1), 0);
    QCOMPARE(shiftCounter(*d, DeviceCounter::CashAtShiftStart), cashCarried);
    QCOMPARE(totalCounter(*d, DeviceCounter::CashAtShiftStart), cashCarried); // in the drawer
}

void TestEmulatorProgramming::headerReadBackAndPrinted()
{
    auto d = connectDriver(folder(), {}, false);
    QVERIFY(d);
    QCOMPARE(d->SetOrderHeader(1, u"ООО Ромашка"_s, 1), 0);
    QCOMPARE(d->SetOrderHeader(2, u"г. Москва"_s, 0), 0);
    QCOMPARE(d->SetOrderHeader(3, QString(41, u'x'), 0), codeOf(ErrorCode::TextTooLong));
    QCOMPARE(d->SetOrderHeader(9, u"x"_s, 0), codeOf(ErrorCode::UnknownIndex));
    QCOMPARE(d->SetOrderHeader(4, u"a\nb"_s, 0), codeOf(ErrorCode::InvalidValue));
    QCOMPARE(d->SetDeviceOpt(DeviceOption::CentreHeader, 1), 0);
    QCOMPARE(d->GetTextDeviceInfo(TextInfo::HeaderLineBase + 1), u"ООО Ромашка"_s);
    QCOMPARE(d->GetTextDeviceInfo(TextInfo::HeaderLineBase + 3), QString());
    QCOMPARE(d->GetDeviceInfo(DeviceInfo::HeaderBoldBase + 1), 1);
    QCOMPARE(d->GetDeviceInfo(DeviceInfo::HeaderBoldBase + 2), 0);

    QCOMPARE(d->StartSession(u"Кассир1"_s, 1), 0);
    sellOne(*d);
    const QList<TapeText> lines = lastReceipt(folder());
    const TapeText* first = findLine(lines, u"ООО Ромашка"_s);
    QVERIFY(first);
    QVERIFY(first->bold);
    QCOMPARE(first->text, QString(14, u' ') + u"ООО Ромашка"_s); // centred on 40
    const TapeText* second = findLine(lines, u"г. Москва"_s);
    QVERIFY(second);
    QVERIFY(!second->bold);
    QVERIFY(!findLine(lines, u"ДОБРО ПОЖАЛОВАТЬ!"_s));
}

void TestEmulatorProgramming::dateAndTime_data()
{
    QTest::addColumn<QStringList>("date"); // day, month, year
    QTest::addColumn<QStringList>("time"); // hour, minute, second
    QTest::addColumn<bool>("shiftOpen");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("readBack"); // DeviceInfo::Date or DeviceInfo::Time

    const int invalidDate = codeOf(ErrorCode::InvalidDate);
    const int invalidTime = codeOf(ErrorCode::InvalidTime);
    QTest::newRow("7 December 2030")
        << QStringList{u"7"_s, u"12"_s, u"2030"_s} << QStringList() << false << 0 << 71230;
    QTest::newRow("two-digit year")
        << QStringList{u"01"_s, u"02"_s, u"31"_s} << QStringList() << false << 0 << 10231;
    QTest::newRow("31 February") << QStringList{u"31"_s, u"02"_s, u"2030"_s} << QStringList()
                                 << false << invalidDate << -1;
    QTest::newRow("day not a number")
        << QStringList{u"1a"_s, u"02"_s, u"2030"_s} << QStringList() << false << invalidDate << -1;
    QTest::newRow("shift open") << QStringList{u"1"_s, u"1"_s, u"2030"_s} << QStringList() << true
                                << codeOf(ErrorCode::ShiftAlreadyOpen) << -1;
    QTest::newRow("before the last record")
        << QStringList{u"1"_s, u"1"_s, u"2001"_s} << QStringList() << false
        << codeOf(ErrorCode::DateBeforeLastRecord) << -1;
    QTest::newRow("23:59:58") << QStringList{u"1"_s, u"1"_s, u"2031"_s}
                              << QStringList{u"23"_s, u"59"_s, u"58"_s} << false << 0 << 235958;
    QTest::newRow("hour 25") << QStringList() << QStringList{u"25"_s, u"00"_s, u"00"_s} << false
                             << invalidTime << -1;
    QTest::newRow("second 60") << QStringList() << QStringList{u"10"_s, u"00"_s, u"60"_s} << false
                               << invalidTime << -1;
}

void TestEmulatorProgramming::dateAndTime()
{
    QFETCH(QStringList, date);
    QFETCH(QStringList, time);
    QFETCH(bool, shiftOpen);
    QFETCH(int, code);
    QFETCH(int, readBack);
    auto d = connectDriver(folder(), {}, true);
    QVERIFY(d);
    sellOne(*d); // a fiscal record dated now
    if (!shiftOpen)
        QCOMPARE(d->EndSession(), 0);
    const std::int32_t dateBefore = d->GetDeviceInfo(DeviceInfo::Date);
    if (!date.isEmpty()) {
        const int r = d->SetDate(date.at(0), date.at(1), date.at(2).toInt());
        QCOMPARE(r, time.isEmpty() ? code : 0);
        if (time.isEmpty())
            QCOMPARE(d->GetDeviceInfo(DeviceInfo::Date), readBack >= 0 ? readBack : dateBefore);
    }
    if (!time.isEmpty()) {
        QCOMPARE(d->SetTime(time.at(0), time.at(1), time.at(2).toInt()), code);
        if (readBack >= 0) {
            // The clock runs on: allow the second it may have ticked.
            const std::int32_t read = d->GetDeviceInfo(DeviceInfo::Time);
            QVERIFY2(read == readBack || read == readBack + 1, qPrintable(QString::number(read)));
        }
    }
}

void TestEmulatorProgramming::paperType_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("paper");
    QTest::addColumn<int>("code");
    QTest::newRow("0") << 6 << 0 << 0;
    QTest::newRow("1") << 6 << 1 << 0;
    QTest::newRow("4") << 6 << 4 << 0;
    QTest::newRow("5") << 6 << 5 << 0;
    QTest::newRow("255") << 6 << 255 << 0;
    QTest::newRow("2") << 6 << 2 << codeOf(ErrorCode::InvalidValue);
    QTest::newRow("generation 5") << 5 << 1 << codeOf(ErrorCode::NotSupportedByGeneration);
}

void TestEmulatorProgramming::paperType()
{
    QFETCH(int, major);
    QFETCH(int, paper);
    QFETCH(int, code);
    createDevice(folder(), 1, major, 1);
    auto d = connectDriver(folder(), {}, false);
    QVERIFY(d);
    QCOMPARE(d->SetPaperType(std::int16_t(paper), PaperType::Reserved), code);
    QCOMPARE(d->GetDeviceInfo(DeviceInfo::PaperType), code == 0 ? paper : 0);
}

// A step of a clock test: an option of the clock written, then the hours the host runs.
struct ClockStep
{
    int option = 0;
    int value = 0;
    double hours = 0;
};
using ClockSteps = QList<ClockStep>;

void TestEmulatorProgramming::deviceClock_data()
{
    QTest::addColumn<ClockSteps>("steps");
    QTest::addColumn<int>("moved"); // seconds the device clock stands from the host's at the end

    using namespace DeviceOption;
    constexpr int kHour = 3600;
    QTest::newRow("one day ahead") << ClockSteps{{ClockCorrection, 5, 24}} << 5;
    QTest::newRow("three days and a half behind") << ClockSteps{{ClockCorrection, -7, 84}} << -21;
    QTest::newRow("a day not yet run") << ClockSteps{{ClockCorrection, 31, 23.99}} << 0;
    QTest::newRow("no correction") << ClockSteps{{ClockCorrection, 0, 240}} << 0;
    QTest::newRow("host clock set back") << ClockSteps{{ClockCorrection, 10, -48}} << 0;
    // A new correction takes over the days already run at the old one, and the day under way.
    QTest::newRow("changed after two days")
        << ClockSteps{{ClockCorrection, 10, 48}, {ClockCorrection, -5, 24}} << 15;
    QTest::newRow("changed within a day")
        << ClockSteps{{ClockCorrection, 10, 36}, {ClockCorrection, -5, 12}} << 5;
    QTest::newRow("cleared") << ClockSteps{{ClockCorrection, 31, 24}, {ClockCorrection, 0, 240}}
                             << 31;
    // A stopped clock stands; started again it runs on from where it stood.
    QTest::newRow("stopped") << ClockSteps{{ClockOn, 0, 5}} << -5 * kHour;
    QTest::newRow("stopped twice over")
        << ClockSteps{{ClockOn, 0, 2}, {ClockOn, 0, 3}} << -5 * kHour;
    QTest::newRow("stopped and started")
        << ClockSteps{{ClockOn, 0, 2}, {ClockOn, 1, 30}} << -2 * kHour;
    QTest::newRow("started while running") << ClockSteps{{ClockOn, 1, 30}} << 0;
    // The correction counts the days the clock ran, not the days it stood.
    QTest::newRow("correction over a stop")
        << ClockSteps{{ClockCorrection, 10, 12}, {ClockOn, 0, 48}, {ClockOn, 1, 12}}
        << 10 - 48 * kHour;
    QTest::newRow("correction while stopped")
        << ClockSteps{{ClockOn, 0, 10}, {ClockCorrection, 10, 10}, {ClockOn, 1, 24}}
        << 10 - 20 * kHour;
}

void TestEmulatorProgramming::deviceClock()
{
    QFETCH(ClockSteps, steps);
    QFETCH(int, moved);
    TestClock clock;
    clock.freeze();
    auto d = connectDriver(folder(), clock, false);
    QVERIFY(d);
    for (const ClockStep& step : steps) {
        QCOMPARE(d->SetDeviceOpt(std::int16_t(step.option), std::int16_t(step.value)), 0);
        clock.advanceSeconds(qRound64(step.hours * 3600));
    }
    // Read from a driver started afresh: the clock is the device's, kept in its memory.
    d.reset();
    auto again = connectDriver(folder(), clock, false);
    QVERIFY(again);
    const QDateTime expected = clock.clock()().addSecs(moved);
    QCOMPARE(again->GetDeviceInfo(DeviceInfo::Time), expected.toString(u"HHmmss"_s).toInt());
    QCOMPARE(again->GetDeviceInfo(DeviceInfo::Date), expected.toString(u"ddMMyy"_s).toInt());
}

QTEST_MAIN(TestEmulatorProgramming)
#include "tst_emulator_programming.moc"
