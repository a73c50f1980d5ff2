#pragma once

// A served device for the tests: `quolt-device serve` as a child process on a free port of
// 127.0.0.1 alone, with its token kept in the test's folder, stopped by SIGTERM.

#include "ServiceEndpoint.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <csignal>

namespace servicetest {

inline QString deviceTool()
{
    return QStringLiteral(QUOLT_DEVICE_TOOL);
}

// Makes the device of `port` in `folder` anew as the device tool does.
inline bool createDevice(const QString& folder, int port = 1)
{
    QProcess tool;
    tool.start(deviceTool(), {QStringLiteral("--dir"), folder, QStringLiteral("--port"),
                              QString::number(port), QStringLiteral("create")});
    return tool.waitForFinished(60000) && tool.exitCode() == 0;
}

class ServeProcess
{
public:
    ~ServeProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }

    // Starts serving `words` (the ports) of `folder`; false when the server did not say it
    // serves within the time (its output is in output()).
    bool start(const QString& folder, const QStringList& words = {},
               const QString& listen = QStringLiteral("127.0.0.1:0"))
    {
        m_tokenFile = folder + QStringLiteral("/serve.token");
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(deviceTool(),
                        QStringList{QStringLiteral("--dir"), folder, QStringLiteral("serve")} +
                            words +
                            QStringList{QStringLiteral("--listen"), listen,
                                        QStringLiteral("--token-file"), m_tokenFile});
        const QDeadlineTimer deadline(60000);
        static const QRegularExpression serving(QStringLiteral("on (http://\\S+)"));
        static const QRegularExpression token(QStringLiteral("Token: ([0-9a-f]+)"));
        while (!m_output.contains(QStringLiteral("stops the server")) && !deadline.hasExpired()) {
            if (!m_process.waitForReadyRead(int(deadline.remainingTime())))
                break;
            m_output += QString::fromUtf8(m_process.readAllStandardOutput());
        }
        const QRegularExpressionMatch url = serving.match(m_output);
        const QRegularExpressionMatch secret = token.match(m_output);
        if (!url.hasMatch() || !secret.hasMatch()) {
            m_process.waitForFinished(30000); // what it said on its way out
            m_output += QString::fromUtf8(m_process.readAllStandardOutput() +
                                          m_process.readAllStandardError());
            return false;
        }
        m_url = url.captured(1);
        m_token = secret.captured(1).toLatin1();
        return true;
    }

    // SIGTERM, as a service manager stops it; answers the exit code (-1: it did not end).
    int stop()
    {
        ::kill(pid_t(m_process.processId()), SIGTERM);
        if (!m_process.waitForFinished(60000))
            return -1;
        m_output += QString::fromUtf8(m_process.readAllStandardOutput());
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    const QString& url() const { return m_url; }
    const QByteArray& token() const { return m_token; }
    const QString& tokenFile() const { return m_tokenFile; }
    QString output() { return m_output + QString::fromUtf8(m_process.readAllStandardError()); }
    remote::Endpoint endpoint() const
    {
        remote::Endpoint endpoint;
        const QUrl url(m_url);
        endpoint.host = url.host();
        endpoint.port = quint16(url.port());
        endpoint.token = m_token;
        return endpoint;
    }

private:
    QProcess m_process;
    QString m_output;
    QString m_url;
    QByteArray m_token;
    QString m_tokenFile;
};

} // namespace servicetest
