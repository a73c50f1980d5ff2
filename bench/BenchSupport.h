#pragma once

// What the benchmarks of the built-in device share: timing, memory, a connected device.

#include "DeviceNumbers.h"
#include "EmulatedDriver.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The median time of `runs` runs of `step` in milliseconds; -1 when a run failed.
inline double medianMs(int runs, const std::function<bool()>& step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto started = Clock::now();
        if (!step())
            return -1;
        times.push_back(ms(Clock::now() - started));
    }
    return median(times);
}

inline long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

inline bool check(int code, const char* what)
{
    if (code != 0)
        std::fprintf(stderr, "%s failed with %d\n", what, code);
    return code == 0;
}

// Connects the driver to a new device in its data folder, as the start window does.
inline bool connect(emulator::EmulatedDriver& d)
{
    return check(d.SetPassword(QStringLiteral("735102")), "SetPassword") &&
           check(d.InitDevice(), "InitDevice");
}

} // namespace bench
