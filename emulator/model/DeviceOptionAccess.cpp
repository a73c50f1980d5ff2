// The device's options as its members read and write them; the rules of each option are the
// option table's (DeviceOptions.h).

#include "Device.h"

#include "DeviceNumbers.h"
#include "DeviceOptions.h"

namespace emulator {

Failure Device::setDeviceOption(std::int32_t number, std::int32_t value)
{
    if (!isKnownDeviceOption(number))
        return fail(ErrorCode::UnknownIndex);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (const Failure f = checkOptionValue(m_state, number, value); !f.ok())
        return f;
    if (number == DeviceOption::ClockCorrection)
        settleClockCorrection();
    if (number == DeviceOption::ClockOn)
        switchClock(value != 0);
    if (value == defaultDeviceOption(number))
        m_state.options.remove(number);
    else
        m_state.options.insert(number, value);
    return kOk;
}

std::int32_t Device::deviceOption(std::int32_t number, Failure& failure) const
{
    if (number == DeviceOption::PurchaseMode) {
        if (m_state.major < 6) {
            failure = fail(ErrorCode::NotSupportedByGeneration);
            return -1;
        }
        const bool purchase =
            m_state.document && (m_state.document->type == DocumentType::Purchase ||
                                 m_state.document->type == DocumentType::PurchaseReturn);
        return purchase ? 1 : 0;
    }
    if (!isKnownDeviceOption(number)) {
        failure = fail(ErrorCode::UnknownIndex);
        return -1;
    }
    return option(number);
}

} // namespace emulator
