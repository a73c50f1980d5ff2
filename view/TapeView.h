#pragma once

#include "TapeModel.h"
#include "TapePainter.h"

#include <QAbstractScrollArea>

#include <vector>

namespace view {

// Shows the loaded rows of the tape as paper, drawing only the rows in sight. It keeps to the
// newest row while the operator has not scrolled away from the end, and asks for older lines when
// scrolled to the top.
class TapeView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TapeView(const TapeModel& model, QWidget* parent = nullptr);

    void setLineWidth(int lineWidth);
    const TapePainter& painter() const { return m_painter; }
    // The model changed: `prepended` rows came in at the start, the rest at the end.
    void rowsChanged(int prepended);
    void scrollToRow(int row);
    void scrollToEnd();
    // The row in the middle of what is in sight; -1 when nothing is loaded.
    int rowInSight() const;
    void setMarkedRow(int row);
    int markedRow() const { return m_marked; }

signals:
    void earlierWanted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void layoutRows();
    int rowAt(int y) const;

    const TapeModel& m_model;
    TapePainter m_painter;
    std::vector<int> m_tops; // the top of every row and, last, the height of all of them
    int m_marked = -1;
};

} // namespace view
