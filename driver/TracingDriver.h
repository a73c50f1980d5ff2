#pragma once

#include "InterceptingDriver.h"

#include <functional>
#include <memory>
#include <vector>

// Decorates a driver: every call is forwarded unchanged and recorded with its arguments, their
// kinds, the result and how long the call took. Observers see each call as it completes.
class TracingDriver final : public InterceptingDriver
{
public:
    using Observer = std::function<void(const DriverCall&)>;

    // The tracer keeps the latest `journalLimit` calls itself; 0 keeps none, for an observer that
    // keeps its own.
    explicit TracingDriver(std::shared_ptr<Driver> inner, qsizetype journalLimit = 10000);

    const QList<DriverCall>& journal() const { return m_journal; }
    void clearJournal() { m_journal.clear(); }
    void addObserver(Observer observer) { m_observers.push_back(std::move(observer)); }

protected:
    QVariant intercept(DriverCall& call, const Forward& forward) override;

private:
    qsizetype m_journalLimit;
    QList<DriverCall> m_journal;
    std::vector<Observer> m_observers;
};
