#pragma once

#include "HttpConnection.h"
#include "InterceptingDriver.h"
#include "ResultCodes.h"
#include "ServiceEndpoint.h"

#include <QHash>

#include <memory>
#include <optional>

namespace remote {

// The driver of a served device: every typed call goes to the server as a call by member name
// with its arguments and kinds, and the server's answer comes back as the result and the values
// passed out. The driver's own state (password, options, language, the extended code of the last
// failure) lives in its session on the server. A call that cannot reach the server, or that the
// server refuses, fails with a result code and never answers success.
class RemoteDriver final : public InterceptingDriver
{
public:
    // Opens a session on the server, starting on the device of COM port `port` (the first one
    // served when not given). Nothing, with the reason, when the server cannot be reached or
    // refuses.
    static std::unique_ptr<RemoteDriver> open(const Endpoint& endpoint, std::optional<int> port,
                                              QString* error);
    // Ends the session on the server.
    ~RemoteDriver() override;

    const Endpoint& endpoint() const { return m_endpoint; }
    // The server's folder of devices, as the server names it.
    const QString& deviceFolder() const { return m_folder; }
    // What the last answer told, without a call: the port the session is connected to (nothing
    // before InitDevice), the extended code of the last failure, the comment of a result code
    // seen in an answer (empty for one not seen yet).
    std::optional<int> connectedPort() const { return m_connectedPort; }
    std::int32_t lastErrorCode2() const { return m_code2; }
    QString commentSeen(int code) const { return m_comments.value(code); }
    std::int32_t speedPosition() const { return m_speed; }

protected:
    QVariant intercept(DriverCall& call, const Forward& forward) override;

private:
    RemoteDriver(Endpoint endpoint, QString session, QString folder);
    // The answer of a call that got none from the server: a result code for a command.
    QVariant failed(const DriverCall& call, ErrorCode code, const QString& why);
    QVariant answered(const DriverCall& call, const QByteArray& body);

    Endpoint m_endpoint;
    HttpConnection m_http;
    QString m_session;
    QString m_folder;
    std::optional<int> m_connectedPort;
    std::int32_t m_code2 = 0;
    std::int32_t m_speed = 1;
    // A failure that never reached the server: GetErrorCode2 and the comments answer it here.
    std::optional<std::int32_t> m_localCode2;
    QString m_localComment;
    QHash<int, QString> m_comments;
};

} // namespace remote
