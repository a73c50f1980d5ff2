#pragma once

// What the tests of the sale window share: the window over the recording fake, and the counters
// it reads after a command.

#include "DeviceNumbers.h"
#include "ExpectedCall.h"
#include "FormSale.h"
#include "MainForm.h"
#include "WindowHarness.h"

#include <QStringList>

#include <memory>

// The counters the window reads after a command, in the order it reads them.
inline QStringList refreshCalls(int major)
{
    QStringList calls;
    for (std::int16_t index : {DocInfo::ItemQuantity, DocInfo::DistinctItems, DocInfo::Amount,
                               DocInfo::Payments, DocInfo::PaidAmount, DocInfo::FreeItems})
        calls << callText(QStringLiteral("GetDocInfo"), {index});
    if (major >= 3)
        calls << callText(QStringLiteral("GetDocInfo"), {DocInfo::FreeMemory});
    return calls;
}

// A sale window over the recording fake, on a device of the given generation with a document
// open in department `section`.
struct Sale
{
    std::shared_ptr<FakeDriver> fake = std::make_shared<FakeDriver>();
    WindowHarness harness{fake};
    MainForm main{fake};
    std::unique_ptr<FormSale> window;

    explicit Sale(int major = 6, std::int16_t section = 1)
    {
        fake->answerAt(QStringLiteral("GetDeviceInfo"), DeviceInfo::MajorVersion, major);
        fake->answerAt(QStringLiteral("GetDeviceInfo"), DeviceInfo::DocumentOpen, 1);
        main.m_MajorVersion = major;
        main.m_nSection = section;
    }

    FormSale& load(bool keepRecords = false)
    {
        window = std::make_unique<FormSale>(main);
        harness.watch(window.get());
        if (!keepRecords)
            fake->clearRecords();
        return *window;
    }

    QString status() const { return harness::text(window.get(), QStringLiteral("StatusText")); }
};
