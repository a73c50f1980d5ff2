#include "SessionTable.h"

#include <QRandomGenerator>

#include <algorithm>
#include <vector>

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
      m_clock(clock ? std::move(clock) : Clock(&std::chrono::steady_clock::now)),
      m_workers(limits.workers)
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
    QString id = newSessionId();
    const int worker = quietestWorker();
    // The driver starts on the chosen device; the client may move it to another served one.
    m_workers.open(worker, id, m_folder, m_ports, chosen);
    m_sessions.emplace(id, Session{worker, m_clock()});
    return Opened{std::move(id), chosen};
}

int SessionTable::quietestWorker() const
{
    std::vector<int> load(std::size_t(m_workers.count()), 0);
    for (const auto& [id, session] : m_sessions)
        ++load[std::size_t(session.worker)];
    return int(std::min_element(load.begin(), load.end()) - load.begin());
}

bool SessionTable::use(const QString& id)
{
    const auto found = m_sessions.find(id);
    if (found == m_sessions.end())
        return false;
    found->second.lastUse = m_clock();
    return true;
}

bool SessionTable::run(const QString& id, SessionWorkers::Job job)
{
    if (!use(id))
        return false;
    m_workers.run(m_sessions.at(id).worker, id, std::move(job));
    return true;
}

void SessionTable::end(std::map<QString, Session>::iterator session)
{
    m_workers.close(session->second.worker, session->first);
    m_sessions.erase(session);
}

bool SessionTable::close(const QString& id)
{
    const auto found = m_sessions.find(id);
    if (found == m_sessions.end())
        return false;
    end(found);
    return true;
}

int SessionTable::tidy()
{
    const auto now = m_clock();
    int ended = 0;
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        if (now - it->second.lastUse > m_limits.idle) {
            end(it++);
            ++ended;
        } else {
            ++it;
        }
    }
    return ended;
}

void SessionTable::closeAll()
{
    while (!m_sessions.empty())
        end(m_sessions.begin());
}

} // namespace service
