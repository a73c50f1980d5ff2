// Whole copies of a device: a snapshot written to a file and a device restored from one.

#include "DeviceStore.h"

#include "DeviceStoreDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace emulator {
namespace {

Status sqliteFailure(sqlite3* db, const QString& what)
{
    return Status(storageError(), u"%1: %2"_s.arg(what, QString::fromUtf8(sqlite3_errmsg(db))));
}

// Copies every page of `from` into `to` in one write transaction of `to`, `pages` at a time,
// running `midway` between the steps; the copy stops, `to` unchanged, when that answers false.
Status copyPages(sqlite3* from, sqlite3* to, int pages, const std::function<bool()>& midway)
{
    sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup)
        return sqliteFailure(to, u"the copy cannot begin"_s);
    int step = SQLITE_OK;
    bool stopped = false;
    while (step == SQLITE_OK || step == SQLITE_BUSY || step == SQLITE_LOCKED) {
        step = sqlite3_backup_step(backup, pages);
        if (step != SQLITE_DONE && midway && !midway()) {
            stopped = true;
            break;
        }
    }
    // Finishing a copy that did not reach its end takes back what it wrote.
    const int finished = sqlite3_backup_finish(backup);
    if (stopped)
        return Status(storageError(), u"the copy was stopped"_s);
    if (step != SQLITE_DONE || finished != SQLITE_OK)
        return sqliteFailure(to, u"the copy failed"_s);
    return Done{};
}

// The pages of a settled database, read through the connection's own file: opening the file a
// second time and closing it would drop the locks SQLite holds on it.
Status readPages(sqlite3* db, qint64 bytes, QSaveFile& out)
{
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        return Status(storageError(), u"the device's file cannot be read"_s);
    constexpr int kChunk = 1 << 20;
    QByteArray chunk(kChunk, Qt::Uninitialized);
    for (qint64 at = 0; at < bytes; at += kChunk) {
        const int size = int(std::min<qint64>(kChunk, bytes - at));
        if (file->pMethods->xRead(file, chunk.data(), size, at) != SQLITE_OK)
            return Status(storageError(), u"the device's file cannot be read"_s);
        if (out.write(chunk.constData(), size) != size)
            return Status(storageError(), out.errorString());
    }
    return Done{};
}

} // namespace

Status DeviceStore::Database::copySettledFile(QSaveFile& out)
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
    if (s)
        s = readPages(handleOf(db), *pages * *pageSize, out);
    rollback.run();
    return s;
}

Status DeviceStore::copyTo(const QString& path)
{
    // The copy is written beside and takes the name only once it is complete and on the disk.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return Status(storageError(), u"cannot write %1: %2"_s.arg(QDir::toNativeSeparators(path),
                                                                   out.errorString()));
    if (m_db->copySettledFile(out))
        return out.commit()
                   ? Status(Done{})
                   : Status(storageError(), u"cannot write %1: %2"_s.arg(
                                                QDir::toNativeSeparators(path), out.errorString()));
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
        s = Status(storageError(), u"cannot write %1"_s.arg(QDir::toNativeSeparators(path)));
    if (!s)
        QFile::remove(part);
    return s;
}

Status DeviceStore::restoreFrom(const QString& path, const std::function<bool()>& midway)
{
    if (!QFileInfo::exists(path))
        return Status(storageError(), u"there is no %1"_s.arg(QDir::toNativeSeparators(path)));
    // The copy is checked whole before it replaces anything: a damaged copy, or one that holds
    // no device, is refused. A copy made before the device kept a table gets it, empty.
    Database copy;
    Status s = copy.connect(path);
    if (s)
        s = copy.checkDamage();
    if (s)
        s = copy.exec(u"BEGIN IMMEDIATE"_s);
    if (s) {
        s = copy.makeTables(OpenMode::ExistingOnly);
        if (s)
            s = copy.exec(u"COMMIT"_s);
        else
            copy.exec(u"ROLLBACK"_s);
    }
    if (s) {
        QSqlQuery state(copy.db);
        if (!state.exec(u"SELECT state FROM device WHERE id = 1"_s) || !state.next() ||
            !DeviceState::deserialize(state.value(0).toByteArray()))
            s = Status(damaged(), u"%1 holds no device"_s.arg(QDir::toNativeSeparators(path)));
    }
    // One write transaction of the device: other connections see the device before or after,
    // never a part of each, and a copy that fails or dies midway leaves no trace.
    if (s)
        s = copyPages(handleOf(copy.db), handleOf(m_db->db), midway ? 1 : -1, midway);
    return s;
}

} // namespace emulator
