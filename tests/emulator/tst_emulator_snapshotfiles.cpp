// The files of snapshots: names that are safe to save under, a restore that gives back the saved
// device, a snapshot believed only beside its checksum, damaged snapshots refused, a snapshot only
// read when restored, and folders of any name.

#include "DeviceLedger.h"
#include "EmulatorFixture.h"
#include "SnapshotsRig.h"

#include "DeviceSession.h"
#include "Snapshots.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

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

} // namespace

class TestSnapshotFiles : public QObject
{
    Q_OBJECT

private slots:
    void unsafeNamesAreRefused_data();
    void unsafeNamesAreRefused();
    void restoreGivesBackTheSavedDevice();
    void aSaveWithoutItsChecksumFails();
    void aDamagedSnapshotIsRefused_data();
    void aDamagedSnapshotIsRefused();
    void aSnapshotIsOnlyReadWhenRestored_data();
    void aSnapshotIsOnlyReadWhenRestored();
    void aSnapshotIsRestoredWhateverItsFolderIsCalled_data();
    void aSnapshotIsRestoredWhateverItsFolderIsCalled();
};

void TestSnapshotFiles::unsafeNamesAreRefused_data()
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

void TestSnapshotFiles::unsafeNamesAreRefused()
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

void TestSnapshotFiles::restoreGivesBackTheSavedDevice()
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

// A snapshot is only believed beside its checksum: a save that cannot replace it says so.
void TestSnapshotFiles::aSaveWithoutItsChecksumFails()
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

void TestSnapshotFiles::aDamagedSnapshotIsRefused_data()
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

void TestSnapshotFiles::aDamagedSnapshotIsRefused()
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
void TestSnapshotFiles::aSnapshotIsOnlyReadWhenRestored_data()
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

void TestSnapshotFiles::aSnapshotIsOnlyReadWhenRestored()
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
void TestSnapshotFiles::aSnapshotIsRestoredWhateverItsFolderIsCalled_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("blanks and Cyrillic") << u"Мои данные"_s;
    QTest::newRow("URI characters") << u"a#b%20c?d=e&f"_s;
}

void TestSnapshotFiles::aSnapshotIsRestoredWhateverItsFolderIsCalled()
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

QTEST_GUILESS_MAIN(TestSnapshotFiles)
#include "tst_emulator_snapshotfiles.moc"
