#pragma once

#include <QByteArray>
#include <QString>
#include <QtPlugin>

#include <chrono>
#include <memory>

// What the client of a served device needs of the network, as a plugin provides it: the plugin
// alone links Qt Network and the libraries behind it, which the program then loads only when it
// works a served device, not at every start.
namespace remote {

// A blocking TCP connection to one server. Nothing here runs an event loop: every wait is bounded
// by its timeout and lets no other event in.
class ByteStream
{
public:
    using Timeout = std::chrono::milliseconds;

    virtual ~ByteStream() = default;

    // Connects to host:port; false when no connection was made within the time.
    virtual bool connectTo(const QString& host, quint16 port, Timeout timeout) = 0;
    // Sends every byte before the time is up; false when they could not all go.
    virtual bool writeAll(const QByteArray& bytes, Timeout timeout) = 0;
    // What has arrived, waiting up to `timeout` while nothing has (zero: not at all). Empty when
    // nothing came in time or the connection was closed.
    virtual QByteArray read(Timeout timeout) = 0;
    // Whether the connection is still open, having taken in a close the server made while it was
    // idle. Waits for nothing.
    virtual bool isOpen() = 0;
    // Why the last operation failed.
    virtual QString errorString() const = 0;
};

// The plugin's face: connections, and what only the network layer can tell of an address.
class NetworkLink
{
public:
    virtual ~NetworkLink() = default;

    virtual std::unique_ptr<ByteStream> stream() = 0;
    // Whether `host` is a loopback address of this machine (127.0.0.1, ::1 and the like).
    virtual bool isLoopback(const QString& host) const = 0;
};

} // namespace remote

#define QUOLT_NETWORK_LINK_IID "org.testquolt.NetworkLink/1.0"
Q_DECLARE_INTERFACE(remote::NetworkLink, QUOLT_NETWORK_LINK_IID)
