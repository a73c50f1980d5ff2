#pragma once

#include <QString>

namespace view {

// Registers the built-in device as the driver of the device's ProgID, traced: every call the
// program makes reaches the view windows. An empty folder means the default one.
void registerTracedEmulator(const QString& dataFolder = QString());

} // namespace view
