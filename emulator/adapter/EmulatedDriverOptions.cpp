// The driver's own settings (SetDriverOpt / GetDriverOpt) as one table: each option with its
// range, the code a value outside it answers, and where the driver keeps it.

#include "EmulatedDriver.h"

#include "DeviceNumbers.h"

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

namespace emulator {

const EmulatedDriver::DriverOptionRule* EmulatedDriver::driverOptionRule(std::int16_t option)
{
    using D = EmulatedDriver;
    const auto flag = [](bool D::*member) {
        return [member](D& d, std::int32_t v) { d.*member = v == 1; };
    };
    const auto number = [](std::int32_t D::*member) {
        return [member](D& d, std::int32_t v) { d.*member = v; };
    };
    const auto readFlag = [](bool D::*member) {
        return [member](const D& d) { return std::int32_t(d.*member ? 1 : 0); };
    };
    const auto readNumber = [](std::int32_t D::*member) {
        return [member](const D& d) { return d.*member; };
    };
    constexpr Failure kFlagRange{ErrorCode::InvalidValue, Reason::TooLarge};
    static const DriverOptionRule kRules[] = {
        {DriverOption::Port, 1, 255, Failure{ErrorCode::InvalidPort}, readNumber(&D::m_port),
         number(&D::m_port),
         [](const D& d, std::int32_t v) {
             const bool allowed = d.m_allowedPorts.isEmpty() || d.m_allowedPorts.contains(v);
             return allowed ? Failure{} : Failure{ErrorCode::InvalidPort};
         }},
        {DriverOption::CachePayments, 0, 1, kFlagRange, readFlag(&D::m_cachePayments),
         flag(&D::m_cachePayments)},
        {DriverOption::CodePage, CodePage::Device, CodePage::Dos866, kFlagRange,
         readNumber(&D::m_codePage), number(&D::m_codePage)},
        {DriverOption::DoubleWidth, 0, 1, kFlagRange, readFlag(&D::m_doubleWidth),
         flag(&D::m_doubleWidth)},
        {DriverOption::DoubleHeight, 0, 1, kFlagRange, readFlag(&D::m_doubleHeight),
         flag(&D::m_doubleHeight)},
        {DriverOption::Underline, 0, 1, kFlagRange, readFlag(&D::m_underline),
         flag(&D::m_underline)},
        // Before generation 6 the device closes covered receipts itself; that cannot be undone,
        // and reading the option tells what the device will do.
        {DriverOption::AutoClose, 0, 1, kFlagRange,
         [](const D& d) { return std::int32_t(d.tenderMode().autoClose ? 1 : 0); },
         [](D& d, std::int32_t v) { d.m_autoClose = v == 1; },
         [](const D& d, std::int32_t v) {
             const bool fixed = d.m_session && d.m_session->device().state().major < 6;
             return v == 0 && fixed ? Failure{ErrorCode::NotSupportedByGeneration} : Failure{};
         }},
        // The driver takes speeds the device cannot: InitDevice refuses them.
        {DriverOption::Speed, 0, 9, Failure{ErrorCode::InvalidSpeed}, readNumber(&D::m_speed),
         number(&D::m_speed)},
    };
    const auto found =
        std::find_if(std::cbegin(kRules), std::cend(kRules),
                     [option](const DriverOptionRule& r) { return r.option == option; });
    return found == std::cend(kRules) ? nullptr : &*found;
}

Driver::Result EmulatedDriver::SetDriverOpt(std::int16_t option, std::int32_t value)
{
    Failure failure;
    const DriverOptionRule* rule = driverOptionRule(option);
    if (!rule)
        failure = Failure{ErrorCode::UnknownIndex};
    else if (value < rule->min || value > rule->max)
        failure = rule->outOfRange;
    else if (rule->check)
        failure = rule->check(*this, value);
    if (failure.ok())
        rule->write(*this, value);
    return setting(u"SetDriverOpt", {option, value}, failure);
}

std::int32_t EmulatedDriver::GetDriverOpt(std::int16_t option)
{
    logRequest(u"GetDriverOpt"_s, {option});
    std::int32_t value = -1;
    if (const DriverOptionRule* rule = driverOptionRule(option))
        value = rule->read(*this);
    else
        m_lastCode2 = Failure{ErrorCode::UnknownIndex}.extendedCode();
    logReply(QString::number(value));
    return value;
}

} // namespace emulator
