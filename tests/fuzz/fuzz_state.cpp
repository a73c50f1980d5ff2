// Feeds arbitrary records to the decoder of the device state kept in the device's database: a
// damaged record is refused or read, never a crash and never an allocation beyond the record's
// own size (the fuzzer's memory limit catches one); a record that reads writes back to a record
// that reads the same.
#include "DeviceState.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray record(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<emulator::DeviceState> state = emulator::DeviceState::deserialize(record);
    if (!state)
        return 0;
    const QByteArray written = state->serialize();
    const std::optional<emulator::DeviceState> again = emulator::DeviceState::deserialize(written);
    if (!again || again->serialize() != written)
        std::abort();
    return 0;
}
