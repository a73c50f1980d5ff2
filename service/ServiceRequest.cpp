#include "ServiceRequest.h"

#include "CallDispatch.h"
#include "CallScript.h"
#include "DeviceSteering.h"
#include "ResultCodes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <climits>
#include <cmath>

using namespace Qt::StringLiterals;

namespace service {
namespace {

RequestError badJson(const QString& message)
{
    return {400, u"bad-json"_s, message};
}

RequestError badValue(const QString& message)
{
    return {422, u"bad-value"_s, message};
}

// The body as one JSON object; an empty body reads as {} where `emptyIsObject`.
std::optional<QJsonObject> objectOf(const QByteArray& body, RequestError* error,
                                    bool emptyIsObject = false)
{
    if (body.size() > kMaxBodyBytes) {
        *error = {413, u"too-large"_s,
                  u"the body holds %1 bytes, more than the %2 a request may"_s.arg(body.size())
                      .arg(kMaxBodyBytes)};
        return std::nullopt;
    }
    if (emptyIsObject && body.trimmed().isEmpty())
        return QJsonObject();
    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parsed);
    if (parsed.error != QJsonParseError::NoError) {
        *error = badJson(
            u"the body is not JSON: %1 at byte %2"_s.arg(parsed.errorString()).arg(parsed.offset));
        return std::nullopt;
    }
    if (!document.isObject()) {
        *error = badJson(u"the body is a JSON object"_s);
        return std::nullopt;
    }
    return document.object();
}

// Refuses keys the request does not know: a misspelt key must not be silently ignored.
bool onlyKeys(const QJsonObject& object, const QStringList& known, RequestError* error)
{
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!known.contains(it.key())) {
            *error = badJson(u"unknown key \"%1\" (known: %2)"_s.arg(it.key(), known.join(u", ")));
            return false;
        }
    }
    return true;
}

// A whole number in [low, high] that the JSON value holds exactly.
std::optional<int> wholeNumber(const QJsonValue& value, int low, int high)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (std::trunc(number) != number || number < low || number > high)
        return std::nullopt;
    return static_cast<int>(number);
}

std::optional<DriverCall> readCall(const QJsonValue& json, const QString& where,
                                   RequestError* error)
{
    const QJsonObject object = json.toObject();
    if (!json.isObject()) {
        *error = badJson(where + u"a call is an object with \"member\" and \"args\""_s);
        return std::nullopt;
    }
    if (!onlyKeys(object, {u"member"_s, u"args"_s}, error)) {
        error->message.prepend(where);
        return std::nullopt;
    }
    const QJsonValue member = object.value(u"member"_s);
    const QJsonValue args = object.value(u"args"_s);
    if (!member.isString() || (!args.isUndefined() && !args.isArray())) {
        *error = badJson(where + u"\"member\" is a text and \"args\" a list"_s);
        return std::nullopt;
    }
    DriverCall call;
    call.member = member.toString();
    const std::optional<QList<DriverArgument::Kind>> kinds = dispatch::signature(call.member);
    if (!kinds) {
        *error = {404, u"unknown-member"_s,
                  where + u"the driver has no member \"%1\""_s.arg(call.member)};
        return std::nullopt;
    }
    const QJsonArray list = args.toArray();
    if (list.size() != kinds->size()) {
        *error = {422, u"bad-arguments"_s,
                  where + u"%1 takes %2 arguments, not %3"_s.arg(call.member)
                              .arg(kinds->size())
                              .arg(list.size())};
        return std::nullopt;
    }
    for (qsizetype i = 0; i < list.size(); ++i) {
        QString what;
        const std::optional<DriverArgument> argument =
            callscript::readArgument(list.at(i), kinds->at(i), &what);
        if (!argument) {
            *error = {422, u"bad-arguments"_s,
                      where + u"argument %1 of %2: %3"_s.arg(i + 1).arg(call.member, what)};
            return std::nullopt;
        }
        call.arguments << *argument;
    }
    return call;
}

} // namespace

