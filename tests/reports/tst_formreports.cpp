#include "DeviceNumbers.h"
#include "ExpectedCall.h"
#include "FormReports.h"
#include "MainForm.h"
#include "ResultCodes.h"
#include "WindowHarness.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString kCashier = u"Иванова"_s;

// The status line the fake saw at each command call (the comment queries left out).
QStringList statusesAtCommands(const FakeDriver& fake)
{
    QStringList statuses;
    for (const FakeDriver::Record& record : fake.records()) {
        if (record.call.member != u"GetErrorComment")
            statuses << record.status;
    }
    return statuses;
}

const QStringList kShiftButtons{u"CmdX1Report"_s, u"CmdX2Report"_s, u"CmdZ1Report"_s, u"CmdTest"_s,
                                u"CmdFullTestPrint"_s};
const QStringList kAlwaysButtons{u"CmdProgReport"_s, u"CmdTestDevice"_s, u"CmdTaxChainReport"_s,
                                 u"CmdTaxChainsReport"_s, u"CmdClose"_s};

} // namespace

class TestFormReports : public QObject
{
    Q_OBJECT

private slots:
    void everyButtonCallsItsReport_data();
    void everyButtonCallsItsReport();
    void refusedCashierSkipsTheReport_data();
    void refusedCashierSkipsTheReport();
    void cashierIsTheOneTypedAtTheClick();
    void taxChainNumbersAreReadLeniently_data();
    void taxChainNumbersAreReadLeniently();
    void buttonsAreFixedByTheShiftAtLoad_data();
    void buttonsAreFixedByTheShiftAtLoad();
    void mainWindowFollowsTheShiftAReportChanged_data();
    void mainWindowFollowsTheShiftAReportChanged();
};

void TestFormReports::everyButtonCallsItsReport_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("progress");
    QTest::addColumn<QStringList>("commands");

    const QString clerk = callText(u"SetClerk"_s, {kCashier});
    const auto report = [](std::int16_t kind) { return callText(u"PrintReport"_s, {kind}); };
    const auto test = [](std::int16_t kind) { return callText(u"TestPrinter"_s, {kind}); };
    QTest::newRow("X1") << u"CmdX1Report"_s << u"Получение X1 отчета..."_s
                        << QStringList{clerk, report(ReportKind::X1)};
    QTest::newRow("X2") << u"CmdX2Report"_s << u"Получение X2 отчета..."_s
                        << QStringList{clerk, report(ReportKind::X2)};
    QTest::newRow("Z1") << u"CmdZ1Report"_s << u"Получение Z1 отчета..."_s
                        << QStringList{clerk, report(ReportKind::Z1)};
    QTest::newRow("programming") << u"CmdProgReport"_s
                                 << u"Получение отчета по программированию..."_s
                                 << QStringList{report(ReportKind::Programming)};
    QTest::newRow("trial receipt") << u"CmdTest"_s << u"Печать пробного чека..."_s
                                   << QStringList{test(TestKind::TrialReceipt)};
    QTest::newRow("print test") << u"CmdFullTestPrint"_s << u"Тест печати..."_s
                                << QStringList{test(TestKind::PrintTest)};
    QTest::newRow("printer test") << u"CmdTestDevice"_s << u"Тест принтера..."_s
                                  << QStringList{test(TestKind::PrinterTest)};
    QTest::newRow("all chains") << u"CmdTaxChainsReport"_s
                                << u"Получение отчета по налоговым цепочкам..."_s
                                << QStringList{callText(u"TaxChainsReport"_s)};
    QTest::newRow("one chain") << u"CmdTaxChainReport"_s
                               << u"Получение отчета по налоговой цепочке..."_s
                               << QStringList{callText(u"TaxChainReport"_s,
                                                       {std::int16_t(3), std::int16_t(150)})};
}

