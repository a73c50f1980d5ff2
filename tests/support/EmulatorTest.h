#pragma once

#include "EmulatedDriver.h"

#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace emulator::testing {

// The base of the device's test classes. Every test function starts in a new, empty folder of
// devices and, as the class asks, with the device of port 1 made anew or a driver connected to
// it; the driver and the folder go when the function ends.
class EmulatorTest : public QObject
{
    Q_OBJECT

public:
    enum class Start {
        EmptyFolder,     // no device yet
        NewDevice,       // the device of port 1 created as generation 6.1
        ConnectedDriver, // a driver connected to port 1 (making its device), shift open
    };

protected:
    explicit EmulatorTest(Start start) : m_start(start) {}

    QString folder() const { return m_dir->path(); }

    // What init() does; a class that prepares more in an init() of its own calls it first and
    // stops when it failed (QTest::currentTestFailed()).
    void startTest();

    // The driver of a ConnectedDriver start.
    std::unique_ptr<EmulatedDriver> m_driver;

private slots:
    void init() { startTest(); }
    void cleanup();

private:
    Start m_start;
    std::optional<QTemporaryDir> m_dir;
};

} // namespace emulator::testing
