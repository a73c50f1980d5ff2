#pragma once

// What the tests of the options window share: the window opened over the recording fake, and the
// text of an option's write.

#include "DeviceNumbers.h"
#include "ExpectedCall.h"
#include "FormOptions.h"
#include "MainForm.h"
#include "WindowHarness.h"

#include <functional>
#include <memory>

inline QString setOption(std::int16_t number, std::int16_t value)
{
    return callText(QStringLiteral("SetDeviceOpt"), {number, value});
}

// One opened options window over the fake, with the generation and device answers given.
struct Opened
{
    explicit Opened(int major = 6, int minor = 1, std::function<void(FakeDriver&)> prepare = {})
        : fake(std::make_shared<FakeDriver>()), harness(fake), main(fake)
    {
        fake->answerAt(QStringLiteral("GetDeviceInfo"), DeviceInfo::MajorVersion, major);
        fake->answerAt(QStringLiteral("GetDeviceInfo"), DeviceInfo::MinorVersion, minor);
        // The shift limit as a device keeps it.
        fake->answerAt(QStringLiteral("GetDeviceOpt"), DeviceOption::ShiftTimeLimit, 24);
        if (prepare)
            prepare(*fake);
        main.m_MajorVersion = major;
        main.m_MinorVersion = minor;
        window = std::make_unique<FormOptions>(main);
        harness.watch(window.get());
        fake->clearRecords();
    }

    std::shared_ptr<FakeDriver> fake;
    WindowHarness harness;
    MainForm main;
    std::unique_ptr<FormOptions> window;
};
