// The network plugin: the client of a served device reaches its server through Qt Network here,
// and only here, so that the program loads Qt Network when it works a served device.

#include "NetworkLink.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QObject>
#include <QTcpSocket>

#include <algorithm>
#include <climits>

namespace remote {
namespace {

// Qt's waits take their time as int milliseconds; zero waits for nothing.
int milliseconds(ByteStream::Timeout timeout)
{
    return int(std::clamp<std::int64_t>(timeout.count(), 0, INT_MAX));
}

class TcpStream final : public ByteStream
{
public:
    ~TcpStream() override { m_socket.abort(); }

    bool connectTo(const QString& host, quint16 port, Timeout timeout) override
    {
        m_socket.connectToHost(host, port);
        if (!m_socket.waitForConnected(milliseconds(timeout)))
            return false;
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        return true;
    }

    bool writeAll(const QByteArray& bytes, Timeout timeout) override
    {
        const QDeadlineTimer deadline(timeout);
        if (m_socket.write(bytes) != bytes.size())
            return false;
        // What fits the socket's buffer leaves at once, without waiting for the socket to say it
        // can take it.
        m_socket.flush();
        while (m_socket.bytesToWrite() > 0) {
            const auto left =
                std::chrono::duration_cast<Timeout>(deadline.remainingTimeAsDuration());
            if (!m_socket.waitForBytesWritten(milliseconds(left)))
                return false;
        }
        return true;
    }

    QByteArray read(Timeout timeout) override
    {
        if (m_socket.bytesAvailable() == 0 && !m_socket.waitForReadyRead(milliseconds(timeout)))
            return {};
        return m_socket.readAll();
    }

    bool isOpen() override
    {
        // Takes in a close the server made while the connection was idle.
        if (m_socket.bytesAvailable() == 0)
            m_socket.waitForReadyRead(0);
        return m_socket.state() == QAbstractSocket::ConnectedState;
    }

    QString errorString() const override { return m_socket.errorString(); }

private:
    QTcpSocket m_socket;
};

} // namespace

class TcpNetworkLink final : public QObject, public NetworkLink
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QUOLT_NETWORK_LINK_IID)
    Q_INTERFACES(remote::NetworkLink)

public:
    std::unique_ptr<ByteStream> stream() override { return std::make_unique<TcpStream>(); }

    bool isLoopback(const QString& host) const override
    {
        const QHostAddress address(host);
        return !address.isNull() && address.isLoopback();
    }
};

} // namespace remote

#include "TcpNetworkLink.moc"
