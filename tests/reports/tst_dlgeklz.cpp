#include "ElectronicReport.h"
#include "ExpectedCall.h"
#include "MainForm.h"
#include "WindowHarness.h"
#include "dlgEKLZ.h"

#include <QDateEdit>
#include <QPlainTextEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QDate kFirstDate(2026, 3, 1);
const QDate kLastDate(2026, 3, 31);

QString reportText(dlgEKLZ& window)
{
    return harness::control<QPlainTextEdit>(&window, u"txtReport"_s)->toPlainText();
}

QString lineCall(int line)
{
    return callText(u"GetTextDeviceInfo"_s, {TextInfo::eklzReportLine(line)});
}

// The boxes of every report set to values that tell them apart.
void fillBoxes(dlgEKLZ& window)
{
    harness::setText(&window, u"TxtNumSession1"_s, u"11"_s);
    harness::setText(&window, u"TxtNumSession2"_s, u"12"_s);
    harness::setText(&window, u"TxtNumDocument"_s, u"12345678"_s);
    harness::setText(&window, u"TxtNumSession3_1"_s, u"31"_s);
    harness::setText(&window, u"TxtNumSession3_2"_s, u"32"_s);
    // A first shift beyond the last goes as it stands.
    harness::setText(&window, u"TxtNumSession4_1"_s, u"42"_s);
    harness::setText(&window, u"TxtNumSession4_2"_s, u"41"_s);
    for (const auto& [name, date] :
         {std::pair{u"dtDate1_1"_s, kFirstDate}, std::pair{u"dtDate1_2"_s, kLastDate},
          std::pair{u"dtDate2_1"_s, kFirstDate.addDays(1)},
          std::pair{u"dtDate2_2"_s, kLastDate.addDays(-1)}})
        harness::control<QDateEdit>(&window, name)->setDate(date);
}

struct Opened
{
    std::shared_ptr<FakeDriver> fake = std::make_shared<FakeDriver>();
    WindowHarness harness{fake};
    MainForm main{fake};
    dlgEKLZ window{main};

    Opened() { harness.watch(&window); }
};

} // namespace

class TestDlgEklz : public QObject
{
    Q_OBJECT

private slots:
    void everyButtonAsksForItsReport_data();
    void everyButtonAsksForItsReport();
    void electronicTextIsCollected_data();
    void electronicTextIsCollected();
    void driverThatNeverEndsIsCutOff();
    void numberBoxesKeepToTheirSpinners_data();
    void numberBoxesKeepToTheirSpinners();
    void startingValues();
    void nearFullIndicator_data();
    void nearFullIndicator();
};

void TestDlgEklz::everyButtonAsksForItsReport_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("electronic");
    QTest::addColumn<QString>("progress");
    QTest::addColumn<QString>("call");

    struct Button
    {
        QString name;
        QString progress;
        std::int16_t kind;
        std::function<QString(std::int16_t)> call;
    };
    const auto byNum = [](std::int32_t first, std::int32_t last) {
        return [first, last](std::int16_t kind) {
            return callText(u"EKLZPrintReportByNum"_s, {kind, first, last, std::int16_t(0)});
        };
    };
    const auto byDate = [](QDate first, QDate last) {
        return [first, last](std::int16_t kind) {
            return callText(u"EKLZPrintReportByDate"_s, {kind, std::int32_t(-1), first, last});
        };
    };
    const Button buttons[] = {
        {u"CmdReportActivization"_s, u"Отчет по активизации ЭКЛЗ..."_s, EklzReport::Activation,
         byNum(0, 0)},
        {u"CmdCheckBand"_s, u"Запрос контрольной ленты..."_s, EklzReport::ControlTape,
         byNum(11, 0)},
        {u"CmdSessionTotals"_s, u"Запрос итогов смены..."_s, EklzReport::ShiftTotals, byNum(12, 0)},
        {u"CmdDocument"_s, u"Запрос документа по номеру КПК..."_s, EklzReport::DocumentByKpk,
         byNum(12345678, 0)},
        {u"CmdReportShortSessionNum"_s, u"Краткий отчет по номерам смен по закрытиям смен..."_s,
         EklzReport::ShortByShifts, byNum(31, 32)},
        {u"CmdReportFullSessionNum"_s, u"Полный отчет по номерам смен по закрытиям смен..."_s,
         EklzReport::FullByShifts, byNum(42, 41)},
        {u"CmdReportShortSessionDate"_s, u"Краткий отчет по датам по закрытиям смен..."_s,
         EklzReport::ShortByDates, byDate(kFirstDate, kLastDate)},
        {u"CmdReportFullSessionDate"_s, u"Полный отчет по датам по закрытиям смен..."_s,
         EklzReport::FullByDates, byDate(kFirstDate.addDays(1), kLastDate.addDays(-1))},
    };
    for (const Button& b : buttons) {
        QTest::addRow("%s printed", qPrintable(b.name))
            << b.name << false << b.progress << b.call(b.kind);
        QTest::addRow("%s electronic", qPrintable(b.name))
            << b.name << true << b.progress << b.call(EklzReport::electronic(b.kind));
    }
}

