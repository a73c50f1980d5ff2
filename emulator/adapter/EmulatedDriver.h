#pragma once

#include "DeviceSession.h"
#include "DriverLog.h"
#include "EklzReports.h"
#include "ErrorCodes.h"

#include "Driver.h"
#include "DriverCall.h"
#include "DriverMembers.h"

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

    // Every member of the contract (Driver.h). Its commands run on the device through command();
    // its settings are answered by the driver itself, its queries from the device or the driver.
    QUOLT_DRIVER_MEMBERS(QUOLT_DRIVER_OVERRIDE)

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
    // The devices are held open, and were checked, by whoever made this driver (the service):
    // connecting does not read every page of a long life again.
    void openHeldDevices() { m_openMode = OpenMode::InUse; }

    // The members that run on the device (the contract's commands) and take its injected fault.
    static bool takesInjectedFaults(const QString& member);
    static QStringList faultableMembers();

    static constexpr std::int32_t kRussian = 1049;
    static constexpr std::int32_t kEnglish = 1033;

private:
    using Command = std::function<Failure(Device&)>;
    // The name of the member that runs, checked against the contract's table by the compiler.
    using CommandName = contract::NameOf<contract::Role::Command>;
    using SettingName = contract::NameOf<contract::Role::Setting>;
    using QueryName = contract::NameOf<contract::Role::Query>;

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
    Result command(CommandName member, QList<DriverArgument> arguments, const Command& body);
    // A setting of the driver itself, answered without the device.
    Result setting(SettingName member, QList<DriverArgument> arguments, Failure failure);
    // Queries: `read` answers from the device; before InitDevice they answer `fallback`.
    template <typename T>
    T query(QueryName member, QList<DriverArgument> arguments,
            const std::function<T(const Device&, Failure&)>& read, T fallback);

    // The control tape's reports (EmulatedDriverEklz.cpp): printed, or kept as text for
    // GetTextDeviceInfo(-i) when the kind is an electronic one.
    Result eklzReport(CommandName member, QList<DriverArgument> arguments, std::int16_t kind,
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
    OpenMode m_openMode = OpenMode::CreateIfMissing;
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
