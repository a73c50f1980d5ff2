#include "EmulatedDriver.h"

#include <QDir>

#include <climits>

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

constexpr Failure kOk{};

Failure fail(ErrorCode code, Reason reason = Reason::General)
{
    return Failure{code, reason};
}

// Every member that runs on the device through command(); command() checks that it is listed.
constexpr const char16_t* kCommandMembers[] = {
    u"StartSession",
    u"EndSession",
    u"SetClerk",
    u"OpenDrawer",
    u"PrintDuplicate",
    u"StartDocument",
    u"SetExtraDocData",
    u"SetExtraDocData2",
    u"EndDocument",
    u"CancelDocument",
    u"ResetError",
    u"PrintResult",
    u"Item",
    u"ItemEx",
    u"ItemTare",
    u"ItemTareEx",
    u"ReturnTare",
    u"ItemPurchase",
    u"VoidItem",
    u"VoidItemEx",
    u"VoidItemTare",
    u"VoidItemTareEx",
    u"VoidReturnTare",
    u"RepeatItem",
    u"CorrectLastItem",
    u"AbsoluteCorrection",
    u"PercentCorrection",
    u"AbsoluteCorrectionText",
    u"Tender2",
    u"ResetPayInfo",
    u"TextLine",
    u"AddExtraString",
    u"ClearExtraStrings",
    u"AddExtraString2",
    u"ClearExtraStrings2",
    u"SetDescriptorText",
    u"PrintReport",
    u"TestPrinter",
    u"TaxChainReport",
    u"TaxChainsReport",
    u"EKLZPrintReportByNum",
    u"EKLZPrintReportByDate",
    u"SetDeviceOpt",
    u"SetOrderHeader",
    u"SetDate",
    u"SetTime",
    u"SetPaperType",
    u"SetPaymentMean",
    u"SetPrintDocumentMode",
    u"SetTaxRate",
    u"SetTaxChain",
    u"LoadImage",
    u"LoadImages",
    u"SetImage",
    u"DeleteImage",
    u"ProgramBarCode",
    u"ProgramBarCodeDirect",
    u"InitLineDisplay",
    u"StringToLineDisplay",
    u"StringToLineDisplayDirect",
};

// The integer data values of the older generation print only when given.
QString dataValue(std::int32_t value)
{
    return value == 0 ? QString() : QString::number(value);
}

} // namespace

bool EmulatedDriver::takesInjectedFaults(const QString& member)
{
    return std::any_of(std::begin(kCommandMembers), std::end(kCommandMembers),
                       [&](const char16_t* name) { return member == QStringView(name); });
}

QStringList EmulatedDriver::faultableMembers()
{
    QStringList members;
    for (const char16_t* name : kCommandMembers)
        members << QString::fromUtf16(name);
    return members;
}

EmulatedDriver::EmulatedDriver(QString dataFolder, Device::Clock clock)
    : m_dataFolder(std::move(dataFolder)), m_clock(std::move(clock))
{
}

EmulatedDriver::~EmulatedDriver() = default;

std::optional<int> EmulatedDriver::connectedPort() const
{
    return m_session ? std::optional<int>(m_session->port()) : std::nullopt;
}

Language EmulatedDriver::language() const
{
    return m_languageId == kEnglish ? Language::English : Language::Russian;
}

TenderMode EmulatedDriver::tenderMode() const
{
    // Before generation 6 the device always closes a covered receipt by itself.
    const bool fixedAutoClose = m_session && m_session->device().state().major < 6;
    return TenderMode{fixedAutoClose || m_autoClose, m_cachePayments};
}

PrintAttributes EmulatedDriver::printAttributes() const
{
    return PrintAttributes{m_doubleWidth, m_doubleHeight, m_underline};
}

// ---- the common road ---------------------------------------------------------------------------

void EmulatedDriver::logRequest(const QString& member, const QList<DriverArgument>& arguments)
{
    if (m_logging)
        m_lowLevel.write(u"> "_s + DriverCall{member, arguments, {}, {}}.toString());
}

void EmulatedDriver::logReply(const QString& text)
{
    if (m_logging)
        m_lowLevel.write(u"< "_s + text);
}

