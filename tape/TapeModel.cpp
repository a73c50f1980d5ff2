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
    const QList<TapeRow> added = rowsOf(fresh);
    m_rows += added;
    return static_cast<int>(added.size());
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
    const QList<TapeRow> added = rowsOf(older);
    m_rows = added + m_rows;
    return static_cast<int>(added.size());
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
