// Snapshots of a whole device: saved as one consistent copy and restored in one step, so that
// another connection sees the device before or after, never a part of each. A restore that is
// stopped, or whose process dies midway, leaves the device as it was.

#include "DeviceLedger.h"
#include "EmulatorFixture.h"
#include "SnapshotsRig.h"

#include "DeviceSession.h"
#include "Snapshots.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <thread>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

constexpr auto kRestoreFlag = "--restore-and-wait";
constexpr auto kSellFlag = "--sell";

// The child of aRestoreKilledMidwayLeavesTheDeviceAsItWas: restores "before" and waits, halfway
// through the copy, to be killed.
int restoreAndWait(const QString& folder)
{
    auto session = DeviceSession::open(folder, 1, OpenMode::ExistingOnly);
    if (!session)
        return 2;
    const Status restored =
        (*session)->store().restoreFrom(snapshots::path(folder, 1, u"before"_s), [] {
            std::puts("midway");
            std::fflush(stdout);
            for (;;)
                std::this_thread::sleep_for(std::chrono::seconds(1));
            return true;
        });
    std::puts(restored ? "restored" : "failed");
    return 1;
}

// A worker that sells for the given seconds on the device of the folder.
int sellFor(const QString& folder, int seconds)
{
    auto driver = connectDriver(folder, {}, false);
    if (!driver)
        return 2;
    const QDeadlineTimer deadline(seconds * 1000);
    while (!deadline.hasExpired()) {
        if (driver->StartDocument(DocumentType::Sale, 1, {}, {}) == 0 &&
            driver->Item(1000, 250, u"Чай"_s, 0) == 0)
            driver->Tender2(250, kCash, kNoCard, {});
    }
    return 0;
}

// The ledger of a database file taken as the device of port 1 of a folder of its own.
QStringList disagreementsOf(const QString& file)
{
    QTemporaryDir dir;
    if (!QFile::copy(file, DeviceStore::databasePath(dir.path(), 1)))
        return {u"cannot copy "_s + file};
    QStringList found = ledger::disagreements(dir.path(), 1);
    if (const QString integrity = ledger::integrity(DeviceStore::databasePath(dir.path(), 1));
        integrity != u"ok")
        found << integrity;
    return found;
}

} // namespace

class TestSnapshots : public QObject
{
    Q_OBJECT

private slots:
    void aSnapshotIsTheDeviceAsItWas_data();
    void aSnapshotIsTheDeviceAsItWas();
    void aRestoreStoppedMidwayLeavesTheDeviceAsItWas();
    void aRestoreKilledMidwayLeavesTheDeviceAsItWas();
    void snapshotsOfADeviceAtWorkAreWholeDevices();
};

// Saved while nothing else reads, and while another connection still reads an older state (its
// changes are then still in the log, not in the database file).
void TestSnapshots::aSnapshotIsTheDeviceAsItWas_data()
{
    QTest::addColumn<bool>("readerBehind");
    QTest::newRow("settled") << false;
    QTest::newRow("a reader behind") << true;
}

void TestSnapshots::aSnapshotIsTheDeviceAsItWas()
{
    QFETCH(bool, readerBehind);
    QTemporaryDir dir;
    auto driver = connectDriver(dir.path());
    QVERIFY(driver);
    QSqlDatabase reader = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"reader"_s);
    {
        reader.setDatabaseName(DeviceStore::databasePath(dir.path(), 1));
        QVERIFY(reader.open());
        QSqlQuery behind(reader);
        if (readerBehind) {
            QVERIFY(reader.transaction());
            QVERIFY(behind.exec(u"SELECT count(*) FROM tape"_s) && behind.next());
        }
        QCOMPARE(driver->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
        QCOMPARE(driver->Item(1000, 500, u"Хлеб"_s, 0), 0);
        QCOMPARE(driver->Tender2(500, kCash, kNoCard, {}), 0);

        auto session = DeviceSession::open(dir.path(), 1, OpenMode::ExistingOnly);
        QVERIFY(session);
        QVERIFY(snapshots::save((*session)->store(), dir.path(), 1, u"now"_s));
        const QString saved = deviceContents(snapshots::path(dir.path(), 1, u"now"_s));
        QVERIFY(saved.contains(QString::fromLatin1(u"Хлеб"_s.toUtf8().toHex())));
        QCOMPARE(saved, deviceContents(DeviceStore::databasePath(dir.path(), 1)));
        QVERIFY(!QFileInfo::exists(snapshots::path(dir.path(), 1, u"now"_s) + u".part"_s));
        // Either way the checksum beside it is the snapshot's own: it is restored, not refused.
        const Status restored = snapshots::restore(**session, dir.path(), 1, u"now"_s);
        QVERIFY2(restored, qPrintable(restored.detail()));
        behind.finish();
        reader.rollback();
        reader.close();
    }
    reader = QSqlDatabase();
    QSqlDatabase::removeDatabase(u"reader"_s);
}