void TestFormReports::everyButtonCallsItsReport()
{
    QFETCH(QString, button);
    QFETCH(QString, progress);
    QFETCH(QStringList, commands);

    auto fake = std::make_shared<FakeDriver>();
    fake->answer(u"PrintReport"_s, 7);
    fake->answer(u"TestPrinter"_s, 7);
    fake->answer(u"TaxChainReport"_s, 7);
    fake->answer(u"TaxChainsReport"_s, 7);
    WindowHarness harness(fake);
    MainForm main(fake);
    main.bSessionOpen = true;
    harness::setText(&main, u"TxtSessClerkID"_s, kCashier);
    FormReports window(main);
    harness.watch(&window);
    QCOMPARE(window.windowTitle(), u"Отчеты"_s);
    harness::setText(&window, u"TextChainNum"_s, u"3"_s);
    harness::setText(&window, u"TextSum"_s, u"150"_s);
    fake->clearRecords();

    harness::click(&window, button);

    QCOMPARE(fake->commands(), commands);
    QCOMPARE(statusesAtCommands(*fake), QStringList(commands.size(), progress));
    QCOMPARE(fake->calls().constLast(), callText(u"GetErrorComment"_s, {std::int16_t(7)}));
    QCOMPARE(harness::text(&window, u"StatusText"_s), u"Статус: comment(7)"_s);
}

void TestFormReports::refusedCashierSkipsTheReport_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("X1") << u"CmdX1Report"_s;
    QTest::newRow("X2") << u"CmdX2Report"_s;
    QTest::newRow("Z1") << u"CmdZ1Report"_s;
}

void TestFormReports::refusedCashierSkipsTheReport()
{
    QFETCH(QString, button);
    auto fake = std::make_shared<FakeDriver>();
    fake->answer(u"SetClerk"_s, 17);
    WindowHarness harness(fake);
    MainForm main(fake);
    main.bSessionOpen = true;
    harness::setText(&main, u"TxtSessClerkID"_s, kCashier);
    FormReports window(main);
    harness.watch(&window);

    harness::click(&window, button);

    QCOMPARE(fake->commands(), QStringList{callText(u"SetClerk"_s, {kCashier})});
    QCOMPARE(harness::text(&window, u"StatusText"_s), u"Статус: comment(17)"_s);
}

void TestFormReports::cashierIsTheOneTypedAtTheClick()
{
    auto fake = std::make_shared<FakeDriver>();
    WindowHarness harness(fake);
    MainForm main(fake);
    main.bSessionOpen = true;
    harness::setText(&main, u"TxtSessClerkID"_s, u"Открывший смену"_s);
    FormReports window(main);
    harness.watch(&window);
    harness::setText(&main, u"TxtSessClerkID"_s, kCashier);

    harness::click(&window, u"CmdZ1Report"_s);

    QCOMPARE(fake->commands().constFirst(), callText(u"SetClerk"_s, {kCashier}));
}

void TestFormReports::taxChainNumbersAreReadLeniently_data()
{
    QTest::addColumn<QString>("chain");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("status");

    const auto report = [](int chain, int amount) {
        return QStringList{
            callText(u"TaxChainReport"_s, {std::int16_t(chain), std::int16_t(amount)})};
    };
    const QString done = u"Статус: comment(0)"_s;
    QTest::newRow("halves to even") << u"2.5"_s << u"3.5"_s << report(2, 4) << done;
    QTest::newRow("empty is 0, leading number") << u""_s << u"7 руб"_s << report(0, 7) << done;
    QTest::newRow("letters after a number") << u"7abc"_s << u"-12"_s << report(7, -12) << done;
    QTest::newRow("amount beyond 16 bits")
        << u"1"_s << u"40000"_s << QStringList{} << u"Сумма: допустимо от -32768 до 32767"_s;
    QTest::newRow("chain beyond 16 bits")
        << u"40000"_s << u"1"_s << QStringList{} << u"№ цепочки: допустимо от -32768 до 32767"_s;
}

