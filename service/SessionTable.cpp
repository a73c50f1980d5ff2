#include "SessionTable.h"

#include "DeviceNumbers.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace service {
namespace {

// 128 random bits from the system's source: a session cannot be guessed, only learnt from its
// client (and every request needs the token besides).
QString newSessionId()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(words), sizeof(words)).toHex());
}

} // namespace

SessionTable::SessionTable(QString folder, QList<int> ports, Limits limits, Clock clock)
    : m_folder(std::move(folder)), m_ports(std::move(ports)), m_limits(limits),
      m_clock(clock ? std::move(clock) : Clock(&std::chrono::steady_clock::now))
{
}

SessionTable::~SessionTable() = default;

std::optional<SessionTable::Opened> SessionTable::open(std::optional<int> port, QString* error)
{
    const int chosen = port.value_or(m_ports.value(0));
    if (!m_ports.contains(chosen)) {
        QStringList served;
        for (int p : m_ports)
            served << u"COM%1"_s.arg(p);
        *error = u"COM%1 is not served here; served: %2"_s.arg(chosen).arg(served.join(u", "));
        return std::nullopt;
    }
    tidy();
    if (size() >= m_limits.sessions) {
        *error = u"%1 sessions are open, as many as the server keeps; close one (DELETE"
                 u" /v1/sessions/ID) or wait until one has been idle for %2 minutes"_s
                     .arg(m_limits.sessions)
                     .arg(m_limits.idle.count() / 60);
        return std::nullopt;
    }
    auto driver = std::make_unique<emulator::EmulatedDriver>(m_folder);
    driver->limitPorts(m_ports);
    // The server holds every served device open from its start, checked once then.
    driver->openHeldDevices();
    // The driver starts on the chosen device; the client may move it to another served one.
    driver->SetDriverOpt(DriverOption::Port, chosen);
    QString id = newSessionId();
    m_sessions.emplace(id, Session{std::move(driver), m_clock()});
    return Opened{std::move(id), chosen};
}

emulator::EmulatedDriver* SessionTable::use(const QString& id)
{
    const auto found = m_sessions.find(id);
    if (found == m_sessions.end())
        return nullptr;
    found->second.lastUse = m_clock();
    return found->second.driver.get();
}

bool SessionTable::close(const QString& id)
{
    return m_sessions.erase(id) > 0;
}

int SessionTable::tidy()
{
    const auto now = m_clock();
    int ended = 0;
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        if (now - it->second.lastUse > m_limits.idle) {
            it = m_sessions.erase(it);
            ++ended;
        } else {
            ++it;
        }
    }
    return ended;
}

void SessionTable::closeAll()
{
    m_sessions.clear();
}

} // namespace service
