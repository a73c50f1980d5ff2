#include "DeviceSession.h"

namespace emulator {

DeviceSession::DeviceSession(int port, std::unique_ptr<DeviceStore> store, DeviceState state,
                             Device::Clock clock)
    : m_port(port), m_store(std::move(store)), m_device(std::move(state), std::move(clock))
{
}

Expected<std::unique_ptr<DeviceSession>> DeviceSession::open(const QString& folder, int port,
                                                             OpenMode mode, Device::Clock clock)
{
    using Opened = Expected<std::unique_ptr<DeviceSession>>;
    Expected<std::unique_ptr<DeviceStore>> store = DeviceStore::open(folder, port, mode);
    if (!store)
        return Opened(store.failure(), store.detail());
    Expected<DeviceState> state = (*store)->load();
    if (!state)
        return Opened(state.failure(), state.detail());
    return Opened(std::unique_ptr<DeviceSession>(
        new DeviceSession(port, std::move(*store), std::move(*state), std::move(clock))));
}

void DeviceSession::refresh()
{
    if (!m_store->changedElsewhere())
        return;
    if (Expected<DeviceState> state = m_store->load())
        m_device.replaceState(std::move(*state));
}

Status DeviceSession::reload()
{
    Expected<DeviceState> state = m_store->load();
    if (!state)
        return Status(state.failure(), state.detail());
    m_device.replaceState(std::move(*state));
    return Done{};
}

Status DeviceSession::perform(const std::function<Failure(Device&)>& command, const QString& member)
{
    if (Status begun = m_store->beginWrite(); !begun)
        return begun;
    if (m_store->changedElsewhere()) {
        Expected<DeviceState> state = m_store->load();
        if (!state) {
            m_store->rollback();
            return Status(state.failure(), state.detail());
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
        const Status cleared = commitOrUndo(std::move(before), Failure{});
        return cleared ? Status(injected) : cleared;
    }
    const Failure failure = command(m_device);
    return commitOrUndo(std::move(before), failure);
}

Status DeviceSession::commitOrUndo(DeviceState before, Failure failure)
{
    Effects effects = m_device.takeEffects();
    Status s = statusOf(failure);
    if (s)
        s = m_store->save(m_device.state(), effects);
    if (s)
        s = m_store->commit();
    if (s)
        return s;
    m_store->rollback();
    m_device.replaceState(std::move(before));
    return s;
}

} // namespace emulator
