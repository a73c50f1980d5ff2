#pragma once

#include "CallHub.h"
#include "DeviceSession.h"

#include <QString>

#include <memory>
#include <optional>

namespace view {

// A view window's own connection to the device the driver works on, as the device tool has one:
// it reads the device's memory and never goes through the driver, so the program's calls stay
// those of its windows. It follows the driver to another port or folder.
class DeviceLink
{
public:
    // The session on `address`, opened (or reopened) as needed; null before a connection or when
    // the device cannot be opened (error() says why).
    emulator::DeviceSession* session(const std::optional<DeviceAddress>& address);
    const QString& error() const { return m_error; }
    // True once after session() moved to another device.
    bool takeMoved();

private:
    std::optional<DeviceAddress> m_address;
    std::unique_ptr<emulator::DeviceSession> m_session;
    QString m_error;
    bool m_moved = false;
};

} // namespace view
