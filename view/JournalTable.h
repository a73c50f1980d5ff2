#pragma once

#include "GlyphLine.h"

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

protected:
    // Rows whose calls changed in place show other numbers, perhaps one digit longer.
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = {}) override;

private:
    mutable int m_width = -1; // the width the table last asked for
};

// Draws a journal cell as one line of text on its row's colours. The style's own drawing lays
// each cell's text out three times (to size it, to elide it, to draw it), which made the table
// the most of what a window update costs; here a plain line is drawn as its glyphs.
class CallCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    mutable GlyphLine m_line;
};

} // namespace view