void TestDlgEklz::everyButtonAsksForItsReport()
{
    QFETCH(QString, button);
    QFETCH(bool, electronic);
    QFETCH(QString, progress);
    QFETCH(QString, call);

    Opened o;
    o.fake->answer(u"EKLZPrintReportByNum"_s, 3);
    o.fake->answer(u"EKLZPrintReportByDate"_s, 3);
    o.fake->answerAt(u"GetTextDeviceInfo"_s, TextInfo::eklzReportLine(1), u"СТРОКА"_s);
    fillBoxes(o.window);
    if (electronic)
        harness::click(&o.window, u"cbElectronic"_s);
    o.fake->clearRecords();

    harness::click(&o.window, button);

    QStringList expected{call};
    // The text is read whatever the device answered.
    if (electronic)
        expected << lineCall(1) << lineCall(2);
    expected << callText(u"GetErrorComment"_s, {std::int16_t(3)});
    QCOMPARE(o.fake->calls(), expected);
    QCOMPARE(o.fake->records().constFirst().status, progress);
    QCOMPARE(harness::text(&o.window, u"StatusText"_s), u"Статус: comment(3)"_s);
    QCOMPARE(reportText(o.window), electronic ? u"СТРОКА\n\n"_s : QString());
}

void TestDlgEklz::electronicTextIsCollected_data()
{
    QTest::addColumn<QVariantList>("first");
    QTest::addColumn<QVariantList>("second");
    QTest::addColumn<QString>("text");

    QTest::newRow("two reports in a row")
        << QVariantList{u"ОТЧЕТ 1"_s, u"строка"_s, QString()}
        << QVariantList{u"ОТЧЕТ 2"_s, QString()} << u"ОТЧЕТ 1\nстрока\n\nОТЧЕТ 2\n\n"_s;
    QTest::newRow("first line already empty")
        << QVariantList{QString()} << QVariantList{u"ОТЧЕТ 2"_s, QString()} << u"\nОТЧЕТ 2\n\n"_s;
    QTest::newRow("lines after the empty one stay unread")
        << QVariantList{u"А"_s, QString(), u"лишнее"_s} << QVariantList{QString()} << u"А\n\n\n"_s;
}

void TestDlgEklz::electronicTextIsCollected()
{
    QFETCH(QVariantList, first);
    QFETCH(QVariantList, second);
    QFETCH(QString, text);

    Opened o;
    // Line i of each report answers in turn, the first report's before the second's.
    for (int report = 0; report < 2; ++report) {
        const QVariantList& lines = report == 0 ? first : second;
        for (int i = 0; i < lines.size(); ++i)
            o.fake->queueAt(u"GetTextDeviceInfo"_s, TextInfo::eklzReportLine(i + 1), {lines[i]});
    }
    harness::click(&o.window, u"cbElectronic"_s);
    harness::click(&o.window, u"CmdCheckBand"_s);
    harness::click(&o.window, u"CmdSessionTotals"_s);

    QCOMPARE(reportText(o.window), text);
}

void TestDlgEklz::driverThatNeverEndsIsCutOff()
{
    auto fake = std::make_shared<FakeDriver>();
    fake->answer(u"GetTextDeviceInfo"_s, u"без конца"_s);
    const reports::ReportText report = reports::readElectronicReport(*fake, 5);
    QVERIFY(report.truncated);
    QCOMPARE(report.text, u"без конца\n"_s.repeated(5));
    QCOMPARE(fake->calls().constLast(), lineCall(5));

    Opened o;
    o.fake->answer(u"GetTextDeviceInfo"_s, u"x"_s);
    harness::click(&o.window, u"cbElectronic"_s);
    harness::click(&o.window, u"CmdReportActivization"_s);
    const QStringList lines = reportText(o.window).split(u'\n');
    QCOMPARE(lines.size(), reports::kMaxReportLines + 2);
    QVERIFY(lines.at(reports::kMaxReportLines).contains(u"прервано"_s));
    QCOMPARE(harness::text(&o.window, u"StatusText"_s), u"Статус: comment(0)"_s);
}

