#pragma once

#include "EmulatedDriver.h"

#include <QList>
#include <QString>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace service {

// The clients of a served folder of devices, one session each. A session owns its own driver
// object, so what a client sets on the driver (password, driver options, language, logs, the
// extended code of its last failure) is its own; the devices are shared, and two clients' calls
// meet on a device exactly as two programs' calls do. The table is bounded, and a session unused
// for longer than the idle limit ends when the next session is opened.
class SessionTable
{
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    struct Limits
    {
        int sessions = 64;
        std::chrono::seconds idle = std::chrono::hours(1);
    };

    // Sessions work the devices of `ports` (the first is where a new session starts) in `folder`.
    SessionTable(QString folder, QList<int> ports, Limits limits, Clock clock = {});
    ~SessionTable();

    struct Opened
    {
        QString id;
        int port = 0;
    };
    // A new session on `port` (the first served one when not given); nothing, with the reason,
    // when the port is not served or the table is full of sessions in use.
    std::optional<Opened> open(std::optional<int> port, QString* error);
    // The session's driver, its use noted; null for an unknown or ended session.
    emulator::EmulatedDriver* use(const QString& id);
    bool close(const QString& id);
    // Ends the sessions idle past the limit; answers how many ended.
    int tidy();
    void closeAll();
    qsizetype size() const { return qsizetype(m_sessions.size()); }

private:
    struct Session
    {
        std::unique_ptr<emulator::EmulatedDriver> driver;
        std::chrono::steady_clock::time_point lastUse;
    };

    QString m_folder;
    QList<int> m_ports;
    Limits m_limits;
    Clock m_clock;
    std::map<QString, Session> m_sessions;
};

} // namespace service
