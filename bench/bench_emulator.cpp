// Speed and memory of the built-in device, every call committed as in real use.
//   bench_emulator [--documents N] [--receipts N]
// 1. a ten-position sale receipt (open, ten positions, cash with change, close): median time,
//    beside its floors with the device's journal settings: twelve bare write transactions (one
//    per call), and the lines the receipt printed written in the twelve transactions that printed
//    them, each as a ratio;
// 2. the X report after a shift of 1,000 receipts: median time;
// 3. a picture as wide as the print head loaded into a slot: median time;
// 4. resident memory before and after N further documents (default 100,000).

#include "BenchSupport.h"
#include "DeviceStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;
using namespace bench;

namespace {

// The lines each call of a ten-position receipt printed, read from the tape by a second
// connection after every call.
QList<QStringList> linesPerCall(Driver& d, const QString& folder)
{
    auto store = emulator::DeviceStore::open(folder, 1, emulator::OpenMode::ExistingOnly);
    if (!store)
        return {};
    QList<QStringList> printed;
    qint64 seen = *(*store)->tapeLineCount();
    const auto take = [&](int code) {
        const qint64 now = *(*store)->tapeLineCount();
        printed.append(code == 0 && now > seen ? *(*store)->tape(int(now - seen)) : QStringList());
        seen = now;
        return code == 0;
    };
    bool ok = take(d.StartDocument(DocumentType::Sale, 1, u"1"_s, u"Кассир2"_s));
    for (int i = 0; ok && i < 10; ++i)
        ok = take(d.Item(1000 + i, 1999, u"Товар %1"_s.arg(i), 0));
    ok = ok && take(d.Tender2(50000, QVariant(PaymentType::Cash), QVariant(QString()), QString()));
    return ok ? printed : QList<QStringList>();
}

// The floors of a durable receipt on a database of its own with the device's journal settings:
// a bare write transaction for every call, and the calls' lines written to a tape table like the
// device's, one transaction a call. Median milliseconds of `runs` receipts each.
std::pair<double, double> receiptFloors(const QString& folder, const QList<QStringList>& printed,
                                        int runs)
{
    std::pair<double, double> floors{-1, -1};
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"floor"_s);
        db.setDatabaseName(folder + u"/floor.sqlite"_s);
        if (!db.open())
            return floors;
        QSqlQuery q(db);
        for (const QString& sql :
             {u"PRAGMA journal_mode=WAL"_s, u"PRAGMA synchronous=NORMAL"_s,
              u"CREATE TABLE tape(id INTEGER PRIMARY KEY AUTOINCREMENT, line TEXT NOT NULL)"_s,
              u"CREATE TABLE bare(id INTEGER PRIMARY KEY, value INTEGER)"_s,
              u"INSERT INTO bare VALUES (1, 0)"_s}) {
            if (!q.exec(sql)) {
                std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
                return floors;
            }
        }
        QSqlQuery begin(db), commit(db), bump(db), line(db);
        if (!begin.prepare(u"BEGIN IMMEDIATE"_s) || !commit.prepare(u"COMMIT"_s) ||
            !bump.prepare(u"UPDATE bare SET value = value + 1 WHERE id = 1"_s) ||
            !line.prepare(u"INSERT INTO tape(line) VALUES (?)"_s))
            return floors;
        floors.first = medianMs(runs, [&] {
            for (qsizetype call = 0; call < printed.size(); ++call) {
                if (!begin.exec() || !bump.exec() || !commit.exec())
                    return false;
            }
            return true;
        });
        floors.second = medianMs(runs, [&] {
            for (const QStringList& lines : printed) {
                if (!begin.exec())
                    return false;
                for (const QString& text : lines) {
                    line.bindValue(0, text);
                    if (!line.exec())
                        return false;
                }
                if (!commit.exec())
                    return false;
            }
            return true;
        });
    }
    QSqlDatabase::removeDatabase(u"floor"_s);
    return floors;
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
    const double receipt = median(receiptTimes);
    std::printf("ten-position receipt: median %.3f ms over %d receipts (limit 3 ms)\n", receipt,
                receipts);
    const QList<QStringList> printed = linesPerCall(d, dir.path());
    if (printed.size() != 12)
        return 1;
    const auto [bare, lines] = receiptFloors(dir.path(), printed, receipts);
    std::printf("  = %.2f x twelve bare transactions (%.3f ms), %.2f x its %lld lines written in"
                " twelve transactions (%.3f ms)\n",
                receipt / bare, bare, receipt / lines,
                static_cast<long long>(std::accumulate(
                    printed.cbegin(), printed.cend(), qsizetype(0),
                    [](qsizetype n, const QStringList& l) { return n + l.size(); })),
                lines);

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
