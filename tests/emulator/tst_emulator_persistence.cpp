// A device survives the death of the program that drives it: the test runs a session in a child
// process (this same executable), kills it without warning in the middle of a receipt, and then
// finds the shift, the open receipt and the printed tape intact.

#include "DeviceNumbers.h"
#include "EmulatorFixture.h"

#include "DeviceNumbers.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstdio>
#include <thread>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

constexpr auto kChildFlag = "--drive-and-wait";

// The child: opens a shift and half a receipt, reports that it is done, and waits to be killed.
int driveAndWait(const QString& folder)
{
    std::unique_ptr<EmulatedDriver> d = connectDriver(folder);
    if (!d)
        return 2;
    const bool ok = d->StartDocument(::DocumentType::Sale, 1, u"5"_s, u"Кассир2"_s) == 0 &&
                    d->Item(2000, 1250, u"Кофе"_s, 0) == 0 &&
                    d->ItemEx(1000, 300, u"Сахар"_s, 0, 3) == 0 && d->PercentCorrection(-10) == 0;
    std::puts(ok ? "ready" : "failed");
    std::fflush(stdout);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

QByteArray checksum(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

void execute(const QString& path, const QString& sql)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"damage"_s);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY2(query.exec(sql), qPrintable(sql));
    }
    QSqlDatabase::removeDatabase(u"damage"_s);
}

QVariant query(const QString& path, const QString& sql)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"look"_s);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                value = q.value(0);
        }
    }
    QSqlDatabase::removeDatabase(u"look"_s);
    return value;
}

struct ToolRun
{
    int exitCode = -1;
    QString output;
};

ToolRun runTool(const QString& folder, const QStringList& arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(QUOLT_DEVICE_TOOL), QStringList{u"--dir"_s, folder} + arguments);
    if (!tool.waitForFinished(30000))
        return {};
    return {tool.exitCode(),
            QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError())};
}

} // namespace

class TestEmulatorPersistence : public QObject
{
    Q_OBJECT

private slots:
    void killedMidReceiptLosesNothing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kChildFlag), dir.path()});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("ready"));
        child.kill(); // SIGKILL: no destructor, no close, no flush
        QVERIFY(child.waitForFinished());

        std::unique_ptr<EmulatedDriver> d = connectDriver(dir.path(), {}, false);
        QVERIFY(d);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::ShiftOpen), 1);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), 1);
        QCOMPARE(d->GetDocInfo(DocInfo::DistinctItems), 2);
        QCOMPARE(d->GetDocInfo(DocInfo::Amount), 2520); // (25.00 + 3.00) less 10 %
        QVERIFY(tape(dir.path()).contains(u"Сахар"_s));

        // The receipt goes on where it stopped, undo included.
        QCOMPARE(d->CorrectLastItem(), 0);
        QCOMPARE(d->GetDocInfo(DocInfo::Amount), 2800);
        QCOMPARE(d->Tender2(3000, QVariant(PaymentType::Cash), QVariant(QString()), {}), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
        QCOMPARE(shiftCounter(*d, DeviceCounter::SalesTotal), 2800.0);
        QCOMPARE(d->EndSession(), 0);
    }

    // A command whose changes cannot be saved answers the storage code and leaves the device
    // exactly as it was, in memory and on disk; once the cause is gone the next call succeeds.
    void aFailedSaveLeavesTheDeviceAsItWas()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::unique_ptr<EmulatedDriver> d = connectDriver(dir.path());
        QVERIFY(d);
        QCOMPARE(d->SetDriverOpt(DriverOption::AutoClose, 1), 0);
        QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
        QCOMPARE(d->Item(1000, 700, u"Соль"_s, 0), 0);
        const QString path = DeviceStore::databasePath(dir.path(), 1);
        const auto stored = [&path] {
            return query(path, u"SELECT hex(state) || (SELECT count(*) FROM documents) || "
                               u"(SELECT count(*) FROM tape) FROM device"_s);
        };
        const QVariant before = stored();
        const int documents = d->GetDeviceInfo(DeviceInfo::AllDocuments);

        // The device state is written first and the printed lines after it: a failure of the
        // second write must take back the first.
        execute(path, u"CREATE TRIGGER refuse BEFORE INSERT ON tape "
                      u"BEGIN SELECT RAISE(ABORT, 'the tape is full'); END"_s);
        const QVariant cash(PaymentType::Cash);
        QCOMPARE(d->Tender2(700, cash, QVariant(QString()), {}), int(ErrorCode::StorageError));
        QCOMPARE(d->GetDocInfo(DocInfo::Payments), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), int(DocumentType::Sale));
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::AllDocuments), documents);
        QCOMPARE(stored(), before);

        execute(path, u"DROP TRIGGER refuse"_s);
        QCOMPARE(d->Tender2(700, cash, QVariant(QString()), {}), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::AllDocuments), documents + 1);
        QCOMPARE(tape(dir.path()).join(u'\n').count(u"ИТОГ"_s), 1);
    }

    void aDamagedDeviceIsRefusedAndKept_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("state removed") << u"DELETE FROM device"_s;
        QTest::newRow("state unreadable") << u"UPDATE device SET state = x'00ff'"_s;
    }

    void aDamagedDeviceIsRefusedAndKept()
    {
        QFETCH(QString, damage);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        {
            std::unique_ptr<EmulatedDriver> d = connectDriver(dir.path());
            QVERIFY(d);
            QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
            QCOMPARE(d->Item(1000, 700, u"Соль"_s, 0), 0);
            QCOMPARE(d->Tender2(700, QVariant(PaymentType::Cash), QVariant(QString()), {}), 0);
            QCOMPARE(d->EndSession(), 0);
        }
        const qint64 lines = tape(dir.path()).size();
        QVERIFY(lines > 0);
        const QString path = DeviceStore::databasePath(dir.path(), 1);
        execute(path, damage);
        const QByteArray before = checksum(path);

        {
            EmulatedDriver d(dir.path());
            QCOMPARE(d.SetPassword(u"735102"_s), 0);
            QCOMPARE(d.InitDevice(), int(ErrorCode::DeviceDamaged));
            QCOMPARE(d.GetDeviceInfo(DeviceInfo::ShiftOpen), -1);
        }
        for (const QString& command : {u"show"_s, u"sensors"_s, u"tape"_s}) {
            const ToolRun run = runTool(dir.path(), {command});
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.output.contains(u"state"_s), qPrintable(run.output));
        }
        QCOMPARE(checksum(path), before);

        // Only create replaces the device, and it says what it deleted.
        const ToolRun created = runTool(dir.path(), {u"create"_s});
        QCOMPARE(created.exitCode, 0);
        QVERIFY2(created.output.contains(u"deleted %1 tape lines,"_s.arg(lines)) &&
                     created.output.contains(u"and 1 closed shifts"_s),
                 qPrintable(created.output));
        std::unique_ptr<EmulatedDriver> d = connectDriver(dir.path());
        QVERIFY(d);
        QVERIFY(!tape(dir.path()).join(u'\n').contains(u"Соль"_s));
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kChildFlag) == 0)
        return driveAndWait(QString::fromLocal8Bit(argv[2]));
    TestEmulatorPersistence test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_emulator_persistence.moc"
