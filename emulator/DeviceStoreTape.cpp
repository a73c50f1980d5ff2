// Reading the paper tape back: all of it, its last lines, or the parts a view shows.

#include "DeviceStore.h"

#include "DeviceStoreDatabase.h"

namespace emulator {

Expected<QStringList> DeviceStore::tape(int lastLines, Paper paper)
{
    const QString table = paper == Paper::Slip ? u"slips"_s : u"tape"_s;
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

Expected<TapeSpan> DeviceStore::tapeSpan()
{
    QSqlQuery query(m_db->db);
    if (!query.exec(u"SELECT MIN(id), MAX(id) FROM tape"_s) || !query.next())
        return Expected<TapeSpan>(storageError(), query.lastError().text());
    if (query.value(0).isNull())
        return TapeSpan{};
    return TapeSpan{query.value(0).toLongLong(), query.value(1).toLongLong()};
}

Expected<QList<TapeLine>> DeviceStore::tapeLines(qint64 firstId, qint64 lastId)
{
    QSqlQuery query(m_db->db);
    query.prepare(u"SELECT tape.id, tape.line, tape_marks.style, tape_marks.cut FROM tape"
                  u" LEFT JOIN tape_marks ON tape_marks.line = tape.id"
                  u" WHERE tape.id BETWEEN ? AND ? ORDER BY tape.id"_s);
    query.bindValue(0, firstId);
    query.bindValue(1, lastId);
    if (!query.exec())
        return Expected<QList<TapeLine>>(storageError(), query.lastError().text());
    QList<TapeLine> lines;
    while (query.next()) {
        lines.append(TapeLine{query.value(0).toLongLong(), query.value(1).toString(),
                              query.value(2).toInt(), query.value(3).toInt() != 0});
    }
    return lines;
}

Expected<qint64> DeviceStore::lastCutBefore(qint64 id)
{
    QSqlQuery query(m_db->db);
    query.prepare(u"SELECT MAX(line) FROM tape_marks WHERE cut = 1 AND line < ?"_s);
    query.bindValue(0, id);
    if (!query.exec() || !query.next())
        return Expected<qint64>(storageError(), query.lastError().text());
    return query.value(0).isNull() ? qint64(0) : query.value(0).toLongLong();
}

Expected<qint64> DeviceStore::findOnTape(const QString& text, qint64 beforeId)
{
    QSqlQuery query(m_db->db);
    query.prepare(u"SELECT MAX(id) FROM tape WHERE id < ? AND instr(line, ?) > 0"_s);
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
