#include "TapeView.h"

#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace view {

TapeView::TapeView(const TapeModel& model, QWidget* parent)
    : QAbstractScrollArea(parent), m_model(model), m_painter(40)
{
    viewport()->setAutoFillBackground(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, QColor(0x6B, 0x6B, 0x6B));
    viewport()->setPalette(palette);
    verticalScrollBar()->setSingleStep(16);
    m_tops.push_back(0);
}

void TapeView::setLineWidth(int lineWidth)
{
    if (lineWidth == m_painter.lineWidth() && minimumWidth() > 0)
        return;
    m_painter = TapePainter(lineWidth);
    setMinimumWidth(m_painter.paperWidth() + verticalScrollBar()->sizeHint().width() + 24);
    layoutRows();
}

void TapeView::layoutRows()
{
    const QList<TapeRow>& rows = m_model.rows();
    m_tops.assign(1, 0);
    m_tops.reserve(rows.size() + 1);
    for (const TapeRow& row : rows)
        m_tops.push_back(m_tops.back() + m_painter.rowHeight(row));
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(viewport()->height());
    bar->setRange(0, std::max(0, m_tops.back() + 16 - viewport()->height()));
    viewport()->update();
}

void TapeView::rowsChanged(int prepended)
{
    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    const int before = m_tops.back();
    layoutRows();
    if (m_marked >= 0)
        m_marked += prepended;
    if (prepended > 0) {
        // Keep what the operator looks at in place: older rows came in above it.
        bar->setValue(bar->value() + (m_tops.back() - before));
    } else if (atEnd) {
        scrollToEnd();
    }
}

void TapeView::scrollToEnd()
{
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void TapeView::scrollToRow(int row)
{
    if (row < 0 || row + 1 >= static_cast<int>(m_tops.size()))
        return;
    verticalScrollBar()->setValue(std::max(0, m_tops[row] - viewport()->height() / 3));
}

int TapeView::rowAt(int y) const
{
    const auto it = std::upper_bound(m_tops.begin(), m_tops.end(), y);
    return static_cast<int>(it - m_tops.begin()) - 1;
}

int TapeView::rowInSight() const
{
    if (m_model.rows().isEmpty())
        return -1;
    const int row = rowAt(verticalScrollBar()->value() + viewport()->height() / 2);
    return std::clamp(row, 0, static_cast<int>(m_model.rows().size()) - 1);
}

void TapeView::setMarkedRow(int row)
{
    m_marked = row;
    viewport()->update();
}

void TapeView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int offset = verticalScrollBar()->value();
    const int left = std::max(8, (viewport()->width() - m_painter.paperWidth()) / 2);
    const QList<TapeRow>& rows = m_model.rows();
    const int last = static_cast<int>(rows.size()) - 1;
    painter.translate(left, -offset);
    for (int row = std::max(0, rowAt(offset)); row <= last; ++row) {
        const int top = m_tops[static_cast<std::size_t>(row)];
        if (top > offset + viewport()->height())
            break;
        m_painter.paint(painter, rows[row], top);
        if (row == m_marked) {
            painter.fillRect(0, top, m_painter.paperWidth(), m_painter.rowHeight(rows[row]),
                             QColor(0xFF, 0xD7, 0x00, 0x70));
        }
    }
}

void TapeView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    const bool atEnd = verticalScrollBar()->value() >= verticalScrollBar()->maximum();
    layoutRows();
    if (atEnd)
        scrollToEnd();
}

void TapeView::scrollContentsBy(int, int)
{
    viewport()->update();
    if (verticalScrollBar()->value() == 0)
        emit earlierWanted();
}

} // namespace view
