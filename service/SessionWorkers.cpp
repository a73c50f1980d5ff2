#include "SessionWorkers.h"

#include "DeviceNumbers.h"

#include <QObject>
#include <QSemaphore>
#include <QThread>

#include <algorithm>

#include <map>

using namespace Qt::StringLiterals;

namespace service {

// The drivers of one thread's sessions, touched by that thread alone.
class SessionWorkers::Worker final : public QObject
{
public:
    std::map<QString, std::unique_ptr<emulator::EmulatedDriver>> drivers;

    // Queued behind everything posted to this worker before.
    void post(std::function<void()> work)
    {
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
    }
};

int SessionWorkers::defaultCount()
{
    return std::clamp(QThread::idealThreadCount(), 2, 8);
}

SessionWorkers::SessionWorkers(int count)
{
    for (int i = 0; i < std::max(1, count); ++i) {
        auto thread = std::make_unique<QThread>();
        thread->setObjectName(u"serve-calls-%1"_s.arg(i + 1));
        auto worker = std::make_unique<Worker>();
        worker->moveToThread(thread.get());
        thread->start();
        m_threads.push_back(std::move(thread));
        m_workers.push_back(std::move(worker));
    }
}

SessionWorkers::~SessionWorkers()
{
    QSemaphore done;
    for (const auto& worker : m_workers) {
        Worker* w = worker.get();
        w->post([w, &done] {
            w->drivers.clear();
            done.release();
        });
    }
    done.acquire(count());
    for (const auto& thread : m_threads) {
        thread->quit();
        thread->wait();
    }
}

void SessionWorkers::open(int worker, const QString& id, const QString& folder,
                          const QList<int>& ports, int port)
{
    Worker* w = m_workers.at(std::size_t(worker)).get();
    w->post([w, id, folder, ports, port] {
        auto driver = std::make_unique<emulator::EmulatedDriver>(folder);
        driver->limitPorts(ports);
        driver->SetDriverOpt(DriverOption::Port, port);
        w->drivers[id] = std::move(driver);
    });
}

void SessionWorkers::close(int worker, const QString& id)
{
    Worker* w = m_workers.at(std::size_t(worker)).get();
    w->post([w, id] { w->drivers.erase(id); });
}

void SessionWorkers::run(int worker, const QString& id, Job job)
{
    Worker* w = m_workers.at(std::size_t(worker)).get();
    w->post([w, id, job = std::move(job)] {
        const auto found = w->drivers.find(id);
        job(found == w->drivers.end() ? nullptr : found->second.get());
    });
}

void SessionWorkers::drain()
{
    QSemaphore done;
    for (const auto& worker : m_workers)
        worker->post([&done] { done.release(); });
    done.acquire(count());
}

} // namespace service
