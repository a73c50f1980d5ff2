#include "EmulatorFixture.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// Sessions recorded as scripts of driver calls and replayed by quolt-device on a new device:
// each must answer every call as it did when it was recorded, so that a change of the device's
// behaviour shows as the line where it first answers otherwise.
class TestEmulatorReplay : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode = -1;
        QString output;
        QString error;
    };

    Run replay(const QString& script, const QString& devices = u"devices"_s, int port = 1)
    {
        QProcess process;
        process.start(QStringLiteral(QUOLT_DEVICE_TOOL),
                      {u"--dir"_s, m_dir.filePath(devices), u"--port"_s, QString::number(port),
                       u"replay"_s, script, u"--create"_s, u"6.1"_s});
        if (!process.waitForFinished(60000))
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    static QString sessionPath(const QString& session)
    {
        return QStringLiteral(QUOLT_SESSIONS) + u'/' + session;
    }

    // A copy of the recorded session with one result changed.
    QString altered(const QString& session, const QByteArray& from, const QByteArray& to)
    {
        QFile original(sessionPath(session));
        if (!original.open(QIODevice::ReadOnly))
            return {};
        QByteArray text = original.readAll();
        text.replace(from, to);
        const QString path = m_dir.filePath(u"altered.jsonl"_s);
        QFile copy(path);
        if (!copy.open(QIODevice::WriteOnly) || copy.write(text) != text.size())
            return {};
        return path;
    }

private slots:
    void recordedSessionsAnswerAsRecorded_data()
    {
        QTest::addColumn<QString>("session");
        QTest::addColumn<int>("calls");
        QTest::newRow("a shift of sales with change and a return")
            << u"shift-of-sales.jsonl"_s << 24;
        QTest::newRow("a day of every document and a Z report")
            << u"day-of-documents.jsonl"_s << 44;
        QTest::newRow("options, header and taxes") << u"programming.jsonl"_s << 23;
        // A port the driver refused is refused again, and the replay goes on as recorded.
        QTest::newRow("a mistyped port, then a sale") << u"refused-port.jsonl"_s << 14;
    }

    void recordedSessionsAnswerAsRecorded()
    {
        QFETCH(QString, session);
        QFETCH(int, calls);
        const QString script = sessionPath(session);
        QVERIFY(QFile::exists(script));
        const Run run = replay(script);
        QVERIFY2(run.exitCode == 0, qPrintable(run.error));
        QVERIFY2(run.output.contains(u"%1 calls replayed, every result as recorded"_s.arg(calls)),
                 qPrintable(run.output));
    }

    void aDifferentResultNamesItsLine()
    {
        // The receipt's total as the recording would have it had the device counted otherwise.
        const QString script =
            altered(u"shift-of-sales.jsonl"_s, R"("result":11475)", R"("result":11474)");
        QVERIFY(!script.isEmpty());
        const Run run = replay(script);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(
            run.error.contains(u"line 10: GetDocInfo answered 11475, the recording has 11474"_s),
            qPrintable(run.error));
    }

    void theReplayGoesToTheDeviceAskedFor()
    {
        // The session was recorded on port 1; the device there must not notice its replay on 2.
        const QString devices = m_dir.filePath(u"two devices"_s);
        emulator::testing::createDevice(devices, 1, 6, 1);
        const auto fingerprint = [&](int port) {
            QFile file(emulator::DeviceStore::databasePath(devices, port));
            return file.open(QIODevice::ReadOnly)
                       ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                       : QByteArray();
        };
        const QByteArray before = fingerprint(1);
        QVERIFY(!before.isEmpty());

        const Run run = replay(sessionPath(u"refused-port.jsonl"_s), u"two devices"_s, 2);
        QVERIFY2(run.exitCode == 0, qPrintable(run.error));
        QVERIFY(emulator::testing::tape(devices, 2).join(u'\n').contains(u"Молоко"_s));
        QCOMPARE(fingerprint(1), before);
        QVERIFY(emulator::testing::tape(devices, 1).isEmpty());
    }

    void aFaultyScriptRunsNothing()
    {
        const QString script = altered(u"programming.jsonl"_s, R"("member":"SetTaxRate")",
                                       R"("member":"SetTaxRates")");
        QVERIFY(!script.isEmpty());
        const Run run = replay(script, u"untouched"_s);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(
            run.error.contains(u"no driver member is called \"SetTaxRates\"; nothing was run"_s),
            qPrintable(run.error));
        QVERIFY(!QFile::exists(m_dir.filePath(u"untouched"_s))); // not even the device was made
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestEmulatorReplay)
#include "tst_emulator_replay.moc"
