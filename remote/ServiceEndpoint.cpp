#include "ServiceEndpoint.h"

#include "NetworkLink.h"
#include "NetworkPlugin.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace remote {
namespace {

constexpr auto kVersionPath = "/v1";

// A token travels in a header: visible ASCII characters only.
bool headerSafe(const QByteArray& token)
{
    return !token.isEmpty() &&
           std::all_of(token.cbegin(), token.cend(), [](char c) { return c > ' ' && c < 0x7f; });
}

} // namespace

QByteArray Endpoint::path(const QString& rest) const
{
    return QByteArray(kVersionPath) + rest.toUtf8();
}

QString Endpoint::url() const
{
    return u"http://%1:%2%3"_s.arg(host).arg(port).arg(QString::fromLatin1(kVersionPath));
}

bool Endpoint::onThisMachine() const
{
    if (host == u"localhost")
        return true;
    // Without the network there is no connection to the server either.
    QString unloaded;
    const NetworkLink* network = networkLink(&unloaded);
    return network && network->isLoopback(host);
}

QString defaultTokenFile(quint16 port)
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
        .filePath(u"quolt-device/serve-%1.token"_s.arg(port));
}

std::optional<Endpoint> endpointOf(const QString& address, const QString& tokenFile, QString* error)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString path = url.path();
    if (!url.isValid() || url.scheme() != u"http" || url.host().isEmpty() ||
        !(path.isEmpty() || path == u"/" || path == u"/v1" || path == u"/v1/") || url.hasQuery() ||
        url.hasFragment() || !url.userInfo().isEmpty()) {
        *error =
            u"%1 is not the address of a served device, such as http://127.0.0.1:%2"_s.arg(address)
                .arg(kDefaultServicePort);
        return std::nullopt;
    }
    Endpoint endpoint;
    endpoint.host = url.host();
    endpoint.port = static_cast<quint16>(url.port(kDefaultServicePort));
    endpoint.token = qgetenv(kTokenVariable).trimmed();
    if (!endpoint.token.isEmpty()) {
        if (headerSafe(endpoint.token))
            return endpoint;
        *error = u"%1 holds characters a token cannot"_s.arg(QString::fromLatin1(kTokenVariable));
        return std::nullopt;
    }
    const QString file = tokenFile.isEmpty() ? defaultTokenFile(endpoint.port) : tokenFile;
    QFile token(file);
    if (!token.open(QIODevice::ReadOnly)) {
        *error = u"no token for %1: %2 cannot be read (%3), and %4 is not set"_s.arg(
            endpoint.url(), QDir::toNativeSeparators(file), token.errorString(),
            QString::fromLatin1(kTokenVariable));
        return std::nullopt;
    }
    endpoint.token = token.read(4096).trimmed();
    if (!headerSafe(endpoint.token)) {
        *error =
            u"no token for %1: %2 holds none"_s.arg(endpoint.url(), QDir::toNativeSeparators(file));
        return std::nullopt;
    }
    return endpoint;
}

} // namespace remote
