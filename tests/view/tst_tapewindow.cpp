#include "CallHub.h"
#include "DeviceNumbers.h"
#include "DeviceSession.h"
#include "Seams.h"
#include "TapePage.h"
#include "TapeView.h"
#include "TapeWindow.h"
#include "TracingDriver.h"

#include "EmulatorFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace emulator::testing;

namespace {

// A device of its own behind a traced driver, as the program has it.
struct TracedDevice
{
    QTemporaryDir dir;
    std::shared_ptr<emulator::EmulatedDriver> device;
    std::shared_ptr<TracingDriver> driver;
    view::CallHub* hub = nullptr;

    explicit TracedDevice(bool openShift = true)
    {
        createDevice(dir.path(), 1, 6, 1);
        device = connectDriver(dir.path(), {}, openShift);
        if (!device)
            return;
        view::DriverContext context;
        const emulator::EmulatedDriver* watched = device.get();
        context.extendedCode = [watched] { return watched->lastErrorCode2(); };
        context.device = [watched, folder = dir.path()]() -> std::optional<view::DeviceAddress> {
            return view::DeviceAddress{folder, watched->connectedPort().value_or(1), 1};
        };
        driver = view::CallHub::trace(device, context);
        hub = view::CallHub::of(driver.get());
    }

    bool sale(const QString& goods = u"Хлеб"_s)
    {
        return driver->StartDocument(DocumentType::Sale, 1, QString(), QString()) == 0 &&
               driver->Item(1000, 150, goods, 0) == 0 &&
               driver->Tender2(200.0, kCash, kNoCard, QString()) == 0;
    }

    // `count` numbered lines written straight into the store, torn off every 25.
    bool fill(int count)
    {
        auto session = emulator::DeviceSession::open(dir.path(), 1);
        if (!session)
            return false;
        emulator::Effects effects;
        for (int i = 0; i < count; ++i) {
            effects.tape << u"СТРОКА %1"_s.arg(i);
            if (i % 25 == 24)
                effects.tapeCuts << i;
        }
        emulator::DeviceStore& store = (*session)->store();
        return store.beginWrite() && store.save((*session)->device().state(), effects) &&
               store.commit();
    }

    emulator::TapeSpan span()
    {
        auto session = emulator::DeviceSession::open(dir.path(), 1);
        if (!session)
            return {};
        const auto read = (*session)->store().tapeSpan();
        return read ? *read : emulator::TapeSpan{};
    }
};

QString status(const view::TapeWindow& window)
{
    return window.findChild<QLabel*>(u"StatusText"_s)->text();
}

bool shows(const view::TapeModel& model, const QString& text)
{
    return model.findBackwards(text, static_cast<int>(model.rows().size())) >= 0;
}

// Scrolls to the start (or the end) of what is loaded, as often as more comes in.
void scrollThrough(view::TapeWindow& window, bool back, int& mostRows)
{
    QScrollBar* bar = window.view().verticalScrollBar();
    for (int step = 0; step < 10'000; ++step) {
        const qint64 before = back ? window.model().firstLineId() : window.model().lastLineId();
        bar->setValue(back ? bar->minimum() : bar->maximum());
        mostRows = std::max(mostRows, static_cast<int>(window.model().rows().size()));
        if ((back ? window.model().firstLineId() : window.model().lastLineId()) == before)
            return;
    }
}

} // namespace

class TestTapeWindow : public QObject
{
    Q_OBJECT

private slots:
    void emptyTapeNoticeGoesWithTheFirstLines();
    void hiddenWindowReadsNothingAndCatchesUp_data();
    void hiddenWindowReadsNothingAndCatchesUp();
    void enterInTheSearchBoxSearches_data();
    void enterInTheSearchBoxSearches();
    void scrollingThroughALongTapeKeepsLoadedRowsBounded();
    void findReachesFarBack();
    void saveDialogsStartWhereTheLastSaveWent();
    void savedShiftIsReadablePageByPage();
    void failedSaveIsNeverReportedAsSaved();
};

