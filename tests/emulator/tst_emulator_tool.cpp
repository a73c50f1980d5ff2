// The quolt-device tool steers a device that a driver is connected to; the driver sees each
// change at its next call.

#include "EmulatorFixture.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

class TestEmulatorTool : public QObject
{
    Q_OBJECT

private:
    QString m_tool;
    std::optional<QTemporaryDir> m_dir;

    struct Run
    {
        int exitCode = -1;
        QString output;
    };

    Run tool(QStringList arguments)
    {
        QProcess process;
        process.start(m_tool, QStringList{u"--dir"_s, m_dir->path()} + arguments);
        if (!process.waitForFinished(30000))
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput() +
                                                      process.readAllStandardError())};
    }

private slots:
    void initTestCase()
    {
        // The build tells where it put the tool; a missing tool is a failure, not a skip.
        m_tool = QStringLiteral(QUOLT_DEVICE_TOOL);
        QVERIFY2(QFileInfo(m_tool).isExecutable(), qPrintable(m_tool));
    }

    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
    }

    void steersARunningDevice()
    {
        QCOMPARE(tool({u"create"_s, u"--version"_s, u"4.1"_s}).exitCode, 0);
        std::unique_ptr<EmulatedDriver> d = connectDriver(m_dir->path());
        QVERIFY(d);
        QCOMPARE(d->GetDeviceInfo(201), 4);
        QCOMPARE(d->GetDeviceInfo(202), 1);

        QCOMPARE(
            tool({u"sensors"_s, u"paper-near-end"_s, u"on"_s, u"drawer-open"_s, u"on"_s}).exitCode,
            0);
        QCOMPARE(d->GetDeviceInfo(1), 1);
        QCOMPARE(d->GetDeviceInfo(34), 1);

        QCOMPARE(tool({u"fault"_s, u"StartDocument"_s, u"41"_s}).exitCode, 0);
        QCOMPARE(d->StartDocument(1, 1, {}, {}), int(ErrorCode::PrinterError));
        QCOMPARE(d->StartDocument(1, 1, {}, {}), 0);
        QCOMPARE(d->Item(1000, 100, u"Забытый"_s, 0), 0);

        // The window that owned the document was closed: the tool cancels it.
        QCOMPARE(tool({u"cancel-document"_s}).exitCode, 0);
        QCOMPARE(d->GetDeviceInfo(102), 0);
        const Run tape = tool({u"tape"_s, u"--last"_s, u"1"_s});
        QCOMPARE(tape.exitCode, 0);
        QVERIFY(tape.output.contains(u"ДОКУМЕНТ АННУЛИРОВАН"_s));
        QCOMPARE(tape.output.count(u'\n'), 1);

        QCOMPARE(tool({u"clock"_s, u"forward"_s, u"25"_s}).exitCode, 0);
        QCOMPARE(d->GetDeviceInfo(14), 1);
        QCOMPARE(d->InitDevice(), int(ErrorCode::ShiftTooLong));

        const Run show = tool({u"show"_s});
        QCOMPARE(show.exitCode, 0);
        QVERIFY(show.output.contains(u"Generation:      4.1"_s));
        QVERIFY(show.output.contains(u"TOO LONG"_s));
    }

    void refusesWhatItDoesNotUnderstand_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{u"explode"_s};
        QTest::newRow("version 7.0") << QStringList{u"create"_s, u"--version"_s, u"7.0"_s};
        QTest::newRow("version text") << QStringList{u"create"_s, u"--version"_s, u"new"_s};
        QTest::newRow("unknown sensor") << QStringList{u"sensors"_s, u"smoke"_s, u"on"_s};
        QTest::newRow("sensor value") << QStringList{u"sensors"_s, u"paper-out"_s, u"yes"_s};
        QTest::newRow("clock backwards") << QStringList{u"clock"_s, u"forward"_s, u"-3"_s};
        QTest::newRow("fault code") << QStringList{u"fault"_s, u"Item"_s, u"0"_s};
        QTest::newRow("port 0") << QStringList{u"--port"_s, u"0"_s, u"show"_s};
        QTest::newRow("no document") << QStringList{u"cancel-document"_s};
    }

    void refusesWhatItDoesNotUnderstand()
    {
        QFETCH(QStringList, arguments);
        QCOMPARE(tool(arguments).exitCode, 1);
    }

    void helpDescribesTheCommands()
    {
        const Run help = tool({u"--help"_s});
        QCOMPARE(help.exitCode, 0);
        for (const QString& command : {u"show"_s, u"tape"_s, u"create"_s, u"sensors"_s,
                                       u"clock forward"_s, u"fault"_s, u"--dir"_s})
            QVERIFY2(help.output.contains(command), qPrintable(command));
    }
};

QTEST_GUILESS_MAIN(TestEmulatorTool)
#include "tst_emulator_tool.moc"
