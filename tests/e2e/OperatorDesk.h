#pragma once

// The program at work on the built-in device, driven as an operator drives it: the start window
// initialises the device, the main window opens the shift and the documents, and the document
// windows are worked through their controls. The device itself is read back through its own
// memory (paper tape, state), as the device tool reads it.

#include "DeviceSession.h"
#include "DeviceStore.h"
#include "MainForm.h"
#include "StartForm.h"
#include "WindowHarness.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace e2e {

using namespace Qt::StringLiterals;

// The document counters of the main window, as "Обновить данные" shows them.
struct MainCounters
{
    int sessions = 0;
    int all = 0;
    int fiscal = 0;
    int nonFiscal = 0;
    QString salesTotal;
};

// Starts the program on the device of `port` with the start window's defaults (caching of
// payments as asked) and returns its main window; null with the start window's status in
// `status` when it did not get that far.
inline std::unique_ptr<MainForm> startProgram(int port, bool cachePayments, QString* status)
{
    // Main windows of earlier starts may still be about; the new one is the one not seen yet.
    const auto earlier = QApplication::topLevelWidgets();
    StartForm start;
    start.show();
    harness::setText(&start, u"TxtComPort"_s, QString::number(port));
    if (cachePayments != harness::isChecked(&start, u"CheckCash"_s))
        harness::click(&start, u"CheckCash"_s);
    harness::click(&start, u"InitCommand"_s);
    *status = harness::text(&start, u"StatusText"_s);

    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        auto* main = qobject_cast<MainForm*>(window);
        if (main && main->isVisible() && !earlier.contains(window)) {
            // The test owns it from here; closing it must not delete it under the owner.
            main->setAttribute(Qt::WA_DeleteOnClose, false);
            return std::unique_ptr<MainForm>(main);
        }
    }
    return nullptr;
}

// The operator's first step on a started program: the main window on screen, the shift open.
inline void openShift(WindowHarness& harness, MainForm& main)
{
    harness.watch(&main);
    harness::click(&main, u"CmdOpenSession"_s);
}

inline MainCounters refreshCounters(MainForm& main)
{
    harness::click(&main, u"CmdDeviceData"_s);
    return MainCounters{harness::text(&main, u"TxtSessionsCount"_s).toInt(),
                        harness::text(&main, u"TxtAllDocs"_s).toInt(),
                        harness::text(&main, u"TxtFscDocs"_s).toInt(),
                        harness::text(&main, u"TxtNFiscDocs"_s).toInt(),
                        harness::text(&main, u"TxtItogSale"_s)};
}

// Picks the document type and presses "Открытие документа".
inline void openDocument(MainForm& main, int type)
{
    harness::click(&main, u"Option1_%1"_s.arg(type));
    harness::click(&main, u"CmdOpenDoc"_s);
}

inline void selectPayment(QObject* window, int type)
{
    harness::control<QComboBox>(window, u"ComboTenderID"_s)->setCurrentIndex(type - 1);
}

// The device's paper tape, every line printed so far.
inline QStringList tape(const QString& folder, int port)
{
    auto store = emulator::DeviceStore::open(folder, port, emulator::OpenMode::ExistingOnly);
    if (!store)
        qFatal("the device of port %d cannot be read: %s", port, qPrintable(store.detail()));
    const emulator::Expected<QStringList> lines = (*store)->tape(0);
    if (!lines)
        qFatal("the tape of port %d cannot be read: %s", port, qPrintable(lines.detail()));
    return *lines;
}

// Makes the device of `port` anew as the given generation, as the device tool's "create" does.
inline void createDevice(const QString& folder, int port, int major, int minor)
{
    auto store = emulator::DeviceStore::open(folder, port, emulator::OpenMode::Replace);
    emulator::DeviceState fresh;
    fresh.major = major;
    fresh.minor = minor;
    if (!store)
        qFatal("the device of port %d cannot be opened: %s", port, qPrintable(store.detail()));
    const auto deleted = (*store)->reset(fresh);
    if (!deleted)
        qFatal("the device of port %d cannot be created: %s", port, qPrintable(deleted.detail()));
}

// Changes the device from outside the program, as the device tool does; the program sees the
// change at its next driver call.
inline void changeDevice(const QString& folder, int port,
                         const std::function<void(emulator::DeviceState&)>& edit)
{
    auto session = emulator::DeviceSession::open(folder, port);
    if (!session)
        qFatal("the device of port %d cannot be opened: %s", port, qPrintable(session.detail()));
    const emulator::Status result = (*session)->perform([&](emulator::Device& device) {
        emulator::DeviceState next = device.state();
        edit(next);
        device.replaceState(std::move(next));
        return emulator::Failure{};
    });
    if (!result)
        qFatal("the device of port %d could not be changed: %s", port, qPrintable(result.detail()));
}

// Whether the tape holds the line; centred lines are found by their text alone.
inline bool printed(const QStringList& tapeLines, const QString& line)
{
    const QString wanted = line.trimmed();
    return std::any_of(tapeLines.cbegin(), tapeLines.cend(),
                       [&](const QString& printedLine) { return printedLine.trimmed() == wanted; });
}

// A printed amount line as it stands on the 40-character tape: caption left, amount right.
inline QString amountLine(const QString& caption, const QString& amount)
{
    return caption + QString(40 - caption.size() - amount.size(), u' ') + amount;
}

} // namespace e2e
