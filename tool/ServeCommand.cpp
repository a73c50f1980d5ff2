#include "ServeCommand.h"

#include "DeviceService.h"
#include "DeviceStore.h"
#include "HttpConnection.h"
#include "ServedDevices.h"
#include "ServiceEndpoint.h"
#include "ServiceToken.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QRegularExpression>
#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tool {
namespace {

const QString kListenOption = u"listen"_s;
const QString kTokenFileOption = u"token-file"_s;

// SIGINT and SIGTERM reach the event loop through a pipe; the flag also ends a batch of calls
// between two calls.
int g_signalPipe[2] = {-1, -1};
std::atomic_bool g_stopping{false};

extern "C" void onStopSignal(int)
{
    g_stopping = true;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

bool catchStopSignals()
{
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGINT, &action, nullptr) == 0 &&
           ::sigaction(SIGTERM, &action, nullptr) == 0;
}

struct ListenAddress
{
    QHostAddress host;
    QString name;
    quint16 port = remote::kDefaultServicePort;
};

// HOST[:PORT], with an IPv6 host in brackets: 127.0.0.1:8840, localhost, [::1]:0.
std::optional<ListenAddress> listenAddress(const QString& text)
{
    static const QRegularExpression form(u"^(\\[([^\\]]+)\\]|[^:\\[\\]]+)(?::(\\d{1,5}))?$"_s);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    ListenAddress address;
    address.name = match.captured(2).isEmpty() ? match.captured(1) : match.captured(2);
    address.host = address.name == u"localhost" ? QHostAddress(QHostAddress::LocalHost)
                                                : QHostAddress(address.name);
    if (address.host.isNull())
        return std::nullopt;
    if (match.hasCaptured(3)) {
        const int port = match.captured(3).toInt();
        if (port > 65535)
            return std::nullopt;
        address.port = static_cast<quint16>(port);
    }
    return address;
}

// The served ports: "1", "3" or "COM3"; the tool's --port when none is given.
std::optional<QList<int>> servedPorts(const Invocation& in, QString* error)
{
    if (in.words.isEmpty())
        return QList<int>{in.port};
    QList<int> ports;
    for (const QString& word : in.words) {
        QString digits = word;
        if (digits.startsWith(u"COM"_s, Qt::CaseInsensitive))
            digits = digits.mid(3);
        bool ok = false;
        const int port = digits.toInt(&ok);
        if (!ok || port < 1 || port > 255) {
            *error = u"%1 is not a COM port: give 1 to 255 or COM1 to COM255"_s.arg(word);
            return std::nullopt;
        }
        if (!ports.contains(port))
            ports << port;
    }
    return ports;
}

// What holds an address a server could not listen on, as far as can be told from here.
QString holderOf(const ListenAddress& address)
{
    remote::HttpConnection probe(address.host.toString(), address.port, {},
                                 std::chrono::seconds(2));
    const remote::HttpConnection::Reply reply = probe.send("GET", "/v1");
    if (reply.status == 401 && reply.body.contains("\"unauthorized\""))
        return u"; another quolt-device serve listens there"_s;
    return {};
}

} // namespace

QList<QCommandLineOption> serveOptions()
{
    return {
        QCommandLineOption(kListenOption,
                           u"serve: the address and port to listen on (default 127.0.0.1:%1; port 0"
                           u" takes a free one)."_s.arg(remote::kDefaultServicePort),
                           u"host:port"_s),
        QCommandLineOption(
            kTokenFileOption,
            u"serve: where to keep the token (default serve-PORT.token in the"
            u" folder quolt-device of the user's runtime folder, $XDG_RUNTIME_DIR)."_s,
            u"file"_s),
    };
}

