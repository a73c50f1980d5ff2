#pragma once

#include <QString>
#include <QStringList>

// Finds and loads the plugin that gives the client of a served device its network (NetworkLink).
// The program, the device tool and the tests all reach the network through it.
namespace remote {

class NetworkLink;

// The network, loaded from its plugin at the first use and kept for the life of the process.
// The plugin is looked for, in order, in the executable's folder, in the installed layout's
// plugin folder as seen from it (../lib/testquolt), and for an executable of the build tree, in
// the folder the build tree puts it in. Nothing, with the reason (where the plugin was looked
// for, or its path and why it could not be loaded), when it cannot be had.
NetworkLink* networkLink(QString* error);

// The plugin's file name, the same in every folder.
QString networkPluginFileName();

// Looks for the plugin in `folders` alone from the next use on; no folders: where it is usually
// looked for. The tests point it at folders without the plugin.
void searchNetworkPluginIn(const QStringList& folders);

} // namespace remote
