#pragma once

// What the tests of the document windows share: a document window opened over the recording
// fake, and the calls with which a window reads the document's counters.

#include "DeviceNumbers.h"
#include "ExpectedCall.h"
#include "FormPay.h"
#include "FormPurchase.h"
#include "FormSale.h"
#include "FormVoidItem.h"
#include "FormVoidPurchase.h"
#include "MainForm.h"
#include "WindowHarness.h"

#include <QStringList>

#include <memory>

// One document window over the recording fake, opened as the main window opens it: department 1,
// a fourth-generation device, and a document that stays open unless a row says otherwise.
struct Opened
{
    explicit Opened(const QString& kind, int major = 4)
    {
        fake->answerAt(QStringLiteral("GetDeviceInfo"), DeviceInfo::MajorVersion, major);
        fake->answerAt(QStringLiteral("GetDeviceInfo"), DeviceInfo::DocumentOpen, 1);
        // The driver ends a fully paid receipt by itself unless told otherwise.
        fake->answerAt(QStringLiteral("GetDriverOpt"), DriverOption::AutoClose, 1);
        main.m_nSection = 1;
        main.m_MajorVersion = major;
        if (kind == u"FormPay")
            window = std::make_unique<FormPay>(main);
        else if (kind == u"FormVoidItem")
            window = std::make_unique<FormVoidItem>(main);
        else if (kind == u"FormPurchase")
            window = std::make_unique<FormPurchase>(main);
        else if (kind == u"FormSale")
            window = std::make_unique<FormSale>(main);
        else
            window = std::make_unique<FormVoidPurchase>(main);
        harness.watch(window.get());
    }

    QDialog* operator->() const { return window.get(); }
    QDialog* get() const { return window.get(); }

    // Types "Field=value" pairs into the window's boxes.
    void type(const QStringList& texts) const
    {
        for (const QString& entry : texts) {
            const qsizetype at = entry.indexOf(u'=');
            harness::setText(window.get(), entry.left(at), entry.mid(at + 1));
        }
    }

    std::shared_ptr<FakeDriver> fake = std::make_shared<FakeDriver>();
    WindowHarness harness{fake};
    MainForm main{fake};
    std::unique_ptr<QDialog> window;
};

inline QStringList docInfo(const QList<std::int16_t>& indexes)
{
    QStringList calls;
    for (std::int16_t index : indexes)
        calls << callText(QStringLiteral("GetDocInfo"), {index});
    return calls;
}

inline const QStringList kAnnulmentCounters =
    docInfo({DocInfo::ItemQuantity, DocInfo::DistinctItems, DocInfo::Amount, DocInfo::Payments,
             DocInfo::PaidAmount});
inline const QStringList kPurchaseCounters =
    kAnnulmentCounters + docInfo({DocInfo::FreeItems, DocInfo::FreeMemory});
