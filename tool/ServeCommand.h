#pragma once

#include "ToolCommands.h"

#include <QCommandLineOption>
#include <QList>

// quolt-device serve: the devices of the folder served over HTTP to other programs on this machine
// (docs/service.md).
namespace tool {

// The options only serve takes.
QList<QCommandLineOption> serveOptions();
// What `quolt-device serve --help` prints.
QString serveHelp();
// Serves the devices until SIGINT or SIGTERM.
int serve(const Invocation& in);

} // namespace tool
