#pragma once

#include "DeviceSession.h"
#include "DeviceState.h"

#include <functional>

// Steering a device from outside the driver, as the device tool and the program's device panel
// do: sensors, the clock, an injected fault. Each change is one committed step that a running
// driver takes in at its next call.
namespace emulator {

struct SensorSwitch
{
    const char16_t* name;    // as the device tool takes it
    const char16_t* caption; // as the device panel shows it
    bool Sensors::*flag;
};

inline constexpr SensorSwitch kSensorSwitches[] = {
    {u"paper-near-end", u"Бумага близка к концу", &Sensors::paperNearEnd},
    {u"paper-out", u"Нет бумаги", &Sensors::paperOut},
    {u"drawer-open", u"Денежный ящик открыт", &Sensors::drawerOpen},
    {u"battery-low", u"Батарея разряжена", &Sensors::batteryLow},
    {u"eklz-near-full", u"ЭКЛЗ близка к заполнению", &Sensors::eklzNearFull},
    {u"eklz-full", u"ЭКЛЗ заполнена", &Sensors::eklzFull},
    {u"printer-error", u"Ошибка принтера", &Sensors::printerError},
    {u"slip", u"Подкладной документ вставлен", &Sensors::slipInserted},
};

// Applies `edit` to the device's state as one write transaction.
Status steer(DeviceSession& session, const std::function<void(DeviceState&)>& edit);

// The device clock is moved forward by whole hours, up to a year at once.
inline constexpr int kMaxClockHours = 24 * 366;
// Moves the device clock `hours` on from the time it shows.
void moveClockForward(DeviceState& s, int hours);
// Back to the host's time: the days the daily correction ran are forgotten too, and a stopped
// clock stands at the host's time now.
void resetClock(DeviceState& s);

} // namespace emulator