Driver::Result EmulatedDriver::finish(const QString& member, Failure failure)
{
    m_lastCode2 = failure.extendedCode();
    const auto code = static_cast<Result>(failure.code);
    logReply(QString::number(code));
    if (!failure.ok()) {
        if (m_session && m_session->device().state().document)
            m_operationFailed = true;
        if (m_logging) {
            // "StartSession: 22 Смена уже открыта [2200]"
            m_highLevel.write(u"%1: %2 %3 [%4]"_s.arg(member)
                                  .arg(code)
                                  .arg(extendedComment(m_lastCode2, language()))
                                  .arg(m_lastCode2));
        }
    }
    return code;
}

Driver::Result EmulatedDriver::command(const char16_t* member, QList<DriverArgument> arguments,
                                       const Command& body)
{
    const QString name = QString::fromUtf16(member);
    Q_ASSERT(takesInjectedFaults(name));
    logRequest(name, arguments);
    if (!m_session)
        return finish(name, fail(ErrorCode::NotInitialised));
    return finish(name, m_session->perform(body, name).failure());
}

Driver::Result EmulatedDriver::setting(const char16_t* member, QList<DriverArgument> arguments,
                                       Failure failure)
{
    const QString name = QString::fromUtf16(member);
    logRequest(name, arguments);
    return finish(name, failure);
}

Driver::Result EmulatedDriver::notYet(const char16_t* member, QList<DriverArgument> arguments)
{
    return command(member, std::move(arguments),
                   [](Device&) { return fail(ErrorCode::NotSupportedYet); });
}

template <typename T>
T EmulatedDriver::query(const char16_t* member, QList<DriverArgument> arguments,
                        const std::function<T(const Device&, Failure&)>& read, T fallback)
{
    const QString name = QString::fromUtf16(member);
    logRequest(name, arguments);
    Failure failure;
    T value = fallback;
    if (!m_session) {
        failure = fail(ErrorCode::NotInitialised);
    } else {
        m_session->refresh();
        value = read(m_session->device(), failure);
    }
    if (!failure.ok()) {
        m_lastCode2 = failure.extendedCode();
        if (m_logging) {
            m_highLevel.write(u"%1: %2 [%3]"_s.arg(name, extendedComment(m_lastCode2, language()))
                                  .arg(m_lastCode2));
        }
    }
    logReply(QVariant::fromValue(value).toString());
    return value;
}

// ---- connection and settings -------------------------------------------------------------------

Driver::Result EmulatedDriver::SetPassword(const QString& password)
{
    Failure failure;
    if (password.isEmpty())
        failure = fail(ErrorCode::WrongPassword, Reason::EmptyText);
    else if (password.size() > 8)
        failure = fail(ErrorCode::WrongPassword, Reason::TooLarge);
    else if (std::any_of(password.cbegin(), password.cend(), [](QChar c) { return !c.isDigit(); }))
        failure = fail(ErrorCode::WrongPassword, Reason::NotANumber);
    if (failure.ok())
        m_password = password;
    return setting(u"SetPassword", {password}, failure);
}

Driver::Result EmulatedDriver::SetDriverOpt(std::int16_t option, std::int32_t value)
{
    const auto flag = [&](bool& target) {
        if (value != 0 && value != 1)
            return fail(ErrorCode::InvalidValue, Reason::TooLarge);
        target = value == 1;
        return kOk;
    };
    Failure failure;
    switch (option) {
    case 1:
        if (value < 1 || value > 255)
            failure = fail(ErrorCode::InvalidPort);
        else
            m_port = value;
        break;
    case 2:
        failure = flag(m_cachePayments);
        break;
    case 11:
        if (value < 0 || value > 2)
            failure = fail(ErrorCode::InvalidValue, Reason::TooLarge);
        else
            m_codePage = value;
        break;
    case 13:
        failure = flag(m_doubleWidth);
        break;
    case 14:
        failure = flag(m_doubleHeight);
        break;
    case 15:
        failure = flag(m_underline);
        break;
    case 16:
        // Before generation 6 the device closes covered receipts itself; that cannot be undone.
        if (value == 0 && m_session && m_session->device().state().major < 6)
            failure = fail(ErrorCode::NotSupportedByGeneration);
        else
            failure = flag(m_autoClose);
        break;
    case 101:
        if (value < 0 || value > 9)
            failure = fail(ErrorCode::InvalidSpeed);
        else
            m_speed = value;
        break;
    default:
        failure = fail(ErrorCode::UnknownIndex);
        break;
    }
    return setting(u"SetDriverOpt", {option, value}, failure);
}

