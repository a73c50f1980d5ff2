#include "DriverFactory.h"
#include "Emulator.h"
#include "MainForm.h"
#include "StartForm.h"
#include "StatusLine.h"
#include "WindowHarness.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// The program's first minutes on the built-in device: start, initialise with the defaults, open
// the shift, refresh the counters, close the shift, close the program.
class TestStartupOnEmulator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shiftRoundTrip();

private:
    QTemporaryDir m_data;
};

void TestStartupOnEmulator::initTestCase()
{
    // The device keeps its state under the generic data location: a fresh one per run.
    QVERIFY(m_data.isValid());
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    emulator::registerEmulator();
    QVERIFY2(createDriver(kQuoltProgId).driver, "the built-in device must be registered");
}

void TestStartupOnEmulator::shiftRoundTrip()
{
    WindowHarness harness;
    StartForm start;
    harness.watch(&start);
    harness::click(&start, u"InitCommand"_s);

    MainForm* main = nullptr;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows)
        if (auto* found = qobject_cast<MainForm*>(window); found && found->isVisible())
            main = found;
    QVERIFY2(main, qPrintable(harness::text(&start, u"StatusText"_s)));
    std::unique_ptr<MainForm> owned(main);
    const QString success = forms::statusText(main->GetQuolt()->GetErrorComment(0));

    if (main->bSessionOpen)
        harness::click(main, u"CmdCloseSession"_s);
    harness::click(main, u"CmdOpenSession"_s);
    QCOMPARE(harness::text(main, u"StatusText"_s), success);
    QVERIFY(main->bSessionOpen);

    harness::click(main, u"CmdDeviceData"_s);
    bool number = false;
    harness::text(main, u"TxtSessionsCount"_s).toInt(&number);
    QVERIFY(number);

    harness::click(main, u"CmdCloseSession"_s);
    QCOMPARE(harness::text(main, u"StatusText"_s), success);
    QVERIFY(!main->bSessionOpen);
    QVERIFY(harness::isEnabled(main, u"CmdOpenSession"_s));
    QVERIFY(harness::isEnabled(main, u"CmdPrintDuplicate"_s));

    harness::click(main, u"CmdClose"_s);
    QCOMPARE(harness.endRequests(), QList<int>{0});
}

QTEST_MAIN(TestStartupOnEmulator)
#include "tst_startup_emulator.moc"
