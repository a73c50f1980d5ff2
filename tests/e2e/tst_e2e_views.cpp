#include "DeviceNumbers.h"
#include "OperatorDesk.h"

#include "CallHub.h"
#include "JournalWindow.h"
#include "PanelWindow.h"
#include "Seams.h"
#include "TapeView.h"
#include "TapeWindow.h"
#include "TracedEmulator.h"
#include "ViewFollower.h"
#include "ViewMenu.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace e2e;

// The windows of the menu "Вид" over the built-in device: they follow the program's calls, and
// the panel's switches reach the device.
class TestViewsOnDevice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowsFollowASale();
    void panelSnapshotsReturnTheDevice();
    void tapeWindowShowsTheSlips();

private:
    QTemporaryDir m_data;
};

void TestViewsOnDevice::initTestCase()
{
    QVERIFY(m_data.isValid());
    view::registerTracedEmulator(m_data.path());
}

namespace {

// Lets the windows take in the calls made so far: the panel reads the device at most once a frame.
void settle(QWidget* panel)
{
    QCoreApplication::processEvents();
    const auto* follower = panel->findChild<view::ViewFollower*>();
    QElapsedTimer waited;
    waited.start();
    while (follower && follower->pending() && waited.elapsed() < 5000)
        QTest::qWait(1);
}

QString panelValue(QWidget* panel, const QString& caption)
{
    auto* tree = harness::control<QTreeWidget>(panel, u"TreeState"_s);
    const auto found = tree->findItems(u"    "_s + caption, Qt::MatchExactly, 0);
    return found.isEmpty() ? u"<no row>"_s : found.first()->text(1);
}

// Every row of the panel but the running clock.
QStringList panelRows(QWidget* panel)
{
    QStringList rows;
    auto* tree = harness::control<QTreeWidget>(panel, u"TreeState"_s);
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = tree->topLevelItem(i);
        if (!item->text(0).contains(u"Часы"_s))
            rows << item->text(0) + u'=' + item->text(1);
    }
    return rows;
}

QStringList snapshotList(QWidget* panel)
{
    QStringList names;
    auto* list = harness::control<QListWidget>(panel, u"LstSnapshots"_s);
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

bool tapeShows(const view::TapeWindow& tape, const QString& text)
{
    for (const view::TapeRow& row : tape.model().rows()) {
        if (row.text.contains(text))
            return true;
    }
    return false;
}

} // namespace

