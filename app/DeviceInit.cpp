#include "DeviceInit.h"

namespace {

// Driver options and log settings the start window uses.
constexpr std::int16_t kOptionPort = 1;
constexpr std::int16_t kOptionCachePayments = 2;
constexpr std::int16_t kOptionSpeed = 101;
constexpr std::int16_t kLowLevelLog = 1;
constexpr std::int16_t kHighLevelLog = 2;

} // namespace

InitOutcome initialiseDevice(Driver& driver, const InitSettings& settings)
{
    if (const auto r = driver.SetPassword(settings.password); r != 0)
        return {InitStep::Password, r};
    if (!settings.port)
        return {InitStep::UnreadablePort, 0};
    if (const auto r = driver.SetDriverOpt(kOptionPort, *settings.port); r != 0)
        return {InitStep::Port, r};
    if (settings.languageId) {
        if (const auto r = driver.SetLanguage(*settings.languageId); r != 0)
            return {InitStep::Language, r};
    }
    driver.SetDriverOpt(kOptionSpeed, settings.speedPosition);

    if (settings.logging) {
        // Logging switched on, then its two limits.
        driver.SetLogOpt(1, 1);
        driver.SetLogOpt(3, 100000);
        driver.SetLogOpt(2, 10000000);
        if (const auto r = driver.SetLogFile(kLowLevelLog, settings.lowLevelLog); r != 0)
            return {InitStep::LowLevelLog, r};
        if (const auto r = driver.SetLogFile(kHighLevelLog, settings.highLevelLog); r != 0)
            return {InitStep::HighLevelLog, r};
    }
    if (settings.cachePayments)
        driver.SetDriverOpt(kOptionCachePayments, 1);

    return {InitStep::Device, driver.InitDevice()};
}
