#include "GlyphLine.h"

#include <QGlyphRun>
#include <QPainter>
#include <QVarLengthArray>

#include <algorithm>

namespace view {
namespace {

// Characters that the text engine would draw as their own glyph, left to right, unchanged by
// their neighbours: printable Latin, Greek and Cyrillic, without combining marks, controls or the
// soft hyphen.
bool oneGlyphEach(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return u >= 0x20 && u < 0x0590 && u != 0x7F && !(u >= 0x80 && u < 0xA0) && u != 0xAD &&
               !(u >= 0x0300 && u < 0x0370) && !(u >= 0x0483 && u < 0x048A);
    });
}

} // namespace

bool GlyphLine::useFont(const QFont& font)
{
    if (m_raw.isValid() && font == m_font)
        return true;
    m_font = font;
    m_raw = QRawFont::fromFont(font);
    m_ellipsis = 0;
    m_ellipsisWidth = 0;
    if (!m_raw.isValid())
        return false;
    const QChar ellipsis(0x2026);
    quint32 glyph = 0;
    int count = 1;
    if (m_raw.glyphIndexesForChars(&ellipsis, 1, &glyph, &count) && count == 1 && glyph != 0) {
        QPointF advance;
        m_raw.advancesForGlyphIndexes(&glyph, &advance, 1);
        m_ellipsis = glyph;
        m_ellipsisWidth = advance.x();
    }
    return true;
}

bool GlyphLine::draw(QPainter& painter, const QRect& rect, Qt::Alignment alignment,
                     const QString& text)
{
    if (text.isEmpty())
        return true;
    if (!oneGlyphEach(text) || !useFont(painter.font()))
        return false;
    int count = int(text.size());
    QVarLengthArray<quint32, 128> glyphs(count);
    if (!m_raw.glyphIndexesForChars(text.constData(), int(text.size()), glyphs.data(), &count) ||
        count != text.size() || std::find(glyphs.cbegin(), glyphs.cend(), 0U) != glyphs.cend())
        return false;
    QVarLengthArray<QPointF, 128> positions(count);
    m_raw.advancesForGlyphIndexes(glyphs.data(), positions.data(), count);

    // The advances become the pen's positions along the line; a line too long keeps what fits
    // before the ellipsis.
    qreal width = 0;
    for (QPointF& position : positions) {
        const qreal advance = position.x();
        position = {width, 0};
        width += advance;
    }
    if (width > rect.width()) {
        if (m_ellipsis == 0)
            return false;
        int kept = 0;
        while (kept + 1 < count && positions[kept + 1].x() + m_ellipsisWidth <= rect.width())
            ++kept;
        // The glyph at `kept` is the first that does not fit: the ellipsis takes its place.
        if (positions[kept].x() + m_ellipsisWidth > rect.width())
            kept = 0;
        glyphs[kept] = m_ellipsis;
        width = positions[kept].x() + m_ellipsisWidth;
        count = kept + 1;
        glyphs.resize(count);
        positions.resize(count);
    }

    const qreal x = alignment & Qt::AlignRight     ? rect.right() + 1 - width
                    : alignment & Qt::AlignHCenter ? rect.left() + (rect.width() - width) / 2
                                                   : rect.left();
    const qreal height = m_raw.ascent() + m_raw.descent();
    const qreal baseline = rect.top() + (rect.height() - height) / 2 + m_raw.ascent();
    QGlyphRun run;
    run.setRawFont(m_raw);
    run.setGlyphIndexes({glyphs.cbegin(), glyphs.cend()});
    run.setPositions({positions.cbegin(), positions.cend()});
    painter.drawGlyphRun(QPointF(x, qRound(baseline)), run);
    return true;
}

} // namespace view