void TestFormReports::taxChainNumbersAreReadLeniently()
{
    QFETCH(QString, chain);
    QFETCH(QString, amount);
    QFETCH(QStringList, commands);
    QFETCH(QString, status);

    auto fake = std::make_shared<FakeDriver>();
    WindowHarness harness(fake);
    MainForm main(fake);
    FormReports window(main);
    harness.watch(&window);
    harness::setText(&window, u"TextChainNum"_s, chain);
    harness::setText(&window, u"TextSum"_s, amount);

    harness::click(&window, u"CmdTaxChainReport"_s);

    QCOMPARE(fake->commands(), commands);
    QCOMPARE(harness::text(&window, u"StatusText"_s), status);
}

void TestFormReports::buttonsAreFixedByTheShiftAtLoad_data()
{
    QTest::addColumn<bool>("shiftOpen");
    QTest::newRow("shift open") << true;
    QTest::newRow("shift closed") << false;
}

void TestFormReports::buttonsAreFixedByTheShiftAtLoad()
{
    QFETCH(bool, shiftOpen);
    auto fake = std::make_shared<FakeDriver>();
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::ShiftOpen, shiftOpen ? 1 : 0);
    WindowHarness harness(fake);
    MainForm main(fake);
    main.bSessionOpen = shiftOpen;
    FormReports window(main);
    harness.watch(&window);
    // Neither a report nor a refused one moves a button of this window.
    if (shiftOpen)
        harness::click(&window, u"CmdZ1Report"_s);
    fake->answer(u"PrintReport"_s, 21);
    harness::click(&window, u"CmdProgReport"_s);

    for (const QString& button : kShiftButtons)
        QVERIFY2(harness::isEnabled(&window, button) == shiftOpen, qPrintable(button));
    for (const QString& button : kAlwaysButtons)
        QVERIFY2(harness::isEnabled(&window, button), qPrintable(button));
}

void TestFormReports::mainWindowFollowsTheShiftAReportChanged_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("readBack"); // the main window asks the device for its shift

    const int notOpen = int(ErrorCode::ShiftNotOpen);
    QTest::newRow("Z1 closes the shift") << u"CmdZ1Report"_s << 0 << true;
    QTest::newRow("Z1 refused otherwise") << u"CmdZ1Report"_s << int(ErrorCode::PaperOut) << false;
    QTest::newRow("Z1 refused: no shift") << u"CmdZ1Report"_s << notOpen << true;
    QTest::newRow("X1 leaves the shift") << u"CmdX1Report"_s << 0 << false;
    QTest::newRow("X2 refused: no shift") << u"CmdX2Report"_s << notOpen << true;
    QTest::newRow("shift too long") << u"CmdX1Report"_s << int(ErrorCode::ShiftTooLong) << true;
}

void TestFormReports::mainWindowFollowsTheShiftAReportChanged()
{
    QFETCH(QString, button);
    QFETCH(int, result);
    QFETCH(bool, readBack);
    auto fake = std::make_shared<FakeDriver>();
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::ShiftOpen, 1);
    WindowHarness harness(fake);
    MainForm main(fake);
    harness.watch(&main);
    FormReports window(main);
    harness.watch(&window);
    // The device has no shift any more, whichever way it lost it.
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::ShiftOpen, 0);
    fake->answer(u"PrintReport"_s, result);
    fake->clearRecords();

    harness::click(&window, button);

    QCOMPARE(fake->members().contains(u"GetDeviceInfo"_s), readBack);
    QCOMPARE(main.bSessionOpen, !readBack);
    QCOMPARE(harness::isEnabled(&main, u"CmdOpenSession"_s), readBack);
    QCOMPARE(harness::isEnabled(&main, u"CmdCloseSession"_s), !readBack);
    QCOMPARE(harness::isEnabled(&main, u"CmdOpenDoc"_s), !readBack);
    for (const QString& shiftButton : kShiftButtons)
        QVERIFY2(harness::isEnabled(&window, shiftButton), qPrintable(shiftButton));
}

QTEST_MAIN(TestFormReports)
#include "tst_formreports.moc"
