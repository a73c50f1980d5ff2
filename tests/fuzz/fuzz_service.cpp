// Feeds arbitrary bodies to the readers of what a client of the served device sends: a request is
// refused with a 4xx status, a word and a reason, or read, never a crash; calls that read, written
// back as the service's clients write them, read again to the same calls.
#include "CallScript.h"
#include "ServiceRequest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

template <typename T>
void refusedOrRead(const std::optional<T>& read, const service::RequestError& e)
{
    if (!read && (e.status < 400 || e.status > 499 || e.error.isEmpty() || e.message.isEmpty()))
        std::abort();
}

QByteArray written(const service::CallRequest& request)
{
    QJsonArray calls;
    for (const DriverCall& call : request.calls) {
        QJsonArray args;
        for (const DriverArgument& argument : call.arguments)
            args << callscript::argumentJson(argument);
        calls << QJsonObject{{QStringLiteral("member"), call.member},
                             {QStringLiteral("args"), args}};
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("calls"), calls}})
        .toJson(QJsonDocument::Compact);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    service::RequestError error;
    const auto calls = service::readCalls(body, &error);
    refusedOrRead(calls, error);
    if (calls) {
        const QByteArray again = written(*calls);
        const auto reread = service::readCalls(again, &error);
        if (!reread || reread->calls.size() != calls->calls.size() || written(*reread) != again)
            std::abort();
        for (const DriverCall& call : calls->calls) {
            if (const auto refused = service::refusedPath(call); refused && refused->status != 403)
                std::abort();
        }
    }
    refusedOrRead(service::readSession(body, &error), error);
    refusedOrRead(service::readSensors(body, &error), error);
    refusedOrRead(service::readFault(body, &error), error);
    refusedOrRead(service::readClock(body, &error), error);
    return 0;
}
