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
    : m_lineWidth(std::max(lineWidth, 1)), m_font(std::move(font))
{
    const QFontMetrics metrics(m_font);
    m_charWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    m_lineHeight = metrics.height();
    m_ascent = metrics.ascent();
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
    QFont font = m_font;
    font.setBold(row.style & Style::Bold);
    painter.setFont(font);
    painter.setPen(kInk);
    const double sx = row.style & Style::DoubleWidth ? 2.0 : 1.0;
    const double sy = row.style & Style::DoubleHeight ? 2.0 : 1.0;
    painter.translate(m_margin, top);
    painter.scale(sx, sy);
    // Letter by letter on the printer's grid, so that columns line up whatever the font.
    for (qsizetype i = 0; i < row.text.size(); ++i)
        painter.drawText(int(i) * m_charWidth, m_ascent, QString(row.text[i]));
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
