#include "DeviceLink.h"

using namespace Qt::StringLiterals;

namespace view {

emulator::DeviceSession* DeviceLink::session(const std::optional<DeviceAddress>& address)
{
    if (!address) {
        m_error = u"Устройство не подключено"_s;
        return nullptr;
    }
    const bool sameDevice =
        m_address && m_address->folder == address->folder && m_address->port == address->port;
    if (!sameDevice || !m_session) {
        m_session.reset();
        m_moved = true;
        m_address = address;
        auto opened = emulator::DeviceSession::open(address->folder, address->port,
                                                    emulator::OpenMode::InUse);
        if (!opened) {
            m_error = opened.detail();
            return nullptr;
        }
        m_session = std::move(*opened);
    }
    m_address = address;
    m_error.clear();
    m_session->refresh();
    return m_session.get();
}

bool DeviceLink::takeMoved()
{
    return std::exchange(m_moved, false);
}

} // namespace view
