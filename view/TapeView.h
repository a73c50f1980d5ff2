#pragma once

#include "TapeModel.h"
#include "TapePainter.h"

#include <QAbstractScrollArea>

#include <deque>

namespace view {

// Shows the loaded rows of the tape as paper, drawing only the rows in sight. It keeps to the
// newest row while the operator has not scrolled away from the end, and asks for older lines when
// scrolled to the top, newer ones when scrolled to the bottom. Rows coming or going at either end
// cost the view what came or went, never what stays loaded.
class TapeView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TapeView(const TapeModel& model, QWidget* parent = nullptr);

    void setLineWidth(int lineWidth);
    const TapePainter& painter() const { return m_painter; }
    // The model was cleared or loaded anew.
    void rowsReset();
    // Rows came in at the start and at the end of the model: what was in sight stays in sight,
    // unless `followEnd` and the end was in sight: the new end then comes into sight.
    void rowsAdded(int atStart, int atEnd, bool followEnd = false);
    // Rows were dropped from the start and the end of the model.
    void rowsDropped(int atStart, int atEnd);
    void scrollToRow(int row);
    void scrollToEnd();
    bool atEnd() const;
    // The row in the middle of what is in sight; -1 when nothing is loaded.
    int rowInSight() const;
    void setMarkedRow(int row);
    int markedRow() const { return m_marked; }

signals:
    void earlierWanted();
    void laterWanted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void setRange();
    void setValue(qint64 value);
    int rowAt(qint64 y) const;
    // The top of a row below the top of the first one loaded.
    qint64 topOf(int row) const { return m_tops[static_cast<std::size_t>(row)] - m_tops.front(); }

    const TapeModel& m_model;
    TapePainter m_painter;
    // The top of every row and, last, the bottom of the last one; the first may be below zero
    // once rows came in above it.
    std::deque<qint64> m_tops;
    int m_marked = -1;
    bool m_adjusting = false; // the view moves itself: no wish for more lines
};

} // namespace view
