#pragma once

#include "DeviceSession.h"
#include "DeviceStore.h"
#include "Expected.h"

#include <QString>
#include <QStringList>

// Named copies of a whole virtual device (state, paper tape, control tape, fiscal memory), so
// that an operator can return to a prepared situation in one step. They live beside the devices:
// "<folder>/snapshots/com<port>/<name>.sqlite", each with its checksum in "<name>.sqlite.sum".
namespace emulator::snapshots {

// A name is 1 to 64 letters, digits, '-', '_' or '.', not starting with '.': never a path.
bool isSafeName(const QString& name);
QString path(const QString& folder, int port, const QString& name);

Status save(DeviceStore& store, const QString& folder, int port, const QString& name);
// Replaces the session's device by the snapshot, the session's model included.
Status restore(DeviceSession& session, const QString& folder, int port, const QString& name);
Expected<QStringList> list(const QString& folder, int port);
Status remove(const QString& folder, int port, const QString& name);

} // namespace emulator::snapshots
