#pragma once

#include "Driver.h"

#include <QString>

#include <cstdint>
#include <optional>

// What the operator gave the start window for one initialisation of the device.
struct InitSettings
{
    QString password;
    std::optional<std::int32_t> port = 1;   // none when the port text cannot be read
    std::optional<std::int32_t> languageId; // none when no language is selected
    std::int32_t speedPosition = 1;         // the position in the speed list, not the rate
    bool logging = false;
    QString lowLevelLog;
    QString highLevelLog;
    bool cachePayments = false;
};

// The step whose result code ended the sequence.
enum class InitStep { Password, UnreadablePort, Port, Language, LowLevelLog, HighLevelLog, Device };

struct InitOutcome
{
    InitStep step = InitStep::Device;
    Driver::Result code = 0;
};

// Hands the settings to the driver in the order the driver needs them (the connection first, the
// device last) and initialises the device. It stops at the first refused setting, and after the
// password when the port could not be read; the speed, the
// log options and the caching switch are not checked, InitDevice reports their consequence.
InitOutcome initialiseDevice(Driver& driver, const InitSettings& settings);
