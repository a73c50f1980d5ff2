#pragma once

#include "EmulatedDriver.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace service {

// A few threads that run the sessions' calls, so that clients on different devices (or on one
// device, between its write transactions) are served at once. Each session's driver lives on one
// thread for its whole life: made there, used there in the order its jobs were given, destroyed
// there. A driver's SQLite connection therefore stays on the thread that opened it, and one
// session's calls never overlap or change order.
class SessionWorkers
{
public:
    // The number of threads when none is asked for: the machine's cores, at least two, at most
    // eight (the calls mostly wait on the disk and the database's locks beyond that).
    static int defaultCount();

    explicit SessionWorkers(int count);
    // Destroys every driver on its own thread, then ends the threads.
    ~SessionWorkers();
    SessionWorkers(const SessionWorkers&) = delete;
    SessionWorkers& operator=(const SessionWorkers&) = delete;

    int count() const { return int(m_workers.size()); }

    using Job = std::function<void(emulator::EmulatedDriver* driver)>;
    // Makes the session's driver on thread `worker`, connected to nothing yet and limited to
    // `ports`, starting on `port`.
    void open(int worker, const QString& id, const QString& folder, const QList<int>& ports,
              int port);
    // Destroys the session's driver on its thread, after the jobs already given to it.
    void close(int worker, const QString& id);
    // Runs `job` on thread `worker` with the session's driver (null when it has none), after every
    // job given to that thread before.
    void run(int worker, const QString& id, Job job);
    // Waits until every job given so far has run.
    void drain();

private:
    class Worker;
    std::vector<std::unique_ptr<Worker>> m_workers;
};

} // namespace service
