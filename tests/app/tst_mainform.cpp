// The main window: what it reads as it loads, its shift and drawer commands, its dialogs and
// menus, and closing it.

#include "MainFormRig.h"
#include "ResultCodes.h"
#include "dlgBaudRate.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void loadReadsCountersGenerationAndShift();
    void loadEnablesByGeneration_data();
    void loadEnablesByGeneration();
    void shiftCommands_data();
    void shiftCommands();
    void refusalForTheShiftReadsItBack_data();
    void refusalForTheShiftReadsItBack();
    void drawer_data();
    void drawer();
    void extendedErrorLeavesTheStatusAlone();
    void speedDialog_data();
    void speedDialog();
    void buttonsOpenTheirWindows_data();
    void buttonsOpenTheirWindows();
    void closingReleasesTheDeviceOnce_data();
    void closingReleasesTheDeviceOnce();
    void aboutAsksTheDeviceNothing();
};

void TestMainForm::loadReadsCountersGenerationAndShift()
{
    auto fake = deviceOf(4, 1, 1);
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::Shifts, 15);
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::FiscalDocuments, 240);
    fake->answer(u"GetTextDeviceInfo"_s, u"1234.50"_s);
    WindowHarness harness(fake);
    MainForm window(fake);
    harness.watch(&window);

    QCOMPARE(fake->calls(),
             QStringList({callText(u"GetDeviceInfo"_s, {DeviceInfo::Shifts}),
                          callText(u"GetDeviceInfo"_s, {DeviceInfo::AllDocuments}),
                          callText(u"GetDeviceInfo"_s, {DeviceInfo::FiscalDocuments}),
                          callText(u"GetDeviceInfo"_s, {DeviceInfo::NonFiscalDocuments}),
                          callText(u"GetTextDeviceInfo"_s, {TextInfo::SalesTotal}),
                          callText(u"GetDeviceInfo"_s, {DeviceInfo::MajorVersion}),
                          callText(u"GetDeviceInfo"_s, {DeviceInfo::MinorVersion}),
                          callText(u"GetDeviceInfo"_s, {DeviceInfo::ShiftOpen})}));
    QCOMPARE(fake->last(u"GetTextDeviceInfo"_s)->status, u"Получение данных..."_s);
    QCOMPARE(harness::text(&window, u"TxtSessionsCount"_s), u"15"_s);
    QCOMPARE(harness::text(&window, u"TxtFscDocs"_s), u"240"_s);
    QCOMPARE(harness::text(&window, u"TxtItogSale"_s), u"1234.50"_s);
    QCOMPARE(harness::text(&window, u"StatusText"_s), QString());
    QCOMPARE(window.m_MajorVersion, 4);
    QCOMPARE(window.m_MinorVersion, 1);
    QVERIFY(window.bSessionOpen);
}

void TestMainForm::loadEnablesByGeneration_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    // CmdExtraInfo, CmdEKLZ, CmdExtraDocData, Option1_7 enabled; CmdEKLZ shown, not the display.
    QTest::addColumn<QList<bool>>("enabled");
    QTest::addColumn<bool>("eklzShown");

    QTest::newRow("2") << 2 << 0 << QList<bool>{false, false, false, false} << false;
    QTest::newRow("3") << 3 << 5 << QList<bool>{false, false, true, false} << false;
    QTest::newRow("4.3") << 4 << 3 << QList<bool>{true, true, true, true} << false;
    QTest::newRow("4.1") << 4 << 1 << QList<bool>{true, true, true, true} << true;
    QTest::newRow("5.3") << 5 << 3 << QList<bool>{true, true, true, true} << true;
}

void TestMainForm::loadEnablesByGeneration()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(bool, eklzShown);
    Loaded loaded(major, minor);
    QList<bool> enabled;
    for (const QString& name :
         {u"CmdExtraInfo"_s, u"CmdEKLZ"_s, u"CmdExtraDocData"_s, u"Option1_7"_s})
        enabled << harness::isEnabled(&loaded.window, name);
    QTEST(enabled, "enabled");
    QCOMPARE(harness::isShown(&loaded.window, u"CmdEKLZ"_s), eklzShown);
    QCOMPARE(harness::isShown(&loaded.window, u"CmdLineDisplay"_s), !eklzShown);
}

