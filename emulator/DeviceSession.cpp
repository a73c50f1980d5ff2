#include "DeviceSession.h"

namespace emulator {

DeviceSession::DeviceSession(int port, std::unique_ptr<DeviceStore> store, DeviceState state,
                             Device::Clock clock)
    : m_port(port), m_store(std::move(store)), m_device(std::move(state), std::move(clock))
{
}

std::unique_ptr<DeviceSession> DeviceSession::open(const QString& folder, int port, QString* error,
                                                   Device::Clock clock)
{
    std::unique_ptr<DeviceStore> store = DeviceStore::open(folder, port, error);
    if (!store)
        return nullptr;
    std::optional<DeviceState> state = store->load();
    if (!state) {
        if (error)
            *error = store->lastError();
        return nullptr;
    }
    return std::unique_ptr<DeviceSession>(
        new DeviceSession(port, std::move(store), std::move(*state), std::move(clock)));
}

void DeviceSession::refresh()
{
    if (!m_store->changedElsewhere())
        return;
    if (std::optional<DeviceState> state = m_store->load())
        m_device.replaceState(std::move(*state));
}

Failure DeviceSession::perform(const std::function<Failure(Device&)>& command)
{
    DeviceState before = m_device.state();
    const Failure failure = command(m_device);
    Effects effects = m_device.takeEffects();
    if (!failure.ok()) {
        m_device.replaceState(std::move(before));
        return failure;
    }
    if (!m_store->save(m_device.state(), effects)) {
        m_device.replaceState(std::move(before));
        return Failure{ErrorCode::StorageError, Reason::General};
    }
    return failure;
}

} // namespace emulator
