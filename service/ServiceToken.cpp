#include "ServiceToken.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace service {

QByteArray newToken()
{
    quint32 words[8];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof(words)).toHex();
}

bool writeTokenFile(const QString& path, const QByteArray& token, QString* error)
{
    const QString folder = QFileInfo(path).absolutePath();
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        *error = u"cannot make %1: %2"_s.arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    QByteArray temporary = QFile::encodeName(QDir(folder).filePath(u".token-XXXXXX"_s));
    const int fd = ::mkstemp(temporary.data()); // created 0600
    if (fd < 0) {
        *error =
            u"cannot write in %1: %2"_s.arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const QByteArray content = token + '\n';
    const bool written =
        ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 &&
        ::write(fd, content.constData(), size_t(content.size())) == ssize_t(content.size()) &&
        ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed ||
        ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) {
        const int failure = written && closed ? errno : writeError;
        ::unlink(temporary.constData());
        *error = u"cannot write %1: %2"_s.arg(path, QString::fromLocal8Bit(std::strerror(failure)));
        return false;
    }
    return true;
}

void removeTokenFile(const QString& path, const QByteArray& token)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.read(4096).trimmed() == token) {
        file.close();
        file.remove();
    }
}

} // namespace service
