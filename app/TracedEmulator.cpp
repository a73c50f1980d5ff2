#include "TracedEmulator.h"

#include "CallHub.h"
#include "DriverFactory.h"
#include "EmulatedDriver.h"
#include "Emulator.h"
#include "ErrorCodes.h"
#include "TracingDriver.h"

namespace view {

void registerTracedEmulator(const QString& dataFolder)
{
    const QString folder = dataFolder.isEmpty() ? emulator::defaultDataFolder() : dataFolder;
    registerDriver(kQuoltProgId, [folder]() -> std::shared_ptr<Driver> {
        auto device = std::make_shared<emulator::EmulatedDriver>(folder);
        const emulator::EmulatedDriver* watched = device.get();
        DriverContext context;
        context.extendedCode = [watched] { return watched->lastErrorCode2(); };
        context.comment = [](int code) {
            return emulator::errorComment(static_cast<std::int16_t>(code),
                                          emulator::Language::Russian);
        };
        context.device = [watched]() -> std::optional<DeviceAddress> {
            const std::optional<int> port = watched->connectedPort();
            if (!port)
                return std::nullopt;
            return DeviceAddress{watched->dataFolder(), *port, watched->speedPosition()};
        };
        // The tracer holds the device for as long as the context's pointers are used.
        return CallHub::trace(std::move(device), std::move(context));
    });
}

} // namespace view
