#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <cstdint>

// The contract of the fiscal printer's driver object: one member per driver operation, named as
// the operation. Command operations return the result code (0 = success, its text is
// GetErrorComment(code)); query operations return the value itself. Integers keep the widths the
// windows pass; a QVariant parameter is a "general value" whose kind travels with it.
class Driver
{
public:
    using Result = std::int16_t;

    Driver() = default;
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    virtual ~Driver() = default;

    // Connection, settings and messages
    virtual Result SetPassword(const QString& password) = 0;
    virtual Result SetDriverOpt(std::int16_t option, std::int32_t value) = 0;
    virtual std::int32_t GetDriverOpt(std::int16_t option) = 0;
    virtual Result SetLanguage(std::int32_t languageId) = 0;
    virtual std::int32_t GetLanguageCount() = 0;
    virtual Result GetLanguageInfo(std::int32_t number, QString& name, QString& text2,
                                   std::int32_t& languageId, std::int32_t& current) = 0;
    virtual Result SetLogOpt(std::int16_t option, std::int32_t value) = 0;
    virtual Result SetLogFile(std::int16_t log, const QString& path) = 0;
    virtual Result InitDevice() = 0;
    virtual Result DeinitDevice() = 0;
    virtual QString GetErrorComment(std::int16_t code) = 0;
    virtual std::int32_t GetErrorCode2() = 0;
    virtual QString GetErrorComment2(std::int32_t code2) = 0;

    // Shift and cash drawer
    virtual Result StartSession(const QString& cashier, std::int32_t registerNumber) = 0;
    virtual Result EndSession() = 0;
    virtual Result SetClerk(const QString& cashier) = 0;
    virtual Result OpenDrawer() = 0;
    virtual Result PrintDuplicate() = 0;

    // Documents
    virtual Result StartDocument(std::int32_t type, std::int16_t department, const QString& order,
                                 const QString& cashier) = 0;
    virtual Result SetExtraDocData(std::int32_t value42, std::int32_t value81, std::int32_t value82,
                                   const QString& value80) = 0;
    virtual Result SetExtraDocData2(const QString& value42, const QString& value81,
                                    const QString& value82, const QString& value80) = 0;
    virtual Result EndDocument() = 0;
    virtual Result CancelDocument() = 0;
    virtual Result ResetError() = 0;
    virtual Result PrintResult() = 0;

    // Positions: quantities in thousandths, prices in kopecks
    virtual Result Item(std::int32_t quantity, std::int32_t price, const QString& name,
                        std::int32_t taxGroup) = 0;
    virtual Result ItemEx(std::int32_t quantity, std::int32_t price, const QString& name,
                          std::int32_t taxGroup, std::int16_t department) = 0;
    virtual Result ItemTare(std::int32_t quantity, std::int32_t price, const QString& name,
                            std::int32_t taxGroup) = 0;
    virtual Result ItemTareEx(std::int32_t quantity, std::int32_t price, const QString& name,
                              std::int32_t taxGroup, std::int16_t department) = 0;
    virtual Result ReturnTare(std::int32_t price, std::int32_t quantity) = 0;
    virtual Result ItemPurchase(std::int32_t quantity, std::int32_t price, const QString& name,
                                std::int32_t department) = 0;
    // The cancelling operations take the quantity as the operator typed it.
    virtual Result VoidItem(const QVariant& quantity, std::int32_t price, const QString& name,
                            std::int32_t taxGroup) = 0;
    virtual Result VoidItemEx(const QVariant& quantity, std::int32_t price, const QString& name,
                              std::int32_t taxGroup, std::int16_t department) = 0;
    virtual Result VoidItemTare(const QVariant& quantity, std::int32_t price, const QString& name,
                                std::int32_t taxGroup) = 0;
    virtual Result VoidItemTareEx(const QVariant& quantity, std::int32_t price, const QString& name,
                                  std::int32_t taxGroup, std::int16_t department) = 0;
    virtual Result VoidReturnTare(std::int32_t price, const QVariant& quantity) = 0;
    virtual Result RepeatItem() = 0;
    virtual Result CorrectLastItem() = 0;

