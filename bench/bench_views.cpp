// Cost of the operator's views of the device: the call journal, the device panel and the tape,
// the three windows of the menu "Вид" together (the tape window alone has bench_tape).
//   bench_views [--lines N] [--receipts N]
// The set-up makes devices behind traced drivers, as the program has them: a fresh one, one with
// a long life, whose tape holds N lines (default 1,000,000) ending in a closed shift of R
// receipts (default 300) and whose journal is full (100,000 calls), and a twin for figure 2.
// Then, each figure beside its floor (processor time, medians; the events each step causes are
// handled before it ends; every sale timed follows ten untimed ones):
// 1. a query that succeeds, made directly and through the journal (us per call);
// 2. a ten-call sale on the long device before any view window was opened and after the three
//    were opened and closed again, once the device has made 2,000 sales in the run, each timed in
//    turn with a sale on a third device, a twin whose windows are never opened (limit 1.05x);
// 3. the electronic control tape of the long shift, 1,000 lines read line by line, with the
//    three windows open and closed, in turn (limit 2x);
// 4. a ten-call sale on the fresh device with the three windows open and without them: what they
//    add against one repaint of each window (limit 1);
// 5. a ten-call sale with the three windows open, on the long device and on the fresh one in
//    turn (limit 1.1x);
// 6. opening each window on the fresh and on the long device, in turn, each with a full journal
//    (limit 16 ms, and 1x the fresh one); and the journal window with a few calls in its journal
//    beside a full one.
// Every call timed is checked to have succeeded.

#include "BenchSupport.h"
#include "CallHub.h"
#include "TracingDriver.h"
#include "ViewFollower.h"
#include "ViewMenu.h"

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>

#include <array>
#include <cstdio>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using namespace bench;

namespace {

// A device behind a traced driver and a main window with the menu "Вид", as the program has them.
struct Rig
{
    explicit Rig(const QString& folder) : device(std::make_shared<emulator::EmulatedDriver>(folder))
    {
        view::DriverContext context;
        const emulator::EmulatedDriver* watched = device.get();
        context.extendedCode = [watched] { return watched->lastErrorCode2(); };
        context.device = [watched, folder]() -> std::optional<view::DeviceAddress> {
            return view::DeviceAddress{folder, watched->connectedPort().value_or(1), 1};
        };
        driver = view::CallHub::trace(device, context);
        menu = new view::ViewMenu(main, driver.get(), {});
    }

    std::array<QWidget*, 3> open()
    {
        return {menu->openTape(), menu->openPanel(), menu->openJournal()};
    }

    std::shared_ptr<emulator::EmulatedDriver> device;
    std::shared_ptr<TracingDriver> driver;
    QMainWindow main;
    view::ViewMenu* menu = nullptr;
};

// Handles what the calls so far left to the event loop, until every window shown has caught up.
void settle()
{
    QApplication::processEvents();
    const auto pending = [] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible())
                continue;
            for (const auto* follower : window->findChildren<view::ViewFollower*>()) {
                if (follower->pending())
                    return true;
            }
        }
        return false;
    };
    while (pending())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Ten-call sales on two devices in turn, timed after ten untimed ones on each: the machine's drift
// over the runs falls on both alike, so their ratio holds where each one's time wanders.
std::array<Figure, 2> pairedSales(Driver& first, Driver& second)
{
    std::array<Driver*, 2> devices{&first, &second};
    std::array<std::vector<double>, 2> walls;
    std::array<std::vector<double>, 2> cpus;
    for (int run = 0; run < 50; ++run) {
        for (int side = 0; side < 2; ++side) {
            const auto started = Clock::now();
            const double cpuStarted = cpuMs();
            if (!tenCallSale(*devices[side]))
                return {};
            settle();
            if (run < 10)
                continue;
            cpus[side].push_back(cpuMs() - cpuStarted);
            walls[side].push_back(ms(Clock::now() - started));
        }
    }
    return {Figure{median(walls[0]), median(cpus[0])}, Figure{median(walls[1]), median(cpus[1])}};
}

