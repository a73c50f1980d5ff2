#pragma once

#include "ResultCodes.h"

#include <QString>

#include <cstdint>

namespace emulator {

// The result codes are the contract's own (driver/ResultCodes.h); the emulator names them here
// so that its code reads ErrorCode without a prefix.
using ::ErrorCode;

// The extended code (GetErrorCode2) says precisely why a call failed. Its value is the result
// code times 100 plus the reason below, so the family is visible in the number itself.
enum class Reason : std::int16_t {
    General = 0,
    NotPositive = 1,       // value must be above zero
    Negative = 2,          // value must not be below zero
    TooLarge = 3,          // value exceeds the device's limit
    NotANumber = 4,        // text does not hold a whole number
    WrongKind = 5,         // operation belongs to another kind of document
    AfterPayment = 6,      // positions are closed once payment began
    NoPayment = 7,         // document needs at least one payment
    OnlyCash = 8,          // only cash is taken in this document
    ShiftClosedAtInit = 9, // the device needs the shift closed before further work
    DocumentPending = 10,  // a document is open, finish it first
    NoPreviousOperation = 11,
    AlreadyCorrected = 12,
    EmptyText = 13,
    NotWritable = 14,
    ControlCharacter = 15, // a text holds line breaks or other control characters
    DrawerOpen = 16,       // sales wait until the cash drawer is shut
    DrawerLocked = 17,     // the cash drawer is locked by option
    NoPosition = 18,       // a document of goods holds no position
    TooWide = 19,          // a bar code wider than the print head
    OffCalendar = 20,      // a date outside the years the device's clock shows
    // What is wrong with a tax chain text.
    ChainLength = 30,
    ChainCharacter = 31,
    ChainGap = 32,
    ChainRepeat = 33,
    ChainOrphan = 34,
    // Why the control tape (EKLZ) has nothing to report.
    NoSuchShift = 40,
    ReversedRange = 41,
    NothingInRange = 42,
    NoSuchKpk = 43,
};

struct Failure
{
    ErrorCode code = ErrorCode::NoError;
    Reason reason = Reason::General;

    bool ok() const { return code == ErrorCode::NoError; }
    std::int32_t extendedCode() const
    {
        return ok() ? 0 : static_cast<std::int32_t>(code) * 100 + static_cast<std::int32_t>(reason);
    }
};

enum class Language { Russian, English };

// The comment of a result code in the chosen language; unknown codes get a text that names them.
QString errorComment(std::int16_t code, Language language);
// The text of an extended code: the reason's own text after the comment of its result code.
QString extendedComment(std::int32_t code2, Language language);

struct ErrorCodeInfo
{
    ErrorCode code;
    const char16_t* russian;
    const char16_t* english;
};
// The whole table, for the documentation and the tool.
const ErrorCodeInfo* errorCodeTable(std::size_t& count);

} // namespace emulator
