// Feeds arbitrary files to the device's picture loading and arbitrary lines to the tape's raster
// line reader: a file is refused or read within the head's width and the height limit; a raster
// line that reads writes back to the same raster.
#include "Pictures.h"
#include "Raster.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkRaster(const emulator::Raster& raster)
{
    require(raster.width > 0 && raster.height > 0);
    require(raster.bits.size() == qsizetype(raster.stride()) * raster.height);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The loader reads a file: one scratch file, rewritten for every input.
    static QTemporaryDir folder;
    static const QString path = QDir(folder.path()).filePath(QStringLiteral("picture.bmp"));
    {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    const auto loaded = emulator::loadPicture(path);
    if (const auto* raster = std::get_if<emulator::Raster>(&loaded)) {
        checkRaster(*raster);
        require(raster->width <= emulator::kPrintWidthDots);
        require(raster->height <= emulator::kMaxPictureHeightDots);
        const auto line = emulator::rasterOfTapeLine(emulator::rasterTapeLine(*raster));
        require(line && *line == *raster);
    }

    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto raster = emulator::rasterOfTapeLine(text)) {
        checkRaster(*raster);
        const auto again = emulator::rasterOfTapeLine(emulator::rasterTapeLine(*raster));
        require(again && *again == *raster);
    }
    return 0;
}
