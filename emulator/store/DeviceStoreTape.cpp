// Reading the paper tape back: all of it, its last lines, or the parts a view shows.

#include "DeviceStore.h"

#include "DeviceStoreDatabase.h"
#include "TapeLayout.h"

namespace emulator {
namespace {

QString tableOf(Paper paper)
{
    return paper == Paper::Slip ? u"slips"_s : u"tape"_s;
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
    if (!query.exec(u"SELECT MIN(id), MAX(id) FROM %1"_s.arg(tableOf(paper))) || !query.next())
        return Expected<TapeSpan>(storageError(), query.lastError().text());
    if (query.value(0).isNull())
        return TapeSpan{};
    return TapeSpan{query.value(0).toLongLong(), query.value(1).toLongLong()};
}

Expected<QList<TapeLine>> DeviceStore::tapeLines(qint64 firstId, qint64 lastId, Paper paper)
{
    QSqlQuery query(m_db->db);
    if (paper == Paper::Roll) {
        query.prepare(u"SELECT tape.id, tape.line, tape_marks.style, tape_marks.cut FROM tape"
                      u" LEFT JOIN tape_marks ON tape_marks.line = tape.id"
                      u" WHERE tape.id BETWEEN ? AND ? ORDER BY tape.id"_s);
    } else {
        // A slip is written whole when its document ends, so the newest line always ends one.
        query.prepare(u"SELECT s.id, s.line, 0, s.id = (SELECT MAX(id) FROM slips)"
                      u" OR (SELECT instr(n.line, ?) = 1 FROM slips n WHERE n.id > s.id"
                      u" ORDER BY n.id LIMIT 1) FROM slips s"
                      u" WHERE s.id BETWEEN ? AND ? ORDER BY s.id"_s);
        query.addBindValue(tape::kSlipOpening);
    }
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
    if (paper == Paper::Roll) {
        query.prepare(u"SELECT MAX(line) FROM tape_marks WHERE cut = 1 AND line < ?"_s);
    } else {
        // The line before the last slip that opens up to `id`.
        query.prepare(u"SELECT MAX(id) FROM slips WHERE id < (SELECT MAX(id) FROM slips"
                      u" WHERE id <= ? AND instr(line, ?) = 1)"_s);
    }
    query.addBindValue(id);
    if (paper == Paper::Slip)
        query.addBindValue(tape::kSlipOpening);
    if (!query.exec() || !query.next())
        return Expected<qint64>(storageError(), query.lastError().text());
    return query.value(0).isNull() ? qint64(0) : query.value(0).toLongLong();
}

Expected<qint64> DeviceStore::findOnTape(const QString& text, qint64 beforeId, Paper paper)
{
    QSqlQuery query(m_db->db);
    query.prepare(
        u"SELECT MAX(id) FROM %1 WHERE id < ? AND instr(line, ?) > 0"_s.arg(tableOf(paper)));
    query.bindValue(0, beforeId);
    query.bindValue(1, text);
    if (!query.exec() || !query.next())
        return Expected<qint64>(storageError(), query.lastError().text());
    return query.value(0).isNull() ? qint64(0) : query.value(0).toLongLong();
}

Expected<qint64> DeviceStore::tapeLineCount()
{
    return m_db->count(u"SELECT COUNT(*) FROM tape"_s);
}

Expected<qint64> DeviceStore::documentCount()
{
    return m_db->count(u"SELECT COUNT(*) FROM documents"_s);
}

} // namespace emulator
