// Speed of the operator's views of the device (the tape window has bench_tape of its own).
//   bench_views
// The cost of the call journal: a query call through the tracing driver and the journal's hub
// against the same call made directly (median of 200,000 calls each, in microseconds).

#include "CallHub.h"
#include "DeviceNumbers.h"
#include "EmulatedDriver.h"
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

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
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

    return 0;
}
