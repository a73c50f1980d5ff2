// quolt-device: looks at and steers the virtual fiscal printers of the built-in emulator.

#include "DeviceSession.h"
#include "Emulator.h"
#include "ErrorCodes.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace emulator;

namespace {

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

int failWith(const QString& message)
{
    err() << u"quolt-device: "_s << message << Qt::endl;
    return 1;
}

const char* const kHelp = R"(Commands:
  show                      the device's generation, shift, open document, counters, sensors
  tape [--last N]           the paper tape, all of it or its last N lines
  create --version X.Y      create the device anew as generation X.Y (everything is lost)
  sensors                   the sensors and their state
  sensors NAME on|off ...   switch sensors: paper-near-end, paper-out, drawer-open,
                            battery-low, eklz-near-full, printer-error
  clock forward HOURS       move the device clock forward (e.g. to reach a too-long shift)
  clock reset               back to the host's time
  fault MEMBER [CODE]       the next call of the driver command MEMBER (one that answers a
                            result code, e.g. Tender2) fails with CODE (default 60)
  fault clear               forget a pending fault
  cancel-document           cancel the open document, e.g. one left open by a closed window
  codes                     the result codes and their comments

Changes reach a running program at its next driver call.)";

struct SensorName
{
    const char16_t* name;
    bool Sensors::*flag;
};

constexpr SensorName kSensors[] = {
    {u"paper-near-end", &Sensors::paperNearEnd}, {u"paper-out", &Sensors::paperOut},
    {u"drawer-open", &Sensors::drawerOpen},      {u"battery-low", &Sensors::batteryLow},
    {u"eklz-near-full", &Sensors::eklzNearFull}, {u"printer-error", &Sensors::printerError},
};

QString onOff(bool value)
{
    return value ? u"on"_s : u"off"_s;
}

void showSensors(const DeviceState& s)
{
    for (const SensorName& sensor : kSensors)
        out() << QString::fromUtf16(sensor.name).leftJustified(16)
              << onOff(s.sensors.*(sensor.flag)) << Qt::endl;
}

void show(const Device& device, DeviceStore& store)
{
    const DeviceState& s = device.state();
    out() << u"Database:        "_s << store.path() << Qt::endl;
    out() << u"Generation:      "_s << s.major << u'.' << s.minor << Qt::endl;
    out() << u"Serial number:   "_s << s.serial << Qt::endl;
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
                 .arg(store.documentCount())
          << Qt::endl;
    out() << u"Z reports:       "_s << s.totalCounters[Counter::LastZNumber] << Qt::endl;
    out() << u"Sales total:     "_s << formatMoney(s.grandSalesTotal) << Qt::endl;
    out() << u"Cash in drawer:  "_s << formatMoney(s.cashInDrawer) << Qt::endl;
    out() << u"Tape:            %1 lines"_s.arg(store.tapeLineCount()) << Qt::endl;
    out() << u"Pending fault:   "_s
          << (s.faultMember.isEmpty() ? u"none"_s
                                      : u"%1 -> %2"_s.arg(s.faultMember).arg(s.faultCode))
          << Qt::endl;
    out() << u"Sensors:"_s << Qt::endl;
    showSensors(s);
}

