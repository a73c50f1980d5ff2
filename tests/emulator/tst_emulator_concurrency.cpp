// Several processes share one device: two programs issue receipts on it while the device tool
// switches a sensor. Every call that answered success must count exactly once, no document
// number may be used twice, and no change of the tool may be undone by a program.

#include "EmulatorFixture.h"

#include "DeviceNumbers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

constexpr auto kWorkerFlag = "--issue-receipts";
constexpr int kPrice = 100;
constexpr int kSeconds = 3;

// A worker process: issues receipts for the given time on the shared device and prints how many
// positions it registered and how many receipts it closed.
int issueReceipts(const QString& folder, int seconds)
{
    auto d = std::make_unique<EmulatedDriver>(folder);
    // Closing is left to EndDocument, so that each closed receipt is one success to count.
    if (d->SetPassword(u"735102"_s) != 0 || d->SetDriverOpt(DriverOption::Port, 1) != 0 ||
        d->InitDevice() != 0 || d->SetDriverOpt(DriverOption::AutoClose, 0) != 0)
        return 2;
    qint64 items = 0;
    qint64 closed = 0;
    const QDeadlineTimer deadline(seconds * 1000);
    while (!deadline.hasExpired()) {
        d->StartDocument(DocumentType::Sale, 1, {},
                         {}); // the other program's receipt may be open: then join it
        if (d->Item(1000, kPrice, u"Чай"_s, 0) == 0)
            ++items;
        d->Tender2(1'000'000, QVariant(PaymentType::Cash), QVariant(QString()), {});
        const Driver::Result end = d->EndDocument();
        if (end == 0)
            ++closed;
        else if (end == int(ErrorCode::ZeroTotal))
            d->CancelDocument(); // paid before any position: nothing to close
    }
    std::printf("%lld %lld\n", items, closed);
    std::fflush(stdout);
    return 0;
}

} // namespace

class TestEmulatorConcurrency : public QObject
{
    Q_OBJECT

private slots:
    void programsAndToolShareADevice()
    {
        const QString toolPath = QStringLiteral(QUOLT_DEVICE_TOOL);
        QVERIFY2(QFileInfo(toolPath).isExecutable(), qPrintable(toolPath));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        createDevice(dir.path(), 1, 6, 1);
        std::unique_ptr<EmulatedDriver> watcher = connectDriver(dir.path());
        QVERIFY(watcher);

        std::array<QProcess, 2> workers;
        for (QProcess& worker : workers) {
            worker.start(QCoreApplication::applicationFilePath(),
                         {QString::fromLatin1(kWorkerFlag), dir.path(), QString::number(kSeconds)});
            QVERIFY(worker.waitForStarted());
        }

        // The tool switches a sensor the programs never touch; each switch must still be there
        // when the tool comes back, whatever the programs committed meanwhile.
        Expected<std::unique_ptr<DeviceStore>> reader = DeviceStore::open(dir.path(), 1);
        QVERIFY(reader);
        bool batteryLow = false;
        int switches = 0;
        const QDeadlineTimer deadline(kSeconds * 1000);
        while (!deadline.hasExpired()) {
            batteryLow = !batteryLow;
            QProcess tool;
            tool.start(toolPath, {u"--dir"_s, dir.path(), u"sensors"_s, u"battery-low"_s,
                                  batteryLow ? u"on"_s : u"off"_s});
            QVERIFY(tool.waitForFinished(30000));
            QCOMPARE(tool.exitCode(), 0);
            ++switches;
            QTest::qWait(20); // let the programs commit on top of the change
            const Expected<DeviceState> seen = (*reader)->load();
            QVERIFY(seen);
            QVERIFY2(seen->sensors.batteryLow == batteryLow,
                     qPrintable(u"switch %1 was undone"_s.arg(switches)));
        }
        QVERIFY(switches > 1);

        qint64 items = 0;
        qint64 closed = 0;
        for (QProcess& worker : workers) {
            if (worker.state() != QProcess::NotRunning)
                QVERIFY(worker.waitForFinished(60000));
            QCOMPARE(worker.exitStatus(), QProcess::NormalExit);
            QCOMPARE(worker.exitCode(), 0);
            const QList<QByteArray> counts = worker.readAllStandardOutput().trimmed().split(' ');
            QCOMPARE(counts.size(), 2);
            items += counts[0].toLongLong();
            closed += counts[1].toLongLong();
        }
        QVERIFY(closed > 0);

        // Every position that answered success is in a closed, cancelled or still open receipt.
        const auto shiftCounter = [&](Counter counter) {
            return watcher->GetDoubleDeviceInfo(
                static_cast<std::int16_t>(DoubleInfo::ShiftCounterBase + int(counter)));
        };
        QCOMPARE(shiftCounter(Counter::SaleCount), double(closed));
        const double counted = shiftCounter(Counter::SalesTotal) +
                               shiftCounter(Counter::CancelledSum) +
                               watcher->GetDocInfo(DocInfo::Amount);
        QCOMPARE(counted, double(items * kPrice));

        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"check"_s);
        db.setDatabaseName(DeviceStore::databasePath(dir.path(), 1));
        QVERIFY(db.open());
        {
            QSqlQuery query(db);
            QVERIFY(query.exec(u"SELECT COUNT(*) FROM documents WHERE cancelled = 0"_s));
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toLongLong(), closed);
            QVERIFY(query.exec(u"SELECT number FROM documents GROUP BY number"
                               u" HAVING COUNT(*) > 1"_s));
            QVERIFY2(!query.next(), "a document number was used twice");
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"check"_s);
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], kWorkerFlag) == 0)
        return issueReceipts(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    TestEmulatorConcurrency test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_emulator_concurrency.moc"
