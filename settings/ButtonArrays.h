#pragma once

#include <QList>
#include <QObject>
#include <QRadioButton>
#include <QString>

// Option button arrays of a form: the buttons <name>_0, <name>_1, ... whose value is the index
// of the selected one.
namespace options {

inline QList<QRadioButton*> buttonArray(QObject* root, const QString& name, int count)
{
    QList<QRadioButton*> buttons;
    for (int i = 0; i < count; ++i)
        buttons << root->findChild<QRadioButton*>(name + u'_' + QString::number(i));
    return buttons;
}

// The index of the first selected button, 0 when none is.
inline int firstChecked(const QList<QRadioButton*>& buttons)
{
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons.at(i)->isChecked())
            return i;
    }
    return 0;
}

// Selects the button of `index`; a value that no button stands for selects none.
inline void selectButton(const QList<QRadioButton*>& buttons, int index)
{
    if (index >= 0 && index < buttons.size())
        buttons.at(index)->setChecked(true);
}

} // namespace options
