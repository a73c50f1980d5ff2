// quolt-device: looks at and steers the virtual fiscal printers of the built-in emulator.
// Exit codes: 0 done, 1 the device refused or could not be changed, 2 the command line was wrong
// (nothing was created or changed then).

#include "Emulator.h"
#include "ServeCommand.h"
#include "ToolCommands.h"

#include <QFile>
#include <QGuiApplication>

#include <algorithm>
#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace tool;

namespace {

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
    {u"tape", u"tape [--last N] [--slips | --png FILE]",
     u"the paper tape, all of it or its last N lines;\n"
     u"                            --slips: what was printed on slips instead;\n"
     u"                            --png: the roll drawn as paper, pictures included",
     0, Needs::Device, tape},
    {u"display", u"display", u"the two lines of the customer display, its protocol and lock", 0,
     Needs::Device, display},
    {u"create",
     u"create --version X.Y [--serial N] [--inn N] [--registration N] [--eklz N]\n"
     u"                            [--sales-total ROUBLES]",
     u"create the device anew as generation X.Y (says what it deletes)", 0, Needs::Nothing, create},
    {u"sensors", u"sensors [NAME on|off ...]",
     u"show or switch sensors: paper-near-end, paper-out, drawer-open,\n"
     u"                            battery-low, eklz-near-full, eklz-full, printer-error,\n"
     u"                            slip (a slip inserted in the slip printer)",
     -1, Needs::Device, sensors},
    {u"clock", u"clock forward HOURS | reset",
     u"move the device clock forward (e.g. to reach a too-long shift),\n"
     u"                            or back to the host's time",
     2, Needs::Device, tool::clock},
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
    {u"replay", u"replay SCRIPT [--create X.Y | --server URL]",
     u"run a script of driver calls saved by the call journal and report\n"
     u"                            the first result that differs; --create: on a new device;\n"
     u"                            --server: on a device served at URL",
     1, Needs::Nothing, replay},
    {u"serve", u"serve [PORT ...]",
     u"serve the devices (1 or COM1 ...) over HTTP to other programs on\n"
     u"                            this machine; --listen, --token-file (serve --help)",
     -1, Needs::Nothing, serve},
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
    // Drawing the tape needs fonts, hence a GUI application, though never a screen.
    const bool drawing = std::any_of(argv + 1, argv + argc, [](const char* arg) {
        return std::strcmp(arg, "--png") == 0 || std::strncmp(arg, "--png=", 6) == 0;
    });
    if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application;
    if (drawing)
        application = std::make_unique<QGuiApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication& app = *application;
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
    const QCommandLineOption pngOption(u"png"_s, u"tape: draw the roll into a PNG file."_s,
                                       u"file"_s);
    const QCommandLineOption versionOption(u"version"_s, u"create: the generation, e.g. 4.1."_s,
                                           u"X.Y"_s, u"6.1"_s);
    const QCommandLineOption createOption(u"create"_s, u"replay: on a device made anew as X.Y."_s,
                                          u"X.Y"_s);
    const QCommandLineOption salesTotalOption(
        kSalesTotalOption,
        u"create: the running sales total the device has reached (default 0.00); its control"
        u" tape is activated with it."_s,
        u"roubles"_s);
    const QCommandLineOption serverOption(
        u"server"_s, u"replay: on the device served at this address (quolt-device serve)."_s,
        u"URL"_s);
    parser.addOptions({dirOption, portOption, lastOption, slipsOption, pngOption, versionOption,
                       createOption, salesTotalOption, serverOption});
    parser.addOptions(serveOptions());
    for (const IdentityOption& identity : kIdentityOptions) {
        parser.addOption(QCommandLineOption(QString::fromUtf16(identity.option),
                                            QString::fromUtf16(identity.help), u"digits"_s));
    }
    parser.addPositionalArgument(u"command"_s, u"one of the commands above"_s);
    if (!parser.parse(app.arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(u"help"_s)) {
        if (parser.positionalArguments().value(0) == u"serve") {
            out() << serveHelp() << Qt::endl;
            return 0;
        }
        parser.showHelp(0);
    }

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
    if (parser.isSet(pngOption) && command->run != tape)
        return usageError(u"--png belongs to tape"_s);
    if (parser.isSet(versionOption) && command->run != create)
        return usageError(u"--version belongs to create"_s);
    if (parser.isSet(salesTotalOption) && command->run != create)
        return usageError(u"--%1 belongs to create"_s.arg(kSalesTotalOption));
    if (parser.isSet(createOption) && command->run != replay)
        return usageError(u"--create belongs to replay"_s);
    if (parser.isSet(serverOption) && command->run != replay)
        return usageError(u"--server belongs to replay"_s);
    for (const QCommandLineOption& option : serveOptions()) {
        if (parser.isSet(option) && command->run != serve)
            return usageError(u"--%1 belongs to serve"_s.arg(option.names().first()));
    }
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
