#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>

namespace remote {

class ByteStream;

// A blocking HTTP/1.1 client of one server over one connection kept open between requests. It
// runs no event loop, so a driver call made from a window cannot let another window's command
// in while it waits. A request is sent at most once: a connection the server closed while idle
// is opened anew before the request goes out, never after, so a call is never run twice. It
// reaches the server through the network plugin (NetworkPlugin.h); when that cannot be loaded,
// every request fails with the reason.
class HttpConnection
{
public:
    using Timeout = std::chrono::milliseconds;

    HttpConnection(QString host, quint16 port, QByteArray token,
                   Timeout timeout = std::chrono::seconds(60));
    ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    struct Reply
    {
        int status = 0;  // the HTTP status; 0 when no answer came
        QByteArray body; // the answer's body
        QString error;   // why no answer came
    };
    // Sends the request with the bearer token (and the body as JSON, when there is one) and waits
    // for the whole answer.
    Reply send(const QByteArray& method, const QByteArray& path, const QByteArray& body = {},
               Timeout timeout = Timeout::zero());

    const QString& host() const { return m_host; }
    quint16 port() const { return m_port; }

private:
    bool connectIfNeeded(QString* error, Timeout timeout);
    void drop();

    QString m_host;
    quint16 m_port;
    QByteArray m_token;
    Timeout m_timeout;
    std::unique_ptr<ByteStream> m_stream;
};

} // namespace remote