void TestSnapshots::aRestoreStoppedMidwayLeavesTheDeviceAsItWas()
{
    QTemporaryDir dir;
    prepareDevice(dir.path());
    const QString device = DeviceStore::databasePath(dir.path(), 1);
    const QString before = deviceContents(device);
    auto restorer = DeviceSession::open(dir.path(), 1, OpenMode::ExistingOnly);
    auto other = DeviceSession::open(dir.path(), 1, OpenMode::ExistingOnly);
    QVERIFY(restorer && other);
    const int documents = (*other)->device().state().allDocuments;

    int steps = 0;
    const Status restored =
        (*restorer)->store().restoreFrom(snapshots::path(dir.path(), 1, u"before"_s), [&] {
            // Another connection still sees the whole device as it was.
            (*other)->refresh();
            [&] { QCOMPARE((*other)->device().state().allDocuments, documents); }();
            return ++steps < 3;
        });
    QVERIFY(!restored);
    QCOMPARE(steps, 3);
    QCOMPARE(deviceContents(device), before);
    QCOMPARE(ledger::integrity(device), u"ok"_s);

    // Restored in full, it is the device that was saved.
    QVERIFY(snapshots::restore(**restorer, dir.path(), 1, u"before"_s));
    (*other)->refresh();
    QCOMPARE((*other)->device().state().allDocuments, documents - 5);
}

void TestSnapshots::aRestoreKilledMidwayLeavesTheDeviceAsItWas()
{
    QTemporaryDir dir;
    prepareDevice(dir.path());
    const QString device = DeviceStore::databasePath(dir.path(), 1);
    const QString before = deviceContents(device);

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(kRestoreFlag), dir.path()});
    QVERIFY(child.waitForStarted());
    QVERIFY(child.waitForReadyRead(30000));
    QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("midway"));
    // Halfway through, another connection reads the device as it was.
    QCOMPARE(deviceContents(device), before);
    child.kill();
    QVERIFY(child.waitForFinished());

    QCOMPARE(deviceContents(device), before);
    QCOMPARE(ledger::integrity(device), u"ok"_s);
    auto driver = connectDriver(dir.path(), {}, false);
    QVERIFY(driver);
    QCOMPARE(driver->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    QCOMPARE(driver->Item(1000, 100, u"Соль"_s, 0), 0);
    QCOMPARE(driver->Tender2(100, kCash, kNoCard, {}), 0);
}

// While another process sells without pause, every snapshot saved is one whole device whose
// books agree, and so is the device after a snapshot replaced it under that process.
void TestSnapshots::snapshotsOfADeviceAtWorkAreWholeDevices()
{
    QTemporaryDir dir;
    prepareDevice(dir.path());
    QProcess seller;
    seller.start(QCoreApplication::applicationFilePath(),
                 {QString::fromLatin1(kSellFlag), dir.path(), u"4"_s});
    QVERIFY(seller.waitForStarted());
    auto session = DeviceSession::open(dir.path(), 1, OpenMode::ExistingOnly);
    QVERIFY(session);
    for (int i = 0; i < 3; ++i) {
        QTest::qWait(300);
        const QString name = u"at-work-%1"_s.arg(i);
        QVERIFY(snapshots::save((*session)->store(), dir.path(), 1, name));
        QCOMPARE(disagreementsOf(snapshots::path(dir.path(), 1, name)), QStringList());
    }
    QVERIFY(snapshots::restore(**session, dir.path(), 1, u"at-work-0"_s));
    QVERIFY(seller.waitForFinished(60000));
    QCOMPARE(seller.exitCode(), 0);
    QCOMPARE(ledger::disagreements(dir.path(), 1), QStringList());
    QCOMPARE(ledger::integrity(DeviceStore::databasePath(dir.path(), 1)), u"ok"_s);
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kRestoreFlag) == 0)
        return restoreAndWait(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && qstrcmp(argv[1], kSellFlag) == 0)
        return sellFor(QString::fromLocal8Bit(argv[2]), QString::fromLatin1(argv[3]).toInt());
    TestSnapshots test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_emulator_snapshots.moc"
