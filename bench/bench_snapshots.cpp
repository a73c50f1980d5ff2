// Snapshots of a device with a long life, each beside its floor, copying the device's file.
//   bench_snapshots [--receipts N] [--dir FOLDER]
// Set-up: a device of N receipts of ten positions (default 20,000), in shifts of 1,000; made in
// FOLDER when it holds no device yet and kept there for later runs, else in a temporary folder.
// 1. the floor: the device's file copied, and copied and flushed to the disk: median of 5;
// 2. a snapshot saved: median of 5, as a ratio to each floor (goal: at most 2);
// 3. a snapshot restored, the session reloaded: median of 5, as a ratio to each floor (goal: at
//    most 2);
// 4. the same snapshot without its checksum file, so checked page by page: median of 3.

#include "BenchSupport.h"
#include "DeviceSession.h"
#include "Snapshots.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace bench;

namespace {

bool makeDevice(const QString& folder, int receipts)
{
    emulator::EmulatedDriver d(folder);
    if (!connect(d))
        return false;
    for (int i = 0; i < receipts; ++i) {
        if (i % 1000 == 0) {
            if (i > 0 && !check(d.PrintReport(ReportKind::Z1), "PrintReport"))
                return false;
            if (!check(d.StartSession(u"Кассир1"_s, 1), "StartSession"))
                return false;
        }
        if (!tenPositionReceipt(d))
            return false;
    }
    return true;
}

bool copyFile(const QString& from, const QString& to, bool flush)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        return false;
    if (!flush)
        return true;
    QFile file(to);
    return file.open(QIODevice::ReadWrite) && ::fsync(file.handle()) == 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int receipts = 20000;
    QString folder;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--receipts")
            receipts = args[i + 1].toInt();
        else if (args[i] == u"--dir")
            folder = args[i + 1];
    }
    QTemporaryDir temporary;
    if (folder.isEmpty())
        folder = temporary.path();
    const QString device = emulator::DeviceStore::databasePath(folder, 1);
    if (!QFileInfo::exists(device)) {
        const auto started = Clock::now();
        if (!makeDevice(folder, receipts))
            return 1;
        std::printf("device of %d receipts made in %.1f s\n", receipts,
                    ms(Clock::now() - started) / 1000);
    }
    auto session = emulator::DeviceSession::open(folder, 1, emulator::OpenMode::ExistingOnly);
    if (!session) {
        std::fprintf(stderr, "%s\n", qPrintable(session.detail()));
        return 1;
    }
    emulator::DeviceSession& s = **session;
    const emulator::Expected<qint64> lines = s.store().tapeLineCount();
    std::printf("device: %.1f MB, %lld tape lines\n", double(QFileInfo(device).size()) / 1e6,
                lines ? static_cast<long long>(*lines) : -1LL);

    const QString copy = temporary.filePath(u"copy.sqlite"_s);
    const double copied = medianMs(5, [&] { return copyFile(device, copy, false); });
    const double flushed = medianMs(5, [&] { return copyFile(device, copy, true); });
    QFile::remove(copy);
    std::printf("floor: file copied %.1f ms, copied and flushed %.1f ms\n", copied, flushed);

    const auto report = [&](const char* what, double taken) {
        std::printf("%s: %.1f ms = %.2f x the copy, %.2f x the flushed copy (goal 2)\n", what,
                    taken, taken / copied, taken / flushed);
    };
    const double saved = medianMs(5, [&] {
        const emulator::Status done = emulator::snapshots::save(s.store(), folder, 1, u"bench"_s);
        if (!done)
            std::fprintf(stderr, "save: %s\n", qPrintable(done.detail()));
        return done.ok();
    });
    report("snapshot saved", saved);
    const auto restoreOnce = [&] {
        const emulator::Status done = emulator::snapshots::restore(s, folder, 1, u"bench"_s);
        if (!done)
            std::fprintf(stderr, "restore: %s\n", qPrintable(done.detail()));
        return done.ok();
    };
    const double restored = medianMs(5, restoreOnce);
    report("snapshot restored", restored);
    const QString sum =
        emulator::DeviceStore::checksumPath(emulator::snapshots::path(folder, 1, u"bench"_s));
    const double unsummed = QFile::remove(sum) ? medianMs(3, restoreOnce) : -1;
    report("snapshot without its checksum restored", unsummed);
    emulator::snapshots::remove(folder, 1, u"bench"_s);
    return saved < 0 || restored < 0 || unsummed < 0 ? 1 : 0;
}
