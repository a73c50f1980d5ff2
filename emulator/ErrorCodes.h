#pragma once

#include <QString>

#include <cstdint>

namespace emulator {

// Every result code the device answers with. The numbers are part of the device's behaviour:
// windows, logs and operators rely on them, so they never change; new codes take new numbers.
enum class ErrorCode : std::int16_t {
    NoError = 0, // Нет ошибок / No errors
    NotInitialised = 1, // Устройство не инициализировано / Device is not initialised
    WrongPassword = 2, // Неверный пароль доступа / Wrong access password
    InvalidPort = 3,   // Неверный номер COM-порта / Invalid COM port number
    InvalidSpeed = 4,  // Неверная скорость обмена / Invalid exchange speed
    InvalidLanguage = 5, // Неизвестный язык сообщений / Unknown message language
    LogFileError = 6, // Лог-файл недоступен для записи / Log file cannot be written
    InvalidQuantity = 10,    // Недопустимое количество / Invalid quantity
    InvalidPrice = 11,       // Недопустимая цена / Invalid price
    InvalidAmount = 12,      // Недопустимая сумма / Invalid amount
    TextTooLong = 13,        // Слишком длинный текст / Text too long
    UnknownPaymentType = 14, // Неизвестный тип оплаты / Unknown payment type
    UnknownDocumentType = 15, // Неизвестный тип документа / Unknown document type
    UnknownIndex = 16, // Неизвестный номер параметра / Unknown parameter number
    InvalidValue = 17, // Недопустимое значение параметра / Invalid parameter value
    Overflow = 18, // Переполнение суммы / Sum overflow
    ShiftTooLong = 20, // Превышена продолжительность смены / Shift has lasted too long
    ShiftNotOpen = 21,        // Смена не открыта / Shift is not open
    ShiftAlreadyOpen = 22,    // Смена уже открыта / Shift is already open
    DocumentAlreadyOpen = 23, // Документ уже открыт / A document is already open
    NoOpenDocument = 24,      // Нет открытого документа / No open document
    NotAllowedInDocument = 25, // Операция недопустима в документе этого типа
    NotAllowedInState = 26, // Операция недопустима в текущем состоянии документа
    PaymentInsufficient = 27, // Оплата недостаточна / Payment insufficient
    NonCashExceedsTotal = 28, // Безналичная оплата больше остатка / Non-cash payment too large
    PositionNotFound = 29, // Позиция для сторно не найдена / No such position to void
    NothingToRepeat = 30, // Нет операции для повтора или коррекции / Nothing to repeat
    NegativeTotal = 31, // Итог не может стать отрицательным / Total would go negative
    DocumentFull = 32,          // Превышено число позиций / Too many positions
    NoReceiptForDuplicate = 33, // Нет чека для дубликата / No receipt to duplicate
    InsufficientCash = 34, // Недостаточно наличных в кассе / Not enough cash in drawer
    ZeroTotal = 35, // Чек с нулевым итогом запрещён / Zero-total receipt forbidden
    PaperOut = 40,     // Нет бумаги / Paper out
    PrinterError = 41, // Ошибка принтера / Printer error
    NotSupportedByGeneration = 50, // Команда не поддерживается этой версией устройства
    NotSupportedYet = 51, // Команда пока не поддерживается эмулятором
    InjectedFault = 60, // Имитация неисправности / Simulated fault
    StorageError = 61,  // Ошибка памяти устройства / Device memory error
};

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
