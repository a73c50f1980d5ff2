#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QPlainTextEdit;

// The display lines of a word-wrapped text box: a line ends at a hard line break or where the box
// wraps at its width (after the blanks at a word boundary, or anywhere inside a word too long for
// a line). Each line is cut to the device's 80 characters; an empty line stays an empty string,
// and an empty text is one empty line.
namespace extratext {

inline constexpr int kMaxLineLength = 80;

QStringList displayLines(const QString& text, const QFont& font, qreal width);

// The lines as `box` shows them at its present width.
QStringList displayLines(const QPlainTextEdit& box);

} // namespace extratext
