#include "DeviceSteering.h"

namespace emulator {

Status steer(DeviceSession& session, const std::function<void(DeviceState&)>& edit)
{
    return session.perform([&](Device& device) {
        DeviceState next = device.state();
        edit(next);
        device.replaceState(std::move(next));
        return Failure{};
    });
}

} // namespace emulator
