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
    rowsReset();
}

void TapeView::setRange()
{
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(viewport()->height());
    const qint64 height = m_tops.back() - m_tops.front();
    bar->setRange(0, static_cast<int>(std::clamp<qint64>(height + 16 - viewport()->height(), 0,
                                                         std::numeric_limits<int>::max())));
    viewport()->update();
}

void TapeView::setValue(qint64 value)
{
    const bool adjusting = m_adjusting;
    m_adjusting = true;
    verticalScrollBar()->setValue(static_cast<int>(
        std::clamp<qint64>(value, verticalScrollBar()->minimum(), verticalScrollBar()->maximum())));
    m_adjusting = adjusting;
}

bool TapeView::atEnd() const
{
    return verticalScrollBar()->value() >= verticalScrollBar()->maximum();
}

void TapeView::rowsReset()
{
    m_tops.assign(1, 0);
    for (const TapeRow& row : m_model.rows())
        m_tops.push_back(m_tops.back() + m_painter.rowHeight(row));
    m_marked = -1;
    m_adjusting = true;
    setRange();
    m_adjusting = false;
}

void TapeView::rowsAdded(int atStart, int atEnd, bool followEnd)
{
    followEnd = followEnd && this->atEnd();
    const QList<TapeRow>& rows = m_model.rows();
    for (int row = atStart - 1; row >= 0; --row)
        m_tops.push_front(m_tops.front() - m_painter.rowHeight(rows[row]));
    for (qsizetype row = rows.size() - atEnd; row < rows.size(); ++row)
        m_tops.push_back(m_tops.back() + m_painter.rowHeight(rows[row]));
    if (m_marked >= 0)
        m_marked += atStart;
    const qint64 above = atStart > 0 ? topOf(atStart) : 0;
    m_adjusting = true;
    setRange();
    m_adjusting = false;
    if (atStart > 0) {
        // Keep what the operator looks at in place: older rows came in above it.
        setValue(verticalScrollBar()->value() + above);
    } else if (followEnd && atEnd > 0) {
        scrollToEnd();
    }
}

void TapeView::rowsDropped(int atStart, int atEnd)
{
    const qint64 above = topOf(atStart);
    const qint64 value = verticalScrollBar()->value() - above;
    m_tops.erase(m_tops.begin(), m_tops.begin() + atStart);
    m_tops.erase(m_tops.end() - atEnd, m_tops.end());
    if (m_marked >= 0) {
        m_marked -= atStart;
        if (m_marked < 0 || m_marked >= static_cast<int>(m_model.rows().size()))
            m_marked = -1;
    }
    m_adjusting = true;
    setRange();
    m_adjusting = false;
    setValue(value);
}

void TapeView::scrollToEnd()
{
    setValue(verticalScrollBar()->maximum());
}

void TapeView::scrollToRow(int row)
{
    if (row < 0 || row + 1 >= static_cast<int>(m_tops.size()))
        return;
    setValue(std::max<qint64>(0, topOf(row) - viewport()->height() / 3));
}

int TapeView::rowAt(qint64 y) const
{
    const auto it = std::upper_bound(m_tops.begin(), m_tops.end(), m_tops.front() + y);
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
        const int top = static_cast<int>(topOf(row));
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
    const bool followEnd = atEnd();
    m_adjusting = true;
    setRange();
    m_adjusting = false;
    if (followEnd)
        scrollToEnd();
}

void TapeView::scrollContentsBy(int, int)
{
    viewport()->update();
    if (m_adjusting)
        return;
    QScrollBar* bar = verticalScrollBar();
    if (bar->value() == bar->minimum())
        emit earlierWanted();
    else if (bar->value() == bar->maximum())
        emit laterWanted();
}

} // namespace view
