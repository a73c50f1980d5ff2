#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Where a served device answers and the token that lets a client in.
namespace remote {

// The port `quolt-device serve` listens on unless told another.
inline constexpr quint16 kDefaultServicePort = 8840;
// The environment variable a client may take the token from instead of the server's file.
inline constexpr char kTokenVariable[] = "QUOLT_DEVICE_TOKEN";

struct Endpoint
{
    QString host;
    quint16 port = kDefaultServicePort;
    QByteArray token;

    // The service's paths, all of the protocol's version: "/v1/sessions".
    QByteArray path(const QString& rest) const;
    // "http://127.0.0.1:8840/v1"
    QString url() const;
    // Whether the server runs on this machine, so that its folder of devices is this machine's.
    bool onThisMachine() const;
};

// The file in which a server on `port` keeps its token: readable by its user alone, in the user's
// runtime folder.
QString defaultTokenFile(quint16 port);

// The endpoint of a server address such as "http://127.0.0.1:8840" (the "/v1" of the protocol
// may end it). The token is the environment's QUOLT_DEVICE_TOKEN, else the content of
// `tokenFile`, else of the server's default token file. Nothing, with the reason, when the
// address is not such a URL or no token is found.
std::optional<Endpoint> endpointOf(const QString& address, const QString& tokenFile,
                                   QString* error);

} // namespace remote
