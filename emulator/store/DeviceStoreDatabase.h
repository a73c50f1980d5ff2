#pragma once

// The inside of DeviceStore, shared by the files that hold its members: the SQLite connection,
// its prepared statements and the helpers every part of the store uses. Nothing outside the
// store includes it, so the QtSql headers stay here.

#include "DeviceStore.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
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

struct DeviceStore::Database
{
    QString connectionName;
    QString path;
    QSqlDatabase db;
    // Statements run at every call, prepared once for the connection.
    std::optional<QSqlQuery> begin;
    std::optional<QSqlQuery> commit;
    std::optional<QSqlQuery> rollback;
    std::optional<QSqlQuery> dataVersionQuery;
    std::optional<QSqlQuery> saveState; // in place: a record of the same size is rewritten only
                                        // where it changed
    std::optional<QSqlQuery> putState;
    std::optional<QSqlQuery> addLine;
    std::optional<QSqlQuery> addSlipLine;
    std::optional<QSqlQuery> addMark;
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
             {&begin, &commit, &rollback, &dataVersionQuery, &saveState, &putState, &addLine,
              &addSlipLine, &addMark, &addDocument, &addShift, &addEklz})
            query->reset();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
    }

    // Opens a connection of its own to the database in `path`, made when it does not exist.
    Status connect(const QString& file)
    {
        static std::atomic<int> counter{0};
        connectionName = u"quolt-device-%1"_s.arg(++counter);
        path = file;
        db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connectionName);
        db.setDatabaseName(path);
        db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=5000"_s);
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
    Status write(QSqlQuery& query)
    {
        if (failingWrite > 0 && ++writes == failingWrite) {
            failingWrite = 0;
            return Status(storageError(), u"disk I/O error (simulated)"_s);
        }
        return exec(query);
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
        if (!dataVersionQuery->exec() || !dataVersionQuery->next())
            return -1;
        const qint64 version = dataVersionQuery->value(0).toLongLong();
        dataVersionQuery->finish();
        return version;
    }

    Status prepare()
    {
        for (std::optional<QSqlQuery>* query :
             {&begin, &commit, &rollback, &dataVersionQuery, &saveState, &putState, &addLine,
              &addSlipLine, &addMark, &addDocument, &addShift, &addEklz})
            query->emplace(db);
        // IMMEDIATE takes the write lock at once (waiting up to the busy timeout for another
        // writer), so the state read next is the one this transaction will replace.
        const bool ok =
            begin->prepare(u"BEGIN IMMEDIATE"_s) && commit->prepare(u"COMMIT"_s) &&
            rollback->prepare(u"ROLLBACK"_s) &&
            dataVersionQuery->prepare(u"PRAGMA data_version"_s) &&
            saveState->prepare(u"UPDATE device SET state = ? WHERE id = 1"_s) &&
            putState->prepare(u"INSERT OR REPLACE INTO device(id, state) VALUES (1, ?)"_s) &&
            addLine->prepare(u"INSERT INTO tape(line) VALUES (?)"_s) &&
            addSlipLine->prepare(u"INSERT INTO slips(line) VALUES (?)"_s) &&
            addMark->prepare(
                u"INSERT OR REPLACE INTO tape_marks(line, style, cut) VALUES (?, ?, ?)"_s) &&
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

    // Empties a damaged database whole, as SQLite resets a file it cannot repair, and makes its
    // tables anew (DeviceStoreSchema.cpp).
    Status wipe();

    // Copies the database file as it is once every committed change is in it, holding the
    // write lock meanwhile (DeviceStoreCopies.cpp); fails when changes are still in the log.
    Status copySettledFile(QSaveFile& out);

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
