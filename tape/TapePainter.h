#pragma once

#include "TapeModel.h"

#include <QFont>
#include <QImage>

class QPainter;
class QPaintDevice;

namespace view {

// Draws rows of the tape as the paper looks: a fixed-pitch font at the printer's width, bold,
// double-width and double-height text in their size, pictures dot for dot scaled to the paper,
// a zigzag torn edge between documents.
class TapePainter
{
public:
    explicit TapePainter(int lineWidth, QFont font = defaultFont());

    static QFont defaultFont();

    int lineWidth() const { return m_lineWidth; }
    int paperWidth() const { return m_margin * 2 + m_lineWidth * m_charWidth; }
    int rowHeight(const TapeRow& row) const;
    // Draws the row with its top left corner at (0, top).
    void paint(QPainter& painter, const TapeRow& row, int top) const;

    // The rows from `first` to `last` of `rows` as one picture of the paper (for a short
    // stretch: a long one is saved by TapeExport a page at a time).
    QImage image(const QList<TapeRow>& rows, int first, int last) const;

private:
    int m_lineWidth;
    QFont m_font;
    int m_charWidth;
    int m_lineHeight;
    int m_ascent;
    int m_margin = 8;
};

} // namespace view
