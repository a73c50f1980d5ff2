#pragma once

// The inside of DeviceStore, shared by the files that hold its members: the SQLite connection,
// its prepared statements and the helpers every part of the store uses. Nothing outside the
// store includes it, so the QtSql headers stay here.

#include "DeviceStore.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <optional>

using namespace Qt::StringLiterals;

namespace emulator {

// A null text is an empty text: bound as it is, it would be NULL in a NOT NULL column and fail
// every later save of the device.
inline QString textValue(const QString& text)
{
    return text.isNull() ? QString(QStringLiteral("")) : text;
}

inline Failure storageError()
{
    return Failure{ErrorCode::StorageError, Reason::General};
}

inline Failure damaged()
{
    return Failure{ErrorCode::DeviceDamaged, Reason::General};
}

struct DeviceStore::Database
{
    QString connectionName;
    QString path;
    QSqlDatabase db;
    std::optional<QSqlQuery> saveState;
    std::optional<QSqlQuery> addLine;
    std::optional<QSqlQuery> addSlipLine;
    std::optional<QSqlQuery> addMark;
    std::optional<QSqlQuery> addDocument;
    std::optional<QSqlQuery> addShift;
    std::optional<QSqlQuery> addEklz;
    qint64 dataVersion = -1;

    ~Database()
    {
        saveState.reset();
        addLine.reset();
        addSlipLine.reset();
        addMark.reset();
        addDocument.reset();
        addShift.reset();
        addEklz.reset();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
    }

    Status exec(QSqlQuery& query)
    {
        if (query.exec())
            return Done{};
        return Status(storageError(), query.lastError().text());
    }

    Status exec(const QString& sql)
    {
        QSqlQuery query(db);
        if (query.exec(sql))
            return Done{};
        return Status(storageError(), query.lastError().text());
    }

    Expected<qint64> count(const QString& sql)
    {
        QSqlQuery query(db);
        if (!query.exec(sql) || !query.next())
            return Expected<qint64>(storageError(), query.lastError().text());
        return query.value(0).toLongLong();
    }

    qint64 currentDataVersion()
    {
        QSqlQuery query(db);
        if (!query.exec(u"PRAGMA data_version"_s) || !query.next())
            return -1;
        return query.value(0).toLongLong();
    }

    Status prepare()
    {
        saveState.emplace(db);
        addLine.emplace(db);
        addSlipLine.emplace(db);
        addMark.emplace(db);
        addDocument.emplace(db);
        addShift.emplace(db);
        addEklz.emplace(db);
        const bool ok =
            saveState->prepare(u"INSERT OR REPLACE INTO device(id, state) VALUES (1, ?)"_s) &&
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

    Status addToEklz(int kpk, int shift, int kind, const QDateTime& at, Kopecks total,
                     const QStringList& lines)
    {
        addEklz->bindValue(0, kpk);
        addEklz->bindValue(1, shift);
        addEklz->bindValue(2, kind);
        addEklz->bindValue(3, at.toString(Qt::ISODate));
        addEklz->bindValue(4, static_cast<qlonglong>(total));
        addEklz->bindValue(5, textValue(lines.join(u'\n')));
        return exec(*addEklz);
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
