// The driver members of pictures and bar codes. A picture file is read and a bar code encoded
// before the device is locked, so that no other connection waits for the decoding; the device
// then answers its own refusals before those of the file or the content.

#include "EmulatedDriver.h"

#include "Pictures.h"

namespace emulator {
namespace {

// A picture named in LoadImages: nothing for an empty name (that picture stays as it is).
std::optional<Device::DecodedPicture> pictureNamed(const QString& fileName)
{
    if (fileName.isEmpty())
        return std::nullopt;
    return loadPicture(fileName);
}

} // namespace

Driver::Result EmulatedDriver::LoadImage(std::int16_t slot, const QString& fileName)
{
    const Device::DecodedPicture picture = loadPicture(fileName);
    return command(u"LoadImage", {slot, fileName},
                   [&](Device& d) { return d.loadPicture(slot, picture); });
}

Driver::Result EmulatedDriver::LoadImages(const QString& file1, const QString& file2,
                                          const QString& file3)
{
    const std::array<std::optional<Device::DecodedPicture>, 3> pictures{
        pictureNamed(file1), pictureNamed(file2), pictureNamed(file3)};
    return command(u"LoadImages", {file1, file2, file3},
                   [&](Device& d) { return d.loadPictures(pictures); });
}

Driver::Result EmulatedDriver::SetImage(std::int16_t slot)
{
    return command(u"SetImage", {slot}, [&](Device& d) { return d.setPicture(slot); });
}

Driver::Result EmulatedDriver::DeleteImage(std::int16_t slot)
{
    return command(u"DeleteImage", {slot}, [&](Device& d) { return d.deletePicture(slot); });
}

Driver::Result EmulatedDriver::ProgramBarCode(std::int32_t textAfter, std::int32_t textBefore,
                                              std::int32_t alignment, std::int32_t scaling,
                                              std::int32_t thickness, std::int32_t font,
                                              std::int32_t symbology, std::int32_t height,
                                              const QString& content)
{
    const Device::EncodedBarCode code = encodeBarCode(
        {textAfter, textBefore, alignment, scaling, thickness, font, symbology, height, content});
    return command(
        u"ProgramBarCode",
        {textAfter, textBefore, alignment, scaling, thickness, font, symbology, height, content},
        [&](Device& d) { return d.programBarCode(code); });
}

Driver::Result EmulatedDriver::ProgramBarCodeDirect(const QString& mask)
{
    const Device::EncodedBarCode code = barCodeFromMask(mask);
    return command(u"ProgramBarCodeDirect", {mask},
                   [&](Device& d) { return d.programBarCodeMask(code); });
}

} // namespace emulator
