#pragma once

#include "ErrorCodes.h"
#include "Raster.h"

#include <QString>

#include <variant>

namespace emulator {

// The limits of a picture the device takes: the file is checked against them before anything is
// decoded, so a hostile file can neither exhaust memory nor take long.
inline constexpr qint64 kMaxPictureFileBytes = 4 * 1024 * 1024;
inline constexpr int kMaxPictureSourceSide = 4096;
inline constexpr int kMaxPictureHeightDots = 1024;

// Reads a bitmap file (.bmp) into the print head's raster: a picture wider than the head is scaled
// down to its width keeping its proportions, every dot darker than middle grey prints black.
// Refuses a missing file, one that is not a bitmap or is damaged, and one beyond the limits.
std::variant<Raster, Failure> loadPicture(const QString& path);

} // namespace emulator
