#pragma once

#include <QByteArray>
#include <QString>

// The bearer token of a server: made anew each time a server starts, kept in a file that only its
// user can read, and gone with the server.
namespace service {

// 256 random bits from the system's source, as 64 hexadecimal digits.
QByteArray newToken();

// Writes the token to `path` so that no other user can read it at any moment: its folder is
// made private to the user when it is made, and the file is created private before the token is
// written, then moved into place. False, with the reason, when it cannot be written.
bool writeTokenFile(const QString& path, const QByteArray& token, QString* error);

// Removes the file when it still holds `token` (a newer server may have replaced it).
void removeTokenFile(const QString& path, const QByteArray& token);

} // namespace service
