#include "JournalTable.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace view {

SequenceHeader::SequenceHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent)
{
    setSectionsClickable(true);
    setHighlightSections(true);
}

QSize SequenceHeader::sizeHint() const
{
    const QSize size =
        count() == 0 ? QHeaderView::sizeHint() : sectionSizeFromContents(count() - 1);
    m_width = size.width();
    return size;
}

void SequenceHeader::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                 const QList<int>& roles)
{
    QHeaderView::dataChanged(topLeft, bottomRight, roles);
    viewport()->update();
    if (count() > 0 && sectionSizeFromContents(count() - 1).width() != m_width)
        emit geometriesChanged();
}

void CallCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QWidget* view = cell.widget;
    const QStyle* style = view ? view->style() : QApplication::style();
    const bool selected = cell.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : cell.state & QStyle::State_Active   ? QPalette::Active
                                                                             : QPalette::Inactive;
    painter->save();
    if (selected)
        painter->fillRect(cell.rect, cell.palette.brush(group, QPalette::Highlight));
    else if (cell.backgroundBrush.style() != Qt::NoBrush)
        painter->fillRect(cell.rect, cell.backgroundBrush);
    // The same margins as the style's own cells.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const QRect text = cell.rect.adjusted(margin, 0, -margin, 0);
    painter->setPen(
        cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(cell.font);
    if (!m_line.draw(*painter, text, cell.displayAlignment, cell.text)) {
        painter->drawText(text, int(cell.displayAlignment) | Qt::TextSingleLine,
                          cell.fontMetrics.elidedText(cell.text, Qt::ElideRight, text.width()));
    }
    if (cell.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(cell);
        focus.rect = cell.rect;
        focus.backgroundColor =
            cell.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, view);
    }
    painter->restore();
}

} // namespace view
