#pragma once

// What the benchmarks of the built-in device share: timing, memory, a connected device.

#include "DeviceNumbers.h"
#include "DeviceSession.h"
#include "EmulatedDriver.h"

#include <QFile>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
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

// The processor time of this process so far, in milliseconds: on a machine shared with other
// work it moves far less than the wall clock, so ratios are taken from it.
inline double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The median wall-clock and processor time of a step, in milliseconds; negative on a failure.
struct Figure
{
    double wall = -1;
    double cpu = -1;

    bool ok() const { return wall >= 0; }
    QString text() const
    {
        return QStringLiteral("%1 ms (CPU %2 ms)").arg(wall, 0, 'f', 2).arg(cpu, 0, 'f', 2);
    }
};

inline Figure measure(int runs, const std::function<bool()>& step)
{
    std::vector<double> walls;
    std::vector<double> cpus;
    for (int i = 0; i < runs; ++i) {
        const auto started = Clock::now();
        const double cpuStarted = cpuMs();
        if (!step())
            return {};
        cpus.push_back(cpuMs() - cpuStarted);
        walls.push_back(ms(Clock::now() - started));
    }
    return {median(walls), median(cpus)};
}

// A sale of `positions` positions paid in cash, which closes it.
inline bool cashSale(Driver& d, int positions)
{
    if (!check(
            d.StartDocument(DocumentType::Sale, 1, QStringLiteral("1"), QStringLiteral("Кассир2")),
            "StartDocument"))
        return false;
    for (int i = 0; i < positions; ++i) {
        if (!check(d.Item(1000 + i, 1999, QStringLiteral("Товар %1").arg(i), 0), "Item"))
            return false;
    }
    return check(d.Tender2(50000, QVariant(PaymentType::Cash), QVariant(QString()), QString()),
                 "Tender2");
}

// A receipt of ten calls: open, eight positions, cash.
inline bool tenCallSale(Driver& d)
{
    return cashSale(d, 8);
}

// A receipt of ten positions; true only when the device holds no open document afterwards.
inline bool tenPositionReceipt(Driver& d)
{
    return cashSale(d, 10) && d.GetDeviceInfo(DeviceInfo::DocumentOpen) == 0;
}

// Connects the driver to a new device in its data folder, as the start window does.
inline bool connect(emulator::EmulatedDriver& d)
{
    return check(d.SetPassword(QStringLiteral("735102")), "SetPassword") &&
           check(d.InitDevice(), "InitDevice");
}

} // namespace bench

namespace bench {

// A long life made quickly: `lines` raw tape lines in documents of 25, written straight into the
// store of the device on port 1 in `folder`.
inline bool padTape(const QString& folder, qint64 lines)
{
    auto session = emulator::DeviceSession::open(folder, 1);
    if (!session)
        return false;
    constexpr int kDocumentLines = 25;
    constexpr int kBatch = 20'000;
    for (qint64 done = 0; done < lines; done += kBatch) {
        emulator::Effects effects;
        for (int i = 0; i < kBatch && done + i < lines; ++i) {
            effects.tape << QStringLiteral("СТРОКА %1 ТОВАР ЦЕНА =1.00").arg(done + i);
            if ((done + i) % kDocumentLines == kDocumentLines - 1)
                effects.tapeCuts << i;
        }
        emulator::DeviceStore& store = (*session)->store();
        if (!store.beginWrite() || !store.save((*session)->device().state(), effects) ||
            !store.commit())
            return false;
    }
    return true;
}

} // namespace bench
