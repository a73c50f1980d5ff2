// Speed and memory of the built-in device, every call committed as in real use.
//   bench_emulator [--documents N] [--receipts N]
// 1. a ten-position sale receipt (open, ten positions, cash with change, close): median time;
// 2. the X report after a shift of 1,000 receipts: median time;
// 3. resident memory before and after N further documents (default 100,000).

#include "EmulatedDriver.h"
#include "DeviceNumbers.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;
using Clock = std::chrono::steady_clock;

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

long residentKb()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

bool check(int code, const char* what)
{
    if (code != 0)
        std::fprintf(stderr, "%s failed with %d\n", what, code);
    return code == 0;
}

bool tenPositionReceipt(Driver& d)
{
    if (!check(d.StartDocument(DocumentType::Sale, 1, u"1"_s, u"Кассир2"_s), "StartDocument"))
        return false;
    for (int i = 0; i < 10; ++i) {
        if (!check(d.Item(1000 + i, 1999, u"Товар %1"_s.arg(i), 0), "Item"))
            return false;
    }
    return check(d.Tender2(50000, QVariant(PaymentType::Cash), QVariant(QString()), QString()),
                 "Tender2") &&
           d.GetDeviceInfo(DeviceInfo::DocumentOpen) == 0;
}

bool cashIn(Driver& d)
{
    return check(d.StartDocument(DocumentType::CashIn, 1, QString(), QString()), "StartDocument") &&
           check(d.Tender2(100, QVariant(PaymentType::Cash), QVariant(QString()), QString()),
                 "Tender2") &&
           check(d.EndDocument(), "EndDocument");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int documents = 100000;
    int receipts = 1000;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--documents")
            documents = args[i + 1].toInt();
        else if (args[i] == u"--receipts")
            receipts = args[i + 1].toInt();
    }

    QTemporaryDir dir;
    emulator::EmulatedDriver d(dir.path());
    if (!check(d.SetPassword(u"735102"_s), "SetPassword") || !check(d.InitDevice(), "InitDevice") ||
        !check(d.StartSession(u"Кассир1"_s, 1), "StartSession"))
        return 1;

    std::vector<double> receiptTimes;
    for (int i = 0; i < receipts; ++i) {
        const auto started = Clock::now();
        if (!tenPositionReceipt(d))
            return 1;
        receiptTimes.push_back(ms(Clock::now() - started));
    }
    std::printf("ten-position receipt: median %.3f ms over %d receipts (limit 3 ms)\n",
                median(receiptTimes), receipts);

    std::vector<double> reportTimes;
    for (int i = 0; i < 20; ++i) {
        const auto started = Clock::now();
        if (!check(d.PrintReport(ReportKind::X1), "PrintReport"))
            return 1;
        reportTimes.push_back(ms(Clock::now() - started));
    }
    std::printf("X report after %d receipts: median %.3f ms (limit 5 ms)\n", receipts,
                median(reportTimes));

    const long before = residentKb();
    const auto started = Clock::now();
    for (int i = 0; i < documents; ++i) {
        if (!cashIn(d))
            return 1;
    }
    const long after = residentKb();
    std::printf("%d further documents in %.1f s: resident memory %ld kB -> %ld kB (+%ld kB,"
                " limit 10240 kB)\n",
                documents, ms(Clock::now() - started) / 1000, before, after, after - before);
    return 0;
}
