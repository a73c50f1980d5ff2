#pragma once

#include "DriverCall.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// What a client of the served device sends, read from the bytes of a request's body. Nothing here
// touches a device: a request is read and checked whole before anything of it runs, so a request
// refused for any reason changes nothing.
namespace service {

// The most a request's body may hold, and the most calls one request may carry.
inline constexpr qsizetype kMaxBodyBytes = 1024 * 1024;
inline constexpr qsizetype kMaxBatchCalls = 1000;

// Why a request is refused: the HTTP status, a word a client program can test and the reason in
// words for the person reading it.
struct RequestError
{
    int status = 400;
    QString error;
    QString message;
};

// Driver calls by member name with their arguments as scripts of driver calls write them:
//   {"member":"Item","args":[{"int32":1000},{"int32":100},{"text":"Чай"},{"int32":0}]}
// or several in one request, run in order:
//   {"calls":[{"member":...},...],"stopOnFailure":true}
struct CallRequest
{
    QList<DriverCall> calls;
    bool batch = false;         // several calls: answered as a list
    bool stopOnFailure = false; // a batch ends at the first command that does not answer 0
};
std::optional<CallRequest> readCalls(const QByteArray& body, RequestError* error);

// A new session: {} or {"port": N}; nothing chosen leaves the first device served.
struct SessionRequest
{
    std::optional<int> port;
};
std::optional<SessionRequest> readSession(const QByteArray& body, RequestError* error);

// Sensors switched on or off by the names the device tool takes: {"paper-out":true, ...}.
using SensorChanges = QList<std::pair<QString, bool>>;
std::optional<SensorChanges> readSensors(const QByteArray& body, RequestError* error);

// The next call of a driver command fails: {"member":"Tender2","code":41}; the code defaults to
// the device's simulated fault. Whether the member takes a fault is the device's to say.
struct FaultRequest
{
    QString member;
    int code = 0;
};
std::optional<FaultRequest> readFault(const QByteArray& body, RequestError* error);

// The device clock: {"forward": HOURS} or {"reset": true}.
struct ClockRequest
{
    int forwardHours = 0; // 0: back to the host's time
};
std::optional<ClockRequest> readClock(const QByteArray& body, RequestError* error);

// A log file of a served device's driver stays in the device folder: a Windows path such as
// c:\ll_quolt.log, whose file name the driver keeps there. Any other path (which the driver would
// write as it is, moving the file aside when it grows past its limit) is refused, so that a client
// cannot make the server write or move the files of its user.
std::optional<RequestError> refusedPath(const DriverCall& call);

} // namespace service
