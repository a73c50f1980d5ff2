#include "EmulatedDriver.h"

#include "DriverMembers.h"

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

} // namespace

bool EmulatedDriver::takesInjectedFaults(const QString& member)
{
    return contract::roleOf(member) == contract::Role::Command;
}

QStringList EmulatedDriver::faultableMembers()
{
    QStringList members;
    for (const contract::Member& member : contract::kMembers) {
        if (member.role == contract::Role::Command)
            members << QString::fromUtf16(member.name.data(), qsizetype(member.name.size()));
    }
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

Driver::Result EmulatedDriver::command(CommandName member, QList<DriverArgument> arguments,
                                       const Command& body)
{
    const QString name = member.toString();
    logRequest(name, arguments);
    if (!m_session)
        return finish(name, fail(ErrorCode::NotInitialised));
    return finish(name, m_session->perform(body, name).failure());
}

Driver::Result EmulatedDriver::setting(SettingName member, QList<DriverArgument> arguments,
                                       Failure failure)
{
    const QString name = member.toString();
    logRequest(name, arguments);
    return finish(name, failure);
}

template <typename T>
T EmulatedDriver::query(QueryName member, QList<DriverArgument> arguments,
                        const std::function<T(const Device&, Failure&)>& read, T fallback)
{
    const QString name = member.toString();
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

// The queries of the other files of the driver use these.
template std::int32_t
EmulatedDriver::query<std::int32_t>(QueryName, QList<DriverArgument>,
                                    const std::function<std::int32_t(const Device&, Failure&)>&,
                                    std::int32_t);
template std::int16_t
EmulatedDriver::query<std::int16_t>(QueryName, QList<DriverArgument>,
                                    const std::function<std::int16_t(const Device&, Failure&)>&,
                                    std::int16_t);
template double EmulatedDriver::query<double>(QueryName, QList<DriverArgument>,
                                              const std::function<double(const Device&, Failure&)>&,
                                              double);
template QString
EmulatedDriver::query<QString>(QueryName, QList<DriverArgument>,
                               const std::function<QString(const Device&, Failure&)>&, QString);

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
            DeviceSession::open(m_dataFolder, m_port, m_openMode, m_clock);
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

} // namespace emulator
