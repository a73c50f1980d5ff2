#pragma once

#include <QVariant>

#include <optional>

namespace emulator {

// A general value (one whose kind travels with it) read as a whole number: an integer, a
// floating-point number without a fractional part, or a text holding only a whole number
// (blanks around it allowed). Anything else, a truth value, 7.5 or "7.5" included, is no whole
// number: rounding it would turn a caller's mistake into a different command.
std::optional<qint64> wholeNumber(const QVariant& value);

} // namespace emulator
