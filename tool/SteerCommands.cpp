// The commands that change the device: create it, switch its sensors, move its clock, plant a
// fault, cancel a document, keep and restore snapshots.

#include "ToolCommands.h"

#include "DeviceSteering.h"
#include "EmulatedDriver.h"
#include "ErrorCodes.h"
#include "ReplayCommand.h"
#include "Snapshots.h"

#include <QRegularExpression>

#include <algorithm>
#include <climits>
#include <optional>

using namespace Qt::StringLiterals;
using namespace emulator;

namespace tool {
namespace {

bool digits(const QString& value, qsizetype low, qsizetype high)
{
    return value.size() >= low && value.size() <= high &&
           std::all_of(value.cbegin(), value.cend(),
                       [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// An amount in roubles with up to two decimals after a point ("125000", "99.5", "0.07"), never
// read by the locale; nothing else.
std::optional<Kopecks> roubles(const QString& text)
{
    const qsizetype point = text.indexOf(u'.');
    const QString whole = point < 0 ? text : text.left(point);
    const QString cents = point < 0 ? QString() : text.mid(point + 1);
    if (!digits(whole, 1, 10) || (point >= 0 && !digits(cents, 1, 2)))
        return std::nullopt;
    const Kopecks amount = whole.toLongLong() * 100 + cents.leftJustified(2, u'0').toLongLong();
    if (amount > Device::kMaxAmount)
        return std::nullopt;
    return amount;
}

} // namespace

const IdentityOption kIdentityOptions[4] = {
    {u"serial", u"create: the serial number (1 to 10 digits).", u"1 to 10 digits",
     &DeviceState::serial, [](const QString& v) { return digits(v, 1, 10); }},
    {u"inn", u"create: the taxpayer number (10 or 12 digits).", u"10 or 12 digits",
     &DeviceState::taxpayerNumber,
     [](const QString& v) { return digits(v, 10, 10) || digits(v, 12, 12); }},
    {u"registration", u"create: the registration number (1 to 10 digits).", u"1 to 10 digits",
     &DeviceState::registration, [](const QString& v) { return digits(v, 1, 10); }},
    {u"eklz", u"create: the number of the control tape (EKLZ, 1 to 10 digits).", u"1 to 10 digits",
     &DeviceState::eklzNumber, [](const QString& v) { return digits(v, 1, 10); }},
};

// Makes the device anew as generation `version` ("X.Y"), with the identification options given.
int createAs(const Invocation& in, const QString& version)
{
    // Exactly X.Y in plain digits: no sign, blank or leading zero that a number reader would
    // quietly take, so the generation made is the one written.
    static const QRegularExpression kVersion(
        QRegularExpression::anchoredPattern(u"([1-6])\\.(0|[1-9][0-9]?)"_s));
    const QRegularExpressionMatch match = kVersion.match(version);
    if (!match.hasMatch())
        return usageError(u"the version must be X.Y with X from 1 to 6 and Y from 0 to 99"_s);
    const int major = match.captured(1).toInt();
    const int minor = match.captured(2).toInt();
    DeviceState fresh;
    fresh.major = major;
    fresh.minor = minor;
    // The identification the device is registered with; unset options keep the defaults.
    for (const IdentityOption& identity : kIdentityOptions) {
        if (!in.parser.isSet(QString::fromUtf16(identity.option)))
            continue;
        const QString value = in.parser.value(QString::fromUtf16(identity.option));
        if (!identity.accepts(value))
            return usageError(u"--%1 takes %2"_s.arg(QString::fromUtf16(identity.option),
                                                     QString::fromUtf16(identity.rule)));
        fresh.*(identity.field) = value;
    }
    // A device that has sold before (its control tape replaced) carries its running total on.
    if (in.parser.isSet(kSalesTotalOption)) {
        const std::optional<Kopecks> total = roubles(in.parser.value(kSalesTotalOption));
        if (!total)
            return usageError(u"--%1 takes an amount in roubles such as 125000.50, at most"
                              u" 9999999999.99"_s.arg(kSalesTotalOption));
        fresh.grandSalesTotal = *total;
    }
    fresh.activateEklz(QDateTime::currentDateTime());
    Expected<std::unique_ptr<DeviceStore>> store =
        DeviceStore::open(in.folder, in.port, OpenMode::Replace);
    if (!store)
        return failWith(u"the device cannot be opened: "_s + store.detail());
    const Expected<DeletedRecords> deleted = (*store)->reset(fresh);
    if (!deleted)
        return failWith(u"the device could not be created: "_s + deleted.detail());
    const QString created =
        u"Device on port %1 created as generation %2.%3; "_s.arg(in.port).arg(major).arg(minor);
    if (deleted->damaged)
        out() << created << u"the damaged database was emptied"_s << Qt::endl;
    else
        out() << created
              << u"deleted %1 tape lines, %2 documents and %3 closed shifts"_s
                     .arg(deleted->tapeLines)
                     .arg(deleted->documents)
                     .arg(deleted->shifts)
              << Qt::endl;
    return 0;
}

int create(const Invocation& in)
{
    return createAs(in, in.parser.value(u"version"_s));
}

int replay(const Invocation& in)
{
    if (in.words.size() != 1)
        return usageError(u"use: replay SCRIPT [--create X.Y]"_s);
    replaycommand::Request request{in.folder, in.port, in.words.at(0), {}, {}};
    request.server = in.parser.value(u"server"_s);
    if (in.parser.isSet(u"create"_s))
        request.createDevice = [&in] { return createAs(in, in.parser.value(u"create"_s)); };
    const replaycommand::Outcome outcome = replaycommand::run(request);
    if (outcome.exitCode == 0)
        out() << outcome.text << Qt::endl;
    else if (!outcome.text.isEmpty())
        return outcome.exitCode == kUsage ? usageError(outcome.text)
                                          : failWith(outcome.text, outcome.exitCode);
    return outcome.exitCode;
}

int sensors(const Invocation& in)
{
    if (in.words.isEmpty()) {
        showSensors(in.session->device().state());
        return 0;
    }
    if (in.words.size() % 2 != 0)
        return usageError(u"sensors takes pairs: NAME on|off"_s);
    QList<std::pair<bool Sensors::*, bool>> switches;
    for (qsizetype i = 0; i + 1 < in.words.size(); i += 2) {
        const SensorSwitch* found = nullptr;
        for (const SensorSwitch& sensor : kSensorSwitches) {
            if (in.words[i] == QString::fromUtf16(sensor.name))
                found = &sensor;
        }
        if (!found)
            return usageError(u"unknown sensor "_s + in.words[i]);
        if (in.words[i + 1] != u"on" && in.words[i + 1] != u"off")
            return usageError(u"a sensor is switched on or off, not "_s + in.words[i + 1]);
        switches.append({found->flag, in.words[i + 1] == u"on"});
    }
    const int result = change(*in.session, [&](DeviceState& s) {
        for (const auto& [flag, value] : switches)
            s.sensors.*flag = value;
    });
    if (result == 0)
        showSensors(in.session->device().state());
    return result;
}

int clock(const Invocation& in)
{
    if (in.words == QStringList{u"reset"_s})
        return change(*in.session, resetClock);
    bool ok = false;
    const int hours =
        in.words.size() == 2 && in.words[0] == u"forward" ? in.words[1].toInt(&ok) : 0;
    if (!ok || hours < 1 || hours > kMaxClockHours)
        return usageError(
            u"use: clock forward HOURS (1 to %1) or clock reset"_s.arg(kMaxClockHours));
    const int result = change(*in.session, [hours](DeviceState& s) { moveClockForward(s, hours); });
    if (result == 0)
        out() << u"Device clock: "_s
              << in.session->device().now().toString(u"dd.MM.yyyy HH:mm:ss"_s) << Qt::endl;
    return result;
}

int fault(const Invocation& in)
{
    if (in.words == QStringList{u"clear"_s}) {
        return change(*in.session, [](DeviceState& s) {
            s.faultMember.clear();
            s.faultCode = 0;
        });
    }
    if (in.words.isEmpty() || in.words.size() > 2)
        return usageError(u"use: fault MEMBER [CODE] or fault clear"_s);
    const QString member = in.words[0];
    // A fault on anything else would never fire and stay pending for ever.
    if (!EmulatedDriver::takesInjectedFaults(member))
        return usageError(member + u" is not a driver command that answers a result code"_s);
    int code = static_cast<int>(ErrorCode::InjectedFault);
    if (in.words.size() == 2) {
        bool ok = false;
        code = in.words[1].toInt(&ok);
        if (!ok || code < 1 || code > INT16_MAX)
            return usageError(u"the code must be a number from 1 to 32767"_s);
    }
    return change(*in.session, [&](DeviceState& s) {
        s.faultMember = member;
        s.faultCode = code;
    });
}

int cancelDocument(const Invocation& in)
{
    const Status result =
        in.session->perform([](Device& device) { return device.cancelDocument(); });
    if (!result)
        return failWith(
            errorComment(static_cast<std::int16_t>(result.failure().code), Language::English));
    out() << u"The open document is cancelled"_s << Qt::endl;
    return 0;
}

int snapshot(const Invocation& in)
{
    const QString action = in.words.value(0);
    const QString name = in.words.value(1);
    const bool named = action == u"save" || action == u"restore" || action == u"delete";
    if (!(named && in.words.size() == 2) && !(action == u"list" && in.words.size() == 1))
        return usageError(u"use: snapshot save|restore|delete NAME or snapshot list"_s);
    if (named && !snapshots::isSafeName(name))
        return usageError(u"a snapshot name is 1 to 64 letters, digits, '-', '_' or '.', not "_s +
                          name);
    Status done = Done{};
    if (action == u"list") {
        const Expected<QStringList> names = snapshots::list(in.folder, in.port);
        for (const QString& saved : *names)
            out() << saved << Qt::endl;
        return 0;
    }
    if (action == u"save")
        done = snapshots::save(in.session->store(), in.folder, in.port, name);
    else if (action == u"restore")
        done = snapshots::restore(*in.session, in.folder, in.port, name);
    else
        done = snapshots::remove(in.folder, in.port, name);
    if (!done)
        return failWith(u"snapshot %1 %2: "_s.arg(action, name) + done.detail());
    out() << u"Snapshot %1: %2"_s.arg(name, action == u"save"      ? u"saved"_s
                                            : action == u"restore" ? u"restored"_s
                                                                   : u"deleted"_s)
          << Qt::endl;
    return 0;
}

} // namespace tool
