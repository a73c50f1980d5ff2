#pragma once

#include <QFile>
#include <QString>

namespace emulator {

// One of the driver's two log files. Each record carries a time stamp; when the file would grow
// past its size limit it is moved aside to "<name>.1" (replacing the previous one) and a new file
// is started, so the log never takes more than twice its limit.
class DriverLog
{
public:
    explicit DriverLog(qint64 limit) : m_limit(limit) {}

    // Opens (creating) the file for appending; false when it cannot be written.
    bool setPath(const QString& path);
    const QString& path() const { return m_path; }
    void setLimit(qint64 limit) { m_limit = limit; }
    void write(const QString& text);

private:
    QString m_path;
    QFile m_file;
    qint64 m_limit;
};

// A Windows drive path ("c:\ll_quolt.log") names, on this platform, the file of that name in the
// emulator's data folder; any other path is taken as it is.
QString localLogPath(const QString& path, const QString& dataFolder);

} // namespace emulator
