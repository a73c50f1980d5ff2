#include "ToolCommands.h"

#include "DeviceSteering.h"

using namespace Qt::StringLiterals;
using namespace emulator;

namespace tool {

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

int failWith(const QString& message, int exitCode)
{
    QTextStream err(stderr);
    err << u"quolt-device: "_s << message << Qt::endl;
    return exitCode;
}

int usageError(const QString& message)
{
    return failWith(message + u"; see --help"_s, kUsage);
}

void showSensors(const DeviceState& s)
{
    for (const SensorSwitch& sensor : kSensorSwitches)
        out() << QString::fromUtf16(sensor.name).leftJustified(16)
              << (s.sensors.*(sensor.flag) ? u"on"_s : u"off"_s) << Qt::endl;
}

int change(DeviceSession& session, const std::function<void(DeviceState&)>& edit)
{
    const Status result = steer(session, edit);
    if (!result)
        return failWith(u"the change could not be saved: "_s + result.detail());
    return 0;
}

} // namespace tool
