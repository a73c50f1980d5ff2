#include "EklzArchive.h"

#include "DeviceStore.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

Failure storageError()
{
    return Failure{ErrorCode::StorageError, Reason::General};
}

// "v1 v2 ... v56" as the store writes a closed shift's counters.
Counters countersFrom(const QString& text)
{
    Counters counters;
    const QStringList values = text.split(u' ', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < values.size() && i < kCounterCount; ++i)
        counters.values()[static_cast<std::size_t>(i)] = values[i].toLongLong();
    return counters;
}

constexpr auto kClosingColumns =
    u"SELECT e.kpk, e.shift, e.kind, e.at, e.total, s.counters FROM eklz e"
    u" LEFT JOIN shifts s ON s.number = e.shift WHERE e.kind = 0 AND ";

} // namespace

struct EklzArchive::Queries
{
    QSqlDatabase db;

    Expected<QList<EklzRecord>> run(const QString& sql, const QVariantList& values, bool closings)
    {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.prepare(sql))
            return Expected<QList<EklzRecord>>(storageError(), query.lastError().text());
        for (qsizetype i = 0; i < values.size(); ++i)
            query.bindValue(static_cast<int>(i), values[i]);
        if (!query.exec())
            return Expected<QList<EklzRecord>>(storageError(), query.lastError().text());
        QList<EklzRecord> records;
        while (query.next()) {
            EklzRecord r;
            r.kpk = query.value(0).toInt();
            r.shift = query.value(1).toInt();
            r.kind = query.value(2).toInt();
            r.at = QDateTime::fromString(query.value(3).toString(), Qt::ISODate);
            r.total = query.value(4).toLongLong();
            if (closings)
                r.counters = countersFrom(query.value(5).toString());
            else
                r.lines = query.value(5).toString().split(u'\n');
            records.append(std::move(r));
        }
        return records;
    }
};

EklzArchive::EklzArchive(const QString& connectionName)
    : m_queries(std::make_unique<Queries>(Queries{QSqlDatabase::database(connectionName, false)}))
{
}

EklzArchive::~EklzArchive() = default;

Expected<std::optional<EklzRecord>> EklzArchive::record(int kpk)
{
    auto found = m_queries->run(
        u"SELECT kpk, shift, kind, at, total, text FROM eklz WHERE kpk = ?"_s, {kpk}, false);
    if (!found)
        return Expected<std::optional<EklzRecord>>(found.failure(), found.detail());
    if (found->isEmpty())
        return std::optional<EklzRecord>();
    return std::optional<EklzRecord>(found->constFirst());
}

Expected<QList<EklzRecord>> EklzArchive::shift(int shift)
{
    return m_queries->run(u"SELECT kpk, shift, kind, at, total, text FROM eklz WHERE shift = ?"
                          u" ORDER BY kpk"_s,
                          {shift}, false);
}

Expected<QList<EklzRecord>> EklzArchive::closings(int firstShift, int lastShift)
{
    return m_queries->run(QString::fromUtf16(kClosingColumns) +
                              u"e.shift BETWEEN ? AND ? ORDER BY e.shift"_s,
                          {firstShift, lastShift}, true);
}

Expected<QList<EklzRecord>> EklzArchive::closingsOn(const QDate& first, const QDate& last)
{
    // Times are kept as ISO text, so a day's records sort between its date and the next one's.
    return m_queries->run(
        QString::fromUtf16(kClosingColumns) + u"e.at >= ? AND e.at < ? ORDER BY e.shift"_s,
        {first.toString(Qt::ISODate), last.addDays(1).toString(Qt::ISODate)}, true);
}

} // namespace emulator