std::int32_t EmulatedDriver::GetDriverOpt(std::int16_t option)
{
    logRequest(u"GetDriverOpt"_s, {option});
    std::int32_t value = -1;
    switch (option) {
    case 1:
        value = m_port;
        break;
    case 2:
        value = m_cachePayments ? 1 : 0;
        break;
    case 11:
        value = m_codePage;
        break;
    case 13:
        value = m_doubleWidth ? 1 : 0;
        break;
    case 14:
        value = m_doubleHeight ? 1 : 0;
        break;
    case 15:
        value = m_underline ? 1 : 0;
        break;
    case 16:
        value = tenderMode().autoClose ? 1 : 0;
        break;
    case 101:
        value = m_speed;
        break;
    default:
        m_lastCode2 = fail(ErrorCode::UnknownIndex).extendedCode();
        break;
    }
    logReply(QString::number(value));
    return value;
}

Driver::Result EmulatedDriver::SetLanguage(std::int32_t languageId)
{
    Failure failure;
    if (languageId == kRussian || languageId == kEnglish)
        m_languageId = languageId;
    else
        failure = fail(ErrorCode::InvalidLanguage);
    return setting(u"SetLanguage", {languageId}, failure);
}

std::int32_t EmulatedDriver::GetLanguageCount()
{
    return 2;
}

Driver::Result EmulatedDriver::GetLanguageInfo(std::int32_t number, QString& name, QString& text2,
                                               std::int32_t& languageId, std::int32_t& current)
{
    Failure failure;
    if (number == 1 || number == 2) {
        const bool russian = number == 1;
        name = russian ? u"Русский"_s : u"English"_s;
        text2 = russian ? u"Russian"_s : u"Английский"_s;
        languageId = russian ? kRussian : kEnglish;
        current = languageId == m_languageId ? 1 : 0;
    } else {
        failure = fail(ErrorCode::UnknownIndex);
    }
    return setting(u"GetLanguageInfo", {number}, failure);
}

Driver::Result EmulatedDriver::SetLogOpt(std::int16_t option, std::int32_t value)
{
    Failure failure;
    if (value < 0)
        failure = fail(ErrorCode::InvalidValue, Reason::Negative);
    else if (option == 1 && value > 1)
        failure = fail(ErrorCode::InvalidValue, Reason::TooLarge);
    else if (option == 1)
        m_logging = value == 1;
    else if (option == 2)
        m_lowLevel.setLimit(value);
    else if (option == 3)
        m_highLevel.setLimit(value);
    else
        failure = fail(ErrorCode::UnknownIndex);
    if (failure.ok() && m_logging) {
        // Logging on without a path given writes to the default files in the data folder.
        QDir().mkpath(m_dataFolder);
        if (m_lowLevel.path().isEmpty())
            m_lowLevel.setPath(localLogPath(u"c:\\ll_quolt.log"_s, m_dataFolder));
        if (m_highLevel.path().isEmpty())
            m_highLevel.setPath(localLogPath(u"c:\\hl_quolt.log"_s, m_dataFolder));
    }
    return setting(u"SetLogOpt", {option, value}, failure);
}

Driver::Result EmulatedDriver::SetLogFile(std::int16_t log, const QString& path)
{
    Failure failure;
    if (log != 1 && log != 2) {
        failure = fail(ErrorCode::UnknownIndex);
    } else {
        QDir().mkpath(m_dataFolder);
        DriverLog& target = log == 1 ? m_lowLevel : m_highLevel;
        if (!target.setPath(localLogPath(path, m_dataFolder)))
            failure = fail(ErrorCode::LogFileError, Reason::NotWritable);
    }
    return setting(u"SetLogFile", {log, path}, failure);
}

