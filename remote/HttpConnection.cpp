#include "HttpConnection.h"

#include "NetworkLink.h"
#include "NetworkPlugin.h"

#include <QDeadlineTimer>

#include <optional>

using namespace Qt::StringLiterals;

namespace remote {
namespace {

// The most an answer's status line and headers may take; the body is as long as it says.
constexpr qsizetype kMaxHeadBytes = 64 * 1024;
constexpr qint64 kMaxBodyBytes = 64 * 1024 * 1024;

struct Head
{
    int status = 0;
    qint64 length = -1;
    bool close = false;
};

std::optional<Head> readHead(const QByteArray& head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> statusLine = lines.value(0).trimmed().split(' ');
    if (statusLine.size() < 2 || !statusLine.at(0).startsWith("HTTP/1."))
        return std::nullopt;
    Head parsed;
    bool ok = false;
    parsed.status = statusLine.at(1).toInt(&ok);
    if (!ok)
        return std::nullopt;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            parsed.length = value.toLongLong(&ok);
            if (!ok || parsed.length < 0 || parsed.length > kMaxBodyBytes)
                return std::nullopt;
        } else if (name == "connection") {
            parsed.close = value.toLower() == "close";
        }
    }
    return parsed;
}

HttpConnection::Timeout remaining(const QDeadlineTimer& deadline)
{
    return std::chrono::duration_cast<HttpConnection::Timeout>(deadline.remainingTimeAsDuration());
}

} // namespace

HttpConnection::HttpConnection(QString host, quint16 port, QByteArray token, Timeout timeout)
    : m_host(std::move(host)), m_port(port), m_token(std::move(token)), m_timeout(timeout)
{
}

HttpConnection::~HttpConnection() = default;

void HttpConnection::drop()
{
    m_stream.reset();
}

bool HttpConnection::connectIfNeeded(QString* error, Timeout timeout)
{
    if (m_stream) {
        if (m_stream->isOpen() && m_stream->read(Timeout::zero()).isEmpty())
            return true;
        drop();
    }
    NetworkLink* network = networkLink(error);
    if (!network)
        return false;
    m_stream = network->stream();
    if (!m_stream->connectTo(m_host, m_port, timeout)) {
        *error = u"cannot reach %1:%2: %3"_s.arg(m_host).arg(m_port).arg(m_stream->errorString());
        drop();
        return false;
    }
    return true;
}

HttpConnection::Reply HttpConnection::send(const QByteArray& method, const QByteArray& path,
                                           const QByteArray& body, Timeout timeout)
{
    const Timeout limit = timeout > Timeout::zero() ? timeout : m_timeout;
    Reply reply;
    if (!connectIfNeeded(&reply.error, limit))
        return reply;
    const QDeadlineTimer deadline(limit);
    QByteArray request = method + ' ' + path + " HTTP/1.1\r\nHost: " + m_host.toUtf8() + ':' +
                         QByteArray::number(m_port) + "\r\nAuthorization: Bearer " + m_token +
                         "\r\n";
    if (!body.isEmpty())
        request += "Content-Type: application/json\r\n";
    request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    const auto fail = [&](const QString& why) {
        drop();
        reply.status = 0;
        reply.error = why;
        return reply;
    };
    if (!m_stream->writeAll(request, remaining(deadline)))
        return fail(u"the request could not be sent: "_s + m_stream->errorString());

    QByteArray received;
    qsizetype headEnd = -1;
    while ((headEnd = received.indexOf("\r\n\r\n")) < 0) {
        if (received.size() > kMaxHeadBytes)
            return fail(u"the server's answer is not HTTP"_s);
        const QByteArray more = m_stream->read(remaining(deadline));
        if (more.isEmpty())
            return fail(
                u"no answer from %1:%2: %3"_s.arg(m_host).arg(m_port).arg(m_stream->errorString()));
        received += more;
    }
    const std::optional<Head> head = readHead(received.left(headEnd));
    if (!head || head->length < 0)
        return fail(u"the server's answer is not HTTP with a length"_s);
    const qsizetype wanted = headEnd + 4 + head->length;
    while (received.size() < wanted) {
        const QByteArray more = m_stream->read(remaining(deadline));
        if (more.isEmpty())
            return fail(u"the answer from %1:%2 broke off: %3"_s.arg(m_host).arg(m_port).arg(
                m_stream->errorString()));
        received += more;
    }
    reply.status = head->status;
    reply.body = received.mid(headEnd + 4, head->length);
    if (head->close || received.size() > wanted)
        drop();
    return reply;
}

} // namespace remote
