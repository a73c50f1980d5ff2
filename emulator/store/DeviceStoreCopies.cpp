// Whole copies of a device: a snapshot written to a file and a device restored from one.

#include "DeviceStore.h"

#include "DeviceStoreDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <zlib.h>

#include <cstdio>
#include <future>
#include <utility>

namespace emulator {
namespace {

constexpr qint64 kChunk = 4 << 20;

Status sqliteFailure(sqlite3* db, const QString& what)
{
    return Status(storageError(), u"%1: %2"_s.arg(what, QString::fromUtf8(sqlite3_errmsg(db))));
}

QString nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// What a copy's checksum file holds: the copy's size in bytes and the CRC-32 of its bytes, as
// "<size> <crc, 8 hex digits>". Checking it reads the file once at the speed of memory, where
// SQLite's quick check walks every b-tree at a third of that; and it finds any byte changed since
// the copy was made, where the quick check finds only what breaks the structure.
struct Checksum
{
    qint64 size = 0;
    quint32 crc = 0;

    void add(const char* bytes, qint64 count)
    {
        crc = quint32(crc32_z(crc, reinterpret_cast<const Bytef*>(bytes), z_size_t(count)));
        size += count;
    }
    QByteArray text() const
    {
        return QByteArray::number(size) + ' ' + QByteArray::number(crc, 16).rightJustified(8, '0') +
               '\n';
    }
    // A file that is missing, unreadable or not in the form above is no checksum: the copy is
    // then checked page by page instead.
    static std::optional<Checksum> read(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        const QList<QByteArray> fields = file.read(64).trimmed().split(' ');
        bool sized = false;
        bool summed = false;
        Checksum sum;
        if (fields.size() == 2 && fields[1].size() == 8) {
            sum.size = fields[0].toLongLong(&sized);
            sum.crc = fields[1].toUInt(&summed, 16);
        }
        if (!sized || !summed || sum.size < 0)
            return std::nullopt;
        return sum;
    }
    friend bool operator==(const Checksum&, const Checksum&) = default;
};

// The checksum of a whole file, read from its start.
Expected<Checksum> checksumOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Expected<Checksum>(
            storageError(), u"cannot read %1: %2"_s.arg(nativePath(path), file.errorString()));
    Checksum sum;
    QByteArray chunk(kChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(chunk.data(), kChunk);
        if (got < 0)
            return Expected<Checksum>(
                storageError(), u"cannot read %1: %2"_s.arg(nativePath(path), file.errorString()));
        if (got == 0)
            return sum;
        sum.add(chunk.constData(), got);
    }
}

// A copy is believed only if it is the file that was saved: the size and checksum recorded beside
// it when it was saved.
Status compareChecksum(const QString& path, const Checksum& expected)
{
    if (QFileInfo(path).size() != expected.size)
        return Status(damaged(), u"%1 is damaged: it is not the size it was saved with"_s.arg(
                                     nativePath(path)));
    const Expected<Checksum> found = checksumOf(path);
    if (!found)
        return Status(found.failure(), found.detail());
    if (!(*found == expected))
        return Status(damaged(),
                      u"%1 is damaged: it changed since it was saved"_s.arg(nativePath(path)));
    return Done{};
}

Status writeChecksum(const QString& copy, const Checksum& sum)
{
    const QString path = DeviceStore::checksumPath(copy);
    QSaveFile out(path);
    const QByteArray text = sum.text();
    if (out.open(QIODevice::WriteOnly) && out.write(text) == text.size() && out.commit())
        return Done{};
    return Status(storageError(),
                  u"cannot write %1: %2"_s.arg(nativePath(path), out.errorString()));
}

// Copies every page of `from` into `to` in one write transaction of `to`, `pages` at a time,
// running `midway` between the steps; the copy stops, `to` unchanged, when that answers false.
// `beforeCommit`, when given, runs once before the last page, whose copy commits the whole: a
// failure it gives stops the copy in the same way and is the copy's failure.
Status copyPages(sqlite3* from, sqlite3* to, int pages, const std::function<bool()>& midway,
                 std::function<Status()> beforeCommit = {})
{
    sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup)
        return sqliteFailure(to, u"the copy cannot begin"_s);
    int step = SQLITE_OK;
    bool started = false;
    Status stopped = Done{};
    while (step == SQLITE_OK || step == SQLITE_BUSY || step == SQLITE_LOCKED) {
        int count = pages;
        if (beforeCommit) {
            // The number of pages is known once the first page is copied.
            const int remaining = started ? sqlite3_backup_remaining(backup) : 2;
            if (remaining <= 1) {
                stopped = std::exchange(beforeCommit, {})();
                if (!stopped)
                    break;
            } else {
                count = !started ? 1 : pages < 0 ? remaining - 1 : std::min(pages, remaining - 1);
            }
        }
        step = sqlite3_backup_step(backup, count);
        started = true;
        if (step != SQLITE_DONE && midway && !midway()) {
            stopped = Status(storageError(), u"the copy was stopped"_s);
            break;
        }
    }
    // Finishing a copy that did not reach its end takes back what it wrote.
    const int finished = sqlite3_backup_finish(backup);
    if (!stopped)
        return stopped;
    if (step != SQLITE_DONE || finished != SQLITE_OK)
        return sqliteFailure(to, u"the copy failed"_s);
    return Done{};
}

