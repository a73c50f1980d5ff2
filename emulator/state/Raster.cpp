#include "Raster.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace emulator {

namespace {

const QString kMarker = u"\u0001RASTER "_s;
// A raster line larger than this is damaged, whatever it claims.
constexpr int kMaxRasterHeight = 4096;

} // namespace

Raster::Raster(int w, int h)
    : width(w), height(h), bits(QByteArray(qsizetype((w + 7) / 8) * h, '\0'))
{
}

bool Raster::dot(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return false;
    const auto byte = static_cast<unsigned char>(bits.at(qsizetype(y) * stride() + x / 8));
    return (byte >> (7 - x % 8)) & 1;
}

void Raster::setDot(int x, int y)
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    char& byte = bits[qsizetype(y) * stride() + x / 8];
    byte = char(static_cast<unsigned char>(byte) | (0x80u >> (x % 8)));
}

Raster Raster::placed(int lineWidth, int alignment) const
{
    Raster line(lineWidth, height);
    const int free = std::max(0, lineWidth - width);
    const int left = alignment == 1 ? free / 2 : alignment == 2 ? free : 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width && left + x < lineWidth; ++x) {
            if (dot(x, y))
                line.setDot(left + x, y);
        }
    }
    return line;
}

QString rasterTapeLine(const Raster& raster)
{
    return kMarker + u"%1 %2 "_s.arg(raster.width).arg(raster.height) +
           QString::fromLatin1(raster.bits.toBase64());
}

bool isRasterTapeLine(const QString& line)
{
    return line.startsWith(kMarker);
}

std::optional<Raster> rasterOfTapeLine(const QString& line)
{
    if (!line.startsWith(kMarker))
        return std::nullopt;
    const QStringList parts = line.mid(kMarker.size()).split(u' ');
    if (parts.size() != 3)
        return std::nullopt;
    bool widthOk = false;
    bool heightOk = false;
    const int width = parts.at(0).toInt(&widthOk);
    const int height = parts.at(1).toInt(&heightOk);
    if (!widthOk || !heightOk || width <= 0 || width > kPrintWidthDots || height <= 0 ||
        height > kMaxRasterHeight)
        return std::nullopt;
    Raster raster;
    raster.width = width;
    raster.height = height;
    raster.bits = QByteArray::fromBase64(parts.at(2).toLatin1());
    if (raster.bits.size() != qsizetype(raster.stride()) * height)
        return std::nullopt;
    return raster;
}

QString rasterPlaceholder(const Raster& raster)
{
    return u"[графика %1x%2]"_s.arg(raster.width).arg(raster.height);
}

} // namespace emulator
