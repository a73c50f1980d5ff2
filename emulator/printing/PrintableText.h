#pragma once

#include <QChar>
#include <QString>

namespace emulator {

// Whether a character would break a printed line or reorder it: control characters, line and
// paragraph separators, and the bidirectional embeddings, overrides, isolates and marks. A text
// holding one is refused rather than printed, since the tape and the control tape would no
// longer show what was sold.
bool breaksPrintedLine(QChar c);

// Whether a text holds such a character, or half of a surrogate pair without its other half,
// which can be neither printed nor kept as it was given.
bool breaksPrintedText(const QString& text);

// The text with every such character written as \uXXXX (\r and \n as themselves), so that a log
// record stays one readable line whatever a caller passed.
QString escapedForLog(const QString& text);

} // namespace emulator
