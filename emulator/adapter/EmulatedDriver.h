#pragma once

#include "DeviceSession.h"
#include "DriverLog.h"
#include "EklzReports.h"
#include "ErrorCodes.h"

#include "Driver.h"
#include "DriverCall.h"

#include <functional>
#include <memory>
#include <optional>

namespace emulator {

// The driver object of the built-in device. It keeps what the operator gives before InitDevice
// (password, port, speed, language, logs, driver options) and routes every call to the virtual
// device on the chosen port. Every command answers a result code; queries answer the value and
// leave their failure, if any, to GetErrorCode2.
class EmulatedDriver final : public Driver
{
public:
    explicit EmulatedDriver(QString dataFolder, Device::Clock clock = {});
    ~EmulatedDriver() override;

    // Connection, settings and messages
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

    // Shift and cash drawer
    Result StartSession(const QString& cashier, std::int32_t registerNumber) override;
    Result EndSession() override;
    Result SetClerk(const QString& cashier) override;
    Result OpenDrawer() override;
    Result PrintDuplicate() override;

    // Documents
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

    // Positions
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

    // Corrections and payments
    Result AbsoluteCorrection(std::int32_t amount) override;
    Result PercentCorrection(std::int32_t percent) override;
    Result AbsoluteCorrectionText(std::int32_t amount, const QString& text) override;
    Result Tender2(double amount, const QVariant& paymentType, const QVariant& cardNumber,
                   const QString& documentNumber) override;
    Result ResetPayInfo() override;

    // Text lines
    Result TextLine(const QString& text) override;
    Result AddExtraString(const QString& line) override;
    Result ClearExtraStrings() override;
    Result AddExtraString2(const QString& text, const QString& number) override;
    Result ClearExtraStrings2() override;
    Result SetDescriptorText(std::int16_t number, const QString& text) override;

    // Information
    std::int32_t GetDeviceInfo(std::int16_t index) override;
    QString GetTextDeviceInfo(std::int32_t index) override;
    double GetDoubleDeviceInfo(std::int16_t index) override;
    std::int32_t GetDocInfo(std::int16_t index) override;

    // Reports and tests
    Result PrintReport(std::int16_t kind) override;
    Result TestPrinter(std::int16_t kind) override;
    Result TaxChainReport(std::int16_t chain, std::int16_t amount) override;
    Result TaxChainsReport() override;
    Result EKLZPrintReportByNum(std::int16_t kind, std::int32_t first, std::int32_t last,
                                std::int16_t reserved) override;
    Result EKLZPrintReportByDate(std::int16_t kind, std::int32_t reserved, const QDate& first,
                                 const QDate& last) override;

    // Device programming
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

    // Taxes
    std::int16_t GetTaxRate(std::int16_t number) override;
    Result SetTaxRate(std::int16_t number, std::int16_t rate) override;
    QString GetTaxChain(std::int16_t number) override;
    Result SetTaxChain(std::int16_t number, const QString& chain) override;

    // Pictures, bar codes, line display
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

    // Where the driver works, for the program's own view of the device: the port of the working
    // connection (nothing before one) and the speed position it was given.
    std::optional<int> connectedPort() const;
    std::int32_t speedPosition() const { return m_speed; }
    const QString& dataFolder() const { return m_dataFolder; }
    // The extended code of the last failure, as GetErrorCode2 answers it but without a call.
    std::int32_t lastErrorCode2() const { return m_lastCode2; }
    // The COM ports this driver may be set to; empty (the default) allows every port. A driver
    // that works for a client of a served device reaches only the devices served.
    void limitPorts(QList<int> ports) { m_allowedPorts = std::move(ports); }

    // The members that answer a result code and take the device's injected fault.
    static bool takesInjectedFaults(const QString& member);
    static QStringList faultableMembers();

    static constexpr std::int32_t kRussian = 1049;
    static constexpr std::int32_t kEnglish = 1033;

private:
    using Command = std::function<Failure(Device&)>;

    // One of the driver's own options (EmulatedDriverOptions.cpp): its range, the failure of a
    // value outside it, how it is read and written, and a further check of the value if any.
    struct DriverOptionRule
    {
        std::int16_t option;
        std::int32_t min;
        std::int32_t max;
        Failure outOfRange;
        std::function<std::int32_t(const EmulatedDriver&)> read;
        std::function<void(EmulatedDriver&, std::int32_t)> write;
        std::function<Failure(const EmulatedDriver&, std::int32_t)> check = {};
    };
    static const DriverOptionRule* driverOptionRule(std::int16_t option);

    // The one road of every command: log it, take in outside changes, honour an injected
    // fault, run it on the device (committed on success), remember and log the outcome.
    Result command(const char16_t* member, QList<DriverArgument> arguments, const Command& body);
    // A setting of the driver itself, answered without the device.
    Result setting(const char16_t* member, QList<DriverArgument> arguments, Failure failure);
    // Queries: `read` answers from the device; before InitDevice they answer `fallback`.
    template <typename T>
    T query(const char16_t* member, QList<DriverArgument> arguments,
            const std::function<T(const Device&, Failure&)>& read, T fallback);

    // The control tape's reports (EmulatedDriverEklz.cpp): printed, or kept as text for
    // GetTextDeviceInfo(-i) when the kind is an electronic one.
    Result eklzReport(const char16_t* member, QList<DriverArgument> arguments, std::int16_t kind,
                      EklzRequest request);
    QString eklzTextLine(std::int32_t index);
    // Runs a command that may close the shift; a Z report prints the shift's control tape after
    // it when option 24 asks.
    Failure withControlTape(Device& d, const std::function<Failure(Device&)>& command);

    Result finish(const QString& member, Failure failure);
    void logRequest(const QString& member, const QList<DriverArgument>& arguments);
    void logReply(const QString& text);
    TenderMode tenderMode() const;
    PrintAttributes printAttributes() const;
    Language language() const;

    QString m_dataFolder;
    Device::Clock m_clock;
    std::unique_ptr<DeviceSession> m_session;

    // What the operator gave the driver
    QString m_password;
    QString m_connectedPassword; // the password of the working connection
    std::int32_t m_port = 1;
    QList<int> m_allowedPorts;
    std::int32_t m_speed = 1;
    std::int32_t m_languageId = kRussian;
    bool m_cachePayments = false;
    std::int32_t m_codePage = 1;
    bool m_doubleWidth = false;
    bool m_doubleHeight = false;
    bool m_underline = false;
    bool m_autoClose = true;

    // Logging
    bool m_logging = false;
    DriverLog m_lowLevel{10'000'000};
    DriverLog m_highLevel{100'000};

    // The text of the last electronic control tape report; empty when none is ready.
    QStringList m_eklzText;

    // The last failure and whether a document operation failed since the last ResetError
    std::int32_t m_lastCode2 = 0;
    bool m_operationFailed = false;
};

} // namespace emulator
