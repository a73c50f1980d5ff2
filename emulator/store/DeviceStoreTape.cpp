// Reading the paper tape back: all of it, its last lines, or the parts a view shows. Every read a
// view makes goes through the primary key or an index, so that it costs the same on a tape of a
// thousand lines and on one of millions.

#include "DeviceStore.h"

#include "DeviceStoreDatabase.h"
#include "TapeLayout.h"

namespace emulator {
namespace {

QString tableOf(Paper paper)
{
    return paper == Paper::Slip ? u"slips"_s : u"tape"_s;
}

// Two scalar subqueries: each is one step down the primary key, where MIN and MAX together in
// one SELECT would scan the table.
QString spanSql(const QString& table)
{
    return u"SELECT (SELECT MIN(id) FROM %1), (SELECT MAX(id) FROM %1)"_s.arg(table);
}

QString linesSql(Paper paper)
{
    if (paper == Paper::Roll) {
        return u"SELECT tape.id, tape.line, tape_marks.style, tape_marks.cut FROM tape"
               u" LEFT JOIN tape_marks ON tape_marks.line = tape.id"
               u" WHERE tape.id BETWEEN ? AND ? ORDER BY tape.id"_s;
    }
    // A slip is written whole when its document ends, so the newest line always ends one.
    return u"SELECT s.id, s.line, 0, s.id = (SELECT MAX(id) FROM slips)"
           u" OR (SELECT instr(n.line, ?) = 1 FROM slips n WHERE n.id > s.id"
           u" ORDER BY n.id LIMIT 1) FROM slips s"
           u" WHERE s.id BETWEEN ? AND ? ORDER BY s.id"_s;
}

QString lastCutSql(Paper paper)
{
    // The torn-off lines have an index of their own (tape_cuts, partial on cut = 1).
    if (paper == Paper::Roll)
        return u"SELECT line FROM tape_marks WHERE cut = 1 AND line < ? ORDER BY line DESC LIMIT 1"_s;
    // The line before the last slip that opens up to `id`.
    return u"SELECT id FROM slips WHERE id < (SELECT id FROM slips WHERE id <= ?"
           u" AND instr(line, ?) = 1 ORDER BY id DESC LIMIT 1) ORDER BY id DESC LIMIT 1"_s;
}

// Backwards from `beforeId`: it stops at the first line found, however long the tape.
QString findSql(const QString& table)
{
    return u"SELECT id FROM %1 WHERE id < ? AND instr(line, ?) > 0 ORDER BY id DESC LIMIT 1"_s.arg(
        table);
}

// Lines and documents are only ever added (or all removed at once), so their count is the span
// of their ids, read through the primary key instead of counted row by row.
QString countSql(const QString& table)
{
    return u"SELECT IFNULL((SELECT MAX(id) FROM %1) - (SELECT MIN(id) FROM %1) + 1, 0)"_s.arg(
        table);
}

// The first value of the only row; 0 when the query finds no row or a null.
Expected<qint64> single(QSqlQuery& query)
{
    if (!query.exec())
        return Expected<qint64>(storageError(), query.lastError().text());
    if (!query.next() || query.value(0).isNull())
        return qint64(0);
    return query.value(0).toLongLong();
}

} // namespace

Expected<QStringList> DeviceStore::tape(int lastLines, Paper paper)
{
    const QString table = tableOf(paper);
    QSqlQuery query(m_db->db);
    if (lastLines > 0) {
        query.prepare(u"SELECT line FROM (SELECT id, line FROM %1 ORDER BY id DESC LIMIT ?)"
                      u" ORDER BY id"_s.arg(table));
        query.bindValue(0, lastLines);
    } else {
        query.prepare(u"SELECT line FROM %1 ORDER BY id"_s.arg(table));
    }
    if (!query.exec())
        return Expected<QStringList>(storageError(), query.lastError().text());
    QStringList lines;
    while (query.next())
        lines.append(query.value(0).toString());
    return lines;
}

Expected<TapeSpan> DeviceStore::tapeSpan(Paper paper)
{
    QSqlQuery query(m_db->db);
    if (!query.exec(spanSql(tableOf(paper))) || !query.next())
        return Expected<TapeSpan>(storageError(), query.lastError().text());
    if (query.value(0).isNull())
        return TapeSpan{};
    return TapeSpan{query.value(0).toLongLong(), query.value(1).toLongLong()};
}

Expected<QList<TapeLine>> DeviceStore::tapeLines(qint64 firstId, qint64 lastId, Paper paper)
{
    QSqlQuery query(m_db->db);
    query.prepare(linesSql(paper));
    if (paper == Paper::Slip)
        query.addBindValue(tape::kSlipOpening);
    query.addBindValue(firstId);
    query.addBindValue(lastId);
    if (!query.exec())
        return Expected<QList<TapeLine>>(storageError(), query.lastError().text());
    QList<TapeLine> lines;
    while (query.next()) {
        lines.append(TapeLine{query.value(0).toLongLong(), query.value(1).toString(),
                              query.value(2).toInt(), query.value(3).toInt() != 0});
    }
    return lines;
}

Expected<qint64> DeviceStore::lastCutBefore(qint64 id, Paper paper)
{
    QSqlQuery query(m_db->db);
    query.prepare(lastCutSql(paper));
    query.addBindValue(id);
    if (paper == Paper::Slip)
        query.addBindValue(tape::kSlipOpening);
    return single(query);
}

Expected<qint64> DeviceStore::findOnTape(const QString& text, qint64 beforeId, Paper paper)
{
    QSqlQuery query(m_db->db);
    query.prepare(findSql(tableOf(paper)));
    query.addBindValue(beforeId);
    query.addBindValue(text);
    return single(query);
}

Expected<qint64> DeviceStore::tapeLineCount()
{
    return m_db->count(countSql(u"tape"_s));
}

Expected<qint64> DeviceStore::documentCount()
{
    return m_db->count(countSql(u"documents"_s));
}

Expected<QList<QueryPlan>> DeviceStore::tapeReadPlans()
{
    QStringList reads{countSql(u"tape"_s), countSql(u"documents"_s)};
    for (const Paper paper : {Paper::Roll, Paper::Slip}) {
        reads << spanSql(tableOf(paper)) << linesSql(paper) << lastCutSql(paper)
              << findSql(tableOf(paper));
    }
    QList<QueryPlan> plans;
    for (const QString& sql : reads) {
        QSqlQuery query(m_db->db);
        if (!query.prepare(u"EXPLAIN QUERY PLAN "_s + sql))
            return Expected<QList<QueryPlan>>(storageError(), query.lastError().text());
        // The plan does not depend on the values: every parameter is bound to a number.
        for (qsizetype i = 0, n = sql.count(u'?'); i < n; ++i)
            query.addBindValue(1);
        if (!query.exec())
            return Expected<QList<QueryPlan>>(storageError(), query.lastError().text());
        QueryPlan plan{sql, {}};
        while (query.next())
            plan.steps << query.value(3).toString();
        plans << plan;
    }
    return plans;
}

} // namespace emulator
