#pragma once

#include <QObject>

#include <optional>
#include <utility>

class QLineEdit;

namespace forms {

class UpDown;

// Binds a text box to an up-down spinner. On every change of the text its leading number (0 when
// there is none, halves rounded to even) becomes the spinner's value when it lies within the
// accepted range; any other text is replaced by the spinner's current value. The arrows write
// their value into the box. Commands read the spinner. The accepted range is the spinner's own
// unless a narrower one is given.
class NumberBox : public QObject
{
    Q_OBJECT

public:
    NumberBox(QLineEdit* box, UpDown* spinner, std::optional<std::pair<int, int>> accepted = {});

    int value() const;
    // The values the box takes: the accepted range, within the spinner's own.
    std::pair<int, int> range() const;

private:
    void onTextChanged();
    void onSpinnerChanged(int value, bool byButton);
    bool accepts(std::int64_t value) const;

    QLineEdit* m_box;
    UpDown* m_spinner;
    std::optional<std::pair<int, int>> m_accepted;
    bool m_writing = false;
};

} // namespace forms
