// How fast the program comes up.
//
//   bench_startup start     shows the start window and exits once it is on screen
//   bench_startup bare      the same with a bare Qt dialog, the yardstick
//   bench_startup init [N]  times the init click up to the main window on screen, N times
//   bench_startup [N]       runs `start` and `bare` N times each as whole processes, in turn,
//                           compares them, then runs `init`
//
// Runs on whatever display Qt is given (xvfb-run -a, or QT_QPA_PLATFORM=offscreen).
// While no device answers the ProgID, a stand-in that answers every call with 0 takes its place,
// so the numbers then measure the windows alone.

#include "DriverFactory.h"
#include "Emulator.h"
#include "InterceptingDriver.h"
#include "MainForm.h"
#include "Seams.h"
#include "StartForm.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

class StandInDriver final : public InterceptingDriver
{
protected:
    QVariant intercept(DriverCall&, const Forward&) override { return {}; }
};

bool ensureDriver()
{
    if (createDriver(kQuoltProgId).driver)
        return true;
    registerDriver(kQuoltProgId, [] { return std::make_shared<StandInDriver>(); });
    return false;
}

// Runs the event loop until `window` is exposed on screen; false after `timeoutMs`.
bool waitExposed(QWidget& window, int timeoutMs = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed())) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    return true;
}

int showAndExit(QWidget& window)
{
    window.show();
    return waitExposed(window) ? 0 : 2;
}

int runStart()
{
    ensureDriver();
    StartForm start;
    return showAndExit(start);
}

int runBare()
{
    QDialog dialog;
    dialog.setWindowTitle(u"Bare"_s);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(u"Bare dialog"_s));
    layout->addWidget(new QPushButton(u"OK"_s));
    return showAndExit(dialog);
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

void report(const char* what, const QList<double>& ms)
{
    std::printf("%-34s median %8.2f ms   min %8.2f   max %8.2f   (n=%lld)\n", what, median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()),
                static_cast<long long>(ms.size()));
}

int runInit(int rounds)
{
    const bool emulated = ensureDriver();
    if (!emulated)
        std::printf("(no device registered: a stand-in driver answers)\n");
    // Nothing may block: messages answer No, the end of the run is ignored.
    forms::SeamOverride quiet(
        {{},
         [](QWidget*, const QString&, const QString&, bool) { return forms::Answer::No; },
         {},
         [](int) {},
         {}});
    QList<double> times;
    for (int round = 0; round < rounds; ++round) {
        auto* start = new StartForm;
        start->setAttribute(Qt::WA_DeleteOnClose);
        start->show();
        if (!waitExposed(*start))
            return 2;
        auto* button = start->findChild<QPushButton*>(u"InitCommand"_s);
        QElapsedTimer timer;
        timer.start();
        button->click();
        MainForm* main = nullptr;
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget* window : windows) {
            if (auto* found = qobject_cast<MainForm*>(window); found && found->isVisible())
                main = found;
        }
        if (!main || !waitExposed(*main)) {
            std::printf("the main window did not open\n");
            return 3;
        }
        times << timer.nsecsElapsed() / 1e6;
        main->close();
        QCoreApplication::processEvents();
    }
    report("init click -> main window shown", times);
    return 0;
}

int runCompare(int rounds)
{
    const QString self = QCoreApplication::applicationFilePath();
    QList<double> start;
    QList<double> bare;
    for (int round = 0; round < rounds; ++round) {
        for (const QString& mode : {u"start"_s, u"bare"_s}) {
            QElapsedTimer timer;
            timer.start();
            const int code = QProcess::execute(self, {mode});
            const double ms = timer.nsecsElapsed() / 1e6;
            if (code != 0) {
                std::printf("%s failed with %d\n", qPrintable(mode), code);
                return 1;
            }
            (mode == u"start" ? start : bare) << ms;
        }
    }
    report("process start -> start window", start);
    report("process start -> bare dialog", bare);
    std::printf("ratio start/bare (medians): %.2f (goal: at most 1.5)\n",
                median(start) / median(bare));
    return runInit(rounds);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    emulator::registerEmulator();
    const QStringList args = app.arguments().mid(1);
    const QString mode = args.value(0);
    if (mode == u"start")
        return runStart();
    if (mode == u"bare")
        return runBare();
    if (mode == u"init")
        return runInit(std::max(1, args.value(1, u"20"_s).toInt()));
    return runCompare(std::max(1, mode.isEmpty() ? 20 : mode.toInt()));
}
