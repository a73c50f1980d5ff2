#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace options {

// The device reads its date as the whole number DDMMYY and its time as HHMMSS, so a leading zero
// of the day or the hour is lost (7 December 2008 reads as 71208). Gives the three two-digit
// fields with that zero restored: 71208 -> "07", "12", "08"; 0 -> "00", "00", "00". A number of
// more than six digits is cut into its first six characters as they fall.
std::array<QString, 3> deviceDigitPairs(std::int32_t value);

} // namespace options
