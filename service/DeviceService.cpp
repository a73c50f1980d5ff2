// The transport of the device service: listening, the token, the size guard and writing answers.
// What each path answers is in DeviceRoutes.cpp.

#include "DeviceService.h"

#include <QCoreApplication>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QPointer>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <functional>
#include <optional>

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

QByteArray reasonOf(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Payload Too Large";
    case 422:
        return "Unprocessable Entity";
    case 429:
        return "Too Many Requests";
    case 503:
        return "Service Unavailable";
    default:
        return status >= 500 ? "Internal Server Error" : "Error";
    }
}

// The whole HTTP answer in one piece, so that it leaves in one write: the status line, the
// headers and the JSON body.
QByteArray httpAnswer(const Reply& reply, bool close)
{
    const QByteArray body = jsonBytes(reply.body);
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonOf(reply.status) +
        "\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
        "\r\n";
    if (reply.status == 401)
        head += "WWW-Authenticate: Bearer realm=\"quolt-device\"\r\n";
    if (close)
        head += "Connection: close\r\n";
    return head + "\r\n" + body;
}

} // namespace

DeviceService::DeviceService(ServedDevices& devices, QList<int> ports, Settings settings,
                             QObject* parent)
    : QAbstractHttpServer(parent), m_devices(devices), m_ports(ports),
      m_settings(std::move(settings)), m_sessions(devices.folder(), ports, m_settings.limits)
{
}

bool DeviceService::listenOn(const QHostAddress& address, quint16 port, QString* error)
{
    auto* server = new WatchedServer([this](QTcpSocket* socket) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { guard(socket); });
        connect(socket, &QObject::destroyed, this,
                [this, socket] { m_connections.remove(socket); });
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

DeviceService::~DeviceService()
{
    // The sessions' threads may still hold calls whose answers come back to this object.
    m_sessions.closeAll();
    m_sessions.drain();
}

void DeviceService::stop()
{
    for (QTcpServer* server : servers())
        server->close();
    // The calls in progress end (a batch between two calls, the stop flag being set), those not
    // begun are refused; their answers are then written before the sessions end.
    m_sessions.drain();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it)
        it.key()->flush();
    m_sessions.closeAll();
    m_sessions.drain();
}

void DeviceService::guard(QTcpSocket* socket)
{
    qint64& received = m_connections[socket].received;
    received += socket->bytesAvailable();
    if (received <= kMaxBodyBytes + kMaxHeaderBytes || socket->property(kRefused).toBool())
        return;
    // Answered at once and the connection dropped, rather than read to its end: a client that
    // sends without end must not make the server hold it all.
    socket->setProperty(kRefused, true);
    socket->write(
        httpAnswer({413,
                    {{u"error"_s, u"too-large"_s},
                     {u"message"_s, u"a request may hold %1 bytes at most"_s.arg(kMaxBodyBytes)}}},
                   true));
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
    Connection& connection = m_connections[socket];
    connection.received = 0;
    if (socket->property(kRefused).toBool())
        return true;
    const quint64 number = connection.nextRequest++;
    const bool close = request.value("Connection").compare("close", Qt::CaseInsensitive) == 0;
    // The answer may come from a session's thread: it is written on this one, in its turn.
    const Done done = [this, socket = QPointer<QTcpSocket>(socket), number, close](Reply reply) {
        const QByteArray bytes = httpAnswer(reply, close);
        if (QThread::currentThread() == thread()) {
            deliver(socket, number, bytes, close);
            return;
        }
        QMetaObject::invokeMethod(
            this, [=, this] { deliver(socket, number, bytes, close); }, Qt::QueuedConnection);
    };
    if (!authorised(request)) {
        done({401,
              {{u"error"_s, u"unauthorized"_s},
               {u"message"_s, u"every request carries \"Authorization: Bearer TOKEN\" with the"
                              u" token the server printed when it started"_s}}});
        return true;
    }
    respond(methodName(request.method()), request.url().path(), request.query(), request.body(),
            done);
    return true;
}

void DeviceService::deliver(QTcpSocket* socket, quint64 request, const QByteArray& answer,
                            bool close)
{
    const auto found = socket ? m_connections.find(socket) : m_connections.end();
    if (found == m_connections.end())
        return; // the client went away meanwhile
    Connection& connection = *found;
    connection.waiting.emplace(request, std::make_pair(answer, close));
    bool closing = false;
    for (auto next = connection.waiting.begin();
         next != connection.waiting.end() && next->first == connection.nextAnswer;
         next = connection.waiting.erase(next)) {
        socket->write(next->second.first);
        ++connection.nextAnswer;
        closing = closing || next->second.second;
    }
    // Out now rather than on the next turn of the event loop: the client is waiting for it.
    socket->flush();
    // The client asked for the connection to end with this answer.
    if (closing)
        socket->disconnectFromHost();
}

Reply DeviceService::answer(const QByteArray& method, const QString& path, const QUrlQuery& query,
                            const QByteArray& body)
{
    std::optional<Reply> reply;
    QSemaphore answered;
    respond(method, path, query, body, [&](Reply given) {
        reply = std::move(given);
        answered.release();
    });
    answered.acquire();
    return *reply;
}

void DeviceService::respond(const QByteArray& method, const QString& path, const QUrlQuery& query,
                            const QByteArray& body, const Done& done)
{
    Reply reply = route(method, path, query, body, done);
    if (reply.status != 0)
        done(std::move(reply));
}

void DeviceService::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    // Never reached: every request is answered by handleRequest.
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}

} // namespace service