Driver::Result EmulatedDriver::InitDevice()
{
    const QString name = u"InitDevice"_s;
    logRequest(name, {});
    if (m_speed > 6) // the device talks at 115200 at most
        return finish(name, fail(ErrorCode::InvalidSpeed, Reason::TooLarge));
    // A refused attempt leaves a working connection, and the password it was made with, as they
    // were: a mistyped password must not cut the operator off the device.
    std::unique_ptr<DeviceSession> candidate;
    DeviceSession* target = m_session.get();
    if (!m_session || m_session->port() != m_port) {
        Expected<std::unique_ptr<DeviceSession>> opened =
            DeviceSession::open(m_dataFolder, m_port, OpenMode::CreateIfMissing, m_clock);
        if (!opened) {
            if (m_logging)
                m_highLevel.write(u"InitDevice: "_s + opened.detail());
            return finish(name, opened.failure());
        }
        candidate = std::move(*opened);
        target = candidate.get();
    } else {
        target->refresh();
    }
    if (m_password != target->device().state().password) {
        if (m_session)
            m_password = m_connectedPassword;
        return finish(name, fail(ErrorCode::WrongPassword));
    }
    if (candidate)
        m_session = std::move(candidate);
    m_connectedPassword = m_password;
    m_operationFailed = false;
    // A shift that outlasted its limit leaves the device connected, so that it can be closed.
    return finish(name, m_session->device().checkShiftLimit());
}

Driver::Result EmulatedDriver::DeinitDevice()
{
    logRequest(u"DeinitDevice"_s, {});
    m_session.reset();
    return finish(u"DeinitDevice"_s, kOk);
}

QString EmulatedDriver::GetErrorComment(std::int16_t code)
{
    return errorComment(code, language());
}

std::int32_t EmulatedDriver::GetErrorCode2()
{
    return m_lastCode2;
}

QString EmulatedDriver::GetErrorComment2(std::int32_t code2)
{
    return extendedComment(code2, language());
}

// ---- shift -------------------------------------------------------------------------------------

Driver::Result EmulatedDriver::StartSession(const QString& cashier, std::int32_t registerNumber)
{
    return command(u"StartSession", {cashier, registerNumber},
                   [&](Device& d) { return d.startSession(cashier, registerNumber); });
}

Driver::Result EmulatedDriver::EndSession()
{
    return command(u"EndSession", {}, [&](Device& d) {
        return withControlTape(d, [](Device& device) { return device.endSession(); });
    });
}

Driver::Result EmulatedDriver::SetClerk(const QString& cashier)
{
    return command(u"SetClerk", {cashier}, [&](Device& d) { return d.setClerk(cashier); });
}

Driver::Result EmulatedDriver::OpenDrawer()
{
    return command(u"OpenDrawer", {}, [](Device& d) { return d.openDrawer(); });
}

Driver::Result EmulatedDriver::PrintDuplicate()
{
    return command(u"PrintDuplicate", {}, [](Device& d) { return d.printDuplicate(); });
}

// ---- documents ---------------------------------------------------------------------------------

Driver::Result EmulatedDriver::StartDocument(std::int32_t type, std::int16_t department,
                                             const QString& order, const QString& cashier)
{
    const Result result =
        command(u"StartDocument", {type, department, order, cashier},
                [&](Device& d) { return d.startDocument(type, department, order, cashier); });
    if (result == 0)
        m_operationFailed = false;
    return result;
}

Driver::Result EmulatedDriver::SetExtraDocData(std::int32_t value42, std::int32_t value81,
                                               std::int32_t value82, const QString& value80)
{
    return command(u"SetExtraDocData", {value42, value81, value82, value80}, [&](Device& d) {
        return d.setExtraDocData(
            3, 3, {dataValue(value42), dataValue(value81), dataValue(value82), value80});
    });
}

Driver::Result EmulatedDriver::SetExtraDocData2(const QString& value42, const QString& value81,
                                                const QString& value82, const QString& value80)
{
    return command(u"SetExtraDocData2", {value42, value81, value82, value80}, [&](Device& d) {
        return d.setExtraDocData(4, INT_MAX, {value42, value81, value82, value80});
    });
}

