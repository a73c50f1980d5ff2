#pragma once

#include "OptionValues.h"

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QLineEdit;
class QWidget;

namespace forms {

class UpDown;

// The editing side of a window that reads the device's options when it opens and writes back only
// what the operator changed: the values it remembers (values()), the controls whose change
// enables the apply button, and the apply itself. Changes made while the window loads its
// controls do not count; the apply button is disabled when loading ends and after every apply.
class OptionEditor : public QObject
{
    Q_OBJECT

public:
    // While it lives the window is loading: changes of tracked controls do not count. When it
    // goes the values settle on what the controls show (OptionValues::settle) and the apply
    // button is disabled.
    class Loading
    {
    public:
        explicit Loading(OptionEditor& editor);
        ~Loading();
        Loading(const Loading&) = delete;
        Loading& operator=(const Loading&) = delete;

    private:
        OptionEditor& m_editor;
    };

    explicit OptionEditor(QAbstractButton* applyButton);

    OptionValues& values() { return m_values; }

    // A change of these enables the apply button: a check box or option button whose value
    // changes (by a click or by the program), a text box whose text changes, a spinner whose
    // value changes.
    void track(QAbstractButton* control);
    void track(QLineEdit* control);
    void track(UpDown* control);

    [[nodiscard]] Loading loading() { return Loading(*this); }

    // A change the tracked controls do not show (an accepted edit in another dialog, say).
    void markChanged();

    // Writes what changed (OptionValues::apply) and disables the apply button. When a control
    // cannot be read nothing is written and the button stays as it is.
    //
    // Disabling the button that holds the focus would hand the focus on to the next button,
    // typically "Закрыть", where a stray Space closes the window; the focus goes back instead to
    // the control the operator changed last, or else to where it was before the button took it.
    bool apply(Driver& driver, const OptionValues::StatusSink& status);

private:
    void changed(QWidget* control);
    QWidget* focusAfterApply() const;

    QAbstractButton* m_apply;
    OptionValues m_values;
    int m_loading = 0;
    QPointer<QWidget> m_lastChanged;
    QPointer<QWidget> m_focusBeforeApply;
};

} // namespace forms
