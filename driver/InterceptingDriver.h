#pragma once

#include "Driver.h"
#include "DriverCall.h"

#include <functional>
#include <memory>

// A driver that turns every typed member call into one DriverCall and hands it to intercept(),
// which may forward it to the target driver or answer it itself. The tracing decorator and the
// tests' recording fake are both built on it, so the list of members is written out only here.
// The members are defined by concern: set-up, shift and document frame (InterceptingDriver.cpp),
// what fills a document (InterceptingDocument.cpp), the device's queries and programming
// (InterceptingDevice.cpp).
class InterceptingDriver : public Driver
{
public:
    explicit InterceptingDriver(std::shared_ptr<Driver> target = {});

    Result SetPassword(const QString& password) override;
    Result SetDriverOpt(std::int16_t option, std::int32_t value) override;
    std::int32_t GetDriverOpt(std::int16_t option) override;
    Result SetLanguage(std::int32_t languageId) override;
    std::int32_t GetLanguageCount() override;
    Result GetLanguageInfo(std::int32_t number, QString& name, QString& text2,
                           std::int32_t& languageId, std::int32_t& current) override;
    Result SetLogOpt(std::int16_t option, std::int32_t value) override;
    Result SetLogFile(std::int16_t log, const QString& path) override;
    Result InitDevice() override;
    Result DeinitDevice() override;
    QString GetErrorComment(std::int16_t code) override;
    std::int32_t GetErrorCode2() override;
    QString GetErrorComment2(std::int32_t code2) override;
    Result StartSession(const QString& cashier, std::int32_t registerNumber) override;
    Result EndSession() override;
    Result SetClerk(const QString& cashier) override;
    Result OpenDrawer() override;
    Result PrintDuplicate() override;
    Result StartDocument(std::int32_t type, std::int16_t department, const QString& order,
                         const QString& cashier) override;
    Result SetExtraDocData(std::int32_t value42, std::int32_t value81, std::int32_t value82,
                           const QString& value80) override;
    Result SetExtraDocData2(const QString& value42, const QString& value81, const QString& value82,
                            const QString& value80) override;
    Result EndDocument() override;
    Result CancelDocument() override;
    Result ResetError() override;
    Result PrintResult() override;
    Result Item(std::int32_t quantity, std::int32_t price, const QString& name,
                std::int32_t taxGroup) override;
    Result ItemEx(std::int32_t quantity, std::int32_t price, const QString& name,
                  std::int32_t taxGroup, std::int16_t department) override;
    Result ItemTare(std::int32_t quantity, std::int32_t price, const QString& name,
                    std::int32_t taxGroup) override;
    Result ItemTareEx(std::int32_t quantity, std::int32_t price, const QString& name,
                      std::int32_t taxGroup, std::int16_t department) override;
    Result ReturnTare(std::int32_t price, std::int32_t quantity) override;
    Result ItemPurchase(std::int32_t quantity, std::int32_t price, const QString& name,
                        std::int32_t department) override;
    Result VoidItem(const QVariant& quantity, std::int32_t price, const QString& name,
                    std::int32_t taxGroup) override;
    Result VoidItemEx(const QVariant& quantity, std::int32_t price, const QString& name,
                      std::int32_t taxGroup, std::int16_t department) override;
    Result VoidItemTare(const QVariant& quantity, std::int32_t price, const QString& name,
                        std::int32_t taxGroup) override;
    Result VoidItemTareEx(const QVariant& quantity, std::int32_t price, const QString& name,
                          std::int32_t taxGroup, std::int16_t department) override;
    Result VoidReturnTare(std::int32_t price, const QVariant& quantity) override;
    Result RepeatItem() override;
    Result CorrectLastItem() override;
    Result AbsoluteCorrection(std::int32_t amount) override;
    Result PercentCorrection(std::int32_t percent) override;
    Result AbsoluteCorrectionText(std::int32_t amount, const QString& text) override;
    Result Tender2(double amount, const QVariant& paymentType, const QVariant& cardNumber,
                   const QString& documentNumber) override;
    Result ResetPayInfo() override;
    Result TextLine(const QString& text) override;
    Result AddExtraString(const QString& line) override;
    Result ClearExtraStrings() override;
    Result AddExtraString2(const QString& text, const QString& number) override;
    Result ClearExtraStrings2() override;
    Result SetDescriptorText(std::int16_t number, const QString& text) override;
    std::int32_t GetDeviceInfo(std::int16_t index) override;
    QString GetTextDeviceInfo(std::int32_t index) override;
    double GetDoubleDeviceInfo(std::int16_t index) override;
    std::int32_t GetDocInfo(std::int16_t index) override;
    Result PrintReport(std::int16_t kind) override;
    Result TestPrinter(std::int16_t kind) override;
    Result TaxChainReport(std::int16_t chain, std::int16_t amount) override;
    Result TaxChainsReport() override;
    Result EKLZPrintReportByNum(std::int16_t kind, std::int32_t first, std::int32_t last,
                                std::int16_t reserved) override;
    Result EKLZPrintReportByDate(std::int16_t kind, std::int32_t reserved, const QDate& first,
                                 const QDate& last) override;
    std::int32_t GetDeviceOpt(std::int16_t option) override;
    Result SetDeviceOpt(std::int16_t option, std::int16_t value) override;
    Result SetOrderHeader(std::int16_t line, const QString& text, std::int16_t bold) override;
    Result SetDate(const QString& day, const QString& month, std::int32_t year) override;
    Result SetTime(const QString& hour, const QString& minute, std::int32_t second) override;
    Result SetPaperType(std::int16_t code, std::int16_t reserved) override;
    Result SetPaymentMean(std::int32_t number, const QString& name, std::int32_t card,
                          std::int32_t cash, std::int32_t drawer, std::int32_t change) override;
    Result SetPrintDocumentMode(std::int32_t mode, std::int32_t side, std::int32_t copies,
                                std::int32_t fiscalCopy, std::int32_t rowsBefore,
                                std::int32_t rowsBetween) override;
    std::int16_t GetTaxRate(std::int16_t number) override;
    Result SetTaxRate(std::int16_t number, std::int16_t rate) override;
    QString GetTaxChain(std::int16_t number) override;
    Result SetTaxChain(std::int16_t number, const QString& chain) override;
    Result LoadImage(std::int16_t slot, const QString& fileName) override;
    Result LoadImages(const QString& file1, const QString& file2, const QString& file3) override;
    Result SetImage(std::int16_t slot) override;
    Result DeleteImage(std::int16_t slot) override;
    Result ProgramBarCode(std::int32_t textAfter, std::int32_t textBefore, std::int32_t alignment,
                          std::int32_t scaling, std::int32_t thickness, std::int32_t font,
                          std::int32_t symbology, std::int32_t height,
                          const QString& content) override;
    Result ProgramBarCodeDirect(const QString& mask) override;
    Result InitLineDisplay() override;
    Result StringToLineDisplay(const QString& text) override;
    Result StringToLineDisplayDirect(const QString& text) override;

protected:
    using Forward = std::function<QVariant()>;

    // Answers one call. `forward` runs the call on the target and returns its result; for
    // GetLanguageInfo the result is the list {code, name, text2, languageId, current}.
    virtual QVariant intercept(DriverCall& call, const Forward& forward) = 0;

private:
    Driver& target();

    template <typename R, typename Run>
    R call(const QString& member, QList<DriverArgument> arguments, Run run)
    {
        DriverCall driverCall{member, std::move(arguments), {}, {}};
        const QVariant answer = intercept(driverCall, [&] { return QVariant::fromValue(run()); });
        return answer.value<R>();
    }

    std::shared_ptr<Driver> m_target;
};