Driver::Result EmulatedDriver::EndDocument()
{
    return command(u"EndDocument", {}, [](Device& d) { return d.endDocument(); });
}

Driver::Result EmulatedDriver::CancelDocument()
{
    return command(u"CancelDocument", {}, [](Device& d) { return d.cancelDocument(); });
}

Driver::Result EmulatedDriver::ResetError()
{
    const Result result = command(u"ResetError", {}, [](Device&) { return kOk; });
    if (result == 0)
        m_operationFailed = false;
    return result;
}

Driver::Result EmulatedDriver::PrintResult()
{
    return command(u"PrintResult", {}, [](Device& d) { return d.printResult(); });
}

// ---- positions ---------------------------------------------------------------------------------

Driver::Result EmulatedDriver::Item(std::int32_t quantity, std::int32_t price, const QString& name,
                                    std::int32_t taxGroup)
{
    return command(u"Item", {quantity, price, name, taxGroup}, [&](Device& d) {
        return d.registerPosition({EntryKind::Goods, quantity, price, name, taxGroup, 0}, false);
    });
}

Driver::Result EmulatedDriver::ItemEx(std::int32_t quantity, std::int32_t price,
                                      const QString& name, std::int32_t taxGroup,
                                      std::int16_t department)
{
    return command(u"ItemEx", {quantity, price, name, taxGroup, department}, [&](Device& d) {
        return d.registerPosition({EntryKind::Goods, quantity, price, name, taxGroup, department},
                                  true);
    });
}

Driver::Result EmulatedDriver::ItemTare(std::int32_t quantity, std::int32_t price,
                                        const QString& name, std::int32_t taxGroup)
{
    return command(u"ItemTare", {quantity, price, name, taxGroup}, [&](Device& d) {
        return d.registerPosition({EntryKind::Tare, quantity, price, name, taxGroup, 0}, false);
    });
}

Driver::Result EmulatedDriver::ItemTareEx(std::int32_t quantity, std::int32_t price,
                                          const QString& name, std::int32_t taxGroup,
                                          std::int16_t department)
{
    return command(u"ItemTareEx", {quantity, price, name, taxGroup, department}, [&](Device& d) {
        return d.registerPosition({EntryKind::Tare, quantity, price, name, taxGroup, department},
                                  true);
    });
}

Driver::Result EmulatedDriver::ReturnTare(std::int32_t price, std::int32_t quantity)
{
    return command(u"ReturnTare", {price, quantity}, [&](Device& d) {
        return d.registerPosition({EntryKind::TareReturn, quantity, price, QString(), 0, 0}, false);
    });
}

Driver::Result EmulatedDriver::ItemPurchase(std::int32_t quantity, std::int32_t price,
                                            const QString& name, std::int32_t department)
{
    return command(u"ItemPurchase", {quantity, price, name, department}, [&](Device& d) {
        return d.registerPosition({EntryKind::Purchase, quantity, price, name, 0, department},
                                  true);
    });
}

Driver::Result EmulatedDriver::VoidItem(const QVariant& quantity, std::int32_t price,
                                        const QString& name, std::int32_t taxGroup)
{
    return command(u"VoidItem", {quantity, price, name, taxGroup}, [&](Device& d) {
        return d.voidPosition(EntryKind::Goods, quantity, price, name, taxGroup, std::nullopt);
    });
}

Driver::Result EmulatedDriver::VoidItemEx(const QVariant& quantity, std::int32_t price,
                                          const QString& name, std::int32_t taxGroup,
                                          std::int16_t department)
{
    return command(u"VoidItemEx", {quantity, price, name, taxGroup, department}, [&](Device& d) {
        return d.voidPosition(EntryKind::Goods, quantity, price, name, taxGroup, department);
    });
}

Driver::Result EmulatedDriver::VoidItemTare(const QVariant& quantity, std::int32_t price,
                                            const QString& name, std::int32_t taxGroup)
{
    return command(u"VoidItemTare", {quantity, price, name, taxGroup}, [&](Device& d) {
        return d.voidPosition(EntryKind::Tare, quantity, price, name, taxGroup, std::nullopt);
    });
}