// The pages of a settled database, read through the connection's own file: opening the file a
// second time and closing it would drop the locks SQLite holds on it.
Status readPages(sqlite3* db, qint64 bytes, QSaveFile& out, Checksum& sum)
{
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        return Status(storageError(), u"the device's file cannot be read"_s);
    QByteArray chunk(kChunk, Qt::Uninitialized);
    for (qint64 at = 0; at < bytes; at += kChunk) {
        const int size = int(std::min<qint64>(kChunk, bytes - at));
        if (file->pMethods->xRead(file, chunk.data(), size, at) != SQLITE_OK)
            return Status(storageError(), u"the device's file cannot be read"_s);
        if (out.write(chunk.constData(), size) != size)
            return Status(storageError(), out.errorString());
        sum.add(chunk.constData(), size);
    }
    return Done{};
}

} // namespace

QString DeviceStore::checksumPath(const QString& copy)
{
    return copy + u".sum"_s;
}

// A copy saved before the device kept some table is brought up to date in a file of its own, so
// that the copy itself stays as it was saved: the missing tables are made, empty.
Status DeviceStore::Database::upgradeCopyOf(const QString& from, const QString& to)
{
    if (!QFile::copy(from, to))
        return Status(storageError(), u"cannot write %1"_s.arg(nativePath(to)));
    Status s = connect(to);
    return s ? makeTablesAlone(OpenMode::ExistingOnly) : s;
}

Status DeviceStore::Database::holdsDevice(const QString& shownPath)
{
    QSqlQuery state(db);
    if (!state.exec(u"SELECT state FROM device WHERE id = 1"_s) || !state.next() ||
        !DeviceState::deserialize(state.value(0).toByteArray()))
        return Status(damaged(), u"%1 holds no device"_s.arg(nativePath(shownPath)));
    return Done{};
}

Status DeviceStore::Database::copySettledFile(QSaveFile& out, quint32& crc)
{
    // Once every change in the write-ahead log is in the database file, and no writer can add
    // one, the file itself is the device: it is copied as it is, far faster than page by page.
    const qint64 before = currentDataVersion();
    QSqlQuery checkpoint(db);
    if (!checkpoint.exec(u"PRAGMA wal_checkpoint(PASSIVE)"_s) || !checkpoint.next())
        return Status(storageError(), checkpoint.lastError().text());
    const bool settled = checkpoint.value(0).toInt() == 0 &&
                         checkpoint.value(1).toLongLong() == checkpoint.value(2).toLongLong();
    checkpoint.finish();
    if (!settled)
        return Status(storageError(), u"the log is still in use"_s);
    if (Status s = begin.run(); !s)
        return s;
    Status s = currentDataVersion() == before ? Status(Done{})
                                              : Status(storageError(), u"changed meanwhile"_s);
    const Expected<qint64> pages = count(u"PRAGMA page_count"_s);
    const Expected<qint64> pageSize = count(u"PRAGMA page_size"_s);
    if (s && (!pages || !pageSize))
        s = Status(storageError(), db.lastError().text());
    Checksum sum;
    if (s)
        s = readPages(handleOf(db), *pages * *pageSize, out, sum);
    rollback.run();
    crc = sum.crc;
    return s;
}

