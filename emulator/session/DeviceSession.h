#pragma once

#include "Device.h"
#include "DeviceStore.h"
#include "Expected.h"

#include <functional>
#include <memory>

namespace emulator {

// A virtual device at work: the model in memory, kept in step with its database. A command runs
// on the model and, when it succeeds, its new state and everything it printed are committed
// before the call returns; a failed command or a failed commit leaves the device as it was.
class DeviceSession
{
public:
    static Expected<std::unique_ptr<DeviceSession>> open(const QString& folder, int port,
                                                         OpenMode mode = OpenMode::CreateIfMissing,
                                                         Device::Clock clock = {});

    int port() const { return m_port; }
    const Device& device() const { return m_device; }
    DeviceStore& store() { return *m_store; }

    // Takes in what another process (the device tool) committed since the last call.
    void refresh();
    // Reads the state again after this connection changed the whole device outside perform()
    // (a snapshot restored): its own commits do not count as changes made elsewhere.
    Status reload();
    // Runs a command as one write transaction on the latest state: another connection's change
    // is taken in after the device is locked and before the command sees the state. A fault the
    // tool injected for `member` answers instead of the command, once.
    Status perform(const std::function<Failure(Device&)>& command, const QString& member = {});

private:
    DeviceSession(int port, std::unique_ptr<DeviceStore> store, DeviceState state,
                  Device::Clock clock);
    Status commitOrUndo(DeviceState before, Failure failure);

    int m_port;
    std::unique_ptr<DeviceStore> m_store;
    Device m_device;
};

} // namespace emulator
