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

class QTcpSocket;

namespace service {

// An answer before it is written: the HTTP status and the JSON body.
struct Reply
{
    int status = 200;
    QJsonObject body;
};

// The served devices over HTTP, JSON in and out, every path under /v1 (docs/service.md). Every
// request carries the server's bearer token. Calls run one at a time on the thread of the event
// loop, each to its end, so clients' calls meet on a device as two programs' calls do and a stop
// waits for the call in progress.
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
    // Stops taking connections and ends every session.
    void stop();
    // A flag set when the server is asked to stop: a batch of calls then ends after the call in
    // progress, and a request that arrives meanwhile is refused.
    void setStopFlag(const std::atomic_bool* stopping) { m_stopping = stopping; }

    // The answer to one request, past the transport (the routes of DeviceRoutes.cpp).
    Reply answer(const QByteArray& method, const QString& path, const QUrlQuery& query,
                 const QByteArray& body);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    Reply calls(const QString& session, const QByteArray& body);
    Reply openSession(const QByteArray& body);
    Reply closeSession(const QString& session);
    Reply device(int port, const QStringList& rest, const QByteArray& method,
                 const QUrlQuery& query, const QByteArray& body);
    Reply steer(emulator::DeviceSession& session, const QString& what, const QByteArray& body);
    QJsonObject about();

    void guard(QTcpSocket* socket);
    bool authorised(const QHttpServerRequest& request) const;

    ServedDevices& m_devices;
    QList<int> m_ports;
    Settings m_settings;
    SessionTable m_sessions;
    const std::atomic_bool* m_stopping = nullptr;
    // Bytes received on each connection since its last complete request: a body far past the
    // limit is refused while it arrives, before the server has to hold it.
    QHash<QTcpSocket*, qint64> m_received;
};

} // namespace service
