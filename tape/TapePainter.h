#pragma once

#include "TapeModel.h"

#include <QFont>
#include <QImage>

#include <array>
#include <vector>

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
    bool onGrid(const QString& text, bool bold) const;

    int m_lineWidth;
    std::array<QFont, 2> m_fonts;      // regular and bold
    std::array<QFont, 2> m_spaced;     // the same, spaced to put each letter on a column
    std::array<qreal, 2> m_advances{}; // how far each letter of the font advances
    mutable std::array<std::vector<quint8>, 2> m_onGrid; // by letter: 0 not asked, 1 yes, 2 no
    int m_charWidth;
    int m_lineHeight;
    int m_ascent;
    int m_margin = 8;
};

} // namespace view