Status DeviceStore::copyTo(const QString& path)
{
    // The checksum of the copy being replaced goes first: a copy without one is only checked
    // the slow way, while one beside the wrong copy would have it refused.
    const QString sumPath = checksumPath(path);
    if (QFileInfo::exists(sumPath) && !QFile::remove(sumPath))
        return Status(storageError(), u"cannot replace %1"_s.arg(nativePath(sumPath)));

    // The copy is written beside and takes the name only once it is complete and on the disk.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return Status(storageError(),
                      u"cannot write %1: %2"_s.arg(nativePath(path), out.errorString()));
    Checksum sum;
    if (m_db->copySettledFile(out, sum.crc)) {
        sum.size = out.pos();
        if (!out.commit())
            return Status(storageError(),
                          u"cannot write %1: %2"_s.arg(nativePath(path), out.errorString()));
        return writeChecksum(path, sum);
    }
    out.cancelWriting();

    // A reader still on an older state keeps changes in the log: the pages are copied instead,
    // as one reading of the device.
    const QString part = path + u".part"_s;
    QFile::remove(part);
    Database copy;
    Status s = copy.connect(part);
    if (s)
        s = copyPages(handleOf(m_db->db), handleOf(copy.db), -1, {});
    copy.db.close();
    if (s && std::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()))
        s = Status(storageError(), u"cannot write %1"_s.arg(nativePath(path)));
    if (!s) {
        QFile::remove(part);
        return s;
    }
    const Expected<Checksum> written = checksumOf(path);
    return written ? writeChecksum(path, *written) : Status(written.failure(), written.detail());
}

Status DeviceStore::restoreFrom(const QString& path, const std::function<bool()>& midway)
{
    if (!QFileInfo::exists(path))
        return Status(storageError(), u"there is no %1"_s.arg(nativePath(path)));
    // The copy is only read (a snapshot is replaced by renaming a new file over it, never
    // written in place). It is checked whole before the copy commits: against its checksum on
    // another thread while its pages are copied, or, without one, page by page first. A damaged
    // copy, or one that holds no device, is refused.
    Database copy;
    Status s = copy.connect(path, Database::Access::Unchanging);
    const std::optional<Checksum> expected = Checksum::read(checksumPath(path));
    std::future<Status> compared;
    if (s && expected)
        compared = std::async(std::launch::async, compareChecksum, path, *expected);
    else if (s)
        s = copy.checkDamage();
    // A copy made before the device kept a table gets it, empty, in a file of its own: making
    // the tables fails on this read-only connection only when one is missing. A table lost from
    // a copy that had it is damage, and refused. The file is in a folder of its own beside the
    // device, unique to this restore (another restore's would share its log by name), and goes
    // with it after its connection closed.
    std::optional<QTemporaryDir> upgradeFolder;
    Database upgraded;
    bool upgrading = false;
    if (s) {
        if (Status tables = copy.makeTables(OpenMode::ExistingOnly); !tables) {
            upgrading = tables.failure().code != ErrorCode::DeviceDamaged;
            s = upgrading ? Status(Done{}) : tables;
        }
    }
    if (s && upgrading) {
        upgradeFolder.emplace(QFileInfo(m_db->path).dir().filePath(u".restoring-XXXXXX"_s));
        s = upgradeFolder->isValid()
                ? upgraded.upgradeCopyOf(path, upgradeFolder->filePath(u"copy.sqlite"_s))
                : Status(storageError(), u"cannot write beside %1: %2"_s.arg(
                                             nativePath(m_db->path), upgradeFolder->errorString()));
    }
    Database* source = upgrading ? &upgraded : &copy;
    if (s)
        s = source->holdsDevice(path);
    // One write transaction of the device: other connections see the device before or after,
    // never a part of each, and a copy that fails or dies midway leaves no trace.
    if (s) {
        s = copyPages(handleOf(source->db), handleOf(m_db->db), midway ? 1 : -1, midway,
                      [&] { return compared.valid() ? compared.get() : Status(Done{}); });
    }
    // A copy refused before its checksum was compared waits here for the comparison to end.
    if (compared.valid())
        compared.wait();
    if (!s)
        return s;
    // The restored pages are in the log; they move into the device's file now, as part of the
    // restore, and not at whichever call comes next. A reader in the way leaves the rest to the
    // later checkpoints: the device is restored either way.
    sqlite3_wal_checkpoint_v2(handleOf(m_db->db), "main", SQLITE_CHECKPOINT_PASSIVE, nullptr,
                              nullptr);
    return Done{};
}

} // namespace emulator