void TestMainForm::shiftCommands_data()
{
    QTest::addColumn<int>("shiftInfo");  // DeviceInfo::ShiftOpen at load
    QTest::addColumn<QString>("button"); // empty: only the load
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QList<bool>>("buttons");
    QTest::addColumn<bool>("open");

    const QStringList start{u"StartSession(text:\"Кассир1\", int32:1)"_s};
    const QStringList end{u"EndSession()"_s};
    QTest::newRow("load, closed") << 0 << QString() << 0 << QStringList{}
                                  << QList<bool>{true, false, false, false} << false;
    QTest::newRow("load, open (any non-zero)")
        << -2 << QString() << 0 << QStringList{} << QList<bool>{false, true, true, true} << true;
    QTest::newRow("open") << 0 << u"CmdOpenSession"_s << 0 << start
                          << QList<bool>{false, true, true, true} << true;
    QTest::newRow("open refused") << 0 << u"CmdOpenSession"_s << 3 << start
                                  << QList<bool>{true, false, false, false} << false;
    // Closing leaves the duplicate as it was.
    QTest::newRow("close") << 1 << u"CmdCloseSession"_s << 0 << end
                           << QList<bool>{true, false, false, true} << false;
    QTest::newRow("close refused")
        << 1 << u"CmdCloseSession"_s << 3 << end << QList<bool>{false, true, true, true} << true;
}

void TestMainForm::shiftCommands()
{
    QFETCH(int, shiftInfo);
    QFETCH(QString, button);
    QFETCH(int, code);
    QFETCH(QStringList, commands);
    Loaded loaded(5, 0, shiftInfo);
    loaded.fake->answer(u"StartSession"_s, code);
    loaded.fake->answer(u"EndSession"_s, code);

    if (!button.isEmpty()) {
        harness::click(&loaded.window, button);
        QCOMPARE(loaded.status(), statusOf(code));
        QCOMPARE(loaded.fake->records().constFirst().status,
                 button == u"CmdOpenSession" ? u"Открытие смены..."_s : u"Закрытие смены..."_s);
    }
    QCOMPARE(loaded.fake->commands(), commands);
    QTEST(loaded.shiftButtons(), "buttons");
    QTEST(loaded.window.bSessionOpen, "open");

    // An unreadable register number sends nothing.
    if (button == u"CmdOpenSession" && code == 3) {
        loaded.fake->clearRecords();
        harness::setText(&loaded.window, u"TxtSessPosIS"_s, u"1a"_s);
        harness::click(&loaded.window, button);
        QVERIFY(loaded.fake->calls().isEmpty());
        QCOMPARE(loaded.status(), u"N кассы: не число"_s);
    }
}

void TestMainForm::refusalForTheShiftReadsItBack_data()
{
    QTest::addColumn<int>("shiftAtLoad");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("shiftOnDevice"); // DeviceInfo::ShiftOpen after the refusal
    QTest::addColumn<QList<bool>>("buttons");

    const int notOpen = int(ErrorCode::ShiftNotOpen);
    const int alreadyOpen = int(ErrorCode::ShiftAlreadyOpen);
    // Closed behind the window's back (a Z report, another program): the opening is offered.
    QTest::newRow("closing, no shift")
        << 1 << u"CmdCloseSession"_s << notOpen << 0 << QList<bool>{true, false, false, true};
    QTest::newRow("document, no shift")
        << 1 << u"CmdOpenDoc"_s << notOpen << 0 << QList<bool>{true, false, false, true};
    // Opened behind its back: the closing and the documents are offered, and the duplicate.
    QTest::newRow("opening, shift open")
        << 0 << u"CmdOpenSession"_s << alreadyOpen << 1 << QList<bool>{false, true, true, true};
    QTest::newRow("document, shift too long")
        << 1 << u"CmdOpenDoc"_s << int(ErrorCode::ShiftTooLong) << 1
        << QList<bool>{false, true, true, true};
    // Any other refusal leaves the buttons as they were, whatever the device holds.
    QTest::newRow("closing, other refusal") << 1 << u"CmdCloseSession"_s << int(ErrorCode::PaperOut)
                                            << 0 << QList<bool>{false, true, true, true};
}

