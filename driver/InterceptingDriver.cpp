#include "InterceptingDriver.h"

#include <stdexcept>

InterceptingDriver::InterceptingDriver(std::shared_ptr<Driver> target) : m_target(std::move(target))
{
}

Driver& InterceptingDriver::target()
{
    // Only a subclass that was given a target forwards; reaching here without one is a bug in it.
    if (!m_target)
        throw std::logic_error("InterceptingDriver: call forwarded without a target driver");
    return *m_target;
}

// Every member relays its call under its own name, with its own values in the table's order.
// clang-format off
#define QUOLT_DRIVER_COMMA_ARGUMENTS(...) __VA_OPT__(,) __VA_ARGS__
#define QUOLT_DRIVER_RELAY(role, result, name, parameters, arguments)                              \
    auto InterceptingDriver::name parameters -> result                                             \
    {                                                                                              \
        return relay(QStringLiteral(#name), &Driver::name QUOLT_DRIVER_COMMA_ARGUMENTS arguments); \
    }
// clang-format on
QUOLT_DRIVER_MEMBERS(QUOLT_DRIVER_RELAY)
