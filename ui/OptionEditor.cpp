#include "OptionEditor.h"

#include "UpDown.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>

namespace forms {

OptionEditor::Loading::Loading(OptionEditor& editor) : m_editor(editor)
{
    ++m_editor.m_loading;
}

OptionEditor::Loading::~Loading()
{
    if (--m_editor.m_loading == 0) {
        m_editor.m_values.settle();
        m_editor.m_apply->setEnabled(false);
    }
}

OptionEditor::OptionEditor(QAbstractButton* applyButton)
    : QObject(applyButton), m_apply(applyButton)
{
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (now == m_apply)
            m_focusBeforeApply = old;
    });
}

void OptionEditor::track(QAbstractButton* control)
{
    connect(control, &QAbstractButton::toggled, this, [this, control] { changed(control); });
}

void OptionEditor::track(QLineEdit* control)
{
    connect(control, &QLineEdit::textChanged, this, [this, control] { changed(control); });
}

void OptionEditor::track(UpDown* control)
{
    connect(control, &UpDown::valueChanged, this, [this, control] { changed(control); });
}

void OptionEditor::markChanged()
{
    changed(nullptr);
}

void OptionEditor::changed(QWidget* control)
{
    if (m_loading != 0)
        return;
    m_lastChanged = control;
    m_apply->setEnabled(true);
}

bool OptionEditor::apply(Driver& driver, const OptionValues::StatusSink& status)
{
    if (!m_values.apply(driver, status))
        return false;
    QWidget* focus = m_apply->hasFocus() ? focusAfterApply() : nullptr;
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
    m_apply->setEnabled(false);
    return true;
}

// A spinner takes no focus itself: the operator typed into its box, which had the focus before
// the click.
QWidget* OptionEditor::focusAfterApply() const
{
    for (QWidget* candidate : {m_lastChanged.data(), m_focusBeforeApply.data()}) {
        if (candidate && candidate != m_apply && candidate->window() == m_apply->window() &&
            candidate->isVisible() && candidate->isEnabled() &&
            candidate->focusPolicy() != Qt::NoFocus)
            return candidate;
    }
    return nullptr;
}

} // namespace forms
