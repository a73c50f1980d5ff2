#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <cstdint>

// The members of the driver contract, one line each, grouped by concern:
//
//   X(role, result, name, (parameters), (the parameters' names in order))
//
// role     Command: runs on the device and answers its result code (0 = success, its text is
//          GetErrorComment(code));
//          Setting: a setting or the connection of the driver itself; answers a result code;
//          Query:   answers the value asked for; a failure is left to GetErrorCode2.
// result   the type the member returns (Result for commands and settings).
//
// Integers keep the widths the windows pass; a QVariant parameter is a "general value" whose kind
// travels with it. A parameter taken by non-const reference is an out-parameter: it is not
// recorded as an argument, and the call's result is recorded as {result, out-parameters...}.
//
// This table is the only list of the members: Driver's declarations below, the overrides of
// InterceptingDriver and of the emulated driver, the journal's recording, the replay's dispatch and
// the members' roles (DriverMembers.h) are all generated from it. docs/architecture.md says how to
// add a member.
//
// clang-format off
#define QUOLT_DRIVER_MEMBERS(X)                                                                    \
    /* Connection, settings and messages */                                                        \
    X(Setting, Result,       SetPassword,      (const QString& password), (password))              \
    X(Setting, Result,       SetDriverOpt,     (std::int16_t option, std::int32_t value),          \
                                               (option, value))                                    \
    X(Query,   std::int32_t, GetDriverOpt,     (std::int16_t option), (option))                    \
    X(Setting, Result,       SetLanguage,      (std::int32_t languageId), (languageId))            \
    X(Query,   std::int32_t, GetLanguageCount, (), ())                                             \
    X(Setting, Result,       GetLanguageInfo,  (std::int32_t number, QString& name, QString& text2,\
                                                std::int32_t& languageId, std::int32_t& current),  \
                                               (number, name, text2, languageId, current))         \
    X(Setting, Result,       SetLogOpt,        (std::int16_t option, std::int32_t value),          \
                                               (option, value))                                    \
    X(Setting, Result,       SetLogFile,       (std::int16_t log, const QString& path),            \
                                               (log, path))                                        \
    X(Setting, Result,       InitDevice,       (), ())                                             \
    X(Setting, Result,       DeinitDevice,     (), ())                                             \
    X(Query,   QString,      GetErrorComment,  (std::int16_t code), (code))                        \
    X(Query,   std::int32_t, GetErrorCode2,    (), ())                                             \
    X(Query,   QString,      GetErrorComment2, (std::int32_t code2), (code2))                      \
                                                                                                   \
    /* Shift and cash drawer */                                                                    \
    X(Command, Result, StartSession,   (const QString& cashier, std::int32_t registerNumber),      \
                                       (cashier, registerNumber))                                  \
    X(Command, Result, EndSession,     (), ())                                                     \
    X(Command, Result, SetClerk,       (const QString& cashier), (cashier))                        \
    X(Command, Result, OpenDrawer,     (), ())                                                     \
    X(Command, Result, PrintDuplicate, (), ())                                                     \
                                                                                                   \
    /* Documents */                                                                                \
    X(Command, Result, StartDocument,    (std::int32_t type, std::int16_t department,              \
                                          const QString& order, const QString& cashier),           \
                                         (type, department, order, cashier))                       \
    X(Command, Result, SetExtraDocData,  (std::int32_t value42, std::int32_t value81,              \
                                          std::int32_t value82, const QString& value80),           \
                                         (value42, value81, value82, value80))                     \
    X(Command, Result, SetExtraDocData2, (const QString& value42, const QString& value81,          \
                                          const QString& value82, const QString& value80),         \
                                         (value42, value81, value82, value80))                     \
    X(Command, Result, EndDocument,      (), ())                                                   \
    X(Command, Result, CancelDocument,   (), ())                                                   \
    X(Command, Result, ResetError,       (), ())                                                   \
    X(Command, Result, PrintResult,      (), ())                                                   \
                                                                                                   \
    /* Positions: quantities in thousandths, prices in kopecks */                                  \
    X(Command, Result, Item,         (std::int32_t quantity, std::int32_t price,                   \
                                      const QString& name, std::int32_t taxGroup),                 \
                                     (quantity, price, name, taxGroup))                            \
    X(Command, Result, ItemEx,       (std::int32_t quantity, std::int32_t price,                   \
                                      const QString& name, std::int32_t taxGroup,                  \
                                      std::int16_t department),                                    \
                                     (quantity, price, name, taxGroup, department))                \
    X(Command, Result, ItemTare,     (std::int32_t quantity, std::int32_t price,                   \
                                      const QString& name, std::int32_t taxGroup),                 \
                                     (quantity, price, name, taxGroup))                            \
    X(Command, Result, ItemTareEx,   (std::int32_t quantity, std::int32_t price,                   \
                                      const QString& name, std::int32_t taxGroup,                  \
                                      std::int16_t department),                                    \
                                     (quantity, price, name, taxGroup, department))                \
    X(Command, Result, ReturnTare,   (std::int32_t price, std::int32_t quantity),                  \
                                     (price, quantity))                                            \
    X(Command, Result, ItemPurchase, (std::int32_t quantity, std::int32_t price,                   \
                                      const QString& name, std::int32_t department),               \
                                     (quantity, price, name, department))                          \
    /* The cancelling operations take the quantity as the operator typed it. */                    \
    X(Command, Result, VoidItem,       (const QVariant& quantity, std::int32_t price,              \
                                        const QString& name, std::int32_t taxGroup),               \
                                       (quantity, price, name, taxGroup))                          \
    X(Command, Result, VoidItemEx,     (const QVariant& quantity, std::int32_t price,              \
                                        const QString& name, std::int32_t taxGroup,                \
                                        std::int16_t department),                                  \
                                       (quantity, price, name, taxGroup, department))              \
    X(Command, Result, VoidItemTare,   (const QVariant& quantity, std::int32_t price,              \
                                        const QString& name, std::int32_t taxGroup),               \
                                       (quantity, price, name, taxGroup))                          \
    X(Command, Result, VoidItemTareEx, (const QVariant& quantity, std::int32_t price,              \
                                        const QString& name, std::int32_t taxGroup,                \
                                        std::int16_t department),                                  \
                                       (quantity, price, name, taxGroup, department))              \
    X(Command, Result, VoidReturnTare, (std::int32_t price, const QVariant& quantity),             \
                                       (price, quantity))                                          \
    X(Command, Result, RepeatItem,      (), ())                                                    \
    X(Command, Result, CorrectLastItem, (), ())                                                    \
                                                                                                   \
    /* Discounts (negative) and surcharges (positive) */                                           \
    X(Command, Result, AbsoluteCorrection,     (std::int32_t amount), (amount))                    \
    X(Command, Result, PercentCorrection,      (std::int32_t percent), (percent))                  \
    X(Command, Result, AbsoluteCorrectionText, (std::int32_t amount, const QString& text),         \
                                               (amount, text))                                     \
                                                                                                   \
    /* Payments: amount in kopecks, payment type 1..8 (8 = cash) */                                \
    X(Command, Result, Tender2,      (double amount, const QVariant& paymentType,                  \
                                      const QVariant& cardNumber, const QString& documentNumber),  \
                                     (amount, paymentType, cardNumber, documentNumber))            \
    X(Command, Result, ResetPayInfo, (), ())                                                       \
                                                                                                   \
    /* Text lines printed in or after a document */                                                \
    X(Command, Result, TextLine,           (const QString& text), (text))                          \
    X(Command, Result, AddExtraString,     (const QString& line), (line))                          \
    X(Command, Result, ClearExtraStrings,  (), ())                                                 \
    X(Command, Result, AddExtraString2,    (const QString& text, const QString& number),           \
                                           (text, number))                                         \
    X(Command, Result, ClearExtraStrings2, (), ())                                                 \
    X(Command, Result, SetDescriptorText,  (std::int16_t number, const QString& text),             \
                                           (number, text))                                         \
                                                                                                   \
    /* Information */                                                                              \
    X(Query, std::int32_t, GetDeviceInfo,       (std::int16_t index), (index))                     \
    X(Query, QString,      GetTextDeviceInfo,   (std::int32_t index), (index))                     \
    X(Query, double,       GetDoubleDeviceInfo, (std::int16_t index), (index))                     \
    X(Query, std::int32_t, GetDocInfo,          (std::int16_t index), (index))                     \
                                                                                                   \
    /* Reports and tests */                                                                        \
    X(Command, Result, PrintReport,           (std::int16_t kind), (kind))                         \
    X(Command, Result, TestPrinter,           (std::int16_t kind), (kind))                         \
    X(Command, Result, TaxChainReport,        (std::int16_t chain, std::int16_t amount),           \
                                              (chain, amount))                                     \
    X(Command, Result, TaxChainsReport,       (), ())                                              \
    X(Command, Result, EKLZPrintReportByNum,  (std::int16_t kind, std::int32_t first,              \
                                               std::int32_t last, std::int16_t reserved),          \
                                              (kind, first, last, reserved))                       \
    X(Command, Result, EKLZPrintReportByDate, (std::int16_t kind, std::int32_t reserved,           \
                                               const QDate& first, const QDate& last),             \
                                              (kind, reserved, first, last))                       \
                                                                                                   \
    /* Device programming */                                                                       \
    X(Query,   std::int32_t, GetDeviceOpt,   (std::int16_t option), (option))                      \
    X(Command, Result,       SetDeviceOpt,   (std::int16_t option, std::int16_t value),            \
                                             (option, value))                                      \
    X(Command, Result,       SetOrderHeader, (std::int16_t line, const QString& text,              \
                                              std::int16_t bold),                                  \
                                             (line, text, bold))                                   \
    X(Command, Result,       SetDate,        (const QString& day, const QString& month,            \
                                              std::int32_t year),                                  \
                                             (day, month, year))                                   \
    X(Command, Result,       SetTime,        (const QString& hour, const QString& minute,          \
                                              std::int32_t second),                                \
                                             (hour, minute, second))                               \
    X(Command, Result,       SetPaperType,   (std::int16_t code, std::int16_t reserved),           \
                                             (code, reserved))                                     \
    X(Command, Result,       SetPaymentMean, (std::int32_t number, const QString& name,            \
                                              std::int32_t card, std::int32_t cash,                \
                                              std::int32_t drawer, std::int32_t change),           \
                                             (number, name, card, cash, drawer, change))           \
    X(Command, Result,       SetPrintDocumentMode,                                                 \
                                             (std::int32_t mode, std::int32_t side,                \
                                              std::int32_t copies, std::int32_t fiscalCopy,        \
                                              std::int32_t rowsBefore, std::int32_t rowsBetween),  \
                                             (mode, side, copies, fiscalCopy, rowsBefore,          \
                                              rowsBetween))                                        \
                                                                                                   \
    /* Taxes */                                                                                    \
    X(Query,   std::int16_t, GetTaxRate,  (std::int16_t number), (number))                         \
    X(Command, Result,       SetTaxRate,  (std::int16_t number, std::int16_t rate), (number, rate))\
    X(Query,   QString,      GetTaxChain, (std::int16_t number), (number))                         \
    X(Command, Result,       SetTaxChain, (std::int16_t number, const QString& chain),             \
                                          (number, chain))                                         \
                                                                                                   \
    /* Pictures and bar codes */                                                                   \
    X(Command, Result, LoadImage,      (std::int16_t slot, const QString& fileName),               \
                                       (slot, fileName))                                           \
    X(Command, Result, LoadImages,     (const QString& file1, const QString& file2,                \
                                        const QString& file3),                                     \
                                       (file1, file2, file3))                                      \
    X(Command, Result, SetImage,       (std::int16_t slot), (slot))                                \
    X(Command, Result, DeleteImage,    (std::int16_t slot), (slot))                                \
    X(Command, Result, ProgramBarCode, (std::int32_t textAfter, std::int32_t textBefore,           \
                                        std::int32_t alignment, std::int32_t scaling,              \
                                        std::int32_t thickness, std::int32_t font,                 \
                                        std::int32_t symbology, std::int32_t height,               \
                                        const QString& content),                                   \
                                       (textAfter, textBefore, alignment, scaling, thickness,      \
                                        font, symbology, height, content))                         \
    X(Command, Result, ProgramBarCodeDirect, (const QString& mask), (mask))                        \
                                                                                                   \
    /* Customer line display */                                                                    \
    X(Command, Result, InitLineDisplay,           (), ())                                          \
    X(Command, Result, StringToLineDisplay,       (const QString& text), (text))                   \
    X(Command, Result, StringToLineDisplayDirect, (const QString& text), (text))
// clang-format on

// A member's declaration in Driver, and its override in a driver that implements every member.
#define QUOLT_DRIVER_PURE(role, result, name, parameters, arguments)                               \
    virtual result name parameters = 0;
#define QUOLT_DRIVER_OVERRIDE(role, result, name, parameters, arguments)                           \
    result name parameters override;

// The contract of the fiscal printer's driver object: one member per driver operation, named as
// the operation (the table above).
class Driver
{
public:
    using Result = std::int16_t;

    Driver() = default;
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    virtual ~Driver() = default;

    QUOLT_DRIVER_MEMBERS(QUOLT_DRIVER_PURE)
};
