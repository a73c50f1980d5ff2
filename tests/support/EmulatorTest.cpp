#include "EmulatorTest.h"

#include "EmulatorFixture.h"

namespace emulator::testing {

void EmulatorTest::startTest()
{
    m_driver.reset();
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
    if (m_start == Start::NewDevice)
        createDevice(folder(), 1, 6, 1);
    if (m_start == Start::ConnectedDriver) {
        m_driver = connectDriver(folder());
        QVERIFY(m_driver);
    }
}

void EmulatorTest::cleanup()
{
    m_driver.reset();
    m_dir.reset();
}

} // namespace emulator::testing
