#pragma once

#include <QFont>
#include <QRawFont>

class QPainter;
class QRect;
class QString;

namespace view {

// Draws one line of plain text as the font's glyphs, one per character, elided at the right when
// it does not fit. A table that shows thousands of short cells a second spends most of its time
// in the text engine's shaping and line layout, which texts in Latin, Cyrillic or Greek letters,
// digits and signs do not need; any other text is left to the engine.
class GlyphLine
{
public:
    // Draws `text` in the painter's font and pen inside `rect`, placed by `alignment`; false when
    // the text needs the text engine, and nothing was drawn.
    bool draw(QPainter& painter, const QRect& rect, Qt::Alignment alignment, const QString& text);

private:
    bool useFont(const QFont& font);

    QFont m_font;
    QRawFont m_raw;
    quint32 m_ellipsis = 0; // the glyph of "…", or none
    qreal m_ellipsisWidth = 0;
};

} // namespace view
