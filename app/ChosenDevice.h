#pragma once

#include <QString>
#include <QStringList>

namespace remote {
struct Endpoint;
}

namespace view {

// Registers the driver of a device served at `endpoint` (quolt-device serve) as the driver of the
// device's ProgID, traced as the built-in device is: the journal follows every call, and the tape
// and panel windows follow the device when the server runs on this machine. False, with the
// reason, when the server gives no session.
bool registerTracedRemote(const remote::Endpoint& endpoint, QString* error);

// Registers the device the program's command line chooses: with "--device-server URL" (and
// optionally "--device-token-file FILE") a served device, else the built-in one. Answers 0, or
// the exit code after saying on the error output why the served device cannot be used: 2 for a
// wrong command line or no token, 1 for a server out of reach.
int registerChosenDevice(const QStringList& arguments);

} // namespace view
