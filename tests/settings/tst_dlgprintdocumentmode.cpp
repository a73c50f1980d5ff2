#include "ExpectedCall.h"
#include "Fields.h"
#include "MainForm.h"
#include "StatusLine.h"
#include "WindowHarness.h"
#include "dlgPrintDocumentMode.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList kBoxes{u"TxtNumberOfCopies"_s, u"TxtFiscalCopyNumber"_s, u"TxtRowsBefore"_s,
                         u"TxtRowsBetween"_s};

QString statusOf(int code)
{
    return forms::statusText(FakeDriver::comment(code));
}

QString modeCall(std::int32_t mode, std::int32_t side, std::int32_t copies, std::int32_t fiscal,
                 std::int32_t before, std::int32_t between)
{
    return callText(u"SetPrintDocumentMode"_s, {mode, side, copies, fiscal, before, between});
}

// The window opened over a device that reports the packed slip mode `packed`.
struct Opened
{
    explicit Opened(int packed) : fake(std::make_shared<FakeDriver>())
    {
        fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::SlipMode, packed);
        harness::setText(&main, u"TxtClerkID"_s, u"Кассир 7"_s);
        harness.watch(&window);
    }

    QString status() { return harness::text(&window, u"StatusText"_s); }
    QStringList boxes()
    {
        QStringList texts;
        for (const QString& box : kBoxes)
            texts << harness::text(&window, box);
        return texts;
    }

    std::shared_ptr<FakeDriver> fake;
    WindowHarness harness{fake};
    MainForm main{fake};
    dlgPrintDocumentMode window{main};
};

} // namespace

class TestDlgPrintDocumentMode : public QObject
{
    Q_OBJECT

private slots:
    void loading_data();
    void loading();
    void applying_data();
    void applying();
};

void TestDlgPrintDocumentMode::loading_data()
{
    QTest::addColumn<int>("packed");
    QTest::addColumn<bool>("slip");
    QTest::addColumn<bool>("left");
    QTest::addColumn<bool>("right");
    QTest::addColumn<QStringList>("boxes");

    const QStringList designed{QString(), QString(), QString(), QString()};
    QTest::newRow("0: roll, boxes as designed") << 0 << false << false << false << designed;
    QTest::newRow("negative: roll") << -2310502 << false << false << false << designed;
    const QStringList example{u"3"_s, u"1"_s, u"5"_s, u"2"_s};
    QTest::newRow("side 2: left") << 2310502 << true << true << false << example;
    QTest::newRow("side 1: right") << 1310502 << true << false << true << example;
    QTest::newRow("side 3: right") << 3310502 << true << false << true << example;
    QTest::newRow("side 12: right")
        << 129999999 << true << false << true << QStringList{u"9"_s, u"9"_s, u"99"_s, u"99"_s};
    QTest::newRow("no side digit: right")
        << 1 << true << false << true << QStringList{u"0"_s, u"0"_s, u"0"_s, u"1"_s};
}

void TestDlgPrintDocumentMode::loading()
{
    QFETCH(int, packed);
    Opened opened(packed);

    QTEST(harness::isChecked(&opened.window, u"cbSlipDocMode"_s), "slip");
    QTEST(harness::isChecked(&opened.window, u"opLeftSide"_s), "left");
    QTEST(harness::isChecked(&opened.window, u"opRightSide"_s), "right");
    QTEST(opened.boxes(), "boxes");
    QVERIFY(opened.fake->commands().isEmpty());
    QCOMPARE(opened.window.windowTitle(), u"Режим печати документа"_s);
}

void TestDlgPrintDocumentMode::applying_data()
{
    QTest::addColumn<int>("packed");    // read at load
    QTest::addColumn<QString>("edits"); // "box=text; ..."; a bare name is clicked
    QTest::addColumn<int>("clerkAnswer");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("status");

    const QString clerk = callText(u"SetClerk"_s, {u"Кассир 7"_s});
    QTest::newRow("the loaded mode sent back")
        << 2310502 << QString() << 0 << QStringList{clerk, modeCall(2, 2, 3, 1, 5, 2)}
        << statusOf(0);
    QTest::newRow("slip mode off still sends all six, with mode 1")
        << 0 << QString() << 0 << QStringList{clerk, modeCall(1, 0, 0, 0, 0, 0)} << statusOf(0);
    QTest::newRow("right side, lenient numbers")
        << 0
        << u"cbSlipDocMode; opRightSide; TxtNumberOfCopies=3 копии; TxtFiscalCopyNumber=2.5; "
           u"TxtRowsBefore=&H10; TxtRowsBetween=x"_s
        << 0 << QStringList{clerk, modeCall(2, 1, 3, 2, 16, 0)} << statusOf(0);
    QTest::newRow("out of the device's ranges: sent as typed")
        << 0 << u"cbSlipDocMode; opLeftSide; TxtNumberOfCopies=-1; TxtRowsBetween=100"_s << 0
        << QStringList{clerk, modeCall(2, 2, -1, 0, 0, 100)} << statusOf(0);
    QTest::newRow("the cashier refused: the mode not sent")
        << 2310502 << QString() << 5 << QStringList{clerk} << statusOf(5);
    QTest::newRow("beyond 32 bits: nothing more sent")
        << 2310502 << u"TxtRowsBefore=3000000000"_s << 0 << QStringList{clerk}
        << forms::FieldReader::failureText<std::int32_t>(u"Строк перед"_s,
                                                         numbers::ReadError::OutOfRange);
}

void TestDlgPrintDocumentMode::applying()
{
    QFETCH(int, packed);
    QFETCH(QString, edits);
    QFETCH(int, clerkAnswer);
    QFETCH(QStringList, commands);

    Opened opened(packed);
    opened.fake->answer(u"SetClerk"_s, clerkAnswer);
    for (const QString& edit : edits.split(u"; "_s, Qt::SkipEmptyParts)) {
        if (edit.contains(u'='))
            harness::setText(&opened.window, edit.section(u'=', 0, 0), edit.section(u'=', 1));
        else
            harness::click(&opened.window, edit);
    }
    opened.fake->clearRecords();

    harness::click(&opened.window, u"ApplyButton"_s);
    QCOMPARE(opened.fake->commands(), commands);
    QCOMPARE(opened.fake->last(u"SetClerk"_s)->status, u"Установка кассира..."_s);
    if (auto mode = opened.fake->last(u"SetPrintDocumentMode"_s))
        QCOMPARE(mode->status, u"Установка режима подкладной печати..."_s);
    QTEST(opened.status(), "status");
    QVERIFY(opened.window.isVisible());
}

QTEST_MAIN(TestDlgPrintDocumentMode)
#include "tst_dlgprintdocumentmode.moc"