void TestMainForm::refusalForTheShiftReadsItBack()
{
    QFETCH(int, shiftAtLoad);
    QFETCH(QString, button);
    QFETCH(int, code);
    QFETCH(int, shiftOnDevice);
    QFETCH(QList<bool>, buttons);
    Loaded loaded(5, 0, shiftAtLoad);
    loaded.fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::ShiftOpen, shiftOnDevice);
    for (const QString& member : {u"StartSession"_s, u"EndSession"_s, u"StartDocument"_s})
        loaded.fake->answer(member, code);

    harness::click(&loaded.window, button);

    QCOMPARE(loaded.status(), statusOf(code));
    QCOMPARE(loaded.shiftButtons(), buttons);
    QCOMPARE(loaded.window.bSessionOpen, buttons.at(1));
    QVERIFY(loaded.harness.modalsShown().isEmpty());
}

void TestMainForm::drawer_data()
{
    QTest::addColumn<int>("clerk");
    QTest::addColumn<int>("drawer");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<int>("shown");

    const QString setClerk = u"SetClerk(text:\"Кассир1\")"_s;
    QTest::newRow("opened") << 0 << 6 << QStringList{setClerk, u"OpenDrawer()"_s} << 6;
    QTest::newRow("cashier refused") << 5 << 0 << QStringList{setClerk} << 5;
}

void TestMainForm::drawer()
{
    QFETCH(int, clerk);
    QFETCH(int, drawer);
    QFETCH(int, shown);
    Loaded loaded;
    loaded.fake->answer(u"SetClerk"_s, clerk);
    loaded.fake->answer(u"OpenDrawer"_s, drawer);

    harness::click(&loaded.window, u"CmdOpenDrawer"_s);

    QTEST(loaded.fake->commands(), "commands");
    QCOMPARE(loaded.fake->last(u"SetClerk"_s)->status, u"Открытие ящика..."_s);
    QCOMPARE(loaded.status(), statusOf(shown));
}

void TestMainForm::extendedErrorLeavesTheStatusAlone()
{
    Loaded loaded;
    loaded.fake->answer(u"PrintDuplicate"_s, 4);
    harness::click(&loaded.window, u"CmdPrintDuplicate"_s);
    QCOMPARE(loaded.fake->last(u"PrintDuplicate"_s)->status, u"Печать дубликата чека..."_s);
    loaded.fake->answer(u"GetErrorCode2"_s, 70001);

    harness::click(&loaded.window, u"CmdGetExtendedError"_s);

    QCOMPARE(loaded.fake->last(u"GetErrorComment2"_s)->call.toString(),
             callText(u"GetErrorComment2"_s, {70001}));
    QCOMPARE(harness::text(&loaded.window, u"ExtendedErrorCodeText"_s), u"70001"_s);
    QCOMPARE(harness::text(&loaded.window, u"ExtendedErrorText"_s), FakeDriver::comment2(70001));
    QCOMPARE(loaded.status(), statusOf(4));
}

void TestMainForm::speedDialog_data()
{
    QTest::addColumn<QString>("button"); // empty: closed by its frame
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("commands");

    QTest::newRow("OK with 115200")
        << u"OKButton"_s << 6
        << QStringList{callText(u"SetDeviceOpt"_s, {DeviceOption::Speed, std::int16_t(6)})};
    QTest::newRow("OK without a selection")
        << u"OKButton"_s << -1
        << QStringList{callText(u"SetDeviceOpt"_s, {DeviceOption::Speed, std::int16_t(-1)})};
    QTest::newRow("cancel") << u"CancelButton"_s << 2 << QStringList{};
    QTest::newRow("frame") << QString() << 2 << QStringList{};
}

