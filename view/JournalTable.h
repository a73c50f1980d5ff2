#pragma once

#include <QHeaderView>
#include <QStyledItemDelegate>

namespace view {

// The calls' numbers down the side of the journal, as wide as the newest (and widest) of them.
// Qt's own header measures a hundred rows at each end whenever rows come or go, which with a
// full journal cost more than the rest of the window's update together.
class SequenceHeader : public QHeaderView
{
public:
    explicit SequenceHeader(QWidget* parent);

    QSize sizeHint() const override;
};

// Draws a journal cell as one line of text on its row's colours. The style's own drawing lays
// each cell's text out three times (to size it, to elide it, to draw it), which made the table
// the most of what a window update costs; a line that fits is laid out once here.
class CallCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace view
