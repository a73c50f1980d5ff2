#include "ChosenDevice.h"

#include "CallHub.h"
#include "DeviceStore.h"
#include "DriverFactory.h"
#include "ErrorCodes.h"
#include "RemoteDriver.h"
#include "TracedEmulator.h"
#include "TracingDriver.h"

#include <QFileInfo>

#include <cstdio>
#include <utility>

using namespace Qt::StringLiterals;

namespace view {
namespace {

// The value of `--name VALUE` or `--name=VALUE`; nothing when the option is absent, an empty
// text when it lacks its value.
std::optional<QString> optionValue(const QStringList& arguments, const QString& name)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) == name)
            return arguments.value(i + 1);
        if (arguments.at(i).startsWith(name + u'='))
            return arguments.at(i).mid(name.size() + 1);
    }
    return std::nullopt;
}

int complain(const QString& message, int exitCode)
{
    std::fprintf(stderr, "TestQuolt: %s\n", qPrintable(message));
    return exitCode;
}

std::shared_ptr<Driver> traced(std::shared_ptr<remote::RemoteDriver> remote)
{
    const remote::RemoteDriver* watched = remote.get();
    DriverContext context;
    context.extendedCode = [watched] { return watched->lastErrorCode2(); };
    context.comment = [watched](int code) {
        const QString seen = watched->commentSeen(code);
        return seen.isEmpty() ? emulator::errorComment(static_cast<std::int16_t>(code),
                                                       emulator::Language::Russian)
                              : seen;
    };
    // The views read the device's memory themselves, which they can only where it is kept.
    context.device = [watched]() -> std::optional<DeviceAddress> {
        const std::optional<int> port = watched->connectedPort();
        if (!port || !watched->endpoint().onThisMachine() ||
            !QFileInfo::exists(emulator::DeviceStore::databasePath(watched->deviceFolder(), *port)))
            return std::nullopt;
        return DeviceAddress{watched->deviceFolder(), *port, watched->speedPosition()};
    };
    return CallHub::trace(std::move(remote), std::move(context));
}

} // namespace

bool registerTracedRemote(const remote::Endpoint& endpoint, QString* error)
{
    // The first session is opened now, so that a server out of reach is said before any window.
    std::shared_ptr<remote::RemoteDriver> first = remote::RemoteDriver::open(endpoint, {}, error);
    if (!first)
        return false;
    registerDriver(kQuoltProgId, [endpoint, first]() mutable -> std::shared_ptr<Driver> {
        std::shared_ptr<remote::RemoteDriver> driver = std::exchange(first, nullptr);
        if (!driver) {
            QString why;
            driver = remote::RemoteDriver::open(endpoint, {}, &why);
            if (!driver)
                qWarning("%s", qPrintable(why));
        }
        return driver ? traced(std::move(driver)) : nullptr;
    });
    return true;
}

int registerChosenDevice(const QStringList& arguments)
{
    const std::optional<QString> server = optionValue(arguments, u"--device-server"_s);
    const std::optional<QString> tokenFile = optionValue(arguments, u"--device-token-file"_s);
    if (!server) {
        if (tokenFile)
            return complain(u"--device-token-file belongs to --device-server"_s, 2);
        registerTracedEmulator();
        return 0;
    }
    QString error;
    const std::optional<remote::Endpoint> endpoint =
        remote::endpointOf(*server, tokenFile.value_or(QString()), &error);
    if (!endpoint)
        return complain(error, 2);
    if (!registerTracedRemote(*endpoint, &error))
        return complain(error, 1);
    return 0;
}

} // namespace view
