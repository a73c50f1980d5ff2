// Feeds arbitrary paths to the mapping of the driver's log paths: a Windows drive path names a
// file directly in the data folder, by its last name; every other path is kept as it is.
#include "DriverLog.h"

#include <QRegularExpression>

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
    // A drive path that ends in a folder ("c:\", "c:\..") maps to a folder (the data folder or
    // its parent), which the log then cannot open as a file: refused.
    if (mapped == folder || mapped == folder + QStringLiteral("/.."))
        return 0;
    const QString name = mapped.mid(folder.size() + 1);
    if (!mapped.startsWith(folder + u'/') || name.isEmpty() || name.contains(u'/') ||
        name.contains(u'\\') || !path.endsWith(name))
        std::abort();
    return 0;
}
