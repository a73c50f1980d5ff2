// Feeds arbitrary paths to the mapping of the driver's log paths: a Windows drive path names a
// file directly in the data folder, by its last name; every other path is kept as it is.
#include "DriverLog.h"

#include <QRegularExpression>

#include <algorithm>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString folder = QStringLiteral("/data/TestQuolt/devices");
    const QString path =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString mapped = emulator::localLogPath(path, folder);
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:[\\\\/]"));
    if (!drive.match(path).hasMatch()) {
        if (mapped != path)
            std::abort();
        return 0;
    }
    // The last name of the path, whatever it is, in the data folder: a name that ends in a
    // folder ("c:\", "c:\..") names a folder, which the log then cannot open as a file.
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    if (mapped != folder + u'/' + path.mid(slash + 1))
        std::abort();
    return 0;
}
