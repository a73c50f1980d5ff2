#include "DeviceOptions.h"

#include "DeviceNumbers.h"

#include <algorithm>
#include <iterator>

namespace emulator {
namespace {

// Every option from 3 to 51 and the exchange speed. Options that shape what the documents and
// reports of a shift print or how they count take a new value only while the shift is closed.
constexpr ErrorCode kValue = ErrorCode::InvalidValue;
constexpr Reason kBelow = Reason::Negative;
constexpr Reason kAbove = Reason::TooLarge;

constexpr OptionRule flag(int number, bool betweenShifts = false, int since = 0)
{
    return {number, 0, true, 0, 1, kValue, kBelow, kAbove, betweenShifts, since};
}

constexpr OptionRule choice(int number, int defaultValue, int max, bool betweenShifts = false,
                            int since = 0)
{
    return {number, defaultValue, true, 0, max, kValue, kBelow, kAbove, betweenShifts, since};
}

using namespace DeviceOption;

constexpr OptionRule kRules[] = {
    flag(PrintTaxes, true),
    flag(PrintVatIncluded, true),
    flag(PrintTaxRates, true),
    flag(PrintTaxRatesInReports),
    flag(UseTaxChains, true), // a shift's taxes are counted one way, as its rates
    flag(PrintQuantity, true),
    flag(PrintDepartment, true),
    flag(FullCut),
    flag(CentreHeader, true),
    flag(TallTotal, true),
    flag(BoldTotal, true),
    flag(AsteriskBeforeTotal, true),
    flag(CheckCashForChange),
    flag(AllowZeroTotal),
    flag(MinuteBeep), // kept only
    flag(BlockSalesWithDrawerOpen),
    flag(UseBothPrinters),
    flag(AlwaysOpenDrawer),
    flag(CountTotalQuantity, true),
    choice(DateFormat, 0, 2, true),
    choice(DeviceOption::Rounding, RoundingMode::HalfUp, RoundingMode::Up, true),
    flag(PrintEklzTapeOnZReport),
    flag(PrintDelimiter, true),
    flag(PrintShiftStartOnReports, true),
    flag(AlwaysZReportOnClosing, true),
    // Storno and corrections are counted unless the device is told otherwise.
    choice(CountVoidsAndCorrections, 1, 1, true),
    flag(AccumulateAllTotals, true),
    flag(LockDrawer, false, 3),
    flag(PrintZeroTaxTotal1, true),
    flag(PrintZeroTaxTotal2, true),
    flag(PrintZeroTaxTotal3, true),
    flag(PrintZeroTaxTotal4, true),
    flag(ReadAfterShiftLimit, false, 3),
    flag(PrintLineBetweenSales, false, 3),
    {ShiftTimeLimit, 24, true, 1, 24, kValue, Reason::NotPositive, kAbove, true}, // hours
    choice(StartBarCodeHeight, 0, 3, false, 3),
    choice(EndBarCodeHeight, 0, 3, false, 3),
    flag(LineDisplayProtocol),
    flag(LineDisplayLocked),
    flag(PrintTaxBase),
    // The rounding of the shares of corrections and of the taxes, only between shifts too.
    choice(TaxBaseRounding, RoundingMode::HalfUp, RoundingMode::Up, true),
    choice(TaxRounding, RoundingMode::HalfUp, RoundingMode::Up, true),
    // The cash stays in the drawer over the Z report unless the device is told otherwise.
    choice(CarryCashOver, 1, 1, false, 6),
    {PurchaseMode, 0, false}, // the device's own: a purchase document is open
    choice(ClockOn, 1, 1, false, 6),
    {ClockCorrection, 0, true, -31, 31, kValue, kAbove, kAbove, false, 6}, // seconds a day
    flag(PrintPicture1, false, 6),
    flag(PrintPicture2, false, 6),
    flag(PrintPicture3, false, 6),
    {Speed, 1, true, 0, 6, ErrorCode::InvalidSpeed, Reason::General, Reason::General},
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
        return Failure{ErrorCode::UnknownIndex};
    if (state.major < rule->since)
        return Failure{ErrorCode::NotSupportedByGeneration};
    if (value < rule->min)
        return Failure{rule->outOfRange, rule->belowMin};
    if (value > rule->max)
        return Failure{rule->outOfRange, rule->aboveMax};
    if (rule->needsShiftClosed && state.shiftOpen)
        return Failure{ErrorCode::ShiftAlreadyOpen, Reason::ShiftClosedAtInit};
    return Failure{};
}

} // namespace emulator
