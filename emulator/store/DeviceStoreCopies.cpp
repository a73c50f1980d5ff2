// Whole copies of a device: a snapshot written to a file and a device restored from one.

#include "DeviceStore.h"

#include "DeviceStoreDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace emulator {

Status DeviceStore::copyTo(const QString& path)
{
    // VACUUM INTO reads one snapshot of the database, so a copy never holds half a change.
    const QString part = path + u".part"_s;
    QFile::remove(part);
    QSqlQuery query(m_db->db);
    query.prepare(u"VACUUM INTO ?"_s);
    query.bindValue(0, part);
    if (!query.exec())
        return Status(storageError(), query.lastError().text());
    QFile::remove(path);
    if (!QFile::rename(part, path))
        return Status(storageError(), u"cannot write %1"_s.arg(QDir::toNativeSeparators(path)));
    return Done{};
}

Status DeviceStore::restoreFrom(const QString& path)
{
    if (!QFileInfo::exists(path))
        return Status(storageError(), u"there is no %1"_s.arg(QDir::toNativeSeparators(path)));
    QSqlQuery attach(m_db->db);
    attach.prepare(u"ATTACH DATABASE ? AS saved"_s);
    attach.bindValue(0, path);
    if (!attach.exec())
        return Status(storageError(), attach.lastError().text());
    Status s = beginWrite();
    const bool began = s.ok();
    // Every table of the device, the copy's rows in place of the device's own.
    for (const char16_t* table : {u"device", u"tape", u"tape_marks", u"slips", u"documents",
                                  u"shifts", u"eklz", u"pictures"}) {
        const QString name = QString::fromUtf16(table);
        if (s)
            s = m_db->exec(u"DELETE FROM main.%1"_s.arg(name));
        // A copy made before the device kept a table simply has none of its rows.
        const Expected<qint64> present = m_db->count(
            u"SELECT COUNT(*) FROM saved.sqlite_master WHERE type = 'table' AND name = '%1'"_s.arg(
                name));
        if (s && !present)
            s = Status(present.failure(), present.detail());
        if (s && *present > 0)
            s = m_db->exec(u"INSERT INTO main.%1 SELECT * FROM saved.%1"_s.arg(name));
    }
    if (s) {
        const Expected<qint64> states = m_db->count(u"SELECT COUNT(*) FROM main.device"_s);
        if (!states || *states != 1)
            s = Status(damaged(), u"%1 holds no device"_s.arg(QDir::toNativeSeparators(path)));
    }
    if (s)
        s = commit();
    else if (began)
        rollback();
    m_db->exec(u"DETACH DATABASE saved"_s);
    return s;
}

} // namespace emulator