Driver::Result EmulatedDriver::VoidItemTareEx(const QVariant& quantity, std::int32_t price,
                                              const QString& name, std::int32_t taxGroup,
                                              std::int16_t department)
{
    return command(
        u"VoidItemTareEx", {quantity, price, name, taxGroup, department}, [&](Device& d) {
            return d.voidPosition(EntryKind::Tare, quantity, price, name, taxGroup, department);
        });
}

Driver::Result EmulatedDriver::VoidReturnTare(std::int32_t price, const QVariant& quantity)
{
    return command(u"VoidReturnTare", {price, quantity}, [&](Device& d) {
        return d.voidPosition(EntryKind::TareReturn, quantity, price, QString(), 0, std::nullopt);
    });
}

Driver::Result EmulatedDriver::RepeatItem()
{
    return command(u"RepeatItem", {}, [](Device& d) { return d.repeatItem(); });
}

Driver::Result EmulatedDriver::CorrectLastItem()
{
    return command(u"CorrectLastItem", {}, [](Device& d) { return d.correctLastItem(); });
}

// ---- corrections and payments ------------------------------------------------------------------

Driver::Result EmulatedDriver::AbsoluteCorrection(std::int32_t amount)
{
    return command(u"AbsoluteCorrection", {amount},
                   [&](Device& d) { return d.absoluteCorrection(amount, std::nullopt); });
}

Driver::Result EmulatedDriver::PercentCorrection(std::int32_t percent)
{
    return command(u"PercentCorrection", {percent},
                   [&](Device& d) { return d.percentCorrection(percent); });
}

Driver::Result EmulatedDriver::AbsoluteCorrectionText(std::int32_t amount, const QString& text)
{
    return command(u"AbsoluteCorrectionText", {amount, text},
                   [&](Device& d) { return d.absoluteCorrection(amount, text); });
}

Driver::Result EmulatedDriver::Tender2(double amount, const QVariant& paymentType,
                                       const QVariant& cardNumber, const QString& documentNumber)
{
    // The mode is read inside the command: it depends on the device's generation, which the
    // device tool may have changed since the last call.
    return command(u"Tender2", {amount, paymentType, cardNumber, documentNumber}, [&](Device& d) {
        return d.tender(amount, paymentType, cardNumber, documentNumber, tenderMode());
    });
}

Driver::Result EmulatedDriver::ResetPayInfo()
{
    return command(u"ResetPayInfo", {}, [](Device& d) { return d.resetPayInfo(); });
}

// ---- text lines --------------------------------------------------------------------------------

Driver::Result EmulatedDriver::TextLine(const QString& text)
{
    const PrintAttributes attributes = printAttributes();
    return command(u"TextLine", {text}, [&](Device& d) { return d.textLine(text, attributes); });
}

Driver::Result EmulatedDriver::AddExtraString(const QString& line)
{
    return command(u"AddExtraString", {line}, [&](Device& d) { return d.addExtraString(line); });
}

Driver::Result EmulatedDriver::ClearExtraStrings()
{
    return command(u"ClearExtraStrings", {}, [](Device& d) { return d.clearExtraStrings(); });
}

Driver::Result EmulatedDriver::AddExtraString2(const QString& text, const QString& number)
{
    return command(u"AddExtraString2", {text, number},
                   [&](Device& d) { return d.addExtraString2(text, number); });
}

Driver::Result EmulatedDriver::ClearExtraStrings2()
{
    return command(u"ClearExtraStrings2", {}, [](Device& d) { return d.clearExtraStrings2(); });
}

Driver::Result EmulatedDriver::SetDescriptorText(std::int16_t number, const QString& text)
{
    return command(u"SetDescriptorText", {number, text},
                   [&](Device& d) { return d.setDescriptorText(number, text); });
}

// ---- information -------------------------------------------------------------------------------

std::int32_t EmulatedDriver::GetDeviceInfo(std::int16_t index)
{
    return query<std::int32_t>(
        u"GetDeviceInfo", {index},
        [&](const Device& d, Failure& f) {
            // A failed operation inside the document is the driver's knowledge, not the device's.
            return index == 13 ? (m_operationFailed ? 1 : 0) : d.deviceInfo(index, f);
        },
        -1);
}

