#include "DeviceInit.h"

#include "DeviceNumbers.h"

InitOutcome initialiseDevice(Driver& driver, const InitSettings& settings)
{
    if (const auto r = driver.SetPassword(settings.password); r != 0)
        return {InitStep::Password, r};
    if (!settings.port)
        return {InitStep::UnreadablePort, 0};
    if (const auto r = driver.SetDriverOpt(DriverOption::Port, *settings.port); r != 0)
        return {InitStep::Port, r};
    if (settings.languageId) {
        if (const auto r = driver.SetLanguage(*settings.languageId); r != 0)
            return {InitStep::Language, r};
    }
    driver.SetDriverOpt(DriverOption::Speed, settings.speedPosition);

    if (settings.logging) {
        // Logging switched on, then its two limits.
        driver.SetLogOpt(LogOption::Enabled, 1);
        driver.SetLogOpt(LogOption::HighLevelLimit, 100000);
        driver.SetLogOpt(LogOption::LowLevelLimit, 10000000);
        if (const auto r = driver.SetLogFile(LogFile::LowLevel, settings.lowLevelLog); r != 0)
            return {InitStep::LowLevelLog, r};
        if (const auto r = driver.SetLogFile(LogFile::HighLevel, settings.highLevelLog); r != 0)
            return {InitStep::HighLevelLog, r};
    }
    if (settings.cachePayments)
        driver.SetDriverOpt(DriverOption::CachePayments, 1);

    return {InitStep::Device, driver.InitDevice()};
}
