#include "StatusLine.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace forms {

void setStatus(QLineEdit* statusLine, const QString& text)
{
    statusLine->setText(text);
    statusLine->setCursorPosition(0);
    statusLine->repaint();
}

QString statusText(const QString& comment)
{
    return u"Статус: "_s + comment;
}

} // namespace forms
