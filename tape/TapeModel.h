#pragma once

#include "DeviceStore.h"
#include "Raster.h"

#include <QList>
#include <QString>

#include <optional>

namespace view {

// One row of the picture of the tape: a line of text, a picture (or bar code) as the print head
// prints it, or the torn edge between two documents.
struct TapeRow
{
    enum class Kind { Text, Picture, Tear };

    Kind kind = Kind::Text;
    qint64 lineId = 0; // the tape line it comes from (for a tear: the line before it)
    QString text;      // as it reads: a double-width line without its spreading blanks
    int style = 0;     // emulator::TapeStyle
    emulator::Raster raster;

    bool operator==(const TapeRow&) const = default;
};

// The part of the tape a view has loaded, as rows to draw. Lines arrive in runs of the tape in
// order: newer ones at the end as the device prints them, older ones at the start as the operator
// scrolls back; far-away rows are dropped from either end, a whole line at a time, so that what
// stays loaded is bounded. The tape keeps a double-height line as two rows of text and a
// double-width one with its letters spread; here each becomes one row drawn in that size. Adding
// or dropping rows costs what is added or dropped, not what is loaded.
class TapeModel
{
public:
    void clear();
    // Lines that follow the last one loaded; returns how many rows were added.
    int append(const QList<emulator::TapeLine>& lines);
    // Lines that come before the first one loaded; returns how many rows were added.
    int prepend(const QList<emulator::TapeLine>& lines);
    // Drops at least `rows` rows from the start (or the end), never part of a line's rows;
    // returns how many were dropped.
    int dropFront(int rows);
    int dropBack(int rows);

    // The rows of `lines` in order, as the model would add them.
    static QList<TapeRow> rowsOf(const QList<emulator::TapeLine>& lines);

    const QList<TapeRow>& rows() const { return m_rows; }
    qint64 firstLineId() const { return m_firstLine; } // 0 when nothing is loaded
    qint64 lastLineId() const { return m_lastLine; }

    // The rows of the document that holds `row`: from the row after the tear before it to the
    // tear after it (or the end of what is loaded), tears excluded; {first, last}.
    std::pair<int, int> documentAround(int row) const;
    // The last row before `before` whose text contains `text` (case-insensitive); -1 if none.
    int findBackwards(const QString& text, int before) const;

private:
    QList<TapeRow> m_rows;
    qint64 m_firstLine = 0;
    qint64 m_lastLine = 0;
};

} // namespace view
