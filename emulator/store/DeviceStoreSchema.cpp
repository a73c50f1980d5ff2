// The tables of a device's database and how a database is checked when it is opened: a damaged
// file, or a device that lost a table, is refused and left as it is.

#include "DeviceStoreDatabase.h"

#include <QDir>
#include <QSet>

namespace emulator {
namespace {

struct Table
{
    const char16_t* name;
    const char16_t* create;
};

// The tables in the order the device came to keep them: a database written before a table was
// added lacks it and every later one, and gets them empty.
const Table kTables[] = {
    {u"device", u"CREATE TABLE device(id INTEGER PRIMARY KEY CHECK (id = 1), state BLOB NOT NULL)"},
    {u"tape", u"CREATE TABLE tape(id INTEGER PRIMARY KEY AUTOINCREMENT, line TEXT NOT NULL)"},
    {u"documents",
     u"CREATE TABLE documents(id INTEGER PRIMARY KEY AUTOINCREMENT, number INTEGER,"
     u" type INTEGER, shift INTEGER, closed_at TEXT, total INTEGER, cancelled INTEGER, text TEXT)"},
    {u"shifts", u"CREATE TABLE shifts(number INTEGER PRIMARY KEY, opened_at TEXT,"
                u" closed_at TEXT, counters TEXT)"},
    // The control tape (EKLZ): every fiscal document and Z report under its KPK number; kind 0
    // is a Z report, otherwise the document type.
    {u"eklz", u"CREATE TABLE eklz(kpk INTEGER PRIMARY KEY, shift INTEGER NOT NULL,"
              u" kind INTEGER NOT NULL, at TEXT NOT NULL, total INTEGER NOT NULL,"
              u" text TEXT NOT NULL)"},
    {u"slips", u"CREATE TABLE slips(id INTEGER PRIMARY KEY AUTOINCREMENT, line TEXT NOT NULL)"},
    // How a tape line is drawn (TapeStyle) and whether the paper was torn off after it; only
    // lines that are styled or torn off have a row.
    {u"tape_marks", u"CREATE TABLE tape_marks(line INTEGER PRIMARY KEY, style INTEGER NOT NULL"
                    u" DEFAULT 0, cut INTEGER NOT NULL DEFAULT 0)"},
    // The pictures loaded into the device, by slot: a raster of `width` x `height` dots.
    {u"pictures", u"CREATE TABLE pictures(slot INTEGER PRIMARY KEY, width INTEGER NOT NULL,"
                  u" height INTEGER NOT NULL, dots BLOB NOT NULL)"},
};

// The control tape is found by number, by shift and by closing date; the torn-off lines of the
// tape, so that a view finds where a document starts without a scan. An index lost is only time
// lost: it is made again whenever it is missing.
const char16_t* const kIndexes[] = {
    u"CREATE INDEX IF NOT EXISTS tape_cuts ON tape_marks(line) WHERE cut = 1",
    u"CREATE INDEX IF NOT EXISTS eklz_by_shift ON eklz(shift, kpk)",
    u"CREATE INDEX IF NOT EXISTS eklz_by_kind_shift ON eklz(kind, shift)",
    u"CREATE INDEX IF NOT EXISTS eklz_by_kind_date ON eklz(kind, at)",
};

// The version of the tables, kept in the database's header (user_version). Before it was kept
// (0), a missing table may be one the device did not keep yet.
constexpr int kSchemaVersion = 1;

} // namespace

Status DeviceStore::Database::checkDamage()
{
    // Every page of every table is read: a file with garbage in it is found here, before any
    // of its records is believed.
    QSqlQuery query(db);
    if (!query.exec(u"PRAGMA quick_check"_s))
        return Status(failureOf(query.lastError()), query.lastError().text());
    QStringList problems;
    while (query.next() && problems.size() < 3)
        problems.append(query.value(0).toString());
    if (problems != QStringList{u"ok"_s})
        return Status(damaged(), u"%1 is damaged: %2"_s.arg(QDir::toNativeSeparators(path),
                                                            problems.join(u"; "_s)));
    return Done{};
}

Status DeviceStore::Database::makeTables(OpenMode mode)
{
    QSqlQuery query(db);
    if (!query.exec(u"SELECT name FROM sqlite_master WHERE type = 'table'"_s))
        return Status(storageError(), query.lastError().text());
    QSet<QString> present;
    while (query.next())
        present.insert(query.value(0).toString());
    const Expected<qint64> version = count(u"PRAGMA user_version"_s);
    if (!version)
        return Status(version.failure(), version.detail());

    // A brand-new file gets every table; so does a device being replaced. A device saved before
    // the tables had a version may lack the tables added after its newest one; any other missing
    // table was lost, and the device is damaged.
    qsizetype newest = -1;
    for (qsizetype i = 0; i < qsizetype(std::size(kTables)); ++i) {
        if (present.contains(QString::fromUtf16(kTables[i].name)))
            newest = i;
    }
    const bool fresh = newest < 0 || mode == OpenMode::Replace;
    for (qsizetype i = 0; i < qsizetype(std::size(kTables)); ++i) {
        const QString name = QString::fromUtf16(kTables[i].name);
        if (present.contains(name))
            continue;
        if (!fresh && (*version > 0 || i < newest))
            return Status(damaged(),
                          u"%1 has lost its table %2"_s.arg(QDir::toNativeSeparators(path), name));
        if (Status s = exec(QString::fromUtf16(kTables[i].create)); !s)
            return s;
    }
    for (const char16_t* index : kIndexes) {
        if (Status s = exec(QString::fromUtf16(index)); !s)
            return s;
    }
    if (*version < kSchemaVersion)
        return exec(u"PRAGMA user_version = %1"_s.arg(kSchemaVersion));
    return Done{};
}

Status DeviceStore::Database::wipe()
{
    sqlite3* handle = handleOf(db);
    if (!handle)
        return Status(storageError(), u"the database cannot be emptied"_s);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_RESET_DATABASE, 1, nullptr);
    Status s = exec(u"VACUUM"_s);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_RESET_DATABASE, 0, nullptr);
    if (s)
        s = makeTablesAlone(OpenMode::Replace);
    return s ? prepare() : s;
}

Status DeviceStore::Database::makeTablesAlone(OpenMode mode)
{
    if (Status s = exec(u"BEGIN IMMEDIATE"_s); !s)
        return s;
    Status s = makeTables(mode);
    if (s)
        return exec(u"COMMIT"_s);
    exec(u"ROLLBACK"_s);
    return s;
}

} // namespace emulator
