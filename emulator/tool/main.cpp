// quolt-device: looks at and steers the virtual fiscal printers of the built-in emulator.
// Exit codes: 0 done, 1 the device refused or could not be changed, 2 the command line was wrong
// (nothing was created or changed then).

#include "DeviceNumbers.h"
#include "DeviceSession.h"
#include "DeviceSteering.h"
#include "EmulatedDriver.h"
#include "Emulator.h"
#include "ErrorCodes.h"
#include "Snapshots.h"
#include "Printout.h"
#include "Raster.h"
#include "ReplayCommand.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <algorithm>

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;
using namespace emulator;

namespace {

constexpr int kRefused = 1;
constexpr int kUsage = 2;

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

int failWith(const QString& message, int exitCode = kRefused)
{
    QTextStream err(stderr);
    err << u"quolt-device: "_s << message << Qt::endl;
    return exitCode;
}

int usageError(const QString& message)
{
    return failWith(message + u"; see --help"_s, kUsage);
}

QString onOff(bool value)
{
    return value ? u"on"_s : u"off"_s;
}

QString countText(const Expected<qint64>& count)
{
    return count ? QString::number(*count) : u"?"_s;
}

void showSensors(const DeviceState& s)
{
    for (const SensorSwitch& sensor : kSensorSwitches)
        out() << QString::fromUtf16(sensor.name).leftJustified(16)
              << onOff(s.sensors.*(sensor.flag)) << Qt::endl;
}

// What a command works with: its words after the command name, the parsed options and, for
// the commands that need one, the device.
struct Invocation
{
    QStringList words;
    const QCommandLineParser& parser;
    QString folder;
    int port = 1;
    DeviceSession* session = nullptr;
};

// Applies a change of the state as one committed step.
int change(DeviceSession& session, const std::function<void(DeviceState&)>& edit)
{
    const Status result = steer(session, edit);
    if (!result)
        return failWith(u"the change could not be saved: "_s + result.detail());
    return 0;
}

int show(const Invocation& in)
{
    const Device& device = in.session->device();
    DeviceStore& store = in.session->store();
    const DeviceState& s = device.state();
    out() << u"Database:        "_s << store.path() << Qt::endl;
    out() << u"Generation:      "_s << s.major << u'.' << s.minor << Qt::endl;
    out() << u"Serial number:   "_s << s.serial << Qt::endl;
    out() << u"Taxpayer (INN):  "_s << s.taxpayerNumber << Qt::endl;
    out() << u"Registration:    "_s << s.registration << Qt::endl;
    out() << u"EKLZ:            %1, activated %2, last KPK %3"_s
                 .arg(s.eklzNumber, s.eklzActivatedAt.isValid()
                                        ? s.eklzActivatedAt.toString(u"dd.MM.yyyy HH:mm"_s)
                                        : u"--"_s)
                 .arg(s.lastKpk)
          << Qt::endl;
    out() << u"Device clock:    "_s << device.now().toString(u"dd.MM.yyyy HH:mm:ss"_s)
          << (s.clockOffsetSeconds ? u" (moved %1 s forward)"_s.arg(s.clockOffsetSeconds)
                                   : QString())
          << Qt::endl;
    out() << u"Shift:           "_s
          << (s.shiftOpen ? u"%1 open since %2, cashier %3"_s.arg(s.shiftNumber)
                                .arg(s.shiftOpenedAt.toString(u"dd.MM.yyyy HH:mm"_s), s.cashier)
                          : u"closed (%1 so far)"_s.arg(s.shiftNumber))
          << (device.checkShiftLimit().ok() ? QString() : u", TOO LONG"_s) << Qt::endl;
    if (s.document) {
        out() << u"Open document:   type %1, number %2, %3 entries, total %4, paid %5"_s
                     .arg(static_cast<int>(s.document->type))
                     .arg(s.document->number)
                     .arg(s.document->body.entries.size())
                     .arg(formatMoney(device.documentTotal()), formatMoney(device.paidTotal()))
              << Qt::endl;
    } else {
        out() << u"Open document:   none"_s << Qt::endl;
    }
    out() << u"Documents:       %1 in all, %2 fiscal, %3 non-fiscal; %4 on the control tape"_s
                 .arg(s.allDocuments)
                 .arg(s.fiscalDocuments)
                 .arg(s.nonFiscalDocuments)
                 .arg(countText(store.documentCount()))
          << Qt::endl;
    out() << u"Z reports:       "_s << s.totalCounters[Counter::LastZNumber] << Qt::endl;
    out() << u"Sales total:     "_s << formatMoney(s.grandSalesTotal) << Qt::endl;
    out() << u"Cash in drawer:  "_s << formatMoney(s.cashInDrawer) << Qt::endl;
    out() << u"Tape:            %1 lines"_s.arg(countText(store.tapeLineCount())) << Qt::endl;
    out() << u"Pending fault:   "_s
          << (s.faultMember.isEmpty() ? u"none"_s
                                      : u"%1 -> %2"_s.arg(s.faultMember).arg(s.faultCode))
          << Qt::endl;
    out() << u"Sensors:"_s << Qt::endl;
    showSensors(s);
    return 0;
}

int tape(const Invocation& in)
{
    int last = 0;
    if (in.parser.isSet(u"last"_s)) {
        bool ok = false;
        last = in.parser.value(u"last"_s).toInt(&ok);
        if (!ok || last < 1)
            return usageError(u"--last takes a positive number of lines"_s);
    }
    const Paper paper = in.parser.isSet(u"slips"_s) ? Paper::Slip : Paper::Roll;
    const Expected<QStringList> lines = in.session->store().tape(last, paper);
    if (!lines)
        return failWith(u"the tape cannot be read: "_s + lines.detail());
    // Styles are shown in brackets after the line, pictures and bar codes by a placeholder.
    for (const QString& line : *lines) {
        if (const std::optional<emulator::Raster> raster = emulator::rasterOfTapeLine(line)) {
            out() << emulator::rasterPlaceholder(*raster) << Qt::endl;
            continue;
        }
        const emulator::TapeText text = emulator::tapeText(line);
        out() << text.text;
        if (text.bold || text.tall)
            out() << (text.bold && text.tall ? u"  [жирный, высокий]"_s
                      : text.bold            ? u"  [жирный]"_s
                                             : u"  [высокий]"_s);
        out() << Qt::endl;
    }
    return 0;
}

bool digits(const QString& value, qsizetype low, qsizetype high)
{
    return value.size() >= low && value.size() <= high &&
           std::all_of(value.cbegin(), value.cend(),
                       [](QChar c) { return c >= u'0' && c <= u'9'; });
}

struct IdentityOption
{
    const char16_t* option;
    const char16_t* help;
    const char16_t* rule;
    QString DeviceState::*field;
    bool (*accepts)(const QString&);
};

const IdentityOption kIdentityOptions[] = {
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
    const QStringList parts = version.split(u'.');
    bool majorOk = false;
    bool minorOk = parts.size() == 1;
    const int major = parts.value(0).toInt(&majorOk);
    const int minor = parts.size() > 1 ? parts.value(1).toInt(&minorOk) : 0;
    if (!majorOk || !minorOk || parts.size() > 2 || major < 1 || major > 6 || minor < 0 ||
        minor > 99)
        return usageError(u"the version must be X.Y with X from 1 to 6 and Y from 0 to 99"_s);
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
    fresh.eklzActivatedAt = QDateTime::currentDateTime();
    Expected<std::unique_ptr<DeviceStore>> store =
        DeviceStore::open(in.folder, in.port, OpenMode::Replace);
    if (!store)
        return failWith(u"the device cannot be opened: "_s + store.detail());
    const Expected<DeletedRecords> deleted = (*store)->reset(fresh);
    if (!deleted)
        return failWith(u"the device could not be created: "_s + deleted.detail());
    out() << u"Device on port %1 created as generation %2.%3; deleted %4 tape lines, %5 documents"
             u" and %6 closed shifts"_s.arg(in.port)
                 .arg(major)
                 .arg(minor)
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
    replaycommand::Request request{in.folder, in.port, in.words.at(0), {}};
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
        return change(*in.session, [](DeviceState& s) { s.clockOffsetSeconds = 0; });
    bool ok = false;
    const int hours =
        in.words.size() == 2 && in.words[0] == u"forward" ? in.words[1].toInt(&ok) : 0;
    if (!ok || hours < 1 || hours > 24 * 366)
        return usageError(u"use: clock forward HOURS (1 to 8784) or clock reset"_s);
    const int result = change(
        *in.session, [hours](DeviceState& s) { s.clockOffsetSeconds += qint64(hours) * 3600; });
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

// The customer display as a customer sees it, framed, with its protocol and lock.
int display(const Invocation& in)
{
    const Device& device = in.session->device();
    const QString border = u'+' + QString(DisplayScreen::kColumns, u'-') + u'+';
    out() << border << Qt::endl;
    for (const QString& line : device.state().peripherals.display.lines)
        out() << u'|' << line << u'|' << Qt::endl;
    out() << border << Qt::endl;
    Failure ignored;
    const bool epson =
        device.deviceOption(DeviceOption::LineDisplayProtocol, ignored) == DisplayProtocol::Epson;
    out() << u"Protocol:        "_s << (epson ? u"Epson"_s : u"Birch"_s) << Qt::endl;
    out() << u"Locked:          "_s << (device.lineDisplayLocked() ? u"yes"_s : u"no"_s)
          << Qt::endl;
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
        done = snapshots::restore(in.session->store(), in.folder, in.port, name);
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

int codes(const Invocation&)
{
    std::size_t count = 0;
    const ErrorCodeInfo* table = errorCodeTable(count);
    for (std::size_t i = 0; i < count; ++i) {
        out() << QString::number(static_cast<int>(table[i].code)).rightJustified(3) << u"  "_s
              << QString::fromUtf16(table[i].russian) << u" / "_s
              << QString::fromUtf16(table[i].english) << Qt::endl;
    }
    return 0;
}

enum class Needs { Nothing, Device };

struct Command
{
    const char16_t* name;
    const char16_t* usage;
    const char16_t* help;
    int maxWords; // after the command name; -1: any number, checked by the command
    Needs needs;
    int (*run)(const Invocation&);
};

constexpr Command kCommands[] = {
    {u"show", u"show", u"the device's generation, shift, open document, counters, sensors", 0,
     Needs::Device, show},
    {u"tape", u"tape [--last N] [--slips]",
     u"the paper tape, all of it or its last N lines;\n"
     u"                            --slips: what was printed on slips instead",
     0, Needs::Device, tape},
    {u"display", u"display", u"the two lines of the customer display, its protocol and lock", 0,
     Needs::Device, display},
    {u"create", u"create --version X.Y [--serial N] [--inn N] [--registration N] [--eklz N]",
     u"create the device anew as generation X.Y (says what it deletes)", 0, Needs::Nothing, create},
    {u"sensors", u"sensors [NAME on|off ...]",
     u"show or switch sensors: paper-near-end, paper-out, drawer-open,\n"
     u"                            battery-low, eklz-near-full, eklz-full, printer-error,\n"
     u"                            slip (a slip inserted in the slip printer)",
     -1, Needs::Device, sensors},
    {u"clock", u"clock forward HOURS | reset",
     u"move the device clock forward (e.g. to reach a too-long shift),\n"
     u"                            or back to the host's time",
     2, Needs::Device, clock},
    {u"fault", u"fault MEMBER [CODE] | clear",
     u"the next call of the driver command MEMBER (one that answers a\n"
     u"                            result code, e.g. Tender2) fails with CODE (default 60);\n"
     u"                            clear forgets a pending fault",
     2, Needs::Device, fault},
    {u"cancel-document", u"cancel-document",
     u"cancel the open document, e.g. one left open by a closed window", 0, Needs::Device,
     cancelDocument},
    {u"snapshot", u"snapshot save|restore|delete NAME | list",
     u"save the whole device under NAME, return to it (waits for a\n"
     u"                            device in use), delete it, or list the saved ones",
     2, Needs::Device, snapshot},
    {u"codes", u"codes", u"the result codes and their comments", 0, Needs::Nothing, codes},
    {u"replay", u"replay SCRIPT [--create X.Y]",
     u"run a script of driver calls saved by the call journal and report\n"
     u"                            the first result that differs; --create: on a new device",
     1, Needs::Nothing, replay},
};

QString helpText()
{
    QString text = u"Commands:\n"_s;
    for (const Command& command : kCommands) {
        text += u"  "_s + QString::fromUtf16(command.usage).leftJustified(26) + u"  "_s +
                QString::fromUtf16(command.help) + u'\n';
    }
    text += u"\nOnly create makes a device; the other commands need one. Changes reach a running"
            u" program at its next driver call."_s;
    return text;
}

const Command* findCommand(const QString& name)
{
    for (const Command& command : kCommands) {
        if (name == QString::fromUtf16(command.name))
            return &command;
    }
    return nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"quolt-device"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Looks at and steers the virtual fiscal printers of the TestQuolt emulator.\n\n"_s +
        helpText());
    parser.addHelpOption();
    const QCommandLineOption dirOption(
        u"dir"_s, u"The folder of the virtual devices (default %1)."_s.arg(defaultDataFolder()),
        u"folder"_s, defaultDataFolder());
    const QCommandLineOption portOption(u"port"_s, u"The COM port of the device (default 1)."_s,
                                        u"number"_s, u"1"_s);
    const QCommandLineOption lastOption(u"last"_s, u"tape: only the last N lines."_s, u"N"_s);
    const QCommandLineOption slipsOption(u"slips"_s, u"tape: the slips instead of the roll."_s);
    const QCommandLineOption versionOption(u"version"_s, u"create: the generation, e.g. 4.1."_s,
                                           u"X.Y"_s, u"6.1"_s);
    const QCommandLineOption createOption(u"create"_s, u"replay: on a device made anew as X.Y."_s,
                                          u"X.Y"_s);
    parser.addOptions(
        {dirOption, portOption, lastOption, slipsOption, versionOption, createOption});
    for (const IdentityOption& identity : kIdentityOptions) {
        parser.addOption(QCommandLineOption(QString::fromUtf16(identity.option),
                                            QString::fromUtf16(identity.help), u"digits"_s));
    }
    parser.addPositionalArgument(u"command"_s, u"one of the commands above"_s);
    if (!parser.parse(app.arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(u"help"_s))
        parser.showHelp(0);

    QStringList words = parser.positionalArguments();
    if (words.isEmpty())
        return usageError(u"no command given"_s);
    const QString name = words.takeFirst();
    const Command* command = findCommand(name);
    if (!command)
        return usageError(u"unknown command "_s + name);
    if (command->maxWords >= 0 && words.size() > command->maxWords)
        return usageError(
            u"%1 does not take %2"_s.arg(name, words.mid(command->maxWords).join(u' ')));
    if (parser.isSet(lastOption) && command->run != tape)
        return usageError(u"--last belongs to tape"_s);
    if (parser.isSet(slipsOption) && command->run != tape)
        return usageError(u"--slips belongs to tape"_s);
    if (parser.isSet(versionOption) && command->run != create)
        return usageError(u"--version belongs to create"_s);
    if (parser.isSet(createOption) && command->run != replay)
        return usageError(u"--create belongs to replay"_s);
    for (const IdentityOption& identity : kIdentityOptions) {
        if (parser.isSet(QString::fromUtf16(identity.option)) && command->run != create)
            return usageError(u"--%1 belongs to create"_s.arg(QString::fromUtf16(identity.option)));
    }

    bool ok = false;
    const int port = parser.value(portOption).toInt(&ok);
    if (!ok || port < 1 || port > 255)
        return usageError(u"the port must be a number from 1 to 255"_s);
    Invocation invocation{words, parser, parser.value(dirOption), port};
    std::unique_ptr<DeviceSession> session;
    if (command->needs == Needs::Device) {
        if (!QFile::exists(DeviceStore::databasePath(invocation.folder, port))) {
            return usageError(
                u"there is no device on port %1 in %2 (create makes one)"_s.arg(port).arg(
                    invocation.folder));
        }
        Expected<std::unique_ptr<DeviceSession>> opened =
            DeviceSession::open(invocation.folder, port, OpenMode::ExistingOnly);
        if (!opened)
            return failWith(u"cannot open the device: "_s + opened.detail());
        session = std::move(*opened);
        invocation.session = session.get();
    }
    return command->run(invocation);
}
