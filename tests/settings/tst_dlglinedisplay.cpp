#include "ExpectedCall.h"
#include "MainForm.h"
#include "StatusLine.h"
#include "WindowHarness.h"
#include "dlgLineDisplay.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString kLockProgress = u"Установка доступа к табло покупателя..."_s;

QString optionCall(std::int16_t option, std::int16_t value)
{
    return callText(u"SetDeviceOpt"_s, {option, value});
}

QString statusOf(int code)
{
    return forms::statusText(FakeDriver::comment(code));
}

// The window opened over a device whose display options read `protocol` and `lock`.
struct Opened
{
    Opened(int protocol, int lock, int answer = 0) : fake(std::make_shared<FakeDriver>())
    {
        fake->answerAt(u"GetDeviceOpt"_s, DeviceOption::LineDisplayProtocol, protocol);
        fake->answerAt(u"GetDeviceOpt"_s, DeviceOption::LineDisplayLocked, lock);
        fake->answer(u"SetDeviceOpt"_s, answer);
        fake->answer(u"InitLineDisplay"_s, answer);
        fake->answer(u"StringToLineDisplay"_s, answer);
        fake->answer(u"StringToLineDisplayDirect"_s, answer);
        harness.watch(&window);
    }

    QString status() { return harness::text(&window, u"StatusText"_s); }

    std::shared_ptr<FakeDriver> fake;
    WindowHarness harness{fake};
    MainForm main{fake};
    dlgLineDisplay window{main};
};

} // namespace

class TestDlgLineDisplay : public QObject
{
    Q_OBJECT

private slots:
    void loading_data();
    void loading();
    void commands_data();
    void commands();
};

void TestDlgLineDisplay::loading_data()
{
    QTest::addColumn<int>("protocol");
    QTest::addColumn<int>("lock");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("epson");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("status");

    QTest::newRow("Birch, unlocked: nothing written")
        << 0 << 0 << 0 << false << false << QStringList{} << QString();
    const QStringList lockBack{optionCall(DeviceOption::LineDisplayLocked, 1)};
    QTest::newRow("Epson, locked: the lock written back")
        << 1 << 1 << 0 << true << true << lockBack << statusOf(0);
    QTest::newRow("a refused write-back keeps the box checked")
        << 0 << 1 << 7 << false << true << lockBack << statusOf(7);
    QTest::newRow("protocol 2 shows Epson, lock 2 unchecked")
        << 2 << 2 << 0 << true << false << QStringList{} << QString();
    QTest::newRow("negative values")
        << -1 << -1 << 0 << true << false << QStringList{} << QString();
}

void TestDlgLineDisplay::loading()
{
    QFETCH(int, protocol);
    QFETCH(int, lock);
    QFETCH(int, answer);
    Opened opened(protocol, lock, answer);

    QTEST(harness::isChecked(&opened.window, u"opLineDisplayProtocol_1"_s), "epson");
    QFETCH(bool, epson);
    QCOMPARE(harness::isChecked(&opened.window, u"opLineDisplayProtocol_0"_s), !epson);
    QTEST(harness::isChecked(&opened.window, u"cbLockLineDisplay"_s), "locked");
    QTEST(opened.fake->commands(), "commands");
    if (auto write = opened.fake->last(u"SetDeviceOpt"_s))
        QCOMPARE(write->status, kLockProgress);
    QTEST(opened.status(), "status");
    QCOMPARE(opened.window.windowTitle(), u"Табло"_s);
}

void TestDlgLineDisplay::commands_data()
{
    QTest::addColumn<int>("protocol"); // as read at load
    QTest::addColumn<int>("lock");
    QTest::addColumn<QString>("prepare"); // "control=text" or "control" to click first
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("progress");
    QTest::addColumn<bool>("lockedAfter");

    QTest::newRow("initialise") << 0 << 0 << QString() << u"cmdInit"_s << 0
                                << callText(u"InitLineDisplay"_s) << u"Инициализация табло..."_s
                                << false;
    QTest::newRow("show a text") << 0 << 0 << u"txtMsg=ДОБРО ПОЖАЛОВАТЬ"_s << u"cmdString"_s << 0
                                 << callText(u"StringToLineDisplay"_s, {u"ДОБРО ПОЖАЛОВАТЬ"_s})
                                 << u"Показ строки на табло..."_s << false;
    QTest::newRow("an empty text is sent") << 0 << 0 << QString() << u"cmdString"_s << 3
                                           << callText(u"StringToLineDisplay"_s, {QString()})
                                           << u"Показ строки на табло..."_s << false;
    // The progress text keeps its Latin c in third place.
    QTest::newRow("raw data") << 0 << 0 << u"txtData=\x1b@12"_s << u"cmdDataDirect"_s << 0
                              << callText(u"StringToLineDisplayDirect"_s, {u"\x1b@12"_s})
                              << u"По\u0063ылка строки данных на табло..."_s << false;
    QTest::newRow("protocol 2 is written back as 1")
        << 2 << 0 << QString() << u"cmdSetProtocol"_s << 0
        << optionCall(DeviceOption::LineDisplayProtocol, 1)
        << u"Установка протокола табло покупателя..."_s << false;
    QTest::newRow("Birch chosen") << 1 << 0 << u"opLineDisplayProtocol_0"_s << u"cmdSetProtocol"_s
                                  << 0 << optionCall(DeviceOption::LineDisplayProtocol, 0)
                                  << u"Установка протокола табло покупателя..."_s << false;
    QTest::newRow("Epson chosen") << 0 << 0 << u"opLineDisplayProtocol_1"_s << u"cmdSetProtocol"_s
                                  << 0 << optionCall(DeviceOption::LineDisplayProtocol, 1)
                                  << u"Установка протокола табло покупателя..."_s << false;
    QTest::newRow("locking") << 0 << 0 << QString() << u"cbLockLineDisplay"_s << 0
                             << optionCall(DeviceOption::LineDisplayLocked, 1) << kLockProgress
                             << true;
    QTest::newRow("a refused unlock leaves the box unchecked")
        << 0 << 1 << QString() << u"cbLockLineDisplay"_s << 9
        << optionCall(DeviceOption::LineDisplayLocked, 0) << kLockProgress << false;
}

void TestDlgLineDisplay::commands()
{
    QFETCH(int, protocol);
    QFETCH(int, lock);
    QFETCH(QString, prepare);
    QFETCH(QString, button);
    QFETCH(int, answer);
    QFETCH(QString, call);
    QFETCH(QString, progress);

    Opened opened(protocol, lock, answer);
    if (prepare.contains(u'='))
        harness::setText(&opened.window, prepare.section(u'=', 0, 0), prepare.section(u'=', 1));
    else if (!prepare.isEmpty())
        harness::click(&opened.window, prepare);
    opened.fake->clearRecords();

    harness::click(&opened.window, button);
    QCOMPARE(opened.fake->commands(), QStringList{call});
    QCOMPARE(opened.fake->records().constFirst().status, progress);
    QCOMPARE(opened.status(), statusOf(answer));
    QTEST(harness::isChecked(&opened.window, u"cbLockLineDisplay"_s), "lockedAfter");
    QVERIFY(opened.window.isVisible());

    harness::click(&opened.window, u"CancelButton"_s);
    QVERIFY(!opened.window.isVisible());
}

QTEST_MAIN(TestDlgLineDisplay)
#include "tst_dlglinedisplay.moc"
