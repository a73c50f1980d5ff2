#include "CallHub.h"

#include "TracingDriver.h"

#include <QDateTime>
#include <QHash>

namespace view {
namespace {

QHash<const Driver*, CallHub*>& hubs()
{
    static QHash<const Driver*, CallHub*> registry;
    return registry;
}

} // namespace

std::shared_ptr<TracingDriver> CallHub::trace(std::shared_ptr<Driver> inner, DriverContext context,
                                              qsizetype journalCapacity)
{
    // The hub keeps the journal; the tracer's own holds the last call only.
    auto tracer = std::make_shared<TracingDriver>(std::move(inner), 0);
    std::shared_ptr<CallHub> hub(new CallHub(tracer.get(), std::move(context), journalCapacity));
    // The observer owns the hub, so the hub goes with the driver.
    tracer->addObserver([hub](const DriverCall& call) { hub->record(call); });
    return tracer;
}

CallHub* CallHub::of(const Driver* driver)
{
    return hubs().value(driver, nullptr);
}

CallHub::CallHub(const Driver* driver, DriverContext context, qsizetype journalCapacity)
    : m_driver(driver), m_context(std::move(context)), m_journal(journalCapacity)
{
    hubs().insert(driver, this);
}

CallHub::~CallHub()
{
    hubs().remove(m_driver);
}

std::optional<DeviceAddress> CallHub::device() const
{
    return m_context.device ? m_context.device() : std::nullopt;
}

void CallHub::record(const DriverCall& call)
{
    // Every call of the program passes here: only what the journal must keep is taken now
    // (the clock as a number, the comment of a code from a cache); texts are made when shown.
    JournalEntry entry;
    entry.atMs = QDateTime::currentMSecsSinceEpoch();
    entry.call = call;
    entry.code = call.resultCode();
    if (entry.code) {
        if (m_context.comment)
            entry.comment = commentOf(*entry.code);
        if (*entry.code != 0 && m_context.extendedCode)
            entry.code2 = m_context.extendedCode();
    }
    emit recorded(m_journal.append(std::move(entry)));
}

QString CallHub::commentOf(int code)
{
    auto found = m_comments.constFind(code);
    if (found == m_comments.constEnd())
        found = m_comments.insert(code, m_context.comment(code));
    return *found;
}

} // namespace view