    // Discounts (negative) and surcharges (positive)
    virtual Result AbsoluteCorrection(std::int32_t amount) = 0;
    virtual Result PercentCorrection(std::int32_t percent) = 0;
    virtual Result AbsoluteCorrectionText(std::int32_t amount, const QString& text) = 0;

    // Payments: amount in kopecks, payment type 1..8 (8 = cash)
    virtual Result Tender2(double amount, const QVariant& paymentType, const QVariant& cardNumber,
                           const QString& documentNumber) = 0;
    virtual Result ResetPayInfo() = 0;

    // Text lines printed in or after a document
    virtual Result TextLine(const QString& text) = 0;
    virtual Result AddExtraString(const QString& line) = 0;
    virtual Result ClearExtraStrings() = 0;
    virtual Result AddExtraString2(const QString& text, const QString& number) = 0;
    virtual Result ClearExtraStrings2() = 0;
    virtual Result SetDescriptorText(std::int16_t number, const QString& text) = 0;

    // Information
    virtual std::int32_t GetDeviceInfo(std::int16_t index) = 0;
    virtual QString GetTextDeviceInfo(std::int32_t index) = 0;
    virtual double GetDoubleDeviceInfo(std::int16_t index) = 0;
    virtual std::int32_t GetDocInfo(std::int16_t index) = 0;

    // Reports and tests
    virtual Result PrintReport(std::int16_t kind) = 0;
    virtual Result TestPrinter(std::int16_t kind) = 0;
    virtual Result TaxChainReport(std::int16_t chain, std::int16_t amount) = 0;
    virtual Result TaxChainsReport() = 0;
    virtual Result EKLZPrintReportByNum(std::int16_t kind, std::int32_t first, std::int32_t last,
                                        std::int16_t reserved) = 0;
    virtual Result EKLZPrintReportByDate(std::int16_t kind, std::int32_t reserved,
                                         const QDate& first, const QDate& last) = 0;

    // Device programming
    virtual std::int32_t GetDeviceOpt(std::int16_t option) = 0;
    virtual Result SetDeviceOpt(std::int16_t option, std::int16_t value) = 0;
    virtual Result SetOrderHeader(std::int16_t line, const QString& text, std::int16_t bold) = 0;
    virtual Result SetDate(const QString& day, const QString& month, std::int32_t year) = 0;
    virtual Result SetTime(const QString& hour, const QString& minute, std::int32_t second) = 0;
    virtual Result SetPaperType(std::int16_t code, std::int16_t reserved) = 0;
    virtual Result SetPaymentMean(std::int32_t number, const QString& name, std::int32_t card,
                                  std::int32_t cash, std::int32_t drawer, std::int32_t change) = 0;
    virtual Result SetPrintDocumentMode(std::int32_t mode, std::int32_t side, std::int32_t copies,
                                        std::int32_t fiscalCopy, std::int32_t rowsBefore,
                                        std::int32_t rowsBetween) = 0;

    // Taxes
    virtual std::int16_t GetTaxRate(std::int16_t number) = 0;
    virtual Result SetTaxRate(std::int16_t number, std::int16_t rate) = 0;
    virtual QString GetTaxChain(std::int16_t number) = 0;
    virtual Result SetTaxChain(std::int16_t number, const QString& chain) = 0;

    // Pictures and bar codes
    virtual Result LoadImage(std::int16_t slot, const QString& fileName) = 0;
    virtual Result LoadImages(const QString& file1, const QString& file2, const QString& file3) = 0;
    virtual Result SetImage(std::int16_t slot) = 0;
    virtual Result DeleteImage(std::int16_t slot) = 0;
    virtual Result ProgramBarCode(std::int32_t textAfter, std::int32_t textBefore,
                                  std::int32_t alignment, std::int32_t scaling,
                                  std::int32_t thickness, std::int32_t font, std::int32_t symbology,
                                  std::int32_t height, const QString& content) = 0;
    virtual Result ProgramBarCodeDirect(const QString& mask) = 0;

    // Customer line display
    virtual Result InitLineDisplay() = 0;
    virtual Result StringToLineDisplay(const QString& text) = 0;
    virtual Result StringToLineDisplayDirect(const QString& text) = 0;
};