// The ready control tape read line by line, `lines` lines of it.
bool readControlTape(Driver& d, std::int32_t shift, int lines)
{
    if (!check(d.EKLZPrintReportByNum(EklzReport::electronic(EklzReport::ControlTape), shift, 0, 0),
               "control tape"))
        return false;
    int read = 0;
    while (read < lines && !d.GetTextDeviceInfo(TextInfo::eklzReportLine(read + 1)).isEmpty())
        ++read;
    settle();
    if (read < lines)
        std::fprintf(stderr, "the control tape has %d lines, not %d\n", read, lines);
    return read == lines;
}

// The control tape read with the three windows closed and open, in turn, ten times each: the
// machine's drift over the runs falls on both alike.
std::array<Figure, 2> controlTapes(Rig& rig, std::int32_t shift, int lines)
{
    std::array<std::vector<double>, 2> walls;
    std::array<std::vector<double>, 2> cpus;
    for (int run = 0; run < 10; ++run) {
        for (int side = 0; side < 2; ++side) {
            std::array<QWidget*, 3> windows{};
            if (side == 1) {
                windows = rig.open();
                settle();
            }
            // The timed reading follows an untimed one, as each timed sale does.
            if (!readControlTape(*rig.driver, shift, lines))
                return {};
            const auto started = Clock::now();
            const double cpuStarted = cpuMs();
            if (!readControlTape(*rig.driver, shift, lines))
                return {};
            cpus[side].push_back(cpuMs() - cpuStarted);
            walls[side].push_back(ms(Clock::now() - started));
            for (QWidget* window : windows) {
                if (window)
                    window->close();
            }
            settle();
        }
    }
    return {Figure{median(walls[0]), median(cpus[0])}, Figure{median(walls[1]), median(cpus[1])}};
}

// Ten-call sales, timed after `warmUp` untimed ones: a sale right after other work (a window's
// painting, a long report) pays for caches that work left cold, which is not the sale's own cost.
Figure sales(Driver& d, int warmUp = 10)
{
    for (int i = 0; i < warmUp; ++i) {
        if (!tenCallSale(d))
            return {};
        settle();
    }
    return measure(40, [&] {
        const bool ok = tenCallSale(d);
        settle();
        return ok;
    });
}

// Making a window and showing it until it has been drawn, as its entry of the menu does, on the
// fresh and on the long device in turn: the machine's own drift over the runs falls on both alike.
std::array<Figure, 2> opening(Driver& freshDriver, Driver& longDriver, int which)
{
    std::array<std::vector<double>, 2> walls;
    std::array<std::vector<double>, 2> cpus;
    for (int run = 0; run < 15; ++run) {
        for (int side = 0; side < 2; ++side) {
            QMainWindow main;
            auto* menu = new view::ViewMenu(main, side == 0 ? &freshDriver : &longDriver, {});
            const auto started = Clock::now();
            const double cpuStarted = cpuMs();
            QWidget* window = which == 0   ? menu->openTape()
                              : which == 1 ? menu->openPanel()
                                           : menu->openJournal();
            QApplication::processEvents();
            cpus[side].push_back(cpuMs() - cpuStarted);
            walls[side].push_back(ms(Clock::now() - started));
            if (!window || !window->isVisible())
                return {};
        }
    }
    return {Figure{median(walls[0]), median(cpus[0])}, Figure{median(walls[1]), median(cpus[1])}};
}

// One repaint of a window: every widget in it drawn once, the contents of its scrolled areas too
// (a repaint of the window alone leaves them out).
double repaint(QWidget& window)
{
    return measure(20,
                   [&] {
                       for (QWidget* part : window.findChildren<QWidget*>())
                           part->update();
                       window.repaint();
                       return true;
                   })
        .cpu;
}

const char* const kNames[] = {"tape", "panel", "journal"};

