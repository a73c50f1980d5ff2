#pragma once

// Registers the built-in fiscal device as the driver of the device's ProgID.
namespace emulator {
void registerEmulator();
}
