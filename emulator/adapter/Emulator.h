#pragma once

#include <QString>

// Registers the built-in fiscal device as the driver of the device's ProgID.
namespace emulator {

// The folder that holds the virtual devices (one database per COM port) and the driver's logs
// given as Windows paths: "<generic data location>/TestQuolt/devices".
QString defaultDataFolder();

// An empty folder means the default one.
void registerEmulator(const QString& dataFolder = QString());

} // namespace emulator
