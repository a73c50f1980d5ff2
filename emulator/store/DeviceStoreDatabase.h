#pragma once

// The inside of DeviceStore, shared by the files that hold its members: the SQLite connection,
// its prepared statements and the helpers every part of the store uses. Nothing outside the
// store includes it, so the QtSql headers stay here.

#include "DeviceStore.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QFileInfo>
#include <QUrl>
#include <QVariant>

class QSaveFile;

#include <sqlite3.h>

#include <atomic>
#include <optional>

using namespace Qt::StringLiterals;

namespace emulator {

// A null text is an empty text: bound as it is, it would be NULL in a NOT NULL column and fail
// every later save of the device.
inline QString textValue(const QString& text)
{
    return text.isNull() ? QString(QStringLiteral("")) : text;
}

// The SQLite connection under a Qt one.
inline sqlite3* handleOf(const QSqlDatabase& db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

inline Failure storageError()
{
    return Failure{ErrorCode::StorageError, Reason::General};
}

inline Failure damaged()
{
    return Failure{ErrorCode::DeviceDamaged, Reason::General};
}

// A database that SQLite finds to be no database, or damaged, is damage; anything else that fails
// is the storage's failure.
inline Failure failureOf(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    return code == u"11" || code == u"26" ? damaged() : storageError();
}

// A statement that every command runs, prepared once for the connection and run by SQLite
// itself: no value passes through QVariant and no error object is made when it succeeds.
class Statement
{
public:
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(m_statement); }

    Status prepare(sqlite3* db, const char* sql)
    {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        m_db = db;
        if (!db || sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_statement,
                                      nullptr) != SQLITE_OK)
            return failure();
        return Done{};
    }
    // Drops the statement, so that the connection can close.
    void finalize()
    {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }

    void bind(int column, qint64 value) { sqlite3_bind_int64(m_statement, column, value); }
    // SQLite keeps its own copy of the text; a null text is an empty one (textValue()).
    void bind(int column, const QString& text)
    {
        const void* units = text.isNull() ? static_cast<const void*>(u"") : text.utf16();
        sqlite3_bind_text16(m_statement, column, units, int(text.size() * 2), SQLITE_TRANSIENT);
    }
    // The bytes are read where they are: they must stay until run() returns.
    void bindInPlace(int column, const QByteArray& bytes)
    {
        sqlite3_bind_blob(m_statement, column, bytes.constData(), int(bytes.size()), SQLITE_STATIC);
    }

    // Runs the statement to its end (`row`, when given, takes the first column of its first
    // row) and makes it ready to run again.
    Status run(qint64* row = nullptr)
    {
        int step = sqlite3_step(m_statement);
        if (step == SQLITE_ROW && row)
            *row = sqlite3_column_int64(m_statement, 0);
        while (step == SQLITE_ROW)
            step = sqlite3_step(m_statement);
        const Status s = step == SQLITE_DONE ? Status(Done{}) : failure();
        sqlite3_reset(m_statement);
        return s;
    }

private:
    Status failure() const
    {
        const int code = m_db ? sqlite3_extended_errcode(m_db) & 0xff : SQLITE_MISUSE;
        const QString text = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : u"no database"_s;
        return Status(code == SQLITE_CORRUPT || code == SQLITE_NOTADB ? damaged() : storageError(),
                      text);
    }

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};

struct DeviceStore::Database
{
    QString connectionName;
    QString path;
    QSqlDatabase db;
    // Statements run at every call, prepared once for the connection.
    Statement begin;
    Statement commit;
    Statement rollback;
    Statement dataVersionQuery;
    Statement saveState; // in place: a record of the same size is rewritten only where it changed
    Statement addLine;
    Statement addMark;
    // Statements run now and then.
    std::optional<QSqlQuery> putState;
    std::optional<QSqlQuery> addSlipLine;
    std::optional<QSqlQuery> addDocument;
    std::optional<QSqlQuery> addShift;
    std::optional<QSqlQuery> addEklz;
    qint64 dataVersion = -1;
    // The tests' stand-in for a failing disk: the write with this number, counted from when it
    // was set, fails instead of running (0: none).
    int failingWrite = 0;
    int writes = 0;

    ~Database()
    {
        for (std::optional<QSqlQuery>* query :
             {&putState, &addSlipLine, &addDocument, &addShift, &addEklz})
            query->reset();
        for (Statement* statement :
             {&begin, &commit, &rollback, &dataVersionQuery, &saveState, &addLine, &addMark})
            statement->finalize();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
    }

