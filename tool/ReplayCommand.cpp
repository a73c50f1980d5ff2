#include "ReplayCommand.h"

#include "CallDispatch.h"
#include "CallScript.h"
#include "DeviceNumbers.h"
#include "DeviceStore.h"
#include "EmulatedDriver.h"
#include "RemoteDriver.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace replaycommand {
namespace {

QString jsonText(const QJsonValue& value)
{
    // Wrapped in an array, since a document holds no bare values.
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// The script chose the port it was recorded on; the replay goes to the device asked for. A port
// the driver refused when it was recorded (an operator's typing slip) is passed as recorded, so
// that it is refused again as the recording expects and changes nothing.
void aimAtPort(QList<callscript::ScriptCall>& script, int port)
{
    for (callscript::ScriptCall& step : script) {
        DriverCall& call = step.call;
        const bool refused = step.expected && step.expected->toInteger(-1) != 0;
        if (call.member == u"SetDriverOpt" && !refused &&
            call.arguments.at(0).value().value<std::int16_t>() == DriverOption::Port)
            call.arguments[1] = DriverArgument(static_cast<std::int32_t>(port));
    }
}

} // namespace

Outcome run(const Request& request)
{
    QFile file(request.scriptPath);
    if (!file.open(QIODevice::ReadOnly))
        return {2, u"cannot read %1: %2"_s.arg(request.scriptPath, file.errorString())};
    QString error;
    std::optional<QList<callscript::ScriptCall>> script = callscript::read(file, &error);
    if (!script)
        return {2, request.scriptPath + u": "_s + error + u"; nothing was run"_s};

    std::unique_ptr<Driver> driver;
    if (!request.server.isEmpty()) {
        if (request.createDevice)
            return {2, u"--create makes a device here, not on a server"_s};
        const std::optional<remote::Endpoint> endpoint =
            remote::endpointOf(request.server, {}, &error);
        if (!endpoint)
            return {2, error};
        driver = remote::RemoteDriver::open(*endpoint, request.port, &error);
        if (!driver)
            return {1, error};
    } else if (request.createDevice) {
        if (const int code = request.createDevice(); code != 0)
            return {code, {}};
    } else if (!QFile::exists(emulator::DeviceStore::databasePath(request.folder, request.port))) {
        return {2,
                u"there is no device on port %1 in %2 (--create X.Y makes one)"_s.arg(request.port)
                    .arg(request.folder)};
    }

    aimAtPort(*script, request.port);
    if (!driver)
        driver = std::make_unique<emulator::EmulatedDriver>(request.folder);
    const std::optional<dispatch::Divergence> divergence = dispatch::replay(*driver, *script);
    if (divergence) {
        return {1, u"line %1: %2 answered %3, the recording has %4"_s.arg(divergence->line)
                       .arg(divergence->member, jsonText(divergence->replayed),
                            jsonText(divergence->recorded))};
    }
    return {0, u"%1 calls replayed, every result as recorded"_s.arg(script->size())};
}

} // namespace replaycommand
