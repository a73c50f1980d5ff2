#pragma once

#include "ServedDevices.h"
#include "ServiceRequest.h"
#include "SessionTable.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QJsonObject>

#include <atomic>
#include <functional>
#include <map>
#include <utility>

class QTcpSocket;

namespace service {

// An answer before it is written: the HTTP status and the JSON body.
struct Reply
{
    int status = 200;
    QJsonObject body;
};

// The served devices over HTTP, JSON in and out, every path under /v1 (docs/service.md). Every
// request carries the server's bearer token. The thread of the event loop reads and writes HTTP,
// answers the views, the steering and the sessions' bookkeeping; the calls of a session run on
// that session's thread (SessionWorkers), in the order they came, so clients on different devices
// are served at once while clients' calls meet on a device as two programs' calls do. Answers go
// out on each connection in the order of its requests. A stop waits for the calls in progress.
class DeviceService final : public QAbstractHttpServer
{
    Q_OBJECT

public:
    struct Settings
    {
        QByteArray token;
        SessionTable::Limits limits;
    };

    DeviceService(ServedDevices& devices, QList<int> ports, Settings settings,
                  QObject* parent = nullptr);
    ~DeviceService() override;

    // Starts listening; false, with the reason, when the address cannot be taken.
    bool listenOn(const QHostAddress& address, quint16 port, QString* error);
    quint16 port() const;
    // Stops taking connections, waits for the calls in progress, writes their answers and ends
    // every session.
    void stop();
    // A flag set when the server is asked to stop: a batch of calls then ends after the call in
    // progress, and a request that arrives meanwhile is refused.
    void setStopFlag(const std::atomic_bool* stopping) { m_stopping = stopping; }

    // The answer to one request, past the transport (the routes of DeviceRoutes.cpp); waits for
    // calls that run on a session's thread.
    Reply answer(const QByteArray& method, const QString& path, const QUrlQuery& query,
                 const QByteArray& body);
    // The same without waiting: `done` gets the answer, at once or, for calls, later on the
    // session's thread.
    using Done = std::function<void(Reply)>;
    void respond(const QByteArray& method, const QString& path, const QUrlQuery& query,
                 const QByteArray& body, const Done& done);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    // A connection's bytes since its last complete request, and its answers waiting for those of
    // earlier requests.
    struct Connection
    {
        qint64 received = 0;
        quint64 nextRequest = 0;
        quint64 nextAnswer = 0;
        std::map<quint64, std::pair<QByteArray, bool>> waiting; // the answer, and whether it ends
                                                                // the connection
    };

    // A status of 0 means the answer comes later, through `later`.
    Reply route(const QByteArray& method, const QString& path, const QUrlQuery& query,
                const QByteArray& body, const Done& later);
    Reply calls(const QString& session, const QByteArray& body, const Done& later);
    Reply openSession(const QByteArray& body);
    Reply closeSession(const QString& session);
    Reply device(int port, const QStringList& rest, const QByteArray& method,
                 const QUrlQuery& query, const QByteArray& body);
    Reply steer(emulator::DeviceSession& session, const QString& what, const QByteArray& body);
    QJsonObject about();

    void guard(QTcpSocket* socket);
    void deliver(QTcpSocket* socket, quint64 request, const QByteArray& answer, bool close);
    bool authorised(const QHttpServerRequest& request) const;

    ServedDevices& m_devices;
    QList<int> m_ports;
    Settings m_settings;
    SessionTable m_sessions;
    const std::atomic_bool* m_stopping = nullptr;
    // Keyed by the connection. Counting the bytes received lets a body far past the limit be
    // refused while it arrives, before the server has to hold it.
    QHash<QTcpSocket*, Connection> m_connections;
};

} // namespace service