QString EmulatedDriver::GetTextDeviceInfo(std::int32_t index)
{
    // Negative indices read the last electronic report line by line, from the driver's copy.
    if (index < 0)
        return eklzTextLine(index);
    return query<QString>(
        u"GetTextDeviceInfo", {index},
        [&](const Device& d, Failure& f) { return d.textInfo(index, f); }, QString());
}

double EmulatedDriver::GetDoubleDeviceInfo(std::int16_t index)
{
    return query<double>(
        u"GetDoubleDeviceInfo", {index},
        [&](const Device& d, Failure& f) { return d.doubleInfo(index, f); }, -1.0);
}

std::int32_t EmulatedDriver::GetDocInfo(std::int16_t index)
{
    return query<std::int32_t>(
        u"GetDocInfo", {index},
        [&](const Device& d, Failure& f) { return d.documentInfo(index, f); }, -1);
}

// ---- reports and tests -------------------------------------------------------------------------

Driver::Result EmulatedDriver::PrintReport(std::int16_t kind)
{
    return command(u"PrintReport", {kind}, [&](Device& d) {
        return withControlTape(d, [kind](Device& device) { return device.printReport(kind); });
    });
}

Driver::Result EmulatedDriver::TestPrinter(std::int16_t kind)
{
    return command(u"TestPrinter", {kind}, [&](Device& d) { return d.testPrinter(kind); });
}

Driver::Result EmulatedDriver::TaxChainReport(std::int16_t chain, std::int16_t amount)
{
    return command(u"TaxChainReport", {chain, amount},
                   [&](Device& d) { return d.taxChainReport(chain, amount); });
}

Driver::Result EmulatedDriver::TaxChainsReport()
{
    return command(u"TaxChainsReport", {}, [&](Device& d) { return d.taxChainsReport(); });
}

Driver::Result EmulatedDriver::EKLZPrintReportByNum(std::int16_t kind, std::int32_t first,
                                                    std::int32_t last, std::int16_t reserved)
{
    EklzRequest request;
    request.first = first;
    request.last = last;
    return eklzReport(u"EKLZPrintReportByNum", {kind, first, last, reserved}, kind, request);
}

Driver::Result EmulatedDriver::EKLZPrintReportByDate(std::int16_t kind, std::int32_t reserved,
                                                     const QDate& first, const QDate& last)
{
    EklzRequest request;
    request.byDate = true;
    request.firstDate = first;
    request.lastDate = last;
    return eklzReport(u"EKLZPrintReportByDate", {kind, reserved, first, last}, kind, request);
}

// ---- device programming ------------------------------------------------------------------------

std::int32_t EmulatedDriver::GetDeviceOpt(std::int16_t option)
{
    return query<std::int32_t>(
        u"GetDeviceOpt", {option},
        [&](const Device& d, Failure& f) { return d.deviceOption(option, f); }, -1);
}

Driver::Result EmulatedDriver::SetDeviceOpt(std::int16_t option, std::int16_t value)
{
    const Result result = command(u"SetDeviceOpt", {option, value},
                                  [&](Device& d) { return d.setDeviceOption(option, value); });
    // The driver follows the device to its new exchange speed.
    if (result == 0 && option == 101)
        m_speed = value;
    return result;
}

Driver::Result EmulatedDriver::SetOrderHeader(std::int16_t line, const QString& text,
                                              std::int16_t bold)
{
    return command(u"SetOrderHeader", {line, text, bold},
                   [&](Device& d) { return d.setOrderHeader(line, text, bold); });
}

Driver::Result EmulatedDriver::SetDate(const QString& day, const QString& month, std::int32_t year)
{
    return command(u"SetDate", {day, month, year},
                   [&](Device& d) { return d.setDate(day, month, year); });
}

Driver::Result EmulatedDriver::SetTime(const QString& hour, const QString& minute,
                                       std::int32_t second)
{
    return command(u"SetTime", {hour, minute, second},
                   [&](Device& d) { return d.setTime(hour, minute, second); });
}

