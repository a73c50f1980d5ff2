// Speed of the paper tape window on a device with a long life, each figure beside its floor.
//   bench_tape [--lines N] [--receipts N] [--scroll-limit S]
// The set-up makes two devices: a fresh one, and one whose tape holds N lines (default 1,000,000)
// ending in an open shift of R one-position receipts (default 1,000). Then:
// 1. a ten-call sale (open, eight positions, cash) with the events it causes handled: on the
//    fresh device without and with the tape window, on the long device before the window was ever
//    opened, while it is open and after it was closed (median of 60 sales each);
// 2. opening the tape window until it has drawn the newest document, on both devices (median
//    of 5);
// 3. "Сохранить смену…" of the long device's shift as PDF and as PNG: time, the peak of resident
//    memory above what it was before, pages or files written;
// 4. scrolling the window back over the whole long tape, chunk after chunk: the time, and the
//    time of the last tenth against the first (1 for linear), stopped after S seconds (default
//    60).

#include "BenchSupport.h"
#include "CallHub.h"
#include "DeviceSession.h"
#include "Seams.h"
#include "TapeModel.h"
#include "TapeView.h"
#include "TapeWindow.h"
#include "TracingDriver.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using namespace bench;

namespace {

// One device behind a traced driver, as the program has it.
struct Traced
{
    std::shared_ptr<emulator::EmulatedDriver> device;
    std::shared_ptr<TracingDriver> driver;
    view::CallHub* hub = nullptr;
};

Traced traced(const QString& folder)
{
    Traced t;
    t.device = std::make_shared<emulator::EmulatedDriver>(folder);
    view::DriverContext context;
    const emulator::EmulatedDriver* watched = t.device.get();
    context.extendedCode = [watched] { return watched->lastErrorCode2(); };
    context.device = [watched, folder]() -> std::optional<view::DeviceAddress> {
        return view::DeviceAddress{folder, watched->connectedPort().value_or(1), 1};
    };
    t.driver = view::CallHub::trace(t.device, context);
    t.hub = view::CallHub::of(t.driver.get());
    return t;
}

bool connectAndOpenShift(Traced& t)
{
    return connect(*t.device) && check(t.driver->StartSession(u"Кассир1"_s, 1), "StartSession");
}

// Ten calls: open, eight positions, cash; the receipt closes with the payment.
bool sale(Driver& d)
{
    if (!check(d.StartDocument(DocumentType::Sale, 1, u"1"_s, u"Кассир2"_s), "StartDocument"))
        return false;
    for (int i = 0; i < 8; ++i) {
        if (!check(d.Item(1000 + i, 1999, u"Товар %1"_s.arg(i), 0), "Item"))
            return false;
    }
    return check(d.Tender2(50000, QVariant(PaymentType::Cash), QVariant(QString()), QString()),
                 "Tender2");
}

// The processor time of this process so far, in milliseconds: on a machine shared with other
// work it moves far less than the wall clock, so the ratios are taken from it.
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The median wall-clock and processor time of a step, in milliseconds; negative on a failure.
struct Figure
{
    double wall = -1;
    double cpu = -1;

