#pragma once

// What the tests of the device's taxes share: a device created with the tax printing options a
// test needs, and the amounts it printed.

#include "DeviceStore.h"
#include "EmulatorFixture.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

namespace emulator::testing {

inline constexpr int kPort = 1;

// A device with the tax printing options set as a test needs them.
inline void createTaxDevice(const QString& folder, int major, QMap<int, int> options)
{
    Expected<std::unique_ptr<DeviceStore>> store =
        DeviceStore::open(folder, kPort, OpenMode::Replace);
    QVERIFY2(store, qPrintable(store.detail()));
    DeviceState state;
    state.major = major;
    state.options = std::move(options);
    QVERIFY((*store)->reset(state));
}

// The amount printed on the tape after `caption` ("НАЛОГ A 20.00%   =18.00" gives "18.00"),
// the last such line; empty when there is none.
inline QString printed(const QStringList& tape, const QString& caption)
{
    for (auto it = tape.crbegin(); it != tape.crend(); ++it) {
        if (it->startsWith(caption + u' ') && it->contains(u'=')) {
            const QString rest = it->mid(caption.size());
            if (rest.trimmed().startsWith(u'='))
                return rest.trimmed().mid(1);
        }
    }
    return QString();
}

} // namespace emulator::testing
