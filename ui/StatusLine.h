#pragma once

#include <QString>

class QLineEdit;

namespace forms {

// Writes the window's status line and repaints it at once, so that the text is on screen during
// the blocking driver call that usually follows.
void setStatus(QLineEdit* statusLine, const QString& text);

// "Статус: " followed by the driver's comment on a result code.
QString statusText(const QString& comment);

} // namespace forms
