// What each path of the device service answers (the protocol is written down in
// docs/service.md). A refused request changes nothing: it is read and checked whole first.

#include "CallAnswers.h"
#include "DeviceService.h"
#include "DeviceSteering.h"
#include "DeviceViews.h"

#include <QDir>
#include <QJsonArray>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace service {
namespace {

inline constexpr int kVersion = 1;

Reply failure(int status, const QString& error, const QString& message)
{
    return {status, {{u"error"_s, error}, {u"message"_s, message}}};
}

Reply refused(const RequestError& error)
{
    return failure(error.status, error.error, error.message);
}

Reply wrongMethod(const QByteArray& method, const QString& path, const QString& allowed)
{
    return failure(405, u"method-not-allowed"_s,
                   u"%1 %2 is not asked for; this path takes %3"_s.arg(QString::fromLatin1(method),
                                                                       path, allowed));
}

QJsonValue portOrNull(const std::optional<int>& port)
{
    return port ? QJsonValue(*port) : QJsonValue();
}

// A non-negative whole number from the query, or `fallback` when the query lacks it.
std::optional<qint64> queryNumber(const QUrlQuery& query, const QString& key, qint64 fallback)
{
    if (!query.hasQueryItem(key))
        return fallback;
    bool ok = false;
    const qint64 value = query.queryItemValue(key).toLongLong(&ok);
    return ok && value >= 0 ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

Reply DeviceService::answer(const QByteArray& method, const QString& path, const QUrlQuery& query,
                            const QByteArray& body)
{
    QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    if (parts.value(0) != u"v%1"_s.arg(kVersion))
        return failure(
            404, u"no-route"_s,
            u"%1 is not a path of this service; its paths begin with /v%2"_s.arg(path).arg(
                kVersion));
    parts.removeFirst();
    const QString what = parts.value(0);
    if (parts.isEmpty() || (what == u"devices" && parts.size() == 1)) {
        if (method != "GET")
            return wrongMethod(method, path, u"GET"_s);
        return {200, about()};
    }
    if (what == u"sessions" && parts.size() == 1) {
        if (method != "POST")
            return wrongMethod(method, path, u"POST"_s);
        return openSession(body);
    }
    if (what == u"sessions" && parts.size() == 2) {
        if (method != "DELETE")
            return wrongMethod(method, path, u"DELETE"_s);
        return closeSession(parts.at(1));
    }
    if (what == u"sessions" && parts.size() == 3 && parts.at(2) == u"calls") {
        if (method != "POST")
            return wrongMethod(method, path, u"POST"_s);
        return calls(parts.at(1), body);
    }
    if (what == u"devices" && parts.size() == 3) {
        bool ok = false;
        const int port = parts.at(1).toInt(&ok);
        if (!ok || !m_devices.session(port))
            return failure(404, u"no-device"_s,
                           u"no device is served on COM port \"%1\""_s.arg(parts.at(1)));
        return device(port, parts.mid(2), method, query, body);
    }
    return failure(404, u"no-route"_s, u"%1 is not a path of this service"_s.arg(path));
}

QJsonObject DeviceService::about()
{
    QJsonArray devices;
    for (int port : m_ports) {
        devices << QJsonObject{{u"port"_s, port},
                               {u"database"_s, m_devices.session(port)->store().path()}};
    }
    const SessionTable::Limits& limits = m_settings.limits;
    return QJsonObject{{u"service"_s, u"quolt-device"_s},
                       {u"version"_s, kVersion},
                       {u"folder"_s, m_devices.folder()},
                       {u"devices"_s, devices},
                       {u"sessions"_s, m_sessions.size()},
                       {u"limits"_s, QJsonObject{{u"bodyBytes"_s, kMaxBodyBytes},
                                                 {u"callsPerRequest"_s, kMaxBatchCalls},
                                                 {u"sessions"_s, limits.sessions},
                                                 {u"idleSeconds"_s, qint64(limits.idle.count())},
                                                 {u"tapeLines"_s, kMaxTapeLines}}}};
}

Reply DeviceService::openSession(const QByteArray& body)
{
    RequestError error;
    const std::optional<SessionRequest> request = readSession(body, &error);
    if (!request)
        return refused(error);
    QString why;
    const std::optional<SessionTable::Opened> opened = m_sessions.open(request->port, &why);
    if (!opened) {
        return request->port && !m_ports.contains(*request->port)
                   ? failure(404, u"no-device"_s, why)
                   : failure(429, u"too-many-sessions"_s, why);
    }
    return {201, QJsonObject{{u"session"_s, opened->id},
                             {u"port"_s, opened->port},
                             {u"folder"_s, m_devices.folder()}}};
}

Reply DeviceService::closeSession(const QString& session)
{
    if (!m_sessions.close(session))
        return failure(404, u"no-session"_s, u"there is no session %1"_s.arg(session));
    return {200, QJsonObject{{u"closed"_s, session}}};
}

Reply DeviceService::calls(const QString& session, const QByteArray& body)
{
    emulator::EmulatedDriver* driver = m_sessions.use(session);
    if (!driver) {
        return failure(404, u"no-session"_s,
                       u"there is no session %1 (it was closed, or idle too long); open one with"
                       u" POST /v1/sessions"_s.arg(session));
    }
    RequestError error;
    const std::optional<CallRequest> request = readCalls(body, &error);
    if (!request)
        return refused(error);
    for (const DriverCall& call : request->calls) {
        if (const std::optional<RequestError> path = refusedPath(call))
            return refused(*path);
    }
    const auto stopping = [this] { return m_stopping && m_stopping->load(); };
    if (stopping())
        return failure(503, u"stopping"_s, u"the server is stopping; no call was run"_s);
    QJsonArray answers;
    bool stopped = false;
    for (const DriverCall& call : request->calls) {
        if (!answers.isEmpty() && stopping()) {
            stopped = true;
            break;
        }
        const CallAnswer answer = answerCall(*driver, call);
        answers << answer.json;
        if (answer.failed && request->stopOnFailure) {
            stopped = answers.size() < request->calls.size();
            break;
        }
    }
    const QJsonValue port = portOrNull(driver->connectedPort());
    if (!request->batch) {
        QJsonObject single = answers.first().toObject();
        single.insert(u"port"_s, port);
        return {200, single};
    }
    return {200, QJsonObject{{u"answers"_s, answers}, {u"stopped"_s, stopped}, {u"port"_s, port}}};
}

Reply DeviceService::device(int port, const QStringList& rest, const QByteArray& method,
                            const QUrlQuery& query, const QByteArray& body)
{
    emulator::DeviceSession& session = *m_devices.session(port);
    const QString what = rest.value(0);
    const QString path = u"/v%1/devices/%2/%3"_s.arg(kVersion).arg(port).arg(what);
    if (what == u"state") {
        if (method != "GET")
            return wrongMethod(method, path, u"GET"_s);
        return {200, deviceState(session)};
    }
    if (what == u"tape") {
        if (method != "GET")
            return wrongMethod(method, path, u"GET"_s);
        const std::optional<qint64> from = queryNumber(query, u"from"_s, 1);
        const std::optional<qint64> limit = queryNumber(query, u"limit"_s, kMaxTapeLines);
        if (!from || !limit || *limit < 1 || *limit > kMaxTapeLines)
            return failure(422, u"bad-value"_s,
                           u"the tape takes ?from=LINE (1 or more) and ?limit=N (1 to %1)"_s.arg(
                               kMaxTapeLines));
        QString why;
        const std::optional<QJsonObject> tape = tapeFrom(session, *from, int(*limit), &why);
        if (!tape)
            return failure(500, u"device-unreadable"_s, u"the tape cannot be read: "_s + why);
        return {200, *tape};
    }
    if (what == u"sensors" || what == u"fault" || what == u"clock") {
        const bool clearing = what == u"fault" && method == "DELETE";
        if (method != "POST" && !clearing)
            return wrongMethod(method, path, what == u"fault" ? u"POST or DELETE"_s : u"POST"_s);
        return steer(session, clearing ? u"fault-clear"_s : what, body);
    }
    return failure(404, u"no-route"_s, u"%1 is not a path of this service"_s.arg(path));
}

Reply DeviceService::steer(emulator::DeviceSession& session, const QString& what,
                           const QByteArray& body)
{
    std::function<void(emulator::DeviceState&)> edit;
    RequestError error;
    if (what == u"sensors") {
        const std::optional<SensorChanges> changes = readSensors(body, &error);
        if (!changes)
            return refused(error);
        edit = [changes = *changes](emulator::DeviceState& s) {
            for (const auto& [name, on] : changes) {
                for (const emulator::SensorSwitch& sensor : emulator::kSensorSwitches) {
                    if (name == QStringView(sensor.name))
                        s.sensors.*(sensor.flag) = on;
                }
            }
        };
    } else if (what == u"fault") {
        const std::optional<FaultRequest> fault = readFault(body, &error);
        if (!fault)
            return refused(error);
        // A fault on anything else would never fire and stay pending for ever.
        if (!emulator::EmulatedDriver::takesInjectedFaults(fault->member))
            return failure(
                422, u"bad-value"_s,
                u"%1 is not a driver command that answers a result code"_s.arg(fault->member));
        edit = [fault = *fault](emulator::DeviceState& s) {
            s.faultMember = fault.member;
            s.faultCode = fault.code;
        };
    } else if (what == u"fault-clear") {
        edit = [](emulator::DeviceState& s) {
            s.faultMember.clear();
            s.faultCode = 0;
        };
    } else {
        const std::optional<ClockRequest> clock = readClock(body, &error);
        if (!clock)
            return refused(error);
        const int hours = clock->forwardHours;
        edit = [hours](emulator::DeviceState& s) {
            if (hours > 0)
                emulator::moveClockForward(s, hours);
            else
                emulator::resetClock(s);
        };
    }
    const emulator::Status done = emulator::steer(session, edit);
    if (!done)
        return failure(503, u"device-busy"_s, u"the change was not saved: "_s + done.detail());
    return {200, deviceState(session)};
}

} // namespace service
