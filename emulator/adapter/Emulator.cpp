#include "Emulator.h"

#include "DriverFactory.h"
#include "EmulatedDriver.h"

#include <QDir>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace emulator {

QString defaultDataFolder()
{
    // The generic location, not the application's own: the program and the device tool are two
    // applications that must find the same devices.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(u"TestQuolt/devices"_s);
}

void registerEmulator(const QString& dataFolder)
{
    const QString folder = dataFolder.isEmpty() ? defaultDataFolder() : dataFolder;
    registerDriver(kQuoltProgId, [folder] { return std::make_shared<EmulatedDriver>(folder); });
}

} // namespace emulator
