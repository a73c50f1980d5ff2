#pragma once

#include <cstdint>

// How documents are printed on slips, and the packed form in which the device reports it through
// GetDeviceInfo(DeviceInfo::SlipMode). The packed value carries the settings in its decimal
// digits, from the right: two digits of rows between copies, two of rows before the text, one of
// the fiscal copy's number, one of the number of copies and the side above them. 0 or less means
// that documents print on the receipt roll.
namespace slipmode {

struct Settings
{
    std::int32_t side = 0;
    std::int32_t copies = 0;
    std::int32_t fiscalCopy = 0;
    std::int32_t rowsBefore = 0;
    std::int32_t rowsBetween = 0;

    friend bool operator==(const Settings&, const Settings&) = default;
};

// The settings of a packed value greater than 0.
Settings unpack(std::int32_t packed);

// The packed value of settings whose fields are within the device's limits.
std::int32_t pack(const Settings& settings);

} // namespace slipmode
