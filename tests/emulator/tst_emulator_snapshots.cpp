// Snapshots of a whole device: saved as one consistent copy and restored in one step, so that
// another connection sees the device before or after, never a part of each. A restore that is
// stopped, or whose process dies midway, leaves the device as it was; a damaged snapshot is
// refused.

#include "DeviceLedger.h"
#include "EmulatorFixture.h"

#include "DeviceSession.h"
#include "Snapshots.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QtTest>

#include <cstdio>
#include <thread>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

constexpr auto kRestoreFlag = "--restore-and-wait";
constexpr auto kSellFlag = "--sell";

// A device with a few receipts behind it, saved as "before", that then moved on.
void prepareDevice(const QString& folder)
{
    auto driver = connectDriver(folder);
    QVERIFY(driver);
    const auto sell = [&](int price) {
        QCOMPARE(driver->StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
        QCOMPARE(driver->Item(1000, price, u"Хлеб"_s, 0), 0);
        QCOMPARE(driver->Tender2(price, kCash, kNoCard, QString()), 0);
    };
    for (int i = 1; i <= 30; ++i)
        sell(100 * i);
    auto session = DeviceSession::open(folder, 1, OpenMode::ExistingOnly);
    QVERIFY(session);
    QVERIFY(snapshots::save((*session)->store(), folder, 1, u"before"_s));
    for (int i = 1; i <= 5; ++i)
        sell(7 * i);
}

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

// Runs SQL statements on a database file, as another program that edits it would.
void editDatabase(const QString& file, const QStringList& statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"edit"_s);
        db.setDatabaseName(file);
        QVERIFY(db.open());
        for (const QString& statement : statements)
            QVERIFY2(QSqlQuery(db).exec(statement), qPrintable(statement));
    }
    QSqlDatabase::removeDatabase(u"edit"_s);
}

void dropChecksum(const QString& file)
{
    QVERIFY(QFile::remove(DeviceStore::checksumPath(file)));
}

// A page of garbage written over the page in the middle of the file.
void overwriteMiddlePage(const QString& file)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(f.size() / 4096 / 2 * 4096));
    QCOMPARE(f.write(QByteArray(4096, '\x5a')), 4096);
}

QByteArray bytesOf(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
    void unsafeNamesAreRefused_data();
    void unsafeNamesAreRefused();
    void restoreGivesBackTheSavedDevice();
    void aSaveWithoutItsChecksumFails();
    void aSnapshotIsTheDeviceAsItWas_data();
    void aSnapshotIsTheDeviceAsItWas();
    void aRestoreStoppedMidwayLeavesTheDeviceAsItWas();
    void aRestoreKilledMidwayLeavesTheDeviceAsItWas();
    void aDamagedSnapshotIsRefused_data();
    void aDamagedSnapshotIsRefused();
    void aSnapshotIsOnlyReadWhenRestored_data();
    void aSnapshotIsOnlyReadWhenRestored();
    void aSnapshotIsRestoredWhateverItsFolderIsCalled_data();
    void aSnapshotIsRestoredWhateverItsFolderIsCalled();
    void snapshotsOfADeviceAtWorkAreWholeDevices();
};

void TestSnapshots::unsafeNamesAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");

    QTest::newRow("plain") << u"shift-200_receipts.v2"_s << true;
    QTest::newRow("parent folder") << u"../device"_s << false;
    QTest::newRow("path separator") << u"a/b"_s << false;
    QTest::newRow("backslash") << u"a\\b"_s << false;
    QTest::newRow("hidden") << u".hidden"_s << false;
    QTest::newRow("blank inside") << u"a b"_s << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("too long") << QString(65, u'a') << false;
    QTest::newRow("longest") << QString(64, u'a') << true;
    QTest::newRow("not Latin") << u"смена"_s << false;
}

void TestSnapshots::unsafeNamesAreRefused()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(snapshots::isSafeName(name), safe);
    if (safe)
        return;
    // The tool refuses the name as a wrong command line and writes nothing.
    QTemporaryDir dir;
    createDevice(dir.path(), 1, 6, 1);
    QProcess tool;
    tool.start(QStringLiteral(QUOLT_DEVICE_TOOL),
               {u"--dir"_s, dir.path(), u"snapshot"_s, u"save"_s, name});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), 2);
    QVERIFY(!QDir(dir.filePath(u"snapshots"_s)).exists());
}