QString serveHelp()
{
    return u"Usage: quolt-device [--dir FOLDER] serve [PORT ...] [--listen HOST:PORT]"
           u" [--token-file FILE]\n\n"
           u"Serves the devices of the COM ports given (1 or COM1 ...; the --port device when none"
           u" is given)\nover HTTP, so that other programs drive them by driver member name with"
           u" JSON:\n"
           u"  POST   /v1/sessions                 a session of its own driver object per client\n"
           u"  POST   /v1/sessions/ID/calls        a call or a batch of calls, answered with the"
           u" result,\n"
           u"                                      the values passed out and the comments\n"
           u"  DELETE /v1/sessions/ID              ends the session\n"
           u"  GET    /v1                          the devices served and the limits\n"
           u"  GET    /v1/devices/N/state          the device's state, as show tells it\n"
           u"  GET    /v1/devices/N/tape?from=L    the tape from line L on\n"
           u"  POST   /v1/devices/N/sensors|fault|clock, DELETE /v1/devices/N/fault  steering\n\n"
           u"It listens on 127.0.0.1:%1 unless --listen says otherwise. Every request carries\n"
           u"\"Authorization: Bearer TOKEN\": the token is made anew at each start, printed once"
           u" and kept\nin a file only its user can read ($XDG_RUNTIME_DIR/quolt-device/"
           u"serve-PORT.token\nunless --token-file says otherwise).\n"
           u"Ctrl+C or SIGTERM stops the server after the call in progress; every call answered\n"
           u"is saved on the device. A device or an address already served is refused with who"
           u" holds it.\n"
           u"The protocol with examples: /usr/share/doc/testquolt/service.md."_s.arg(
               remote::kDefaultServicePort);
}

int serve(const Invocation& in)
{
    // Caught from the start, so that a stop while the server starts still ends it in order.
    if (!catchStopSignals())
        return failWith(u"cannot catch SIGINT and SIGTERM"_s);
    QString error;
    const std::optional<QList<int>> ports = servedPorts(in, &error);
    if (!ports)
        return usageError(error);
    const QString listenText = in.parser.isSet(kListenOption)
                                   ? in.parser.value(kListenOption)
                                   : u"127.0.0.1:%1"_s.arg(remote::kDefaultServicePort);
    const std::optional<ListenAddress> address = listenAddress(listenText);
    if (!address)
        return usageError(u"--listen takes HOST:PORT, such as 127.0.0.1:%1, not %2"_s
                              .arg(remote::kDefaultServicePort)
                              .arg(listenText));
    for (int port : *ports) {
        if (!QFile::exists(emulator::DeviceStore::databasePath(in.folder, port)))
            return usageError(
                u"there is no device on port %1 in %2 (create makes one)"_s.arg(port).arg(
                    in.folder));
    }

    std::unique_ptr<service::ServedDevices> devices =
        service::ServedDevices::take(in.folder, *ports, &error);
    if (!devices)
        return failWith(error);
    service::DeviceService::Settings settings;
    settings.token = service::newToken();
    service::DeviceService server(*devices, *ports, settings);
    server.setStopFlag(&g_stopping);
    if (!server.listenOn(address->host, address->port, &error))
        return failWith(u"cannot listen on %1:%2: %3%4"_s.arg(address->name)
                            .arg(address->port)
                            .arg(error, holderOf(*address)));
    const quint16 port = server.port();
    const QString tokenFile = in.parser.isSet(kTokenFileOption) ? in.parser.value(kTokenFileOption)
                                                                : remote::defaultTokenFile(port);
    if (!service::writeTokenFile(tokenFile, settings.token, &error))
        return failWith(u"the token cannot be kept: "_s + error);
    const QString host = address->host.protocol() == QAbstractSocket::IPv6Protocol
                             ? u'[' + address->name + u']'
                             : address->name;
    const QString url = u"http://%1:%2/v1"_s.arg(host).arg(port);
    devices->announce(url);
    QSocketNotifier stopNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, QCoreApplication::instance(),
                     &QCoreApplication::quit);

    QStringList served;
    for (int p : *ports)
        served << u"COM%1"_s.arg(p);
    out() << u"Serving %1 of %2 on %3"_s.arg(served.join(u", "),
                                             QDir::toNativeSeparators(devices->folder()), url)
          << Qt::endl;
    if (!address->host.isLoopback())
        out() << u"Other machines can reach %1: only the token keeps them out."_s.arg(url)
              << Qt::endl;
    out() << u"Token: %1 (kept in %2, readable by you alone)"_s.arg(
                 QString::fromLatin1(settings.token), QDir::toNativeSeparators(tokenFile))
          << Qt::endl;
    out() << u"Ctrl+C or SIGTERM stops the server."_s << Qt::endl;

    QCoreApplication::exec();

    server.stop();
    service::removeTokenFile(tokenFile, settings.token);
    out() << u"Stopped; every call answered is saved on the device."_s << Qt::endl;
    return 0;
}

} // namespace tool
