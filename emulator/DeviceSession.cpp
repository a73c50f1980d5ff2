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

Failure DeviceSession::perform(const std::function<Failure(Device&)>& command,
                               const QString& member)
{
    if (!m_store->beginWrite())
        return Failure{ErrorCode::StorageError, Reason::General};
    if (m_store->changedElsewhere()) {
        std::optional<DeviceState> state = m_store->load();
        if (!state) {
            m_store->rollback();
            return Failure{ErrorCode::StorageError, Reason::General};
        }
        m_device.replaceState(std::move(*state));
    }
    DeviceState before = m_device.state();
    if (!member.isEmpty() && m_device.state().faultMember == member) {
        const Failure injected{static_cast<ErrorCode>(m_device.state().faultCode), Reason::General};
        DeviceState next = before;
        next.faultMember.clear();
        next.faultCode = 0;
        m_device.replaceState(std::move(next));
        const Failure cleared = commitOrUndo(std::move(before), Failure{});
        return cleared.ok() ? injected : cleared;
    }
    const Failure failure = command(m_device);
    return commitOrUndo(std::move(before), failure);
}

Failure DeviceSession::commitOrUndo(DeviceState before, Failure failure)
{
    Effects effects = m_device.takeEffects();
    if (failure.ok() && m_store->save(m_device.state(), effects) && m_store->commit())
        return failure;
    m_store->rollback();
    m_device.replaceState(std::move(before));
    return failure.ok() ? Failure{ErrorCode::StorageError, Reason::General} : failure;
}

} // namespace emulator