void TestDlgEklz::numberBoxesKeepToTheirSpinners_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("button");
    QTest::addColumn<std::int32_t>("sent");

    QTest::newRow("cleared: 0 is below the range")
        << u"TxtNumSession1"_s << u""_s << u"5"_s << u"CmdCheckBand"_s << 5;
    QTest::newRow("beyond 9999") << u"TxtNumSession2"_s << u"10000"_s << u"5"_s
                                 << u"CmdSessionTotals"_s << 5;
    QTest::newRow("leading number, rounded") << u"TxtNumSession3_1"_s << u"7.5 смен"_s
                                             << u"7.5 смен"_s << u"CmdReportShortSessionNum"_s << 8;
    QTest::newRow("KPK at its limit")
        << u"TxtNumDocument"_s << u"99999999"_s << u"99999999"_s << u"CmdDocument"_s << 99'999'999;
    QTest::newRow("KPK beyond its limit")
        << u"TxtNumDocument"_s << u"100000000"_s << u"5"_s << u"CmdDocument"_s << 5;
    QTest::newRow("KPK beyond 32 bits")
        << u"TxtNumDocument"_s << u"3e10"_s << u"5"_s << u"CmdDocument"_s << 5;
}

void TestDlgEklz::numberBoxesKeepToTheirSpinners()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, button);
    QFETCH(std::int32_t, sent);

    Opened o;
    harness::setText(&o.window, box, u"5"_s);
    harness::setText(&o.window, box, typed);
    QCOMPARE(harness::text(&o.window, box), shown);
    o.fake->clearRecords();
    harness::click(&o.window, button);
    const DriverCall call = o.fake->records().constFirst().call;
    QCOMPARE(call.arguments.at(1).value().toInt(), sent);
}

void TestDlgEklz::startingValues()
{
    Opened o;
    QCOMPARE(o.window.windowTitle(), u"ЭКЛЗ"_s);
    QVERIFY(!harness::isChecked(&o.window, u"cbElectronic"_s));
    for (const QString& box :
         {u"TxtNumSession1"_s, u"TxtNumSession2"_s, u"TxtNumDocument"_s, u"TxtNumSession3_1"_s,
          u"TxtNumSession3_2"_s, u"TxtNumSession4_1"_s, u"TxtNumSession4_2"_s})
        QCOMPARE(harness::text(&o.window, box), u"1"_s);
    for (const QString& name : {u"dtDate1_1"_s, u"dtDate1_2"_s, u"dtDate2_1"_s, u"dtDate2_2"_s}) {
        auto* picker = harness::control<QDateEdit>(&o.window, name);
        QCOMPARE(picker->date(), QDate(2004, 8, 23));
        QCOMPARE(picker->minimumDate(), QDate(2000, 1, 1));
        QCOMPARE(picker->maximumDate(), QDate(2099, 12, 31));
    }
}

void TestDlgEklz::nearFullIndicator_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("near full") << 1 << QColor(255, 0, 0);
    QTest::newRow("not near") << 0 << QColor(128, 128, 128);
    QTest::newRow("not answered") << -1 << QColor(128, 128, 128);
}

void TestDlgEklz::nearFullIndicator()
{
    QFETCH(int, answer);
    QFETCH(QColor, colour);
    auto fake = std::make_shared<FakeDriver>();
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::EklzNearFull, answer);
    WindowHarness harness(fake);
    MainForm main(fake);
    dlgEKLZ window(main);
    harness.watch(&window);
    QCOMPARE(fake->calls(), QStringList{callText(u"GetDeviceInfo"_s, {DeviceInfo::EklzNearFull})});
    auto* picture = harness::control<QWidget>(&window, u"PicEKLZNearEnd"_s);
    QCOMPARE(picture->palette().color(QPalette::Window), colour);
}

QTEST_MAIN(TestDlgEklz)
#include "tst_dlgeklz.moc"