// Applies a change of the state as one committed step.
int change(DeviceSession& session, const std::function<void(DeviceState&)>& edit)
{
    const Failure result = session.perform([&](Device& device) {
        DeviceState next = device.state();
        edit(next);
        device.replaceState(std::move(next));
        return Failure{};
    });
    if (!result.ok())
        return failWith(u"the change could not be saved: "_s + session.store().lastError());
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"quolt-device"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Looks at and steers the virtual fiscal printers of the TestQuolt emulator.\n\n"_s +
        QString::fromUtf8(kHelp));
    parser.addHelpOption();
    const QCommandLineOption dirOption(
        u"dir"_s, u"The folder of the virtual devices (default %1)."_s.arg(defaultDataFolder()),
        u"folder"_s, defaultDataFolder());
    const QCommandLineOption portOption(u"port"_s, u"The COM port of the device (default 1)."_s,
                                        u"number"_s, u"1"_s);
    const QCommandLineOption lastOption(u"last"_s, u"tape: only the last N lines."_s, u"N"_s);
    const QCommandLineOption versionOption(u"version"_s, u"create: the generation, e.g. 4.1."_s,
                                           u"X.Y"_s, u"6.1"_s);
    parser.addOptions({dirOption, portOption, lastOption, versionOption});
    parser.addPositionalArgument(u"command"_s,
                                 u"show, tape, create, sensors, clock, fault, codes"_s);
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    if (args.isEmpty()) {
        parser.showHelp(1);
    }
    const QString command = args.first();

    if (command == u"codes") {
        std::size_t count = 0;
        const ErrorCodeInfo* table = errorCodeTable(count);
        for (std::size_t i = 0; i < count; ++i) {
            out() << QString::number(static_cast<int>(table[i].code)).rightJustified(3) << u"  "_s
                  << QString::fromUtf16(table[i].russian) << u" / "_s
                  << QString::fromUtf16(table[i].english) << Qt::endl;
        }
        return 0;
    }

    bool ok = false;
    const int port = parser.value(portOption).toInt(&ok);
    if (!ok || port < 1 || port > 255)
        return failWith(u"the port must be a number from 1 to 255"_s);
    QString error;
    std::unique_ptr<DeviceSession> session =
        DeviceSession::open(parser.value(dirOption), port, &error);
    if (!session)
        return failWith(u"cannot open the device: "_s + error);

    if (command == u"show") {
        show(session->device(), session->store());
        return 0;
    }
    if (command == u"tape") {
        int last = 0;
        if (parser.isSet(lastOption)) {
            last = parser.value(lastOption).toInt(&ok);
            if (!ok || last < 1)
                return failWith(u"--last takes a positive number of lines"_s);
        }
        for (const QString& line : session->store().tape(last))
            out() << line << Qt::endl;
        return 0;
    }
    if (command == u"create") {
        const QStringList parts = parser.value(versionOption).split(u'.');
        bool majorOk = false;
        bool minorOk = parts.size() == 1;
        const int major = parts.value(0).toInt(&majorOk);
        const int minor = parts.size() > 1 ? parts.value(1).toInt(&minorOk) : 0;
        if (!majorOk || !minorOk || parts.size() > 2 || major < 1 || major > 6 || minor < 0 ||
            minor > 99)
            return failWith(u"the version must be X.Y with X from 1 to 6 and Y from 0 to 99"_s);
        DeviceState fresh;
        fresh.major = major;
        fresh.minor = minor;
        if (!session->store().reset(fresh))
            return failWith(u"the device could not be created: "_s + session->store().lastError());
        out() << u"Device on port %1 created as generation %2.%3"_s.arg(port).arg(major).arg(minor)
              << Qt::endl;
        return 0;
    }
    if (command == u"sensors") {
        if (args.size() == 1) {
            showSensors(session->device().state());
            return 0;
        }
        if (args.size() % 2 != 1)
            return failWith(u"sensors takes pairs: NAME on|off"_s);
        QList<std::pair<bool Sensors::*, bool>> switches;
        for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
            const SensorName* found = nullptr;
            for (const SensorName& sensor : kSensors) {
                if (args[i] == QString::fromUtf16(sensor.name))
                    found = &sensor;
            }
            if (!found)
                return failWith(u"unknown sensor "_s + args[i]);
            if (args[i + 1] != u"on" && args[i + 1] != u"off")
                return failWith(u"a sensor is switched on or off, not "_s + args[i + 1]);
            switches.append({found->flag, args[i + 1] == u"on"});
        }
        const int result = change(*session, [&](DeviceState& s) {
            for (const auto& [flag, value] : switches)
                s.sensors.*flag = value;
        });
        if (result == 0)
            showSensors(session->device().state());
        return result;
    }
    if (command == u"clock") {
        if (args.size() == 2 && args[1] == u"reset")
            return change(*session, [](DeviceState& s) { s.clockOffsetSeconds = 0; });
        const int hours = args.size() == 3 && args[1] == u"forward" ? args[2].toInt(&ok) : 0;
        if (!ok || hours < 1 || hours > 24 * 366)
            return failWith(u"use: clock forward HOURS (1 to 8784) or clock reset"_s);
        const int result = change(
            *session, [hours](DeviceState& s) { s.clockOffsetSeconds += qint64(hours) * 3600; });
        if (result == 0)
            out() << u"Device clock: "_s
                  << session->device().now().toString(u"dd.MM.yyyy HH:mm:ss"_s) << Qt::endl;
        return result;
    }
    if (command == u"fault") {
        if (args.size() == 2 && args[1] == u"clear")
            return change(*session, [](DeviceState& s) {
                s.faultMember.clear();
                s.faultCode = 0;
            });
        if (args.size() < 2 || args.size() > 3)
            return failWith(u"use: fault MEMBER [CODE] or fault clear"_s);
        int code = static_cast<int>(ErrorCode::InjectedFault);
        if (args.size() == 3) {
            code = args[2].toInt(&ok);
            if (!ok || code < 1 || code > INT16_MAX)
                return failWith(u"the code must be a number from 1 to 32767"_s);
        }
        const QString member = args[1];
        return change(*session, [&](DeviceState& s) {
            s.faultMember = member;
            s.faultCode = code;
        });
    }
    if (command == u"cancel-document") {
        const Failure result =
            session->perform([](Device& device) { return device.cancelDocument(); });
        if (!result.ok())
            return failWith(
                errorComment(static_cast<std::int16_t>(result.code), Language::English));
        out() << u"The open document is cancelled"_s << Qt::endl;
        return 0;
    }
    return failWith(u"unknown command "_s + command + u"; see --help"_s);
}