    // Opens a connection of its own to the database in `path`, made when it does not exist.
    // A file that nothing changes (a snapshot) is opened as such: only read, without locks and
    // without the log and index files beside it that a database in WAL mode otherwise gets.
    enum class Access { ReadWrite, Unchanging };
    Status connect(const QString& file, Access access = Access::ReadWrite)
    {
        static std::atomic<int> counter{0};
        connectionName = u"quolt-device-%1"_s.arg(++counter);
        path = file;
        db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connectionName);
        if (access == Access::Unchanging) {
            db.setDatabaseName(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())
                                   .toString(QUrl::FullyEncoded) +
                               u"?immutable=1"_s);
            db.setConnectOptions(u"QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"_s);
        } else {
            db.setDatabaseName(path);
            db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=5000"_s);
        }
        if (!db.open())
            return Status(storageError(), db.lastError().text());
        return Done{};
    }

    Status exec(QSqlQuery& query)
    {
        if (query.exec())
            return Done{};
        return Status(failureOf(query.lastError()), query.lastError().text());
    }

    Status exec(const QString& sql)
    {
        QSqlQuery query(db);
        if (query.exec(sql))
            return Done{};
        return Status(failureOf(query.lastError()), query.lastError().text());
    }

    // A statement that changes the device: the one the tests chose fails as a disk would.
    bool failsNow()
    {
        if (failingWrite > 0 && ++writes == failingWrite) {
            failingWrite = 0;
            return true;
        }
        return false;
    }
    Status write(QSqlQuery& query)
    {
        return failsNow() ? Status(storageError(), u"disk I/O error (simulated)"_s) : exec(query);
    }
    Status write(Statement& statement)
    {
        return failsNow() ? Status(storageError(), u"disk I/O error (simulated)"_s)
                          : statement.run();
    }

    Expected<qint64> count(const QString& sql)
    {
        QSqlQuery query(db);
        if (!query.exec(sql) || !query.next())
            return Expected<qint64>(failureOf(query.lastError()), query.lastError().text());
        return query.value(0).toLongLong();
    }

    qint64 currentDataVersion()
    {
        qint64 version = -1;
        return dataVersionQuery.run(&version) ? version : -1;
    }

    Status prepare()
    {
        sqlite3* handle = handleOf(db);
        // IMMEDIATE takes the write lock at once (waiting up to the busy timeout for another
        // writer), so the state read next is the one this transaction will replace.
        for (const auto& [statement, sql] :
             std::initializer_list<std::pair<Statement*, const char*>>{
                 {&begin, "BEGIN IMMEDIATE"},
                 {&commit, "COMMIT"},
                 {&rollback, "ROLLBACK"},
                 {&dataVersionQuery, "PRAGMA data_version"},
                 {&saveState, "UPDATE device SET state = ? WHERE id = 1"},
                 {&addLine, "INSERT INTO tape(line) VALUES (?)"},
                 {&addMark,
                  "INSERT OR REPLACE INTO tape_marks(line, style, cut) VALUES (?, ?, ?)"}}) {
            if (Status s = statement->prepare(handle, sql); !s)
                return s;
        }
        for (std::optional<QSqlQuery>* query :
             {&putState, &addSlipLine, &addDocument, &addShift, &addEklz})
            query->emplace(db);
        const bool ok =
            putState->prepare(u"INSERT OR REPLACE INTO device(id, state) VALUES (1, ?)"_s) &&
            addSlipLine->prepare(u"INSERT INTO slips(line) VALUES (?)"_s) &&
            addDocument->prepare(u"INSERT INTO documents(number, type, shift, closed_at, total,"
                                 u" cancelled, text) VALUES (?, ?, ?, ?, ?, ?, ?)"_s) &&
            addShift->prepare(u"INSERT OR REPLACE INTO shifts(number, opened_at, closed_at,"
                              u" counters) VALUES (?, ?, ?, ?)"_s) &&
            addEklz->prepare(u"INSERT INTO eklz(kpk, shift, kind, at, total, text)"
                             u" VALUES (?, ?, ?, ?, ?, ?)"_s);
        if (!ok)
            return Status(storageError(), db.lastError().text());
        return Done{};
    }

    // Opening (DeviceStoreSchema.cpp): the whole file read for damage, then its tables made
    // or checked inside the opening transaction.
    Status checkDamage();
    Status makeTables(OpenMode mode);
    // The tables made in a write transaction of their own, committed or, failing, rolled back.
    Status makeTablesAlone(OpenMode mode);

    // Empties a damaged database whole, as SQLite resets a file it cannot repair, and makes its
    // tables anew (DeviceStoreSchema.cpp).
    Status wipe();

    // Copies the database file as it is once every committed change is in it, holding the
    // write lock meanwhile, and gives the CRC-32 of what it wrote (DeviceStoreCopies.cpp); fails
    // when changes are still in the log.
    Status copySettledFile(QSaveFile& out, quint32& crc);
    // For a copy being restored (DeviceStoreCopies.cpp): the copy in `from` brought up to date
    // in the file `to`, connected to; whether it holds a readable device (`shownPath` names it).
    Status upgradeCopyOf(const QString& from, const QString& to);
    Status holdsDevice(const QString& shownPath);

    Status addToEklz(int kpk, int shift, int kind, const QDateTime& at, Kopecks total,
                     const QStringList& lines)
    {
        addEklz->bindValue(0, kpk);
        addEklz->bindValue(1, shift);
        addEklz->bindValue(2, kind);
        addEklz->bindValue(3, at.toString(Qt::ISODate));
        addEklz->bindValue(4, static_cast<qlonglong>(total));
        addEklz->bindValue(5, textValue(lines.join(u'\n')));
        return write(*addEklz);
    }

    // The pictures by slot (DeviceStorePictures.cpp): each row checked before its dots are read.
    Expected<QMap<int, Raster>> loadPictures();
    Status savePictures(const QMap<int, std::optional<Raster>>& changes);

    Expected<DeletedRecords> records()
    {
        const Expected<qint64> lines = count(u"SELECT COUNT(*) FROM tape"_s);
        const Expected<qint64> documents = count(u"SELECT COUNT(*) FROM documents"_s);
        const Expected<qint64> shifts = count(u"SELECT COUNT(*) FROM shifts"_s);
        for (const Expected<qint64>* n : {&lines, &documents, &shifts}) {
            if (!*n)
                return Expected<DeletedRecords>(n->failure(), n->detail());
        }
        return DeletedRecords{*lines, *documents, *shifts};
    }
};

} // namespace emulator
