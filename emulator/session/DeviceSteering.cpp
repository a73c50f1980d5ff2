#include "DeviceSteering.h"

namespace emulator {

Status steer(DeviceSession& session, const std::function<void(DeviceState&)>& edit)
{
    return session.perform([&](Device& device) {
        DeviceState next = device.state();
        edit(next);
        device.replaceState(std::move(next));
        return Failure{};
    });
}

void moveClockForward(DeviceState& s, int hours)
{
    s.clockOffsetSeconds += qint64(hours) * 3600;
}

void resetClock(DeviceState& s)
{
    const QDateTime host = QDateTime::currentDateTimeUtc();
    s.clockOffsetSeconds = 0;
    if (s.clockCorrectedSince.isValid())
        s.clockCorrectedSince = host;
    if (s.clockStoppedAt.isValid())
        s.clockStoppedAt = host;
}

} // namespace emulator
