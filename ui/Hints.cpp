#include "Hints.h"

#include "NumberBox.h"

#include <QLineEdit>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace forms {
namespace {

QString hintOf(const QHash<QString, QString>& hints, const QString& control)
{
    if (const auto exact = hints.constFind(control); exact != hints.cend())
        return *exact;
    // An element of a control array: "Name_7" takes the hint of "Name_".
    const qsizetype underscore = control.lastIndexOf(u'_');
    if (underscore <= 0)
        return {};
    bool number = false;
    control.mid(underscore + 1).toInt(&number);
    return number ? hints.value(control.left(underscore + 1)) : QString();
}

// The values a box bound to a spinner takes, after the box's own hint.
QString withRange(const QString& hint, const QLineEdit& box)
{
    const auto* numbers = box.findChild<NumberBox*>(QString(), Qt::FindDirectChildrenOnly);
    if (!numbers)
        return hint;
    const auto [low, high] = numbers->range();
    const QString range = u"Допустимо: %1–%2"_s.arg(low).arg(high);
    return hint.isEmpty() ? range : hint + u". "_s + range;
}

} // namespace

void applyHints(QWidget& window)
{
    const QString windowClass =
        QString::fromLatin1(window.metaObject()->className()).section(u"::"_s, -1);
    const QHash<QString, QString> hints = hints::table().value(windowClass);
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (control->objectName().isEmpty() || !control->toolTip().isEmpty())
            continue;
        QString hint = hintOf(hints, control->objectName());
        if (const auto* box = qobject_cast<QLineEdit*>(control))
            hint = withRange(hint, *box);
        if (!hint.isEmpty())
            control->setToolTip(hint);
    }
}

} // namespace forms