Driver::Result EmulatedDriver::SetPaperType(std::int16_t code, std::int16_t reserved)
{
    return command(u"SetPaperType", {code, reserved},
                   [&](Device& d) { return d.setPaperType(code); });
}

Driver::Result EmulatedDriver::SetPaymentMean(std::int32_t number, const QString& name,
                                              std::int32_t card, std::int32_t cash,
                                              std::int32_t drawer, std::int32_t change)
{
    return command(u"SetPaymentMean", {number, name, card, cash, drawer, change}, [&](Device& d) {
        return d.setPaymentMean(number, name, card, cash, drawer, change);
    });
}

Driver::Result EmulatedDriver::SetPrintDocumentMode(std::int32_t mode, std::int32_t side,
                                                    std::int32_t copies, std::int32_t fiscalCopy,
                                                    std::int32_t rowsBefore,
                                                    std::int32_t rowsBetween)
{
    return command(u"SetPrintDocumentMode",
                   {mode, side, copies, fiscalCopy, rowsBefore, rowsBetween}, [&](Device& d) {
                       return d.setPrintDocumentMode(mode, side, copies, fiscalCopy, rowsBefore,
                                                     rowsBetween);
                   });
}

// ---- taxes: not programmable yet; the getters answer "no tax" ----------------------------------

std::int16_t EmulatedDriver::GetTaxRate(std::int16_t number)
{
    return query<std::int16_t>(
        u"GetTaxRate", {number},
        [&](const Device& d, Failure& f) { return std::int16_t(d.taxRate(number, f)); }, 0);
}

Driver::Result EmulatedDriver::SetTaxRate(std::int16_t number, std::int16_t rate)
{
    return command(u"SetTaxRate", {number, rate},
                   [&](Device& d) { return d.setTaxRate(number, rate); });
}

QString EmulatedDriver::GetTaxChain(std::int16_t number)
{
    return query<QString>(
        u"GetTaxChain", {number},
        [&](const Device& d, Failure& f) { return d.taxChain(number, f); }, QString());
}

Driver::Result EmulatedDriver::SetTaxChain(std::int16_t number, const QString& chain)
{
    return command(u"SetTaxChain", {number, chain},
                   [&](Device& d) { return d.setTaxChain(number, chain); });
}

// ---- pictures, bar codes, line display: not supported yet ------------------------------------

Driver::Result EmulatedDriver::LoadImage(std::int16_t slot, const QString& fileName)
{
    return notYet(u"LoadImage", {slot, fileName});
}

Driver::Result EmulatedDriver::LoadImages(const QString& file1, const QString& file2,
                                          const QString& file3)
{
    return notYet(u"LoadImages", {file1, file2, file3});
}

Driver::Result EmulatedDriver::SetImage(std::int16_t slot)
{
    return notYet(u"SetImage", {slot});
}

Driver::Result EmulatedDriver::DeleteImage(std::int16_t slot)
{
    return notYet(u"DeleteImage", {slot});
}

Driver::Result EmulatedDriver::ProgramBarCode(std::int32_t textAfter, std::int32_t textBefore,
                                              std::int32_t alignment, std::int32_t scaling,
                                              std::int32_t thickness, std::int32_t font,
                                              std::int32_t symbology, std::int32_t height,
                                              const QString& content)
{
    return notYet(u"ProgramBarCode", {textAfter, textBefore, alignment, scaling, thickness, font,
                                      symbology, height, content});
}

Driver::Result EmulatedDriver::ProgramBarCodeDirect(const QString& mask)
{
    return notYet(u"ProgramBarCodeDirect", {mask});
}

Driver::Result EmulatedDriver::InitLineDisplay()
{
    return command(u"InitLineDisplay", {}, [](Device& d) { return d.initLineDisplay(); });
}

Driver::Result EmulatedDriver::StringToLineDisplay(const QString& text)
{
    return command(u"StringToLineDisplay", {text},
                   [&](Device& d) { return d.stringToLineDisplay(text); });
}

Driver::Result EmulatedDriver::StringToLineDisplayDirect(const QString& text)
{
    return command(u"StringToLineDisplayDirect", {text},
                   [&](Device& d) { return d.stringToLineDisplayDirect(text); });
}

} // namespace emulator
