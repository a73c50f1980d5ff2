// The transport of the device service: listening, the token, the size guard and writing answers.
// What each path answers is in DeviceRoutes.cpp.

#include "DeviceService.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

using namespace Qt::StringLiterals;

namespace service {
namespace {

// Room for the request line and headers on top of the body's limit.
constexpr qint64 kMaxHeaderBytes = 64 * 1024;
constexpr const char* kRefused = "quoltRefused";

// Takes connections with the delay of small writes off (every answer is one small write, and a
// client waits for it) and lets the service watch each connection's bytes before the HTTP parser
// reads them.
class WatchedServer final : public QTcpServer
{
public:
    explicit WatchedServer(std::function<void(QTcpSocket*)> accepted)
        : m_accepted(std::move(accepted))
    {
    }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_accepted(socket);
        addPendingConnection(socket);
    }

private:
    std::function<void(QTcpSocket*)> m_accepted;
};

QByteArray methodName(QHttpServerRequest::Method method)
{
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return "GET";
    case QHttpServerRequest::Method::Post:
        return "POST";
    case QHttpServerRequest::Method::Delete:
        return "DELETE";
    case QHttpServerRequest::Method::Put:
        return "PUT";
    case QHttpServerRequest::Method::Head:
        return "HEAD";
    default:
        return "OTHER";
    }
}

// Compares in time that does not depend on where the texts differ.
bool sameSecret(const QByteArray& given, const QByteArray& secret)
{
    if (given.size() != secret.size() || secret.isEmpty())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < secret.size(); ++i)
        difference |= static_cast<unsigned char>(given[i] ^ secret[i]);
    return difference == 0;
}

QByteArray jsonBytes(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

DeviceService::DeviceService(ServedDevices& devices, QList<int> ports, Settings settings,
                             QObject* parent)
    : QAbstractHttpServer(parent), m_devices(devices), m_ports(ports),
      m_settings(std::move(settings)), m_sessions(devices.folder(), ports, m_settings.limits)
{
}

DeviceService::~DeviceService() = default;

bool DeviceService::listenOn(const QHostAddress& address, quint16 port, QString* error)
{
    auto* server = new WatchedServer([this](QTcpSocket* socket) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { guard(socket); });
        connect(socket, &QObject::destroyed, this, [this, socket] { m_received.remove(socket); });
    });
    if (!server->listen(address, port)) {
        *error = server->errorString();
        delete server;
        return false;
    }
    bind(server);
    return true;
}

quint16 DeviceService::port() const
{
    const QList<QTcpServer*> listening = servers();
    return listening.isEmpty() ? 0 : listening.first()->serverPort();
}

void DeviceService::stop()
{
    for (QTcpServer* server : servers())
        server->close();
    m_sessions.closeAll();
}

void DeviceService::guard(QTcpSocket* socket)
{
    qint64& received = m_received[socket];
    received += socket->bytesAvailable();
    if (received <= kMaxBodyBytes + kMaxHeaderBytes || socket->property(kRefused).toBool())
        return;
    // Answered at once and the connection dropped, rather than read to its end: a client that
    // sends without end must not make the server hold it all.
    socket->setProperty(kRefused, true);
    const QByteArray body =
        jsonBytes({{u"error"_s, u"too-large"_s},
                   {u"message"_s, u"a request may hold %1 bytes at most"_s.arg(kMaxBodyBytes)}});
    socket->write("HTTP/1.1 413 Payload Too Large\r\nContent-Type: application/json\r\n"
                  "Connection: close\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\n\r\n" + body);
    socket->flush();
    socket->abort();
}

bool DeviceService::authorised(const QHttpServerRequest& request) const
{
    const QByteArray header = request.value("Authorization");
    return header.startsWith("Bearer ") && sameSecret(header.mid(7).trimmed(), m_settings.token);
}

bool DeviceService::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    m_received[socket] = 0;
    if (socket->property(kRefused).toBool())
        return true;
    Reply reply;
    if (!authorised(request)) {
        reply = {401,
                 {{u"error"_s, u"unauthorized"_s},
                  {u"message"_s, u"every request carries \"Authorization: Bearer TOKEN\" with the"
                                 u" token the server printed when it started"_s}}};
    } else {
        reply = answer(methodName(request.method()), request.url().path(), request.query(),
                       request.body());
    }
    QHttpServerResponder responder = makeResponder(request, socket);
    const auto status = static_cast<QHttpServerResponder::StatusCode>(reply.status);
    if (reply.status == 401) {
        responder.write(jsonBytes(reply.body),
                        {{"Content-Type", "application/json"},
                         {"WWW-Authenticate", "Bearer realm=\"quolt-device\""}},
                        status);
    } else {
        responder.write(jsonBytes(reply.body), {{"Content-Type", "application/json"}}, status);
    }
    return true;
}

void DeviceService::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    // Never reached: every request is answered by handleRequest.
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}

} // namespace service
