#include "RemoteDriver.h"

#include "CallScript.h"
#include "DeviceNumbers.h"
#include "ResultCodes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVariantList>

using namespace Qt::StringLiterals;

namespace remote {
namespace {

constexpr std::chrono::seconds kCloseTimeout{2};

std::optional<QJsonObject> objectOf(const QByteArray& body)
{
    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parsed);
    if (parsed.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

// What the server said of a refused request, in its words.
QString refusal(const HttpConnection::Reply& reply)
{
    const std::optional<QJsonObject> object = objectOf(reply.body);
    const QString message = object ? object->value(u"message"_s).toString() : QString();
    return message.isEmpty() ? u"the server answered HTTP %1"_s.arg(reply.status) : message;
}

} // namespace

RemoteDriver::RemoteDriver(Endpoint endpoint, QString session, QString folder)
    : m_endpoint(std::move(endpoint)), m_http(m_endpoint.host, m_endpoint.port, m_endpoint.token),
      m_session(std::move(session)), m_folder(std::move(folder))
{
}

std::unique_ptr<RemoteDriver> RemoteDriver::open(const Endpoint& endpoint, std::optional<int> port,
                                                 QString* error)
{
    HttpConnection http(endpoint.host, endpoint.port, endpoint.token, std::chrono::seconds(10));
    QJsonObject request;
    if (port)
        request.insert(u"port"_s, *port);
    const HttpConnection::Reply reply =
        http.send("POST", endpoint.path(u"/sessions"_s),
                  QJsonDocument(request).toJson(QJsonDocument::Compact));
    if (reply.status == 0) {
        *error = reply.error;
        return nullptr;
    }
    const std::optional<QJsonObject> answer = objectOf(reply.body);
    if (reply.status != 201 || !answer || !answer->value(u"session"_s).isString()) {
        *error = u"the server at %1 refused a session: %2"_s.arg(endpoint.url(), refusal(reply));
        return nullptr;
    }
    return std::unique_ptr<RemoteDriver>(new RemoteDriver(
        endpoint, answer->value(u"session"_s).toString(), answer->value(u"folder"_s).toString()));
}

RemoteDriver::~RemoteDriver()
{
    m_http.send("DELETE", m_endpoint.path(u"/sessions/"_s + m_session), {}, kCloseTimeout);
}

QVariant RemoteDriver::failed(const DriverCall& call, ErrorCode code, const QString& why)
{
    const auto result = static_cast<Driver::Result>(code);
    m_localCode2 = std::int32_t(result) * 100;
    m_code2 = *m_localCode2;
    m_localComment = code == ErrorCode::LogFileError ? u"Лог-файл недоступен для записи: "_s + why
                                                     : u"Нет связи с устройством: "_s + why;
    m_comments.insert(result, m_localComment);
    if (call.member == u"GetLanguageInfo")
        return QVariantList{QVariant::fromValue(result), QString(), QString(), 0, 0};
    if (DriverCall::isQuery(call.member))
        return {};
    return QVariant::fromValue(result);
}

QVariant RemoteDriver::answered(const DriverCall& call, const QByteArray& body)
{
    const std::optional<QJsonObject> answer = objectOf(body);
    if (!answer || !answer->contains(u"result"_s))
        return failed(call, ErrorCode::NoConnection, u"the server's answer is not a call's"_s);
    m_localCode2.reset();
    m_code2 = answer->value(u"code2"_s).toInt();
    const QJsonValue port = answer->value(u"port"_s);
    m_connectedPort = port.isDouble() ? std::optional<int>(port.toInt()) : std::nullopt;
    QVariant result = answer->value(u"result"_s).toVariant();
    if (answer->contains(u"comment"_s))
        m_comments.insert(result.toInt(), answer->value(u"comment"_s).toString());
    if (call.member == u"SetDriverOpt" && result.toInt() == 0 &&
        call.arguments.at(0).value().toInt() == DriverOption::Speed)
        m_speed = call.arguments.at(1).value().toInt();
    if (answer->contains(u"out"_s)) {
        // The values passed out follow the result, as InterceptingDriver takes them.
        QVariantList values{result};
        for (const QJsonValue& out : answer->value(u"out"_s).toArray()) {
            const QJsonObject typed = out.toObject();
            values << (typed.isEmpty() ? QVariant() : typed.constBegin().value().toVariant());
        }
        result = values;
    }
    return result;
}

QVariant RemoteDriver::intercept(DriverCall& call, const Forward&)
{
    // A failure that never reached the server is explained here: the server does not know it.
    if (m_localCode2) {
        const int asked = call.arguments.isEmpty() ? 0 : call.arguments.at(0).value().toInt();
        if (call.member == u"GetErrorCode2")
            return *m_localCode2;
        if ((call.member == u"GetErrorComment" && asked == *m_localCode2 / 100) ||
            (call.member == u"GetErrorComment2" && asked == *m_localCode2))
            return m_localComment;
    }
    QJsonArray args;
    for (const DriverArgument& argument : call.arguments)
        args << callscript::argumentJson(argument);
    const QByteArray body =
        QJsonDocument(QJsonObject{{u"member"_s, call.member}, {u"args"_s, args}})
            .toJson(QJsonDocument::Compact);
    const HttpConnection::Reply reply =
        m_http.send("POST", m_endpoint.path(u"/sessions/%1/calls"_s.arg(m_session)), body);
    if (reply.status == 0)
        return failed(call, ErrorCode::NoConnection, reply.error);
    if (reply.status != 200) {
        const std::optional<QJsonObject> refused = objectOf(reply.body);
        const bool logPath = refused && refused->value(u"error"_s).toString() == u"path-refused";
        return failed(call, logPath ? ErrorCode::LogFileError : ErrorCode::NoConnection,
                      refusal(reply));
    }
    return answered(call, reply.body);
}

} // namespace remote
