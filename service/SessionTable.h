#pragma once

#include "SessionWorkers.h"

#include <QList>
#include <QString>

#include <chrono>
#include <functional>
#include <map>
#include <optional>

namespace service {

// The clients of a served folder of devices, one session each. A session owns its own driver
// object, so what a client sets on the driver (password, driver options, language, logs, the
// extended code of its last failure) is its own; the devices are shared, and two clients' calls
// meet on a device exactly as two programs' calls do. Each session's driver lives on one of a few
// threads (SessionWorkers), which runs its calls in the order they were given. The table is
// bounded, and a session unused for longer than the idle limit ends when the next session is
// opened. The table itself is used by one thread, the server's.
class SessionTable
{
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    struct Limits
    {
        int sessions = 64;
        std::chrono::seconds idle = std::chrono::hours(1);
        // Threads that run the sessions' calls.
        int workers = SessionWorkers::defaultCount();
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
    // Notes the session's use; false for an unknown or ended session.
    bool use(const QString& id);
    // Runs `job` with the session's driver on the session's thread, after the jobs given to it
    // before; false, and nothing runs, for an unknown or ended session.
    bool run(const QString& id, SessionWorkers::Job job);
    // Waits until every job given so far has run.
    void drain() { m_workers.drain(); }
    bool close(const QString& id);
    // Ends the sessions idle past the limit; answers how many ended.
    int tidy();
    void closeAll();
    qsizetype size() const { return qsizetype(m_sessions.size()); }

private:
    struct Session
    {
        int worker = 0;
        std::chrono::steady_clock::time_point lastUse;
    };

    // The thread with the fewest sessions.
    int quietestWorker() const;
    void end(std::map<QString, Session>::iterator session);

    QString m_folder;
    QList<int> m_ports;
    Limits m_limits;
    Clock m_clock;
    std::map<QString, Session> m_sessions;
    // Last, so that it is destroyed first: the drivers go before the table's other members.
    SessionWorkers m_workers;
};

} // namespace service