void TestTapeWindow::emptyTapeNoticeGoesWithTheFirstLines()
{
    TracedDevice device(false);
    QVERIFY(device.hub);
    view::TapeWindow window(*device.hub);
    window.show();
    QVERIFY(window.model().rows().isEmpty());
    QCOMPARE(status(window), u"Лента пуста"_s);
    QCOMPARE(device.driver->StartSession(u"Кассир1"_s, 1), 0);
    QTRY_VERIFY(!window.model().rows().isEmpty());
    QCOMPARE(status(window), QString());
}

void TestTapeWindow::hiddenWindowReadsNothingAndCatchesUp_data()
{
    QTest::addColumn<bool>("closed");
    QTest::newRow("hidden") << false;
    QTest::newRow("closed by its frame") << true;
}

void TestTapeWindow::hiddenWindowReadsNothingAndCatchesUp()
{
    QFETCH(bool, closed);
    TracedDevice device;
    QVERIFY(device.hub);
    view::TapeWindow window(*device.hub);
    window.show();
    QCoreApplication::processEvents();
    const qint64 shown = window.model().lastLineId();
    if (closed)
        window.close();
    else
        window.hide();
    QVERIFY(device.sale(u"Соль"_s));
    QCoreApplication::processEvents();
    QCOMPARE(window.model().lastLineId(), shown);
    window.show();
    QCOMPARE(window.model().lastLineId(), device.span().last);
    QVERIFY(shows(window.model(), u"Соль"_s));
}

void TestTapeWindow::enterInTheSearchBoxSearches_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter of the keypad") << int(Qt::Key_Enter);
}

void TestTapeWindow::enterInTheSearchBoxSearches()
{
    QFETCH(int, key);
    TracedDevice device;
    QVERIFY(device.hub && device.sale(u"Соль"_s) && device.sale(u"Чай"_s));
    view::TapeWindow window(*device.hub);
    window.show();
    auto* find = window.findChild<QLineEdit*>(u"TxtFind"_s);
    find->setFocus();
    find->setText(u"соль"_s);
    QTest::keyClick(find, static_cast<Qt::Key>(key));
    const int marked = window.view().markedRow();
    QVERIFY(marked >= 0);
    QVERIFY(window.model().rows()[marked].text.contains(u"Соль"_s));
}

void TestTapeWindow::scrollingThroughALongTapeKeepsLoadedRowsBounded()
{
    TracedDevice device;
    QVERIFY(device.hub && device.fill(3 * view::TapePage::kMaxRows) && device.sale());
    const emulator::TapeSpan span = device.span();
    view::TapeWindow window(*device.hub);
    window.resize(460, 720);
    window.show();
    const QList<view::TapeRow> newest = window.model().rows();

    int mostRows = 0;
    scrollThrough(window, true, mostRows);
    QCOMPARE(window.model().firstLineId(), span.first);
    QVERIFY(shows(window.model(), u"СТРОКА 0"_s));
    // Forward again: what comes back is what was there, up to the newest line.
    scrollThrough(window, false, mostRows);
    QCOMPARE(window.model().lastLineId(), span.last);
    QVERIFY(mostRows <= view::TapePage::kMaxRows);
    const QList<view::TapeRow>& rows = window.model().rows();
    QVERIFY(rows.size() >= newest.size());
    QVERIFY(rows.mid(rows.size() - newest.size()) == newest);

    // A sale while the end is in sight comes into sight.
    QVERIFY(device.sale(u"Соль"_s));
    QTRY_COMPARE(window.model().lastLineId(), device.span().last);
    QVERIFY(window.view().atEnd());
}

void TestTapeWindow::findReachesFarBack()
{
    TracedDevice device(false);
    QVERIFY(device.hub && device.fill(2 * view::TapePage::kMaxRows));
    QCOMPARE(device.driver->StartSession(u"Кассир1"_s, 1), 0);
    view::TapeWindow window(*device.hub);
    window.show();
    auto* find = window.findChild<QLineEdit*>(u"TxtFind"_s);
    // Far back: the last line holding it is "СТРОКА 7779".
    find->setText(u"СТРОКА 777"_s);
    QTest::keyClick(find, Qt::Key_Return);
    const int marked = window.view().markedRow();
    QVERIFY2(marked >= 0, qPrintable(status(window)));
    QCOMPARE(window.model().rows()[marked].text, u"СТРОКА 7779"_s);
    QVERIFY(window.model().rows().size() <= view::TapePage::kMaxRows);
    // The next search goes on backwards from there.
    QTest::keyClick(find, Qt::Key_Return);
    QCOMPARE(window.model().rows()[window.view().markedRow()].text, u"СТРОКА 7778"_s);
}

