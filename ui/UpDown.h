#pragma once

#include <QWidget>

class QToolButton;

namespace forms {

// An up-down spinner: two arrow buttons holding a whole value between a minimum and a maximum.
// It is bound to a text box by NumberBox; on its own it only keeps and steps its value.
class UpDown : public QWidget
{
    Q_OBJECT

public:
    explicit UpDown(QWidget* parent = nullptr);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int value() const { return m_value; }
    void setRange(int minimum, int maximum);
    void setValue(int value);

    QSize sizeHint() const override;

public slots:
    void stepUp();
    void stepDown();

signals:
    // Emitted when the value changes; `byButton` tells a press of an arrow from a set value.
    void valueChanged(int value, bool byButton);

private:
    void changeValue(int value, bool byButton);

    QToolButton* m_up;
    QToolButton* m_down;
    int m_minimum = 0;
    int m_maximum = 10;
    int m_value = 0;
};

} // namespace forms
