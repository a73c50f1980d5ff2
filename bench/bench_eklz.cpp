// Speed and memory of the built-in device's control tape (EKLZ), every call committed as in
// real use.
//   bench_eklz [--shifts N] [--receipts N] [--big N] [--runs N]
// Fills a device with N - 1 shifts of --receipts receipts each (default 999 x 100) and one last
// shift of --big receipts (default 1,000), then measures (median of --runs, default 20):
// 1. the electronic control tape of the big shift made ready and read line by line (limit 50 ms);
// 2. the full report over every shift, made ready and read (limit 200 ms);
// 3. one document found by its KPK number (limit 1 ms);
// and the resident memory before and after the runs.

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;
using namespace bench;

namespace {

bool receipt(Driver& d, int i)
{
    return check(d.StartDocument(DocumentType::Sale, 1, QString(), QString()), "StartDocument") &&
           check(d.Item(1000, 100 + i % 900, u"Товар"_s, 0), "Item") &&
           check(d.Tender2(1000, QVariant(PaymentType::Cash), QVariant(QString()), QString()),
                 "Tender2");
}

bool shift(Driver& d, int receipts)
{
    if (!check(d.StartSession(u"Кассир1"_s, 1), "StartSession"))
        return false;
    for (int i = 0; i < receipts; ++i) {
        if (!receipt(d, i))
            return false;
    }
    return check(d.EndSession(), "EndSession");
}

// Reads the ready text to its closing empty line; the number of lines read.
int readText(Driver& d)
{
    int lines = 0;
    while (!d.GetTextDeviceInfo(TextInfo::eklzReportLine(lines + 1)).isEmpty())
        ++lines;
    return lines;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int shifts = 1000;
    int receipts = 100;
    int big = 1000;
    int runs = 20;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        const int value = args[i + 1].toInt();
        if (args[i] == u"--shifts")
            shifts = std::max(1, value);
        else if (args[i] == u"--receipts")
            receipts = value;
        else if (args[i] == u"--big")
            big = value;
        else if (args[i] == u"--runs")
            runs = std::max(1, value);
    }

    QTemporaryDir dir;
    emulator::EmulatedDriver d(dir.path());
    if (!connect(d))
        return 1;
    const auto filling = Clock::now();
    for (int s = 1; s < shifts; ++s) {
        if (!shift(d, receipts))
            return 1;
    }
    if (!shift(d, big))
        return 1;
    const int documents = (shifts - 1) * receipts + big;
    std::printf("filled %d documents over %d shifts in %.1f s\n", documents, shifts,
                ms(Clock::now() - filling) / 1000);

    const long before = residentKb();
    int tapeLines = 0;
    const double tape = medianMs(runs, [&] {
        if (!check(d.EKLZPrintReportByNum(EklzReport::electronic(EklzReport::ControlTape), shifts,
                                          0, 0),
                   "control tape"))
            return false;
        tapeLines = readText(d);
        return true;
    });
    std::printf("control tape of a shift of %d receipts, %d lines ready and read: median %.2f ms"
                " (limit 50 ms)\n",
                big, tapeLines, tape);

    int fullLines = 0;
    const double full = medianMs(runs, [&] {
        if (!check(d.EKLZPrintReportByNum(EklzReport::electronic(EklzReport::FullByShifts), 1,
                                          shifts, 0),
                   "full report"))
            return false;
        fullLines = readText(d);
        return true;
    });
    std::printf("full report over %d shifts, %d lines ready and read: median %.2f ms"
                " (limit 200 ms)\n",
                shifts, fullLines, full);

    int kpk = 1;
    const double byKpk = medianMs(runs * 50, [&] {
        kpk = kpk * 7919 % documents + 1;
        return check(
            d.EKLZPrintReportByNum(EklzReport::electronic(EklzReport::DocumentByKpk), kpk, 0, 0),
            "document by KPK");
    });
    std::printf("document by KPK number: median %.3f ms (limit 1 ms)\n", byKpk);

    const long after = residentKb();
    std::printf("resident memory %ld kB -> %ld kB over the runs (+%ld kB)\n", before, after,
                after - before);
    return 0;
}
