#include "UpDown.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace forms {

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        button->setFixedWidth(16);
        layout->addWidget(button);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
    // As tall as the box beside it, however much room its row of the layout has.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize UpDown::sizeHint() const
{
    return {16, 22};
}

void UpDown::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    changeValue(std::clamp(m_value, m_minimum, m_maximum), false);
}

void UpDown::setValue(int value)
{
    changeValue(std::clamp(value, m_minimum, m_maximum), false);
}

void UpDown::stepUp()
{
    if (m_value < m_maximum)
        changeValue(m_value + 1, true);
}

void UpDown::stepDown()
{
    if (m_value > m_minimum)
        changeValue(m_value - 1, true);
}

void UpDown::changeValue(int value, bool byButton)
{
    if (value == m_value)
        return;
    m_value = value;
    emit valueChanged(m_value, byButton);
}

} // namespace forms