    bool ok() const { return wall >= 0; }
    QString text() const { return u"%1 ms (CPU %2 ms)"_s.arg(wall, 0, 'f', 2).arg(cpu, 0, 'f', 2); }
};

Figure measure(int runs, const std::function<bool()>& step)
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

// The shortest receipt: open, one position, cash.
bool shortSale(Driver& d)
{
    return check(d.StartDocument(DocumentType::Sale, 1, u"1"_s, u"Кассир2"_s), "StartDocument") &&
           check(d.Item(1000, 1999, u"Товар"_s, 0), "Item") &&
           check(d.Tender2(5000, QVariant(PaymentType::Cash), QVariant(QString()), QString()),
                 "Tender2");
}

// A sale and what the program does after it when back in its event loop.
Figure saleMs(Driver& d)
{
    return measure(60, [&] {
        const bool ok = sale(d);
        QApplication::processEvents();
        return ok;
    });
}

// Raw lines in documents of 25, written straight into the store: a long life made quickly.
bool fillTape(const QString& folder, qint64 lines)
{
    auto session = emulator::DeviceSession::open(folder, 1);
    if (!session)
        return false;
    constexpr int kDocumentLines = 25;
    constexpr int kBatch = 20'000;
    for (qint64 done = 0; done < lines; done += kBatch) {
        emulator::Effects effects;
        for (int i = 0; i < kBatch && done + i < lines; ++i) {
            effects.tape << u"СТРОКА %1 ТОВАР ЦЕНА =1.00"_s.arg(done + i);
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

// The time to open the tape window and draw it; a failure when it shows no rows.
Figure openMs(view::CallHub& hub)
{
    return measure(5, [&] {
        view::TapeWindow window(hub);
        window.show();
        QApplication::processEvents();
        return !window.model().rows().isEmpty();
    });
}

long statusKb(const char* field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Resets the peak of resident memory to what is resident now.
void resetPeak()
{
    QFile refs(u"/proc/self/clear_refs"_s);
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

int pdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray pdf = file.readAll();
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0;
         at = pdf.indexOf("/Type /Page", at + 1)) {
        if (pdf.mid(at + 11, 1) != "s")
            ++pages;
    }
    return pages;
}

// "Сохранить смену…" into `path`; prints the figures and answers whether it was saved.
bool saveShift(view::TapeWindow& window, const QString& path, const char* kind)
{
    forms::SeamHandlers handlers;
    handlers.saveFile = [&](QWidget*, const forms::OpenFileRequest&) {
        return std::optional<QString>(path);
    };
    forms::SeamOverride seam(handlers);
    auto* button = window.findChild<QPushButton*>(u"CmdSaveShift"_s);
    auto* status = window.findChild<QLabel*>(u"StatusText"_s);
    if (!button || !status)
        return false;
    QApplication::processEvents();
    const long before = residentKb();
    resetPeak();
    const auto started = Clock::now();
    const double cpuStarted = cpuMs();
    button->click();
    const double took = ms(Clock::now() - started);
    const double cpu = cpuMs() - cpuStarted;
    const long peak = statusKb("VmHWM:");
    const QFileInfo file(path);
    const QDir folder = file.dir();
    const QStringList written =
        folder.entryList({file.completeBaseName() + u"*."_s + file.suffix()}, QDir::Files);
    qint64 bytes = 0;
    for (const QString& name : written)
        bytes += QFileInfo(folder.filePath(name)).size();
    // A shift of a thousand receipts is many pages long: one page means the paper was lost.
    const int pages = qstrcmp(kind, "PDF") == 0 ? pdfPages(folder.filePath(written.value(0))) : 0;
    const bool saved = status->text().startsWith(u"Сохранено"_s) && !written.isEmpty() &&
                       (qstrcmp(kind, "PDF") != 0 || pages > 1);
    std::printf("save shift as %s: %.0f ms (CPU %.0f ms, limit 2000), peak +%ld kB above %ld kB"
                " resident (limit 65536), %lld files of %lld bytes%s; status: %s\n",
                kind, took, cpu, peak - before, before, static_cast<long long>(written.size()),
                static_cast<long long>(bytes),
                qstrcmp(kind, "PDF") == 0 ? qPrintable(u", %1 pages"_s.arg(pages)) : "",
                qPrintable(status->text()));
    return saved;
}

// Scrolls back to the first line of the tape, a chunk each time the top is reached.
void scrollBack(view::TapeWindow& window, qint64 firstLine, double limitSeconds)
{
    QScrollBar* bar = window.view().verticalScrollBar();
    const qint64 start = window.model().firstLineId();
    const qint64 span = start - firstLine;
    const qint64 tenth = std::max<qint64>(1, span / 10);
    double firstTenth = -1;
    double lastTenthStart = -1;
    const auto started = Clock::now();
    const double cpuStarted = cpuMs();
    double elapsed = 0;
    while (window.model().firstLineId() > firstLine && elapsed < limitSeconds * 1000) {
        const qint64 before = window.model().firstLineId();
        bar->setValue(bar->minimum());
        QApplication::processEvents();
        if (window.model().firstLineId() >= before) {
            std::printf("scrolling back stalled at line %lld\n", static_cast<long long>(before));
            return;
        }
        elapsed = cpuMs() - cpuStarted;
        const qint64 done = start - window.model().firstLineId();
        if (firstTenth < 0 && done >= tenth)
            firstTenth = elapsed;
        if (lastTenthStart < 0 && done >= span - tenth)
            lastTenthStart = elapsed;
    }
    const qint64 done = start - window.model().firstLineId();
    const double wall = ms(Clock::now() - started);
    if (done < span) {
        std::printf("scroll back: %lld of %lld lines in %.1f s (CPU %.1f s), stopped (limit 10 s"
                    " for all)\n",
                    static_cast<long long>(done), static_cast<long long>(span), wall / 1000,
                    elapsed / 1000);
        return;
    }
    const double lastTenth = elapsed - lastTenthStart;
    std::printf("scroll back over %lld lines: %.2f s (CPU %.2f s, limit 10 s); CPU of the first"
                " tenth %.0f ms, of the last %.0f ms: %.2fx (1 for linear); %lld rows loaded at"
                " the end\n",
                static_cast<long long>(span), wall / 1000, elapsed / 1000, firstTenth, lastTenth,
                lastTenth / firstTenth, static_cast<long long>(window.model().rows().size()));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    qint64 lines = 1'000'000;
    int receipts = 1000;
    double scrollLimit = 60;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--lines")
            lines = args[i + 1].toLongLong();
        else if (args[i] == u"--receipts")
            receipts = args[i + 1].toInt();
        else if (args[i] == u"--scroll-limit")
            scrollLimit = args[i + 1].toDouble();
    }

    QTemporaryDir freshDir;
    QTemporaryDir longDir;
    Traced fresh = traced(freshDir.path());
    Traced aged = traced(longDir.path());
    const auto setUp = Clock::now();
    if (!connectAndOpenShift(fresh) || !connect(*aged.device) || !fillTape(longDir.path(), lines) ||
        !check(aged.driver->StartSession(u"Кассир1"_s, 1), "StartSession"))
        return 1;
    for (int i = 0; i < receipts; ++i) {
        if (!shortSale(*aged.driver))
            return 1;
    }
    QApplication::processEvents();
    qint64 firstLine = 0;
    qint64 lastLine = 0;
    {
        auto session = emulator::DeviceSession::open(longDir.path(), 1);
        if (!session)
            return 1;
        const auto span = (*session)->store().tapeSpan();
        if (!span)
            return 1;
        firstLine = span->first;
        lastLine = span->last;
    }
    std::printf("set-up: a tape of %lld lines ending in a shift of %d receipts, made in %.1f s\n",
                static_cast<long long>(lastLine - firstLine + 1), receipts,
                ms(Clock::now() - setUp) / 1000);

    // 1. A sale beside the window.
    const Figure freshBare = saleMs(*fresh.driver);
    Figure freshOpen;
    {
        view::TapeWindow window(*fresh.hub);
        window.show();
        QApplication::processEvents();
        freshOpen = saleMs(*fresh.driver);
    }
    const Figure neverOpened = saleMs(*aged.driver);
    auto window = std::make_unique<view::TapeWindow>(*aged.hub);
    window->show();
    QApplication::processEvents();
    const Figure longOpen = saleMs(*aged.driver);
    window->close();
    QApplication::processEvents();
    const Figure longClosed = saleMs(*aged.driver);
    if (!freshBare.ok() || !freshOpen.ok() || !neverOpened.ok() || !longOpen.ok() ||
        !longClosed.ok())
        return 1;
    std::printf("sale, fresh device: %s without the tape window, %s with it\n",
                qPrintable(freshBare.text()), qPrintable(freshOpen.text()));
    std::printf("sale, long device, window open: %s = %.2fx (CPU) the fresh device with it"
                " (limit 1.1x)\n",
                qPrintable(longOpen.text()), longOpen.cpu / freshOpen.cpu);
    std::printf("sale, long device, window closed: %s = %.2fx (CPU) before it was ever opened"
                " (%s, limit 1.05x)\n",
                qPrintable(longClosed.text()), longClosed.cpu / neverOpened.cpu,
                qPrintable(neverOpened.text()));

    // 2. Opening the window.
    const Figure openFresh = openMs(*fresh.hub);
    const Figure openLong = openMs(*aged.hub);
    if (!openFresh.ok() || !openLong.ok())
        return 1;
    std::printf("open the tape window: %s fresh, %s long (limit 16 ms): %.2fx (CPU)\n",
                qPrintable(openFresh.text()), qPrintable(openLong.text()),
                openLong.cpu / openFresh.cpu);

    // 3. Saving the shift.
    window->show();
    QApplication::processEvents();
    QTemporaryDir saves;
    const bool pdf = saveShift(*window, saves.filePath(u"shift.pdf"_s), "PDF");
    const bool png = saveShift(*window, saves.filePath(u"shift.png"_s), "PNG");
    if (!pdf || !png)
        std::printf("the shift was not saved whole\n");

    // 4. Scrolling back.
    scrollBack(*window, firstLine, scrollLimit);
    return pdf && png ? 0 : 1;
}