void TestViewsOnDevice::windowsFollowASale()
{
    WindowHarness harness;
    QString status;
    std::unique_ptr<MainForm> main = startProgram(2, false, &status);
    QVERIFY2(main, qPrintable(status));
    auto* menu = main->findChild<view::ViewMenu*>();
    QVERIFY(menu);
    QCOMPARE(menu->menu()->title(), u"&Вид"_s);
    auto* journal = qobject_cast<view::JournalWindow*>(menu->openJournal());
    auto* tape = qobject_cast<view::TapeWindow*>(menu->openTape());
    QWidget* panel = menu->openPanel();
    QVERIFY(journal && tape && panel);
    QCOMPARE(menu->openTape(), tape); // opened once

    openShift(harness, *main);
    settle(panel);
    QVERIFY(tapeShows(*tape, u"ОТКРЫТИЕ СМЕНЫ"_s));
    QCOMPARE(panelValue(panel, u"Кассир"_s).isEmpty(), false);
    QCOMPARE(panelValue(panel, u"Порт"_s), u"COM2"_s);

    // A receipt as the sale window makes it, then a payment that the panel's fault refuses.
    Driver& driver = *main->GetQuolt();
    QCOMPARE(driver.StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(driver.Item(2000, 1250, u"Чай"_s, 0), 0);
    settle(panel);
    QCOMPARE(panelValue(panel, u"Итог"_s), u"25.00"_s);
    QCOMPARE(panelValue(panel, u"Позиций"_s), u"1"_s);
    QVERIFY(tapeShows(*tape, u"Чай"_s));
    QCOMPARE(driver.StringToLineDisplay(u"ЧАЙ 2 x 12.50"_s), 0);
    settle(panel);
    QCOMPARE(panelValue(panel, u"Строка 1"_s), u"ЧАЙ 2 x 12.50"_s);

    harness::control<QComboBox>(panel, u"CmbFaultMember"_s)->setCurrentText(u"Tender2"_s);
    harness::click(panel, u"CmdSetFault"_s);
    const QVariant cash = QVariant::fromValue(PaymentType::Cash);
    QCOMPARE(driver.Tender2(3000.0, cash, QVariant(u""_s), QString()),
             static_cast<int>(ErrorCode::InjectedFault));
    QCOMPARE(driver.Tender2(3000.0, cash, QVariant(u""_s), QString()), 0);
    settle(panel);
    QCOMPARE(panelValue(panel, u"Открытый документ"_s), u"нет"_s);
    QCOMPARE(panelValue(panel, u"Открытий ящика"_s), u"1"_s); // the cash receipt kicked it once
    QVERIFY(tapeShows(*tape, u"СДАЧА"_s));
    // The receipt ends in a torn edge, and the view follows the newest line.
    QCOMPARE(tape->model().rows().constLast().kind, view::TapeRow::Kind::Tear);

    view::JournalModel& calls = journal->model();
    view::JournalFilter failures{QString(), true};
    calls.setFilter(failures);
    QCOMPARE(calls.rowCount(), 1);
    QCOMPARE(calls.entry(0)->call.member, u"Tender2"_s);

    // A sensor switched on the panel reaches the device as the device tool's switch does.
    harness::click(panel, u"ChkSensor_paper-out"_s);
    QCOMPARE(driver.GetDeviceInfo(DeviceInfo::PaperOut), 1);
    harness::click(panel, u"ChkSensor_paper-out"_s);
    QCOMPARE(driver.GetDeviceInfo(DeviceInfo::PaperOut), 0);
    QCOMPARE(driver.EndSession(), 0);
    // A clock stopped by its option says so.
    QCOMPARE(driver.SetDeviceOpt(DeviceOption::ClockOn, 0), 0);
    settle(panel);
    QVERIFY(panelValue(panel, u"Часы устройства"_s).endsWith(u" (остановлены)"_s));

    // The run, saved from the journal as a script, replays on a new device up to the payment
    // that the fault refused.
    QTemporaryDir saved;
    const QString script = saved.filePath(u"run.jsonl"_s);
    forms::SeamHandlers answers;
    answers.saveFile = [&](QWidget*, const forms::OpenFileRequest&) {
        return std::optional(script);
    };
    const forms::SeamOverride seams(answers);
    harness::click(journal, u"CmdSave"_s);
    QProcess tool;
    tool.start(QStringLiteral(QUOLT_DEVICE_TOOL),
               {u"--dir"_s, saved.filePath(u"devices"_s), u"--port"_s, u"2"_s, u"replay"_s, script,
                u"--create"_s, u"6.1"_s});
    QVERIFY(tool.waitForFinished(60000));
    const QString said = QString::fromUtf8(tool.readAllStandardError());
    QCOMPARE(tool.exitCode(), 1);
    QVERIFY2(said.contains(u"Tender2 answered 0, the recording has %1"_s.arg(
                 static_cast<int>(ErrorCode::InjectedFault))),
             qPrintable(said));
}

// A snapshot saved on the panel with a sale open gives back, once restored, the same counters,
// tape and open document, and the windows show the restored device at once.
void TestViewsOnDevice::panelSnapshotsReturnTheDevice()
{
    WindowHarness harness;
    QString status;
    std::unique_ptr<MainForm> main = startProgram(3, false, &status);
    QVERIFY2(main, qPrintable(status));
    auto* menu = main->findChild<view::ViewMenu*>();
    QVERIFY(menu);
    auto* tape = qobject_cast<view::TapeWindow*>(menu->openTape());
    QWidget* panel = menu->openPanel();
    QVERIFY(tape && panel);
    openShift(harness, *main);
    Driver& driver = *main->GetQuolt();
    const QVariant cash = QVariant::fromValue(PaymentType::Cash);
    QCOMPARE(driver.StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(driver.Item(1000, 4000, u"Сыр"_s, 0), 0);
    QCOMPARE(driver.Tender2(4000.0, cash, QVariant(u""_s), QString()), 0);
    QCOMPARE(driver.StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(driver.Item(3000, 700, u"Кефир"_s, 0), 0);
    settle(panel);
    const QStringList savedPanel = panelRows(panel);
    const QList<view::TapeRow> savedTape = tape->model().rows();
    const std::int32_t savedDocuments = driver.GetDeviceInfo(DeviceInfo::AllDocuments);
    const QString statusText = u"StatusText"_s;

    auto* name = harness::control<QLineEdit>(panel, u"TxtSnapshotName"_s);
    // A name that could leave the snapshot folder is refused and nothing is written.
    name->setText(u"../open-sale"_s);
    harness::click(panel, u"CmdSnapshotSave"_s);
    QVERIFY(harness::control<QLabel>(panel, statusText)->text().contains(u"не годится"_s));
    QVERIFY(snapshotList(panel).isEmpty());
    name->setText(u"open-sale"_s);
    harness::click(panel, u"CmdSnapshotSave"_s);
    QCOMPARE(snapshotList(panel), QStringList{u"open-sale"_s});

    // The device moves on: the sale is paid, another one is sold.
    QCOMPARE(driver.Tender2(2100.0, cash, QVariant(u""_s), QString()), 0);
    QCOMPARE(driver.StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(driver.Item(1000, 100, u"Соль"_s, 0), 0);
    QCOMPARE(driver.Tender2(100.0, cash, QVariant(u""_s), QString()), 0);
    settle(panel);
    QVERIFY(panelRows(panel) != savedPanel);

    // Enter, or Esc, declines the question: nothing is restored. Only "Да" restores.
    harness::click(panel, u"CmdSnapshotRestore"_s);
    settle(panel);
    QVERIFY(tapeShows(*tape, u"Соль"_s));
    QCOMPARE(harness.messages().last().answers, (QStringList{u"Да"_s, u"Нет"_s}));

    harness.answerChoices({0});
    harness::click(panel, u"CmdSnapshotRestore"_s);
    settle(panel);
    QCOMPARE(panelRows(panel), savedPanel);
    QCOMPARE(tape->model().rows(), savedTape);
    QCOMPARE(driver.GetDeviceInfo(DeviceInfo::AllDocuments), savedDocuments);
    QCOMPARE(driver.GetDeviceInfo(DeviceInfo::FiscalTransaction), 1);
    QCOMPARE(driver.Tender2(2100.0, cash, QVariant(u""_s), QString()), 0);
    QCOMPARE(driver.GetDeviceInfo(DeviceInfo::FiscalTransaction), 0);

    harness::click(panel, u"CmdSnapshotDelete"_s);
    QCOMPARE(snapshotList(panel), QStringList{u"open-sale"_s});
    harness.answerChoices({0});
    harness::click(panel, u"CmdSnapshotDelete"_s);
    QVERIFY(snapshotList(panel).isEmpty());
    QCOMPARE(driver.EndSession(), 0);
}

namespace {

int tears(const view::TapeModel& model)
{
    return static_cast<int>(
        std::count_if(model.rows().cbegin(), model.rows().cend(), [](const view::TapeRow& row) {
            return row.kind == view::TapeRow::Kind::Tear;
        }));
}

} // namespace

// Documents printed on slips show on the slip page, which comes into sight as they print, each
// slip torn off on its own; the roll comes back when the device prints on it again.
void TestViewsOnDevice::tapeWindowShowsTheSlips()
{
    WindowHarness harness;
    QString status;
    std::unique_ptr<MainForm> main = startProgram(4, false, &status);
    QVERIFY2(main, qPrintable(status));
    auto* menu = main->findChild<view::ViewMenu*>();
    QVERIFY(menu);
    auto* tape = qobject_cast<view::TapeWindow*>(menu->openTape());
    QWidget* panel = menu->openPanel();
    QVERIFY(tape && panel);
    openShift(harness, *main);
    QCoreApplication::processEvents();
    QVERIFY(!tape->showsSlips());
    const qsizetype rollRows = tape->model().rows().size();

    Driver& driver = *main->GetQuolt();
    const QVariant cash = QVariant::fromValue(PaymentType::Cash);
    QCOMPARE(driver.SetPrintDocumentMode(PrintMode::Slip, SlipSide::Left, 2, 1, 0, 0), 0);
    harness::click(panel, u"ChkSensor_slip"_s);
    for (const QString& goods : {u"Хлеб"_s, u"Масло"_s}) {
        QCOMPARE(driver.StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
        QCOMPARE(driver.Item(1000, 500, goods, 0), 0);
        QCOMPARE(driver.Tender2(500.0, cash, QVariant(u""_s), QString()), 0);
        QCoreApplication::processEvents();
        QVERIFY(tape->showsSlips());
    }
    const view::TapeModel& slips = tape->slipModel();
    QCOMPARE(tears(slips), 2);
    QCOMPARE(slips.rows().constLast().kind, view::TapeRow::Kind::Tear);
    // The second slip starts right after the first one's torn edge.
    const auto [first, last] = slips.documentAround(static_cast<int>(slips.rows().size()) - 2);
    QVERIFY(slips.rows().at(first).text.startsWith(u"[ПОДКЛАДНОЙ ДОКУМЕНТ"_s));
    QCOMPARE(slips.rows().at(first - 1).kind, view::TapeRow::Kind::Tear);
    QVERIFY(slips.findBackwards(u"Масло"_s, last + 1) > first);
    QCOMPARE(tape->model().rows().size(), rollRows);

    // A window opened now reads the same slips at once.
    view::TapeWindow fresh(*view::CallHub::of(&driver));
    QCOMPARE(fresh.slipModel().rows(), slips.rows());

    QCOMPARE(driver.SetPrintDocumentMode(PrintMode::Roll, 0, 0, 0, 0, 0), 0);
    QCOMPARE(driver.StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(driver.Item(1000, 700, u"Соль"_s, 0), 0);
    QCOMPARE(driver.Tender2(700.0, cash, QVariant(u""_s), QString()), 0);
    QCoreApplication::processEvents();
    QVERIFY(!tape->showsSlips());
    QVERIFY(tapeShows(*tape, u"Соль"_s));
    QCOMPARE(driver.EndSession(), 0);
}

QTEST_MAIN(TestViewsOnDevice)
#include "tst_e2e_views.moc"
