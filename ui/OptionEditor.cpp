#include "OptionEditor.h"

#include "UpDown.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace forms {

OptionEditor::Loading::Loading(OptionEditor& editor) : m_editor(editor)
{
    ++m_editor.m_loading;
}

OptionEditor::Loading::~Loading()
{
    if (--m_editor.m_loading == 0)
        m_editor.m_apply->setEnabled(false);
}

OptionEditor::OptionEditor(QAbstractButton* applyButton)
    : QObject(applyButton), m_apply(applyButton)
{
}

void OptionEditor::track(QAbstractButton* control)
{
    connect(control, &QAbstractButton::toggled, this, &OptionEditor::markChanged);
}

void OptionEditor::track(QLineEdit* control)
{
    connect(control, &QLineEdit::textChanged, this, &OptionEditor::markChanged);
}

void OptionEditor::track(UpDown* control)
{
    connect(control, &UpDown::valueChanged, this, &OptionEditor::markChanged);
}

void OptionEditor::markChanged()
{
    if (m_loading == 0)
        m_apply->setEnabled(true);
}

bool OptionEditor::apply(Driver& driver, const OptionValues::StatusSink& status)
{
    if (!m_values.apply(driver, status))
        return false;
    m_apply->setEnabled(false);
    return true;
}

} // namespace forms
