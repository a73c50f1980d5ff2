#include "Emulator.h"

namespace emulator {

void registerEmulator()
{
    // The device itself arrives with the emulator; until then the ProgID stays unregistered and
    // the start window reports that the driver object cannot be created.
}

} // namespace emulator
