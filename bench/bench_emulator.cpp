// Speed and memory of the built-in device, every call committed as in real use.
//   bench_emulator [--documents N] [--receipts N]
// 1. a ten-position sale receipt (open, ten positions, cash with change, close): median time;
// 2. the X report after a shift of 1,000 receipts: median time;
// 3. a picture as wide as the print head loaded into a slot: median time;
// 4. resident memory before and after N further documents (default 100,000).

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;
using namespace bench;

namespace {

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
    if (!connect(d) || !check(d.StartSession(u"Кассир1"_s, 1), "StartSession"))
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

    // A picture as wide as the print head, with something on it to turn into dots.
    QImage logo(384, 240, QImage::Format_RGB32);
    logo.fill(Qt::white);
    for (int y = 0; y < logo.height(); ++y) {
        for (int x = (y * 7) % 5; x < logo.width(); x += 5)
            logo.setPixel(x, y, qRgb(0, 0, 0));
    }
    const QString logoPath = dir.filePath(u"logo.bmp"_s);
    if (!logo.save(logoPath, "BMP"))
        return 1;
    const double loading =
        medianMs(20, [&] { return check(d.LoadImage(1, logoPath), "LoadImage"); });
    std::printf("384-dot picture loaded into a slot: median %.3f ms (limit 20 ms)\n", loading);

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
