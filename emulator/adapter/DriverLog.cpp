#include "DriverLog.h"

#include "PrintableText.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace emulator {

QString localLogPath(const QString& path, const QString& dataFolder)
{
    static const QRegularExpression drive(u"^[A-Za-z]:[\\\\/]"_s);
    if (!drive.match(path).hasMatch())
        return path;
    const qsizetype slash = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    // Joined as text: QDir would take a name that starts with ':' for a path of its own.
    return QDir(dataFolder).path() + u'/' + path.mid(slash + 1);
}

bool DriverLog::setPath(const QString& path)
{
    if (path.trimmed().isEmpty())
        return false;
    QFile candidate(path);
    if (!candidate.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    candidate.close();
    m_file.close();
    m_path = path;
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

void DriverLog::write(const QString& text)
{
    if (!m_file.isOpen())
        return;
    // One record is one line, whatever the caller's texts hold.
    const QString oneLine = escapedForLog(text);
    const QByteArray record = (QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:mm:ss.zzz"_s) +
                               u' ' + oneLine + u'\n')
                                  .toUtf8();
    if (m_limit > 0 && m_file.size() + record.size() > m_limit && m_file.size() > 0) {
        m_file.close();
        const QString old = m_path + u".1"_s;
        QFile::remove(old);
        QFile::rename(m_path, old);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            return;
    }
    m_file.write(record);
    m_file.flush();
}

} // namespace emulator
