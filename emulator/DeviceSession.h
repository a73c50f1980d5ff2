#pragma once

#include "Device.h"
#include "DeviceStore.h"

#include <functional>
#include <memory>

namespace emulator {

// A virtual device at work: the model in memory, kept in step with its database. A command runs
// on the model and, when it succeeds, its new state and everything it printed are committed
// before the call returns; a failed command or a failed commit leaves the device as it was.
class DeviceSession
{
public:
    static std::unique_ptr<DeviceSession> open(const QString& folder, int port, QString* error,
                                               Device::Clock clock = {});

    int port() const { return m_port; }
    const Device& device() const { return m_device; }
    DeviceStore& store() { return *m_store; }

    // Takes in what another process (the device tool) committed since the last call.
    void refresh();
    Failure perform(const std::function<Failure(Device&)>& command);

private:
    DeviceSession(int port, std::unique_ptr<DeviceStore> store, DeviceState state,
                  Device::Clock clock);

    int m_port;
    std::unique_ptr<DeviceStore> m_store;
    Device m_device;
};

} // namespace emulator
