#pragma once

#include "Hints.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>

#include <type_traits>

namespace forms {

// What Esc does in a window. Windows that hold a document, or whose closing would lose what the
// operator entered, ignore it; the others close as their cancel button does.
enum class EscapeKey { Ignored, Closes };

// A window that runs its loading once, when it is first shown: by then the opener has set the
// window's public variables. `Base` is the Qt window class (QDialog, QMainWindow).
//
// It also keeps the program's keyboard rules: Enter presses no button unless the window names its
// default button (a dialog would otherwise press its first button), and Esc does what the window
// chose (nothing unless it chose to close).
template <typename Base> class Loadable : public Base
{
public:
    using Base::Base;

protected:
    virtual void Form_Load() {}

    // Called from the window's constructor; without it Esc is ignored and Enter presses nothing.
    void setKeys(EscapeKey escape, QPushButton* defaultButton = nullptr)
    {
        m_escape = escape;
        m_defaultButton = defaultButton;
    }

    void showEvent(QShowEvent* event) override
    {
        if (!m_loaded) {
            m_loaded = true;
            // Before the dialog looks for a button to make its default among the auto-default
            // ones: none is left but the one the window named.
            for (QPushButton* button : this->template findChildren<QPushButton*>()) {
                button->setAutoDefault(false);
                button->setDefault(button == m_defaultButton);
            }
            applyHints(*this);
            Form_Load();
        }
        Base::showEvent(event);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape && m_escape == EscapeKey::Ignored) {
            event->accept();
            return;
        }
        // A dialog closes on Esc by itself; any other window (the program's own, which are plain
        // widgets) is closed here, as its frame would close it.
        if constexpr (!std::is_base_of_v<QDialog, Base>) {
            if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
                event->accept();
                this->close();
                return;
            }
        }
        Base::keyPressEvent(event);
    }

private:
    bool m_loaded = false;
    EscapeKey m_escape = EscapeKey::Ignored;
    QPushButton* m_defaultButton = nullptr;
};

} // namespace forms
