// Speed of the operator's views of the device.
//   bench_views [--lines N]
// 1. the cost of the call journal: a query call through the tracing driver and the journal's hub
//    against the same call made directly (median of 200,000 calls each, in microseconds);
// 2. opening the paper tape window on a tape of N lines (default 100,000) in documents of 25
//    lines: time until the newest document is shown, and the rows it loaded.

#include "CallHub.h"
#include "DeviceNumbers.h"
#include "DeviceSession.h"
#include "EmulatedDriver.h"
#include "TapeWindow.h"
#include "TracingDriver.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;
using Clock = std::chrono::steady_clock;

namespace {

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// Runs `call` in rounds of 1,000 and answers the median time of one call.
template <typename Call> double perCall(Call call)
{
    std::vector<double> rounds;
    for (int round = 0; round < 200; ++round) {
        const auto started = Clock::now();
        for (int i = 0; i < 1000; ++i)
            call();
        rounds.push_back(microseconds(Clock::now() - started) / 1000);
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

void fillTape(emulator::DeviceSession& session, int lines)
{
    constexpr int kDocumentLines = 25;
    constexpr int kBatch = 5000;
    for (int done = 0; done < lines; done += kBatch) {
        emulator::Effects effects;
        for (int i = 0; i < kBatch && done + i < lines; ++i) {
            effects.tape << u"СТРОКА %1 ТОВАР ЦЕНА =1.00"_s.arg(done + i);
            if ((done + i) % kDocumentLines == kDocumentLines - 1)
                effects.tapeCuts << i;
        }
        emulator::DeviceStore& store = session.store();
        if (!store.beginWrite() || !store.save(session.device().state(), effects) ||
            !store.commit()) {
            std::printf("the tape could not be written\n");
            return;
        }
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(u"--lines"_s);
    const int lines = at >= 0 ? args.value(at + 1).toInt() : 100'000;

    QTemporaryDir dir;
    auto device = std::make_shared<emulator::EmulatedDriver>(dir.path());
    device->SetDriverOpt(DriverOption::Port, 1);
    device->InitDevice();
    const double direct = perCall([&] { device->GetDeviceInfo(DeviceInfo::ShiftOpen); });

    view::DriverContext context;
    const emulator::EmulatedDriver* watched = device.get();
    context.extendedCode = [watched] { return watched->lastErrorCode2(); };
    context.device = [watched, folder = dir.path()]() -> std::optional<view::DeviceAddress> {
        return view::DeviceAddress{folder, watched->connectedPort().value_or(1), 1};
    };
    std::shared_ptr<TracingDriver> traced = view::CallHub::trace(device, context);
    const double journalled = perCall([&] { traced->GetDeviceInfo(DeviceInfo::ShiftOpen); });
    std::printf("call: %.2f us direct, %.2f us journalled (+%.2f us)\n", direct, journalled,
                journalled - direct);

    auto session = emulator::DeviceSession::open(dir.path(), 1);
    if (!session) {
        std::printf("the device cannot be opened\n");
        return 1;
    }
    fillTape(**session, lines);
    const auto started = Clock::now();
    view::TapeWindow window(*view::CallHub::of(traced.get()));
    const double opened = microseconds(Clock::now() - started) / 1000;
    std::printf("tape of %d lines: opened in %.1f ms, %lld rows loaded\n", lines, opened,
                static_cast<long long>(window.model().rows().size()));
    return 0;
}
