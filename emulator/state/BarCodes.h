#pragma once

#include "ErrorCodes.h"
#include "Raster.h"

#include <QString>

#include <cstdint>
#include <variant>

namespace emulator {

// The symbologies of ProgramBarCode, by their number.
enum class Symbology : std::int32_t {
    UpcA = 0,
    UpcE = 1,
    Ean13 = 2,
    Ean8 = 3,
    Code39 = 4,
    Itf = 5,
    Codabar = 6,
    Code93 = 7,
    Code128 = 8,
};

// A bar code as programmed: the arguments of ProgramBarCode, or a mask of bars.
struct BarCodeRequest
{
    std::int32_t textAfter = 0;
    std::int32_t textBefore = 0;
    std::int32_t alignment = 0; // BarCodeAlignment: of the bars and of their readable text
    std::int32_t scaling = 0;   // 0 to 3: each step widens every bar by one more dot
    std::int32_t thickness = 0; // 0 to 2: the narrowest bar is 1, 2 or 3 dots, before scaling
    std::int32_t font = 0;      // BarCodeFont of the readable text
    std::int32_t symbology = 0;
    std::int32_t height = 50; // dots, 1 to 255
    QString content;
};

// What the device keeps and prints: the bars of one row and how to print them.
struct BarCode
{
    QString modules; // one character per module, '1' a bar, '0' a space
    int moduleDots = 1;
    int height = 50;
    int alignment = 0;
    bool textBefore = false;
    bool textAfter = false;
    int font = 0;
    QString text; // the readable text, check digit included

    // The bars as the head prints them at `heightFactor` times the programmed height.
    Raster raster(int heightFactor) const;
    bool operator==(const BarCode&) const = default;
};

// Checks every argument and the content against its symbology and encodes it; the encoding and the
// content checks are the bar code library's. Content the library would print as another code, and
// a code wider than the print head, are refused.
std::variant<BarCode, Failure> encodeBarCode(const BarCodeRequest& request);

// A mask of bars: a text of '0' and '1', each one dot wide, no wider than the print head.
std::variant<BarCode, Failure> barCodeFromMask(const QString& mask);

} // namespace emulator