void TestSnapshots::restoreGivesBackTheSavedDevice()
{
    QTemporaryDir dir;
    createDevice(dir.path(), 1, 6, 1);
    auto driver = connectDriver(dir.path());
    QVERIFY(driver);
    const QVariant cash = QVariant::fromValue(PaymentType::Cash);
    QCOMPARE(driver->StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(driver->Item(1000, 500, u"Хлеб"_s, 0), 0);
    QCOMPARE(driver->Tender2(500.0, cash, QVariant(u""_s), QString()), 0);
    // Saved with a document open: a sale with one position.
    QCOMPARE(driver->StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(driver->Item(2000, 300, u"Молоко"_s, 0), 0);
    const QStringList savedTape = tape(dir.path());
    const std::int32_t savedDocuments = driver->GetDeviceInfo(DeviceInfo::AllDocuments);

    auto session = DeviceSession::open(dir.path(), 1, OpenMode::ExistingOnly);
    QVERIFY(session);
    QVERIFY(snapshots::save((*session)->store(), dir.path(), 1, u"open-sale"_s));
    QCOMPARE(*snapshots::list(dir.path(), 1), QStringList{u"open-sale"_s});

    // The device moves on: the sale closes, another one follows.
    QCOMPARE(driver->Tender2(600.0, cash, QVariant(u""_s), QString()), 0);
    QCOMPARE(driver->StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(driver->Item(1000, 100, u"Соль"_s, 0), 0);
    QCOMPARE(driver->Tender2(100.0, cash, QVariant(u""_s), QString()), 0);
    QVERIFY(tape(dir.path()) != savedTape);

    QVERIFY(snapshots::restore(**session, dir.path(), 1, u"open-sale"_s));
    // The running driver takes the restored device in at its next call.
    QCOMPARE(tape(dir.path()), savedTape);
    QCOMPARE(driver->GetDeviceInfo(DeviceInfo::AllDocuments), savedDocuments);
    QCOMPARE(driver->GetDeviceInfo(DeviceInfo::FiscalTransaction), 1);
    QCOMPARE(driver->Tender2(600.0, cash, QVariant(u""_s), QString()), 0);
    QCOMPARE(driver->GetDeviceInfo(DeviceInfo::FiscalTransaction), 0);

    QVERIFY(!snapshots::restore(**session, dir.path(), 1, u"missing"_s));
    QVERIFY(snapshots::remove(dir.path(), 1, u"open-sale"_s));
    QVERIFY(snapshots::list(dir.path(), 1)->isEmpty());
    QCOMPARE(QDir(dir.filePath(u"snapshots/com1"_s)).entryList(QDir::Files), QStringList());
}

// Saved while nothing else reads, and while another connection still reads an older state (its
// changes are then still in the log, not in the database file).
// A snapshot is only believed beside its checksum: a save that cannot replace it says so.
void TestSnapshots::aSaveWithoutItsChecksumFails()
{
    QTemporaryDir dir;
    createDevice(dir.path(), 1, 2, 1);
    auto session = DeviceSession::open(dir.path(), 1, OpenMode::ExistingOnly);
    QVERIFY(session);
    const QString sum = DeviceStore::checksumPath(snapshots::path(dir.path(), 1, u"now"_s));
    QVERIFY(QDir().mkpath(sum + u"/in the way"_s));
    const Status saved = snapshots::save((*session)->store(), dir.path(), 1, u"now"_s);
    QVERIFY(!saved);
    QVERIFY2(saved.detail().contains(u".sum"_s), qPrintable(saved.detail()));
}

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

void TestSnapshots::aDamagedSnapshotIsRefused_data()
{
    using Damage = std::function<void(const QString&)>;
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<ErrorCode>("code");
    QTest::newRow("garbage in the middle")
        << Damage(overwriteMiddlePage) << ErrorCode::DeviceDamaged;
    QTest::newRow("not a database") << Damage([](const QString& file) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(f.write(QByteArray(8192, 'x')) == 8192);
    }) << ErrorCode::DeviceDamaged;
    QTest::newRow("no device in it")
        << Damage([](const QString& file) { editDatabase(file, {u"DELETE FROM device"_s}); })
        << ErrorCode::DeviceDamaged;
    // A text changed inside a record leaves every page well formed: only the checksum sees it.
    QTest::newRow("a record changed") << Damage([](const QString& file) {
        QByteArray bytes = bytesOf(file);
        const qsizetype at = bytes.indexOf(u"Хлеб"_s.toUtf8());
        QVERIFY(at > 0);
        bytes[at + 7] = char(0xb2); // "Хлев"
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }) << ErrorCode::DeviceDamaged;
    QTest::newRow("cut short") << Damage([](const QString& file) {
        QFile f(file);
        QVERIFY(f.resize(f.size() / 2));
    }) << ErrorCode::DeviceDamaged;
    // Without a checksum the snapshot is checked page by page, as before checksums were kept.
    QTest::newRow("garbage, no checksum") << Damage([](const QString& file) {
        dropChecksum(file);
        overwriteMiddlePage(file);
    }) << ErrorCode::DeviceDamaged;
    QTest::newRow("no device in it, no checksum") << Damage([](const QString& file) {
        dropChecksum(file);
        editDatabase(file, {u"DELETE FROM device"_s});
    }) << ErrorCode::DeviceDamaged;
    // A snapshot whose tables have a version lost the table: that is damage, not an old snapshot.
    QTest::newRow("a table lost, no checksum") << Damage([](const QString& file) {
        dropChecksum(file);
        editDatabase(file, {u"DROP TABLE documents"_s});
    }) << ErrorCode::DeviceDamaged;
}

void TestSnapshots::aDamagedSnapshotIsRefused()
{
    QFETCH(std::function<void(const QString&)>, damage);
    QFETCH(ErrorCode, code);
    QTemporaryDir dir;
    prepareDevice(dir.path());
    damage(snapshots::path(dir.path(), 1, u"before"_s));
    const QString device = DeviceStore::databasePath(dir.path(), 1);
    const QString before = deviceContents(device);
    auto session = DeviceSession::open(dir.path(), 1, OpenMode::ExistingOnly);
    QVERIFY(session);
    const Status restored = snapshots::restore(**session, dir.path(), 1, u"before"_s);
    QVERIFY(!restored);
    QCOMPARE(restored.failure().code, code);
    QCOMPARE(deviceContents(device), before);
}

// However the snapshot is checked, restoring it writes nothing to it nor beside it, and gives
// back the device it holds; a snapshot saved anew carries its own checksum.
void TestSnapshots::aSnapshotIsOnlyReadWhenRestored_data()
{
    using Change = std::function<void(const QString& folder, const QString& file)>;
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("documentsBack");
    QTest::newRow("with its checksum") << Change([](const QString&, const QString&) {}) << 5;
    QTest::newRow("without a checksum")
        << Change([](const QString&, const QString& file) { dropChecksum(file); }) << 5;
    QTest::newRow("a checksum that is not one") << Change([](const QString&, const QString& file) {
        QFile sum(DeviceStore::checksumPath(file));
        QVERIFY(sum.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(sum.write("83443712 e5c7273\n") > 0);
    }) << 5;
    // Saved before the device kept its last tables: they come back empty.
    QTest::newRow("saved before some tables") << Change([](const QString&, const QString& file) {
        dropChecksum(file);
        editDatabase(file, {u"DROP TABLE slips"_s, u"DROP TABLE tape_marks"_s,
                            u"DROP TABLE pictures"_s, u"PRAGMA user_version = 0"_s});
    }) << 5;
    QTest::newRow("saved again") << Change([](const QString& folder, const QString&) {
        auto session = DeviceSession::open(folder, 1, OpenMode::ExistingOnly);
        QVERIFY(session);
        QVERIFY(snapshots::save((*session)->store(), folder, 1, u"before"_s));
    }) << 0;
}

void TestSnapshots::aSnapshotIsOnlyReadWhenRestored()
{
    using Change = std::function<void(const QString& folder, const QString& file)>;
    QFETCH(Change, change);
    QFETCH(int, documentsBack);
    QTemporaryDir dir;
    prepareDevice(dir.path());
    const QString file = snapshots::path(dir.path(), 1, u"before"_s);
    change(dir.path(), file);
    const QByteArray saved = bytesOf(file);
    const QDir snapshotFolder = QFileInfo(file).dir();
    const QStringList besides = snapshotFolder.entryList(QDir::Files);

    auto session = DeviceSession::open(dir.path(), 1, OpenMode::ExistingOnly);
    QVERIFY(session);
    constexpr QDir::Filters kAll = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    const QStringList devices = QDir(dir.path()).entryList(kAll);
    const int documents = (*session)->device().state().allDocuments;
    const Status restored = snapshots::restore(**session, dir.path(), 1, u"before"_s);
    QVERIFY2(restored, qPrintable(restored.detail()));
    QCOMPARE((*session)->device().state().allDocuments, documents - documentsBack);
    QCOMPARE(bytesOf(file), saved);
    QCOMPARE(snapshotFolder.entryList(QDir::Files), besides);
    QCOMPARE(QDir(dir.path()).entryList(kAll), devices);
    QCOMPARE(ledger::integrity(DeviceStore::databasePath(dir.path(), 1)), u"ok"_s);
    QVERIFY(!deviceContents(DeviceStore::databasePath(dir.path(), 1)).contains(u"no such table"_s));
}

// The snapshot is opened by a URI, where these characters mean something of their own.
void TestSnapshots::aSnapshotIsRestoredWhateverItsFolderIsCalled_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("blanks and Cyrillic") << u"Мои данные"_s;
    QTest::newRow("URI characters") << u"a#b%20c?d=e&f"_s;
}

void TestSnapshots::aSnapshotIsRestoredWhateverItsFolderIsCalled()
{
    QFETCH(QString, folder);
    QTemporaryDir dir;
    const QString data = dir.filePath(folder);
    prepareDevice(data);
    auto session = DeviceSession::open(data, 1, OpenMode::ExistingOnly);
    QVERIFY(session);
    const int documents = (*session)->device().state().allDocuments;
    const Status restored = snapshots::restore(**session, data, 1, u"before"_s);
    QVERIFY2(restored, qPrintable(restored.detail()));
    QCOMPARE((*session)->device().state().allDocuments, documents - 5);
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
