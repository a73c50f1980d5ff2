#include "NumberBox.h"

#include "NumberReader.h"
#include "UpDown.h"

#include <QLineEdit>

#include <algorithm>

namespace forms {

NumberBox::NumberBox(QLineEdit* box, UpDown* spinner, std::optional<std::pair<int, int>> accepted)
    : QObject(box), m_box(box), m_spinner(spinner), m_accepted(accepted)
{
    connect(m_box, &QLineEdit::textChanged, this, &NumberBox::onTextChanged);
    connect(m_spinner, &UpDown::valueChanged, this, &NumberBox::onSpinnerChanged);
}

int NumberBox::value() const
{
    return m_spinner->value();
}

std::pair<int, int> NumberBox::range() const
{
    if (!m_accepted)
        return {m_spinner->minimum(), m_spinner->maximum()};
    return {std::max(m_accepted->first, m_spinner->minimum()),
            std::min(m_accepted->second, m_spinner->maximum())};
}

bool NumberBox::accepts(std::int64_t value) const
{
    const auto [low, high] = range();
    return value >= low && value <= high;
}

void NumberBox::onTextChanged()
{
    if (m_writing)
        return;
    const auto read = numbers::readLenient<std::int32_t>(m_box->text());
    if (read && accepts(*read.value)) {
        m_spinner->setValue(*read.value);
        return;
    }
    m_writing = true;
    m_box->setText(QString::number(m_spinner->value()));
    m_writing = false;
}

void NumberBox::onSpinnerChanged(int value, bool byButton)
{
    if (!byButton)
        return;
    m_writing = true;
    m_box->setText(QString::number(value));
    m_writing = false;
}

} // namespace forms
