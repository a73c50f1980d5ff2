#pragma once

#include "DeviceNumbers.h"

// Drives the built-in device through the driver contract the way the windows do.

#include "DeviceStore.h"
#include "EmulatedDriver.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace emulator::testing {

// A clock the test can move: the device's time is the host time plus this offset. A frozen clock
// starts from a fixed moment and moves only when the test moves it, for boundaries to the second.
struct TestClock
{
    std::shared_ptr<qint64> offsetSeconds = std::make_shared<qint64>(0);
    std::shared_ptr<QDateTime> frozenAt = std::make_shared<QDateTime>();
    Device::Clock clock() const
    {
        auto offset = offsetSeconds;
        auto frozen = frozenAt;
        return [offset, frozen] {
            return (frozen->isValid() ? *frozen : QDateTime::currentDateTime()).addSecs(*offset);
        };
    }
    void freeze() { *frozenAt = QDateTime::currentDateTime(); }
    void advanceSeconds(qint64 seconds) { *offsetSeconds += seconds; }
    void advanceHours(int hours) { advanceSeconds(qint64(hours) * 3600); }
};

inline int codeOf(ErrorCode code)
{
    return static_cast<int>(code);
}

// The general values of a cash payment without a card, as the windows pass them.
inline const QVariant kCash = QVariant(PaymentType::Cash);
inline const QVariant kNoCard = QVariant(QString());

// Creates (or resets) the device on `port` in `folder` as the given generation.
inline void createDevice(const QString& folder, int port, int major, int minor = 0)
{
    Expected<std::unique_ptr<DeviceStore>> store =
        DeviceStore::open(folder, port, OpenMode::Replace);
    QVERIFY2(store, qPrintable(store.detail()));
    DeviceState state;
    state.major = major;
    state.minor = minor;
    QVERIFY((*store)->reset(state));
}

inline QStringList tape(const QString& folder, int port = 1, int last = 0)
{
    Expected<std::unique_ptr<DeviceStore>> store =
        DeviceStore::open(folder, port, OpenMode::ExistingOnly);
    if (!store)
        return {};
    const Expected<QStringList> lines = (*store)->tape(last);
    return lines ? *lines : QStringList();
}

// The device's state as its database holds it; a default state when it cannot be read.
inline DeviceState stateOf(const QString& folder, int port = 1)
{
    Expected<std::unique_ptr<DeviceStore>> store =
        DeviceStore::open(folder, port, OpenMode::ExistingOnly);
    if (!store)
        return {};
    Expected<DeviceState> state = (*store)->load();
    return state ? *state : DeviceState{};
}

// Everything the database in `path` holds, table by table, as text: two databases that hold the
// same device give the same text.
inline QString deviceContents(const QString& path)
{
    QString text;
    const QString connection = QStringLiteral("contents");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (db.open()) {
            for (const char* table : {"device", "tape", "tape_marks", "slips", "documents",
                                      "shifts", "eklz", "pictures"}) {
                QSqlQuery q(db);
                text += QString::fromLatin1(table) + u'\n';
                if (!q.exec(
                        QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(QLatin1String(table))))
                    text += q.lastError().text();
                while (q.next()) {
                    for (int i = 0; i < q.record().count(); ++i)
                        text += QString::fromLatin1(q.value(i).toByteArray().toHex()) + u' ';
                    text += u'\n';
                }
            }
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return text;
}

// A driver connected to the device of port 1, shift optionally open.
inline std::unique_ptr<EmulatedDriver>
connectDriver(const QString& folder, const TestClock& clock = {}, bool openShift = true)
{
    auto driver = std::make_unique<EmulatedDriver>(folder, clock.clock());
    if (driver->SetPassword(QStringLiteral("735102")) != 0 ||
        driver->SetDriverOpt(DriverOption::Port, 1) != 0 || driver->InitDevice() != 0)
        return nullptr;
    if (openShift && driver->StartSession(QStringLiteral("Кассир1"), 1) != 0)
        return nullptr;
    return driver;
}

// One counter's value for the shift and for the device's whole life.
inline double shiftCounter(Driver& driver, std::int16_t counter)
{
    return driver.GetDoubleDeviceInfo(DoubleInfo::shiftCounter(counter));
}
inline double totalCounter(Driver& driver, std::int16_t counter)
{
    return driver.GetDoubleDeviceInfo(DoubleInfo::totalCounter(counter));
}

} // namespace emulator::testing