void TestTapeWindow::saveDialogsStartWhereTheLastSaveWent()
{
    TracedDevice device;
    QVERIFY(device.hub && device.sale());
    view::TapeWindow window(*device.hub);
    window.show();
    QTemporaryDir dir;
    QList<forms::OpenFileRequest> requests;
    QStringList answers{dir.filePath(u"first.pdf"_s), dir.filePath(u"second.png"_s)};
    forms::SeamHandlers handlers;
    handlers.saveFile = [&](QWidget*, const forms::OpenFileRequest& request) {
        requests << request;
        return std::optional<QString>(answers.takeFirst());
    };
    forms::SeamOverride seam(handlers);
    window.findChild<QPushButton*>(u"CmdSaveShift"_s)->click();
    window.findChild<QPushButton*>(u"CmdSaveDocument"_s)->click();
    QCOMPARE(requests.size(), 2);
    const emulator::DeviceState state = stateOf(device.dir.path());
    const QString shift = u"смена-%1-%2"_s.arg(state.shiftNumber)
                              .arg(state.shiftOpenedAt.date().toString(u"yyyy-MM-dd"_s));
    // First a name after the shift; then the folder and the format of the last save.
    QCOMPARE(QFileInfo(requests[0].initialDirectory).fileName(), shift + u".png"_s);
    QCOMPARE(requests[1].initialDirectory, dir.filePath(shift + u"-документ.pdf"_s));
    QCOMPARE(requests[1].filterIndex, 2);
    QVERIFY2(status(window).startsWith(u"Сохранено"_s), qPrintable(status(window)));
}

void TestTapeWindow::savedShiftIsReadablePageByPage()
{
    if (QStandardPaths::findExecutable(u"pdftoppm"_s).isEmpty())
        QSKIP("poppler-utils (pdftoppm) is not installed");
    TracedDevice device;
    QVERIFY(device.hub);
    for (int i = 0; i < 15; ++i)
        QVERIFY(device.sale(u"Товар %1"_s.arg(i)));
    view::TapeWindow window(*device.hub);
    window.show();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"shift.pdf"_s);
    forms::SeamHandlers handlers;
    handlers.saveFile = [&](QWidget*, const forms::OpenFileRequest&) {
        return std::optional<QString>(pdf);
    };
    forms::SeamOverride seam(handlers);
    window.findChild<QPushButton*>(u"CmdSaveShift"_s)->click();
    QCOMPARE(status(window), u"Сохранено: %1"_s.arg(pdf));
    QProcess pages;
    pages.start(u"pdftoppm"_s, {u"-r"_s, u"36"_s, u"-png"_s, pdf, dir.filePath(u"page"_s)});
    QVERIFY(pages.waitForFinished(60'000));
    QCOMPARE(pages.exitCode(), 0);
    QVERIFY(QDir(dir.path()).entryList({u"page*.png"_s}).size() > 1);
}

void TestTapeWindow::failedSaveIsNeverReportedAsSaved()
{
    TracedDevice device;
    QVERIFY(device.hub && device.sale());
    view::TapeWindow window(*device.hub);
    window.show();
    QTemporaryDir dir;
    forms::SeamHandlers handlers;
    handlers.saveFile = [&](QWidget*, const forms::OpenFileRequest& request) {
        const QString suffix = request.title.contains(u"смену"_s) ? u"pdf"_s : u"png"_s;
        return std::optional<QString>(dir.filePath(u"missing/tape."_s + suffix));
    };
    forms::SeamOverride seam(handlers);
    for (const QString& button : {u"CmdSaveShift"_s, u"CmdSaveDocument"_s}) {
        window.findChild<QPushButton*>(button)->click();
        QVERIFY2(status(window).startsWith(u"Не удалось записать"_s), qPrintable(status(window)));
        QVERIFY(status(window).contains(dir.filePath(u"missing/tape."_s)));
    }
}

QTEST_MAIN(TestTapeWindow)
#include "tst_tapewindow.moc"
