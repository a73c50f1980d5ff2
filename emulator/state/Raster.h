#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace emulator {

// The print head's width in dots: every picture and bar code is laid out on it.
inline constexpr int kPrintWidthDots = 384;

// A one-bit picture as the print head prints it: `width` dots per row, rows from the top, each row
// (width + 7) / 8 bytes with the leftmost dot in the highest bit; a set bit is a black dot.
struct Raster
{
    int width = 0;
    int height = 0;
    QByteArray bits;

    Raster() = default;
    Raster(int width, int height);

    int stride() const { return (width + 7) / 8; }
    bool isEmpty() const { return width <= 0 || height <= 0; }
    bool dot(int x, int y) const;
    void setDot(int x, int y);
    // This raster placed on a row of `lineWidth` dots: 0 left, 1 centred, 2 right.
    Raster placed(int lineWidth, int alignment) const;

    bool operator==(const Raster&) const = default;
};

// The paper tape keeps printed text lines; a picture or a bar code is kept among them as one line
// that holds its raster. Printed texts never contain control characters, so the marker that
// starts such a line cannot be confused with text.
QString rasterTapeLine(const Raster& raster);
bool isRasterTapeLine(const QString& line); // cheap: looks at the marker only
// The raster of a tape line, or nothing when the line is text (or a damaged raster line).
std::optional<Raster> rasterOfTapeLine(const QString& line);
// What a text-only view of the tape shows in place of a raster line.
QString rasterPlaceholder(const Raster& raster);

} // namespace emulator
