#pragma once

#include "DeviceSession.h"

#include <QList>
#include <QLockFile>
#include <QString>

#include <map>
#include <memory>

namespace service {

// The devices one server serves, held for as long as it runs: a second server on the same device
// is refused and told which process serves it, and where. The server reads and steers each
// device through a connection of its own, as the device tool does; programs and the tool may
// still work the devices beside it.
class ServedDevices
{
public:
    // Takes the devices of `ports` in `folder`; each must exist and be served by no other server.
    // Nothing, with the reason, otherwise (and then none of them is taken).
    static std::unique_ptr<ServedDevices> take(const QString& folder, const QList<int>& ports,
                                               QString* error);
    ~ServedDevices();

    // Leaves the server's address beside each device, for a second server to name.
    void announce(const QString& address);

    const QString& folder() const { return m_folder; }
    QList<int> ports() const;
    // The server's own connection to a served device; null for one it does not serve.
    emulator::DeviceSession* session(int port);

private:
    struct Held
    {
        std::unique_ptr<QLockFile> lock;
        std::unique_ptr<emulator::DeviceSession> session;
        QString addressFile;
    };

    ServedDevices() = default;

    QString m_folder;
    std::map<int, Held> m_devices;
};

} // namespace service
