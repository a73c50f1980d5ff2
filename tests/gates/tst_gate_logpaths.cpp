// The driver's log paths written for Windows land in the emulator's data folder by their last
// name, whatever that name looks like; other paths are kept.

#include "DriverLog.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestGateLogPaths : public QObject
{
    Q_OBJECT

private slots:
    void mapsDrivePathsIntoTheDataFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        const QString folder = u"/data/devices"_s;
        QTest::newRow("backslashes") << u"c:\\ll_quolt.log"_s << folder + u"/ll_quolt.log"_s;
        QTest::newRow("slashes, deeper") << u"D:/logs/a/b.log"_s << folder + u"/b.log"_s;
        QTest::newRow("mixed") << u"z:\\a/b\\c.log"_s << folder + u"/c.log"_s;
        // Qt reads a name that starts with ':' as a resource: it must stay a file name.
        QTest::newRow("name with a colon") << u"c:/:x.log"_s << folder + u"/:x.log"_s;
        QTest::newRow("no name") << u"c:\\"_s << folder + u"/"_s;
        QTest::newRow("absolute") << u"/tmp/x.log"_s << u"/tmp/x.log"_s;
        QTest::newRow("relative") << u"x.log"_s << u"x.log"_s;
        QTest::newRow("drive without slash") << u"c:x.log"_s << u"c:x.log"_s;
        QTest::newRow("no drive letter") << u"1:\\x.log"_s << u"1:\\x.log"_s;
    }

    void mapsDrivePathsIntoTheDataFolder()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(emulator::localLogPath(path, u"/data/devices"_s), expected);
    }
};

QTEST_GUILESS_MAIN(TestGateLogPaths)
#include "tst_gate_logpaths.moc"
