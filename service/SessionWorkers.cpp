#include "SessionWorkers.h"

#include "DeviceNumbers.h"

#include <QMutex>
#include <QSemaphore>
#include <QThread>
#include <QWaitCondition>

#include <algorithm>
#include <deque>
#include <map>

using namespace Qt::StringLiterals;

namespace service {

// One thread and the drivers of its sessions, touched by that thread alone. It runs its jobs
// from a queue of its own rather than an event loop: a job is a driver call, and handing it over
// this way costs the server less than posting an event for each call.
class SessionWorkers::Worker final : public QThread
{
public:
    std::map<QString, std::unique_ptr<emulator::EmulatedDriver>> drivers;

    // Queued behind everything posted before; an empty job ends the thread.
    void post(std::function<void()> work)
    {
        const QMutexLocker lock(&m_mutex);
        m_jobs.push_back(std::move(work));
        m_posted.wakeOne();
    }

protected:
    void run() override
    {
        for (;;) {
            std::function<void()> job;
            {
                QMutexLocker lock(&m_mutex);
                while (m_jobs.empty())
                    m_posted.wait(&m_mutex);
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            if (!job)
                return;
            job();
        }
    }

private:
    QMutex m_mutex;
    QWaitCondition m_posted;
    std::deque<std::function<void()>> m_jobs;
};

int SessionWorkers::defaultCount()
{
    return std::clamp(QThread::idealThreadCount(), 2, 8);
}

SessionWorkers::SessionWorkers(int count)
{
    for (int i = 0; i < std::max(1, count); ++i) {
        auto worker = std::make_unique<Worker>();
        worker->setObjectName(u"serve-calls-%1"_s.arg(i + 1));
        worker->start();
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
    for (const auto& worker : m_workers) {
        worker->post({});
        worker->wait();
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
