#pragma once

#include "DeviceState.h"
#include "ErrorCodes.h"

namespace emulator {

// What the device knows about one of its options: its default, whether it can be written yet,
// the values it takes and when it may change.
struct OptionRule
{
    int number = 0;
    int defaultValue = 0;
    bool writable = false; // options the device sets itself cannot be written
    int min = 0;
    int max = 0;
    ErrorCode outOfRange = ErrorCode::InvalidValue;
    Reason belowMin = Reason::TooLarge; // the reasons given for a value outside the range
    Reason aboveMax = Reason::TooLarge;
    bool needsShiftClosed = false;
    int since = 0; // the first generation that has it
};

// The rule of a known option (3 to 51 and the exchange speed 101), or none.
const OptionRule* optionRule(int number);
bool isKnownDeviceOption(int number);
int defaultDeviceOption(int number);
// The option's value on this device: what was written, or the default.
int optionValue(const DeviceState& state, int number);
// Whether the option may take this value now (range and shift; an open document is the caller's
// concern because it refuses every option alike).
Failure checkOptionValue(const DeviceState& state, int number, int value);

} // namespace emulator
