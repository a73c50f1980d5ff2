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
    // Runs a command as one write transaction on the latest state: another connection's change
    // is taken in after the device is locked and before the command sees the state. A fault the
    // tool injected for `member` answers instead of the command, once.
    Failure perform(const std::function<Failure(Device&)>& command, const QString& member = {});

private:
    Failure commitOrUndo(DeviceState before, Failure failure);

    DeviceSession(int port, std::unique_ptr<DeviceStore> store, DeviceState state,
                  Device::Clock clock);

    int m_port;
    std::unique_ptr<DeviceStore> m_store;
    Device m_device;
};

} // namespace emulator
