#include "TapePainter.h"

#include "Printout.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace view {
namespace Style = emulator::TapeStyle;
namespace {

constexpr int kTearHeight = 14;
const QColor kPaper(0xFF, 0xFE, 0xF6);
const QColor kInk(0x20, 0x20, 0x20);

} // namespace

QFont TapePainter::defaultFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(10);
    return font;
}

TapePainter::TapePainter(int lineWidth, QFont font)
    : m_lineWidth(std::max(lineWidth, 1)), m_fonts{std::move(font), {}}
{
    // The printer has no kerning: letters stand on its grid.
    m_fonts[0].setKerning(false);
    m_fonts[1] = m_fonts[0];
    m_fonts[1].setBold(true);
    const QFontMetrics metrics(m_fonts[0]);
    m_charWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    m_lineHeight = metrics.height();
    m_ascent = metrics.ascent();
    // A fixed-pitch font's letters advance by a fraction of a dot more or less than a column:
    // spaced by the difference, a line drawn in one go puts every letter on its column.
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        m_advances[i] = QFontMetricsF(m_fonts[i]).horizontalAdvance(QLatin1Char('M'));
        m_spaced[i] = m_fonts[i];
        m_spaced[i].setLetterSpacing(QFont::AbsoluteSpacing, m_charWidth - m_advances[i]);
    }
}

bool TapePainter::onGrid(const QString& text, bool bold) const
{
    // Whether each letter advances as far as every other of the font (a letter the font lacks
    // comes from another one, of another width), asked once per letter.
    const std::size_t font = bold ? 1 : 0;
    std::vector<quint8>& known = m_onGrid[font];
    if (known.empty())
        known.resize(0x10000);
    for (const QChar letter : text) {
        quint8& fits = known[letter.unicode()];
        if (fits == 0) {
            const bool even =
                !letter.isSurrogate() &&
                QFontMetricsF(m_fonts[font]).horizontalAdvance(letter) == m_advances[font];
            fits = even ? 1 : 2;
        }
        if (fits != 1)
            return false;
    }
    return true;
}

int TapePainter::rowHeight(const TapeRow& row) const
{
    switch (row.kind) {
    case TapeRow::Kind::Tear:
        return kTearHeight;
    case TapeRow::Kind::Picture: {
        // The print head's width of dots spans the width of the text.
        const double scale = double(m_lineWidth * m_charWidth) / emulator::kPrintWidthDots;
        return std::max(1, int(row.raster.height * scale + 0.5)) + 2;
    }
    case TapeRow::Kind::Text:
        break;
    }
    return row.style & Style::DoubleHeight ? m_lineHeight * 2 : m_lineHeight;
}

void TapePainter::paint(QPainter& painter, const TapeRow& row, int top) const
{
    const int height = rowHeight(row);
    const int width = paperWidth();
    painter.save();
    if (row.kind == TapeRow::Kind::Tear && (row.style & Style::FullCut)) {
        // A full cut leaves straight edges with a gap between the two pieces.
        painter.fillRect(0, top, width, 2, kPaper);
        painter.fillRect(0, top + height - 2, width, 2, kPaper);
        painter.restore();
        return;
    }
    if (row.kind == TapeRow::Kind::Tear) {
        // The paper's torn edge: the document above ends in teeth, the next one starts below.
        QPainterPath teeth;
        const int tooth = 8;
        teeth.moveTo(0, top);
        for (int x = 0; x <= width; x += tooth) {
            teeth.lineTo(x, top + height / 2 - 2);
            teeth.lineTo(std::min(x + tooth / 2, width), top + 2);
        }
        teeth.lineTo(width, top);
        teeth.closeSubpath();
        painter.fillPath(teeth, kPaper);
        painter.restore();
        return;
    }
    painter.fillRect(0, top, width, height, kPaper);
    if (row.kind == TapeRow::Kind::Picture) {
        const emulator::Raster& raster = row.raster;
        QImage dots(raster.width, raster.height, QImage::Format_Mono);
        dots.setColor(0, kPaper.rgb());
        dots.setColor(1, kInk.rgb());
        dots.fill(0);
        for (int y = 0; y < raster.height; ++y) {
            for (int x = 0; x < raster.width; ++x) {
                if (raster.dot(x, y))
                    dots.setPixel(x, y, 1);
            }
        }
        const double scale = double(m_lineWidth * m_charWidth) / emulator::kPrintWidthDots;
        const QRect target(m_margin, top + 1, int(raster.width * scale + 0.5), height - 2);
        painter.drawImage(target, dots);
        painter.restore();
        return;
    }
    const bool bold = row.style & Style::Bold;
    const std::size_t font = bold ? 1 : 0;
    painter.setPen(kInk);
    // The small font's letters are two thirds the size, on the same grid and baseline.
    const double small = row.style & Style::SmallFont ? 2.0 / 3.0 : 1.0;
    const double sx = (row.style & Style::DoubleWidth ? 2.0 : 1.0) * small;
    const double sy = (row.style & Style::DoubleHeight ? 2.0 : 1.0) * small;
    painter.translate(m_margin, top);
    painter.scale(sx, sy);
    if (small == 1.0 && onGrid(row.text, bold)) {
        // Every letter as wide as the others: the line in one go lands on the printer's grid.
        painter.setFont(m_spaced[font]);
        painter.drawText(0, m_ascent, row.text);
    } else {
        // Letter by letter on the grid, so that columns line up whatever the font; the small
        // font's letters keep the full font's columns.
        painter.setFont(m_fonts[font]);
        for (qsizetype i = 0; i < row.text.size(); ++i)
            painter.drawText(int(double(i) * m_charWidth / small), int(m_ascent / small),
                             QString(row.text[i]));
    }
    painter.restore();
}

QImage TapePainter::image(const QList<TapeRow>& rows, int first, int last) const
{
    first = std::max(first, 0);
    last = std::min<int>(last, static_cast<int>(rows.size()) - 1);
    int height = 0;
    for (int i = first; i <= last; ++i)
        height += rowHeight(rows[i]);
    QImage picture(paperWidth(), std::max(height, 1), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    int top = 0;
    for (int i = first; i <= last; ++i) {
        paint(painter, rows[i], top);
        top += rowHeight(rows[i]);
    }
    return picture;
}

} // namespace view
