#pragma once

// What the tests of the main window share: a main window loaded over the recording fake, and the
// texts its status line and its calls are compared with.

#include "DeviceNumbers.h"
#include "ExpectedCall.h"
#include "MainForm.h"
#include "StatusLine.h"
#include "WindowHarness.h"

#include <memory>

inline std::shared_ptr<FakeDriver> deviceOf(int major, int minor, int shiftInfo)
{
    auto fake = std::make_shared<FakeDriver>();
    fake->answerAt(QStringLiteral("GetDeviceInfo"), DeviceInfo::MajorVersion, major);
    fake->answerAt(QStringLiteral("GetDeviceInfo"), DeviceInfo::MinorVersion, minor);
    fake->answerAt(QStringLiteral("GetDeviceInfo"), DeviceInfo::ShiftOpen, shiftInfo);
    return fake;
}

// A main window loaded over the fake, its loading calls already cleared.
struct Loaded
{
    explicit Loaded(int major = 5, int minor = 0, int shiftInfo = 1)
        : fake(deviceOf(major, minor, shiftInfo)), harness(fake), window(fake)
    {
        harness.watch(&window);
        fake->clearRecords();
    }

    QString status() { return harness::text(&window, QStringLiteral("StatusText")); }
    // Enabled states of the shift-bound buttons, in the order of the state table.
    QList<bool> shiftButtons()
    {
        QList<bool> states;
        for (const QString& name :
             {QStringLiteral("CmdOpenSession"), QStringLiteral("CmdCloseSession"),
              QStringLiteral("CmdOpenDoc"), QStringLiteral("CmdPrintDuplicate")})
            states << harness::isEnabled(&window, name);
        return states;
    }

    std::shared_ptr<FakeDriver> fake;
    WindowHarness harness;
    MainForm window;
};

inline QString statusOf(int code)
{
    return forms::statusText(FakeDriver::comment(code));
}

inline const QString kStartSale =
    callText(QStringLiteral("StartDocument"),
             {DocumentType::Sale, std::int16_t(1), QStringLiteral("1"), QStringLiteral("Кассир2")});