// Sales the long device makes before the figures that compare its sales with one another.
constexpr int kSteadySales = 2000;

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    qint64 lines = 1'000'000;
    int receipts = 300;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--lines")
            lines = args[i + 1].toLongLong();
        else if (args[i] == u"--receipts")
            receipts = args[i + 1].toInt();
    }

    QTemporaryDir freshDir;
    QTemporaryDir longDir;
    QTemporaryDir twinDir;
    Rig fresh(freshDir.path());
    Rig aged(longDir.path());
    Rig twin(twinDir.path()); // a device whose windows are never opened
    const auto setUp = Clock::now();
    if (!connect(*fresh.device) || !check(fresh.driver->StartSession(u"Кассир1"_s, 1), "shift") ||
        !connect(*aged.device) || !padTape(longDir.path(), lines) ||
        !check(aged.driver->StartSession(u"Кассир1"_s, 1), "shift"))
        return 1;
    for (int i = 0; i < receipts; ++i) {
        if (!tenCallSale(*aged.driver))
            return 1;
    }
    const std::int32_t longShift = aged.driver->GetDeviceInfo(DeviceInfo::ShiftNumber);
    if (!check(aged.driver->EndSession(), "EndSession") ||
        !check(aged.driver->StartSession(u"Кассир1"_s, 1), "shift"))
        return 1;

    // 1. The journal's cost per call, on a query that the device answers: the long device's
    // journal is full after it.
    const auto query = [](Driver& d) {
        return measure(200, [&] {
            for (int i = 0; i < 1000; ++i) {
                if (d.GetDeviceInfo(DeviceInfo::ShiftOpen) != 1)
                    return false;
            }
            return true;
        });
    };
    const Figure direct = query(*aged.device);
    const Figure journalled = query(*aged.driver);
    if (!direct.ok() || !journalled.ok()) {
        std::printf("the query was refused\n");
        return 1;
    }
    settle();
    std::printf("set-up: a tape of %lld lines, a shift of %d receipts and %lld calls journalled,"
                " made in %.1f s\n",
                static_cast<long long>(lines), receipts,
                static_cast<long long>(view::CallHub::of(aged.driver.get())->journal().size()),
                ms(Clock::now() - setUp) / 1000);
    std::printf("query: %.2f us direct, %.2f us journalled (+%.2f us)\n", direct.cpu,
                journalled.cpu, journalled.cpu - direct.cpu);

    // 2. The long device before the windows were ever opened, and after they were opened,
    // followed a sale and were closed. The two sales compared are as close in the device's history
    // as they can be: the device's own cost drifts by a few per cent over a few hundred receipts,
    // which is not the windows' doing. Each is timed in turn with a sale on a twin device whose
    // windows are never opened: the machine's drift between the two falls on the twin as well,
    // and the figure is the change of the long device's time against its twin's.
    // Both devices in their steady state first: the cost per sale steps up by a few per cent
    // over a device's first thousand or two sales in a run, which is not the windows' doing either.
    if (!connect(*twin.device) || !check(twin.driver->StartSession(u"Кассир1"_s, 1), "shift"))
        return 1;
    for (int i = 0; i < kSteadySales; ++i) {
        if (!tenCallSale(*aged.driver) || !tenCallSale(*twin.driver))
            return 1;
    }
    settle();
    const auto [twinBefore, never] = pairedSales(*twin.driver, *aged.driver);
    std::array<QWidget*, 3> windows = aged.open();
    settle();
    const bool followed = tenCallSale(*aged.driver);
    settle();
    for (QWidget* window : windows)
        window->close();
    settle();
    const auto [twinAfter, closed] = pairedSales(*twin.driver, *aged.driver);

    // 3. The control tape with the windows closed and open, in turn.
    const auto [tapeBare, tapeViews] = controlTapes(aged, longShift, 1000);

    if (!followed || !never.ok() || !closed.ok() || !twinBefore.ok() || !twinAfter.ok() ||
        !tapeBare.ok() || !tapeViews.ok())
        return 1;
    std::printf("sale, long device: %.2f ms before the windows were opened, %.2f ms after they"
                " were closed; its twin's %.2f and %.2f ms: %.2fx (limit 1.05x)\n",
                never.cpu, closed.cpu, twinBefore.cpu, twinAfter.cpu,
                (closed.cpu / twinAfter.cpu) / (never.cpu / twinBefore.cpu));
    std::printf("control tape of 1,000 lines read line by line: %.2f ms with the windows closed,"
                " %.2f ms with them open: %.2fx (limit 2x)\n",
                tapeBare.cpu, tapeViews.cpu, tapeViews.cpu / tapeBare.cpu);

    // 4. The fresh device: a sale without the windows, with them, and a repaint of each.
    const Figure bare = sales(*fresh.driver);
    // 6. The journal holds the run's calls, not the device's: the journal window opens first with
    // the fresh device's few calls beside the long device's full journal, then with the fresh
    // device's journal full as well, so that the windows compare the two devices alone.
    const std::array<Figure, 2> journalSizes = opening(*fresh.driver, *aged.driver, 2);
    const view::CallJournal& freshJournal = view::CallHub::of(fresh.driver.get())->journal();
    const qsizetype fewCalls = freshJournal.size();
    while (freshJournal.size() < freshJournal.capacity()) {
        if (fresh.driver->GetDeviceInfo(DeviceInfo::ShiftOpen) != 1)
            return 1;
    }
    // The window shows the newest calls: the same ones on both.
    for (int i = 0; i < 5; ++i) {
        if (!tenCallSale(*fresh.driver) || !tenCallSale(*aged.driver))
            return 1;
    }
    settle();
    std::array<std::array<Figure, 2>, 3> openings;
    for (int which = 0; which < 3; ++which)
        openings[which] = opening(*fresh.driver, *aged.driver, which);
    // 4. and 5. The windows of both devices open, and a sale on each in turn.
    const std::array<QWidget*, 3> shown = fresh.open();
    aged.open();
    settle();
    const auto [beside, longViews] = pairedSales(*fresh.driver, *aged.driver);
    double repaints = 0;
    for (QWidget* window : shown)
        repaints += repaint(*window);
    if (!bare.ok() || !beside.ok() || !longViews.ok())
        return 1;
    std::printf("sale, fresh device: %.2f ms without the windows, %.2f ms with them: +%.2f ms"
                " against %.2f ms for one repaint of each window: %.2f (limit 1)\n",
                bare.cpu, beside.cpu, beside.cpu - bare.cpu, repaints,
                (beside.cpu - bare.cpu) / repaints);
    std::printf("sale with the windows open: %.2f ms on the fresh device, %.2f ms on the long one:"
                " %.2fx (limit 1.1x)\n",
                beside.cpu, longViews.cpu, longViews.cpu / beside.cpu);

    // 6. Opening each window.
    if (!journalSizes[0].ok() || !journalSizes[1].ok())
        return 1;
    std::printf("open the journal window with %lld calls journalled: %.2f ms, with %lld: %.2f ms:"
                " %.2fx\n",
                static_cast<long long>(fewCalls), journalSizes[0].cpu,
                static_cast<long long>(freshJournal.capacity()), journalSizes[1].cpu,
                journalSizes[1].cpu / journalSizes[0].cpu);
    for (int which = 0; which < 3; ++which) {
        const auto& [openFresh, openLong] = openings[which];
        if (!openFresh.ok() || !openLong.ok())
            return 1;
        std::printf("open the %s window: %.2f ms fresh, %.2f ms long (wall %.2f ms, limit 16 ms):"
                    " %.2fx\n",
                    kNames[which], openFresh.cpu, openLong.cpu, openLong.wall,
                    openLong.cpu / openFresh.cpu);
    }
    return 0;
}
