#include "TracingDriver.h"

#include <chrono>

TracingDriver::TracingDriver(std::shared_ptr<Driver> inner, qsizetype journalLimit)
    : InterceptingDriver(std::move(inner)), m_journalLimit(journalLimit)
{
}

QVariant TracingDriver::intercept(DriverCall& call, const Forward& forward)
{
    const auto started = std::chrono::steady_clock::now();
    call.result = forward();
    call.duration = std::chrono::steady_clock::now() - started;

    // The journal keeps the latest calls only, so that a long run does not grow without bound.
    if (m_journalLimit > 0) {
        if (m_journal.size() >= m_journalLimit)
            m_journal.removeFirst();
        m_journal.append(call);
    }
    for (const Observer& observer : m_observers)
        observer(call);
    return call.result;
}
