#pragma once

#include <cstdint>

// Every result code the device answers with. The numbers are part of the device's behaviour:
// windows, logs and operators rely on them, so they never change; new codes take new numbers.
// Their texts come from the driver's GetErrorComment.
enum class ErrorCode : std::int16_t {
    NoError = 0,
    NotInitialised = 1,
    WrongPassword = 2,
    InvalidPort = 3,
    InvalidSpeed = 4,
    InvalidLanguage = 5,
    LogFileError = 6,
    InvalidQuantity = 10,
    InvalidPrice = 11,
    InvalidAmount = 12,
    TextTooLong = 13,
    UnknownPaymentType = 14,
    UnknownDocumentType = 15,
    UnknownIndex = 16,
    InvalidValue = 17,
    Overflow = 18,
    ShiftTooLong = 20,
    ShiftNotOpen = 21,
    ShiftAlreadyOpen = 22,
    DocumentAlreadyOpen = 23,
    NoOpenDocument = 24,
    NotAllowedInDocument = 25,
    NotAllowedInState = 26,
    PaymentInsufficient = 27,
    NonCashExceedsTotal = 28,
    PositionNotFound = 29,
    NothingToRepeat = 30,
    NegativeTotal = 31,
    DocumentFull = 32,
    NoReceiptForDuplicate = 33,
    InsufficientCash = 34,
    ZeroTotal = 35,
    PayoutExceedsCash = 36,
    PaperOut = 40,
    PrinterError = 41,
    NotSupportedByGeneration = 50,
    NotSupportedYet = 51,
    InjectedFault = 60,
    StorageError = 61,
    DeviceDamaged = 62,
    NoConnection = 63, // the driver cannot reach the device (a served device out of reach)
    InvalidTaxChain = 80,
    FileNotFound = 70,
    BadPicture = 71,
    PictureTooLarge = 72,
    NoPicture = 73,
    InvalidBarCode = 74,
    InvalidDate = 75,
    InvalidTime = 76,
    DateBeforeLastRecord = 77,
    EklzNoData = 90,
    EklzFull = 91,
    LineDisplayLocked = 100,
    UnknownDisplayCommand = 101,
    NoSlipInserted = 102,
};

// The code as the contract returns it, for comparing with a result: r == resultCode(...).
constexpr std::int16_t resultCode(ErrorCode code)
{
    return static_cast<std::int16_t>(code);
}
