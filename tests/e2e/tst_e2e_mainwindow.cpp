#include "DeviceNumbers.h"
#include "OperatorDesk.h"

#include "FormReports.h"
#include "FormSale.h"
#include "TracedEmulator.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace e2e;

namespace {

// Enabled states of "Открытие смены", "Закрытие смены" and "Открытие документа".
QList<bool> shiftButtons(MainForm& main)
{
    QList<bool> states;
    for (const QString& name : {u"CmdOpenSession"_s, u"CmdCloseSession"_s, u"CmdOpenDoc"_s})
        states << harness::isEnabled(&main, name);
    return states;
}

const QList<bool> kShiftClosed{true, false, false};
const QList<bool> kShiftOpen{false, true, true};

} // namespace

// The main window on the built-in device when the shift changes where the main window does not
// see it change: a Z report in the reports window, or another program on the same device.
class TestMainWindowOnDevice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void zReportLeavesTheWayToTheNextShift();
    void shiftChangedBehindTheWindow_data();
    void shiftChangedBehindTheWindow();
    void aboutNamesTheDeviceAndWhereItIsKept();

private:
    QTemporaryDir m_data;
};

void TestMainWindowOnDevice::initTestCase()
{
    QVERIFY(m_data.isValid());
    // Traced, as the program runs it: the main window learns the device's address from it.
    view::registerTracedEmulator(m_data.path());
}

void TestMainWindowOnDevice::zReportLeavesTheWayToTheNextShift()
{
    WindowHarness harness;
    QString status;
    std::unique_ptr<MainForm> main = startProgram(1, false, &status);
    QVERIFY2(main, qPrintable(status));
    openShift(harness, *main);
    QCOMPARE(shiftButtons(*main), kShiftOpen);

    QString reported;
    harness.onModal<FormReports>([&](FormReports& reports) {
        harness::click(&reports, u"CmdZ1Report"_s);
        reported = harness::text(&reports, u"StatusText"_s);
    });
    harness::click(main.get(), u"CmdReports"_s);

    QCOMPARE(reported, u"Статус: Нет ошибок"_s);
    QCOMPARE(main->GetQuolt()->GetDeviceInfo(DeviceInfo::ShiftOpen), 0);
    QCOMPARE(shiftButtons(*main), kShiftClosed);
    QVERIFY(!main->bSessionOpen);

    // The next shift opens, and a document in it.
    harness::click(main.get(), u"CmdOpenSession"_s);
    QCOMPARE(harness::text(main.get(), u"StatusText"_s), u"Статус: Нет ошибок"_s);
    harness.onModal<FormSale>([](FormSale& sale) { harness::click(&sale, u"CmdCancel"_s); });
    openDocument(*main, DocumentType::Sale);
    QCOMPARE(harness.modalsShown(), QStringList({u"FormReports"_s, u"FormSale"_s}));
}

void TestMainWindowOnDevice::shiftChangedBehindTheWindow_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("openAtStart");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("refusal");

    QTest::newRow("closed elsewhere, then a document")
        << 2 << true << u"CmdOpenDoc"_s << u"Статус: Смена не открыта"_s;
    QTest::newRow("closed elsewhere, then the closing")
        << 3 << true << u"CmdCloseSession"_s << u"Статус: Смена не открыта"_s;
    QTest::newRow("opened elsewhere, then the opening")
        << 4 << false << u"CmdOpenSession"_s << u"Статус: Смена уже открыта"_s;
}

void TestMainWindowOnDevice::shiftChangedBehindTheWindow()
{
    QFETCH(int, port);
    QFETCH(bool, openAtStart);
    QFETCH(QString, button);
    QFETCH(QString, refusal);
    WindowHarness harness;
    QString status;
    std::unique_ptr<MainForm> main = startProgram(port, false, &status);
    QVERIFY2(main, qPrintable(status));
    harness.watch(main.get());
    if (openAtStart)
        harness::click(main.get(), u"CmdOpenSession"_s);
    QCOMPARE(shiftButtons(*main), openAtStart ? kShiftOpen : kShiftClosed);

    // Another program on the same device turns the shift round.
    Driver& device = *main->GetQuolt();
    QCOMPARE(openAtStart ? device.EndSession() : device.StartSession(u"Кассир"_s, 1), 0);

    harness::click(main.get(), button);

    QCOMPARE(harness::text(main.get(), u"StatusText"_s), refusal);
    QCOMPARE(shiftButtons(*main), openAtStart ? kShiftClosed : kShiftOpen);
    QCOMPARE(main->bSessionOpen, !openAtStart);
    // The way forward the buttons now offer is open.
    harness::click(main.get(), openAtStart ? u"CmdOpenSession"_s : u"CmdCloseSession"_s);
    QCOMPARE(harness::text(main.get(), u"StatusText"_s), u"Статус: Нет ошибок"_s);
}

void TestMainWindowOnDevice::aboutNamesTheDeviceAndWhereItIsKept()
{
    constexpr int port = 5;
    WindowHarness harness;
    QString status;
    std::unique_ptr<MainForm> main = startProgram(port, false, &status);
    QVERIFY2(main, qPrintable(status));
    harness.watch(main.get());

    harness::trigger(main.get(), u"mnAbout"_s);

    QCOMPARE(harness.messages().size(), 1);
    const QString text = harness.messages().constFirst().text;
    QVERIFY2(text.contains(u"поколение %1.%2, COM-порт %3"_s.arg(main->m_MajorVersion)
                               .arg(main->m_MinorVersion)
                               .arg(port)),
             qPrintable(text));
    QVERIFY2(text.contains(QDir::toNativeSeparators(m_data.path())), qPrintable(text));
}

QTEST_MAIN(TestMainWindowOnDevice)
#include "tst_e2e_mainwindow.moc"
