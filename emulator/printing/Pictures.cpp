#include "Pictures.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace emulator {

namespace {

// What a bitmap's headers say, read without decoding anything.
struct BitmapHeader
{
    qint64 width = 0;
    qint64 height = 0;
    qint64 neededBytes = 0; // the file size its pixels need
};

std::optional<BitmapHeader> readBitmapHeader(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(34);
    if (head.size() < 34 || !head.startsWith("BM"))
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const uchar*>(head.constData());
    const quint32 offset = qFromLittleEndian<quint32>(bytes + 10);
    const quint32 infoSize = qFromLittleEndian<quint32>(bytes + 14);
    BitmapHeader header;
    if (infoSize == 12) { // the oldest header: 16-bit sizes
        header.width = qFromLittleEndian<quint16>(bytes + 18);
        header.height = qFromLittleEndian<quint16>(bytes + 20);
        const quint16 bits = qFromLittleEndian<quint16>(bytes + 24);
        header.neededBytes = offset + (header.width * bits + 31) / 32 * 4 * header.height;
        return header;
    }
    if (infoSize < 40)
        return std::nullopt;
    header.width = qFromLittleEndian<qint32>(bytes + 18);
    header.height = std::abs(qint64(qFromLittleEndian<qint32>(bytes + 22)));
    const quint16 bits = qFromLittleEndian<quint16>(bytes + 28);
    const quint32 compression = qFromLittleEndian<quint32>(bytes + 30);
    // Sides beyond the limits are refused by the caller; their pixel size could overflow.
    if (header.width <= 0 || header.width > kMaxPictureSourceSide ||
        header.height > kMaxPictureSourceSide)
        return header;
    // Only plain pixels and bit fields: Qt's reader leaves the pixels that a run-length stream
    // does not cover (skipped, or past its early end) as they were in memory, so such a picture
    // would print whatever the heap held.
    if (compression != 0 && compression != 3)
        return std::nullopt;
    header.neededBytes = offset + (header.width * bits + 31) / 32 * 4 * header.height;
    return header;
}

// Whether every pixel of a paletted picture names a colour of its palette. Qt looks the colours
// up without checking, so a pixel past a short palette would read beyond it.
bool pixelsWithinPalette(const QImage& image)
{
    const int colours = image.colorCount();
    if (colours == 0 || colours >= 256)
        return true; // not paletted, or every index has a colour
    for (int y = 0; y < image.height(); ++y) {
        if (image.format() == QImage::Format_Indexed8) {
            const uchar* row = image.constScanLine(y);
            if (std::any_of(row, row + image.width(),
                            [&](uchar index) { return index >= colours; }))
                return false;
            continue;
        }
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelIndex(x, y) >= colours)
                return false;
        }
    }
    return true;
}

} // namespace

std::variant<Raster, Failure> loadPicture(const QString& path)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile())
        return Failure{ErrorCode::FileNotFound};
    if (file.size() == 0)
        return Failure{ErrorCode::BadPicture, Reason::EmptyText};
    if (file.size() > kMaxPictureFileBytes)
        return Failure{ErrorCode::PictureTooLarge, Reason::TooLarge};

    // The header's claims are checked before a single pixel is decoded.
    const std::optional<BitmapHeader> header = readBitmapHeader(path);
    if (!header || header->width <= 0 || header->height <= 0)
        return Failure{ErrorCode::BadPicture};
    if (header->width > kMaxPictureSourceSide || header->height > kMaxPictureSourceSide)
        return Failure{ErrorCode::PictureTooLarge, Reason::TooLarge};
    const QSize declared(int(header->width), int(header->height));
    QSize target = declared;
    // A long thin picture scaled to the head keeps at least one line rather than vanishing.
    if (target.width() > kPrintWidthDots)
        target = declared.scaled(kPrintWidthDots, kMaxPictureSourceSide, Qt::KeepAspectRatio)
                     .expandedTo(QSize(1, 1));
    if (target.height() > kMaxPictureHeightDots)
        return Failure{ErrorCode::PictureTooLarge, Reason::TooLarge};
    if (header->neededBytes > file.size())
        return Failure{ErrorCode::BadPicture}; // truncated

    QImageReader reader(path, "bmp");
    reader.setDecideFormatFromContent(false);
    QImage image;
    if (!reader.read(&image) || image.size() != declared || !pixelsWithinPalette(image))
        return Failure{ErrorCode::BadPicture};
    if (target != declared)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image = image.convertToFormat(QImage::Format_ARGB32);

    Raster raster(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Transparent parts are paper.
            if (qAlpha(row[x]) >= 128 && qGray(row[x]) < 128)
                raster.setDot(x, y);
        }
    }
    return raster;
}

} // namespace emulator
