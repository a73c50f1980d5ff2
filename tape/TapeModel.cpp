#include "TapeModel.h"

#include "Printout.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using emulator::TapeLine;

namespace view {
namespace {

// A double-width line is printed with a blank after every letter but the last.
QString unspread(const QString& text)
{
    QString letters;
    letters.reserve(text.size() / 2 + 1);
    for (qsizetype i = 0; i < text.size(); i += 2)
        letters += text[i];
    return letters;
}

} // namespace

void TapeModel::clear()
{
    m_rows.clear();
    m_firstLine = 0;
    m_lastLine = 0;
}

QList<TapeRow> TapeModel::rowsOf(const QList<TapeLine>& lines)
{
    namespace Style = emulator::TapeStyle;
    QList<TapeRow> rows;
    rows.reserve(lines.size());
    for (const TapeLine& line : lines) {
        // The lower row of a double-height line is drawn by its upper row; a torn edge after it
        // still counts.
        if (!(line.style & Style::LowerHalf)) {
            TapeRow row;
            row.lineId = line.id;
            row.style = line.style;
            if (std::optional<emulator::Raster> raster = emulator::rasterOfTapeLine(line.text)) {
                row.kind = TapeRow::Kind::Picture;
                row.raster = std::move(*raster);
            } else {
                // A bold or tall line carries its style in marks before its text.
                const emulator::TapeText printed = emulator::tapeText(line.text);
                row.style |=
                    (printed.bold ? Style::Bold : 0) | (printed.tall ? Style::DoubleHeight : 0);
                row.text = line.style & Style::DoubleWidth ? unspread(printed.text) : printed.text;
            }
            rows.append(std::move(row));
        }
        if (line.cut)
            rows.append(TapeRow{TapeRow::Kind::Tear, line.id, {}, line.style & Style::FullCut, {}});
    }
    return rows;
}

int TapeModel::append(const QList<TapeLine>& lines)
{
    QList<TapeLine> fresh;
    for (const TapeLine& line : lines) {
        if (line.id > m_lastLine)
            fresh.append(line);
    }
    if (fresh.isEmpty())
        return 0;
    if (m_firstLine == 0)
        m_firstLine = fresh.constFirst().id;
    m_lastLine = fresh.constLast().id;
    QList<TapeRow> added = rowsOf(fresh);
    const int count = static_cast<int>(added.size());
    m_rows.append(std::move(added));
    return count;
}

int TapeModel::prepend(const QList<TapeLine>& lines)
{
    QList<TapeLine> older;
    for (const TapeLine& line : lines) {
        if (m_firstLine == 0 || line.id < m_firstLine)
            older.append(line);
    }
    if (older.isEmpty())
        return 0;
    m_firstLine = older.constFirst().id;
    if (m_lastLine == 0)
        m_lastLine = older.constLast().id;
    QList<TapeRow> added = rowsOf(older);
    // One by one from the last: the list keeps room at its front, so each costs one row.
    for (auto row = added.rbegin(); row != added.rend(); ++row)
        m_rows.prepend(std::move(*row));
    return static_cast<int>(added.size());
}

int TapeModel::dropFront(int rows)
{
    const int count = static_cast<int>(m_rows.size());
    int dropped = std::clamp(rows, 0, count);
    if (dropped == 0)
        return 0;
    // The rows of one line (its text and the tear after it) go together.
    const qint64 line = m_rows[dropped - 1].lineId;
    while (dropped < count && m_rows[dropped].lineId == line)
        ++dropped;
    if (dropped == count) {
        clear();
        return count;
    }
    m_rows.remove(0, dropped);
    m_firstLine = line + 1;
    return dropped;
}

int TapeModel::dropBack(int rows)
{
    const int count = static_cast<int>(m_rows.size());
    int kept = count - std::clamp(rows, 0, count);
    if (kept == count)
        return 0;
    const qint64 line = m_rows[kept].lineId;
    while (kept > 0 && m_rows[kept - 1].lineId == line)
        --kept;
    if (kept == 0) {
        clear();
        return count;
    }
    m_rows.remove(kept, count - kept);
    m_lastLine = line - 1;
    return count - kept;
}

std::pair<int, int> TapeModel::documentAround(int row) const
{
    const int count = static_cast<int>(m_rows.size());
    if (count == 0)
        return {0, -1};
    row = std::clamp(row, 0, count - 1);
    // On a tear, the document is the one it ends.
    if (m_rows[row].kind == TapeRow::Kind::Tear && row > 0)
        --row;
    int first = row;
    while (first > 0 && m_rows[first - 1].kind != TapeRow::Kind::Tear)
        --first;
    int last = row;
    while (last + 1 < count && m_rows[last + 1].kind != TapeRow::Kind::Tear)
        ++last;
    return {first, last};
}

int TapeModel::findBackwards(const QString& text, int before) const
{
    if (text.isEmpty())
        return -1;
    for (int row = std::min<int>(before, static_cast<int>(m_rows.size())) - 1; row >= 0; --row) {
        if (m_rows[row].text.contains(text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

} // namespace view
