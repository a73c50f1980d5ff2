#pragma once

// What the tests of the device's snapshots share: a device with a snapshot behind it.

#include "DeviceNumbers.h"
#include "DeviceSession.h"
#include "EmulatorFixture.h"
#include "Snapshots.h"

#include <QString>

namespace emulator::testing {

// A device with a few receipts behind it, saved as "before", that then moved on.
inline void prepareDevice(const QString& folder)
{
    auto driver = connectDriver(folder);
    QVERIFY(driver);
    const auto sell = [&](int price) {
        QCOMPARE(driver->StartDocument(::DocumentType::Sale, 1, QString(), QString()), 0);
        QCOMPARE(driver->Item(1000, price, QStringLiteral("Хлеб"), 0), 0);
        QCOMPARE(driver->Tender2(price, kCash, kNoCard, QString()), 0);
    };
    for (int i = 1; i <= 30; ++i)
        sell(100 * i);
    auto session = DeviceSession::open(folder, 1, OpenMode::ExistingOnly);
    QVERIFY(session);
    QVERIFY(snapshots::save((*session)->store(), folder, 1, QStringLiteral("before")));
    for (int i = 1; i <= 5; ++i)
        sell(7 * i);
}

} // namespace emulator::testing
