// How fast the program comes up, against a bare Qt program.
//
//   bench_startup start     starts as the program does and ends once the start window is on
//                           screen, printing its resident memory and the peak of it (kB)
//   bench_startup init [N]  times the init click up to the main window on screen, N times, on a
//                           new device in a temporary folder
//   bench_startup [N]       runs `start` and the bare program (bare_dialog, a separate executable
//                           built with the same flags that shows one empty dialog) N times each
//                           as whole processes, in turn, compares their times and memory, then
//                           runs `init`. The bare program also runs with one line of text in its
//                           dialog: an empty dialog never loads the fonts, which any window with
//                           words in it must, and that second yardstick shows what they cost. And
//                           it runs with the start window's own form and nothing of the program
//                           behind it: what Qt alone needs to show that window, so that the third
//                           ratio is what the program adds to its window.
//
// Runs on whatever display Qt is given (xvfb-run -a, or QT_QPA_PLATFORM=offscreen).

#include "ChosenDevice.h"
#include "MainForm.h"
#include "Seams.h"
#include "StartForm.h"
#include "StartUp.h"
#include "TracedEmulator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

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

long statusKb(const char* field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// The program's own start, ended as soon as its first window is on screen: what comes after
// (tearing down) is not start-up, and the bare program ends the same way.
int runStart(QApplication& app)
{
    // As main() does: the code that could reach a served device is loaded with the program,
    // though the built-in device is the one registered.
    if (view::registerChosenDevice(app.arguments()) != 0)
        return 2;
    StartForm* start = beginRun(app);
    QCoreApplication::processEvents(); // the start window is shown at the first turn of the loop
    if (!waitExposed(*start))
        return 2;
    std::printf("%ld %ld\n", statusKb("VmRSS:"), statusKb("VmHWM:"));
    std::fflush(stdout);
    std::_Exit(0);
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

void report(const char* what, const QList<double>& values, const char* unit)
{
    std::printf("%-34s median %9.2f %s   min %9.2f   max %9.2f   (n=%lld)\n", what, median(values),
                unit, *std::min_element(values.begin(), values.end()),
                *std::max_element(values.begin(), values.end()),
                static_cast<long long>(values.size()));
}

int runInit(int rounds)
{
    // A new device in a folder of its own: the operator's devices are never touched.
    QTemporaryDir devices;
    view::registerTracedEmulator(devices.path());
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
    report("init click -> main window shown", times, "ms");
    return 0;
}

// One process to its window on screen: its time in ms and its resident memory and peak in kB.
struct Run
{
    double ms = 0;
    double rssKb = 0;
    double peakKb = 0;
};

std::optional<Run> runProcess(const QString& program, const QStringList& arguments)
{
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        std::printf("%s %s failed: %s\n", qPrintable(program), qPrintable(arguments.join(u' ')),
                    process.readAllStandardError().constData());
        return std::nullopt;
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    const QList<QByteArray> memory = process.readAllStandardOutput().trimmed().split(' ');
    if (memory.size() != 2)
        return std::nullopt;
    return Run{ms, memory[0].toDouble(), memory[1].toDouble()};
}

int runCompare(int rounds)
{
    const QString self = QCoreApplication::applicationFilePath();
    QList<double> startMs, bareMs, startKb, bareKb, startPeak, barePeak, textMs, textKb, formMs,
        formKb;
    for (int round = 0; round < rounds; ++round) {
        const std::optional<Run> start = runProcess(self, {u"start"_s});
        const std::optional<Run> bare = runProcess(QStringLiteral(QUOLT_BARE_DIALOG), {});
        const std::optional<Run> text = runProcess(QStringLiteral(QUOLT_BARE_DIALOG), {u"text"_s});
        const std::optional<Run> form = runProcess(QStringLiteral(QUOLT_BARE_DIALOG), {u"form"_s});
        if (!start || !bare || !text || !form)
            return 1;
        formMs << form->ms;
        formKb << form->rssKb;
        textMs << text->ms;
        textKb << text->rssKb;
        startMs << start->ms;
        bareMs << bare->ms;
        startKb << start->rssKb;
        bareKb << bare->rssKb;
        startPeak << start->peakKb;
        barePeak << bare->peakKb;
    }
    report("process start -> start window", startMs, "ms");
    report("process start -> bare dialog", bareMs, "ms");
    report("process start -> dialog with text", textMs, "ms");
    report("process start -> bare start form", formMs, "ms");
    report("start window: resident", startKb, "kB");
    report("bare dialog: resident", bareKb, "kB");
    report("dialog with text: resident", textKb, "kB");
    report("bare start form: resident", formKb, "kB");
    report("start window: peak resident", startPeak, "kB");
    report("bare dialog: peak resident", barePeak, "kB");
    std::printf("time: %.2fx the bare program (goal: at most 1.3)\n",
                median(startMs) / median(bareMs));
    std::printf("memory: %.2fx the bare program resident, %.2fx at the peak (goal: at most 1.15)\n",
                median(startKb) / median(bareKb), median(startPeak) / median(barePeak));
    std::printf("beside the dialog with one line of text: %.2fx the time, %.2fx the memory\n",
                median(startMs) / median(textMs), median(startKb) / median(textKb));
    std::printf("the bare start form against the bare program: %.2fx the time, %.2fx the memory\n",
                median(formMs) / median(bareMs), median(formKb) / median(bareKb));
    std::printf("the program against its bare start form: %.2fx the time, %.2fx the memory\n",
                median(startMs) / median(formMs), median(startKb) / median(formKb));
    return runInit(rounds);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString mode = args.value(0);
    if (mode == u"start")
        return runStart(app);
    if (mode == u"init")
        return runInit(std::max(1, args.value(1, u"20"_s).toInt()));
    return runCompare(std::max(1, mode.isEmpty() ? 20 : mode.toInt()));
}