void TestMainForm::speedDialog()
{
    QFETCH(QString, button);
    QFETCH(int, row);
    QFETCH(QStringList, commands);
    Loaded loaded;
    loaded.fake->answer(u"PrintDuplicate"_s, 4); // something to leave in the status line
    harness::click(&loaded.window, u"CmdPrintDuplicate"_s);
    loaded.fake->clearRecords();
    loaded.fake->answer(u"SetDeviceOpt"_s, 9);
    loaded.harness.onModal<dlgBaudRate>([&](dlgBaudRate& dialog) {
        harness::control<QListWidget>(&dialog, u"lbBaudRate"_s)->setCurrentRow(row);
        if (!button.isEmpty())
            harness::click(&dialog, button);
    });

    harness::trigger(&loaded.window, u"mnBaudRate"_s);

    QCOMPARE(loaded.harness.ownersOfModals(), QStringList{u"MainForm"_s});
    QCOMPARE(loaded.fake->commands(), commands);
    if (!commands.isEmpty())
        QCOMPARE(loaded.fake->last(u"SetDeviceOpt"_s)->status, u"Установка скорости обмена..."_s);
    QCOMPARE(loaded.status(), statusOf(commands.isEmpty() ? 4 : 9));
}

void TestMainForm::buttonsOpenTheirWindows_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("windowClass");
    QTest::newRow("status") << u"CmdStatus"_s << u"dlgStatus"_s;
    QTest::newRow("statistics") << u"CmdExtraInfo"_s << u"dlgExtraInfo2"_s;
    QTest::newRow("options") << u"CmdSettings"_s << u"FormOptions"_s;
    QTest::newRow("taxes") << u"CmdTaxes"_s << u"FormTaxes"_s;
    QTest::newRow("document extras") << u"CmdExtraDocData"_s << u"FormExtraDocData"_s;
    QTest::newRow("reports") << u"CmdReports"_s << u"FormReports"_s;
    QTest::newRow("EKLZ") << u"CmdEKLZ"_s << u"dlgEKLZ"_s;
    QTest::newRow("information") << u"cmdInfo"_s << u"dlgInfo"_s;
    QTest::newRow("payment means") << u"CmdPaymentMeans"_s << u"dlgPaymentMeans"_s;
    QTest::newRow("customer display") << u"CmdLineDisplay"_s << u"dlgLineDisplay"_s;
    QTest::newRow("slip mode") << u"CmdPrintDocumentCopyMode"_s << u"dlgPrintDocumentMode"_s;
}

void TestMainForm::buttonsOpenTheirWindows()
{
    QFETCH(QString, button);
    QFETCH(QString, windowClass);
    Loaded loaded;
    harness::click(&loaded.window, button);
    QCOMPARE(loaded.harness.modalsShown(), QStringList{windowClass});
}

void TestMainForm::closingReleasesTheDeviceOnce_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::newRow("button") << true;
    QTest::newRow("frame") << false;
}

void TestMainForm::closingReleasesTheDeviceOnce()
{
    QFETCH(bool, byButton);
    Loaded loaded;
    if (byButton)
        harness::click(&loaded.window, u"CmdClose"_s);
    else
        loaded.window.close();
    loaded.window.show();
    loaded.window.close();

    QCOMPARE(loaded.fake->commands(), QStringList{u"DeinitDevice()"_s});
    QCOMPARE(loaded.harness.endRequests(), QList<int>{0});
}

void TestMainForm::aboutAsksTheDeviceNothing()
{
    Loaded loaded(4, 1, 1);
    QMenu* help = loaded.window.findChild<QMenu*>(u"mnHelp"_s);
    QVERIFY(help);
    QCOMPARE(help->menuAction(), loaded.window.menuBar()->actions().constLast());

    harness::trigger(&loaded.window, u"mnAbout"_s);

    QVERIFY(loaded.fake->calls().isEmpty());
    QCOMPARE(loaded.harness.messages().size(), 1);
    const auto& about = loaded.harness.messages().constFirst();
    QCOMPARE(about.title, u"О программе"_s);
    // The fake driver is not traced: where its device lives is not known.
    QVERIFY2(about.text.contains(u"поколение 4.1, COM-порт неизвестно"_s), qPrintable(about.text));
    // Built and not installed: the documentation of the sources it was built from.
    const QString docs = about.text.section(u"Документация: "_s, 1).section(u'\n', 0, 0);
    QVERIFY2(QFileInfo::exists(QDir(docs).filePath(u"architecture.md"_s)), qPrintable(docs));
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
