#include "DeviceOptions.h"

#include "Device.h"
#include "DeviceNumbers.h"

#include <algorithm>
#include <iterator>

namespace emulator {
namespace {

// Options with a default other than 0 or that can be written; every other option from 3 to 51
// reads 0 and cannot be written yet. New writable options are new rows here.
constexpr OptionRule kRules[] = {
    {DeviceOption::CheckCashForChange, 0, true, 0,
     1}, // check the cash in the drawer before paying out or giving change
    {DeviceOption::AllowZeroTotal, 0, true, 0, 1}, // allow a receipt with zero total
    {DeviceOption::Rounding, RoundingMode::HalfUp, true, RoundingMode::Down,
     RoundingMode::Up}, // rounding: down, half up, up
    {DeviceOption::ShiftTimeLimit, 24, true, 1, 24, ErrorCode::InvalidValue, Reason::NotPositive,
     Reason::TooLarge, true}, // shift limit in hours
    {DeviceOption::TaxBaseRounding, RoundingMode::HalfUp},
    {DeviceOption::TaxRounding, RoundingMode::HalfUp},
    {DeviceOption::ClockOn, 1}, // clock on
    {DeviceOption::Speed, 1, true, 0, 6, ErrorCode::InvalidSpeed, Reason::General, Reason::General},
};

} // namespace

const OptionRule* optionRule(int number)
{
    static const OptionRule kPlain{};
    const auto found = std::find_if(std::cbegin(kRules), std::cend(kRules),
                                    [number](const OptionRule& r) { return r.number == number; });
    if (found != std::cend(kRules))
        return &*found;
    return number >= DeviceOption::First && number <= DeviceOption::Last ? &kPlain : nullptr;
}

bool isKnownDeviceOption(int number)
{
    return optionRule(number) != nullptr;
}

int defaultDeviceOption(int number)
{
    const OptionRule* rule = optionRule(number);
    return rule ? rule->defaultValue : 0;
}

int optionValue(const DeviceState& state, int number)
{
    return state.options.value(number, defaultDeviceOption(number));
}

Failure checkOptionValue(const DeviceState& state, int number, int value)
{
    const OptionRule* rule = optionRule(number);
    if (!rule)
        return Failure{ErrorCode::UnknownIndex};
    if (!rule->writable)
        return Failure{ErrorCode::NotSupportedYet};
    if (value < rule->min)
        return Failure{rule->outOfRange, rule->belowMin};
    if (value > rule->max)
        return Failure{rule->outOfRange, rule->aboveMax};
    if (rule->needsShiftClosed && state.shiftOpen)
        return Failure{ErrorCode::ShiftAlreadyOpen};
    return Failure{};
}

// ---- the device's members ----------------------------------------------------------------------

Failure Device::setDeviceOption(std::int32_t number, std::int32_t value)
{
    if (!isKnownDeviceOption(number))
        return fail(ErrorCode::UnknownIndex);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (const Failure f = checkOptionValue(m_state, number, value); !f.ok())
        return f;
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