std::optional<CallRequest> readCalls(const QByteArray& body, RequestError* error)
{
    const std::optional<QJsonObject> object = objectOf(body, error);
    if (!object)
        return std::nullopt;
    CallRequest request;
    if (!object->contains(u"calls"_s)) {
        const std::optional<DriverCall> call = readCall(*object, QString(), error);
        if (!call)
            return std::nullopt;
        request.calls << *call;
        return request;
    }
    if (!onlyKeys(*object, {u"calls"_s, u"stopOnFailure"_s}, error))
        return std::nullopt;
    const QJsonValue calls = object->value(u"calls"_s);
    const QJsonValue stop = object->value(u"stopOnFailure"_s);
    if (!calls.isArray() || (!stop.isUndefined() && !stop.isBool())) {
        *error = badJson(u"\"calls\" is a list of calls and \"stopOnFailure\" true or false"_s);
        return std::nullopt;
    }
    const QJsonArray list = calls.toArray();
    if (list.size() > kMaxBatchCalls) {
        *error = {413, u"too-large"_s,
                  u"%1 calls in one request, more than the %2 it may carry"_s.arg(list.size())
                      .arg(kMaxBatchCalls)};
        return std::nullopt;
    }
    request.batch = true;
    request.stopOnFailure = stop.toBool(false);
    for (qsizetype i = 0; i < list.size(); ++i) {
        const std::optional<DriverCall> call =
            readCall(list.at(i), u"call %1: "_s.arg(i + 1), error);
        if (!call)
            return std::nullopt;
        request.calls << *call;
    }
    return request;
}

std::optional<SessionRequest> readSession(const QByteArray& body, RequestError* error)
{
    const std::optional<QJsonObject> object = objectOf(body, error, true);
    if (!object || !onlyKeys(*object, {u"port"_s}, error))
        return std::nullopt;
    SessionRequest request;
    if (object->contains(u"port"_s)) {
        request.port = wholeNumber(object->value(u"port"_s), 1, 255);
        if (!request.port) {
            *error = badValue(u"\"port\" is a COM port number from 1 to 255"_s);
            return std::nullopt;
        }
    }
    return request;
}

std::optional<SensorChanges> readSensors(const QByteArray& body, RequestError* error)
{
    const std::optional<QJsonObject> object = objectOf(body, error);
    if (!object)
        return std::nullopt;
    QStringList names;
    for (const emulator::SensorSwitch& sensor : emulator::kSensorSwitches)
        names << QString::fromUtf16(sensor.name);
    if (!onlyKeys(*object, names, error))
        return std::nullopt;
    SensorChanges changes;
    for (auto it = object->constBegin(); it != object->constEnd(); ++it) {
        if (!it.value().isBool()) {
            *error = badValue(u"sensor \"%1\" is switched by true or false"_s.arg(it.key()));
            return std::nullopt;
        }
        changes.append({it.key(), it.value().toBool()});
    }
    return changes;
}

std::optional<FaultRequest> readFault(const QByteArray& body, RequestError* error)
{
    const std::optional<QJsonObject> object = objectOf(body, error);
    if (!object || !onlyKeys(*object, {u"member"_s, u"code"_s}, error))
        return std::nullopt;
    FaultRequest request;
    request.member = object->value(u"member"_s).toString();
    if (request.member.isEmpty()) {
        *error = badValue(u"\"member\" names the driver command that is to fail"_s);
        return std::nullopt;
    }
    request.code = static_cast<int>(ErrorCode::InjectedFault);
    if (object->contains(u"code"_s)) {
        const std::optional<int> code = wholeNumber(object->value(u"code"_s), 1, INT16_MAX);
        if (!code) {
            *error = badValue(u"\"code\" is a result code from 1 to 32767"_s);
            return std::nullopt;
        }
        request.code = *code;
    }
    return request;
}

std::optional<ClockRequest> readClock(const QByteArray& body, RequestError* error)
{
    const std::optional<QJsonObject> object = objectOf(body, error);
    if (!object || !onlyKeys(*object, {u"forward"_s, u"reset"_s}, error))
        return std::nullopt;
    if (object->size() == 1 && object->value(u"reset"_s) == QJsonValue(true))
        return ClockRequest{};
    const std::optional<int> hours =
        object->size() == 1 ? wholeNumber(object->value(u"forward"_s), 1, emulator::kMaxClockHours)
                            : std::nullopt;
    if (!hours) {
        *error =
            badValue(u"the clock takes {\"forward\": HOURS} (1 to %1) or {\"reset\": true}"_s.arg(
                emulator::kMaxClockHours));
        return std::nullopt;
    }
    return ClockRequest{*hours};
}

std::optional<RequestError> refusedPath(const DriverCall& call)
{
    if (call.member != u"SetLogFile" || call.arguments.size() != 2)
        return std::nullopt;
    static const QRegularExpression windowsPath(u"^[A-Za-z]:[\\\\/]"_s);
    const QString path = call.arguments.at(1).value().toString();
    if (windowsPath.match(path).hasMatch())
        return std::nullopt;
    return RequestError{403, u"path-refused"_s,
                        u"a served device keeps its logs in its own folder: give SetLogFile a"
                        u" Windows path such as c:\\ll_quolt.log, not \"%1\""_s.arg(path)};
}

} // namespace service
