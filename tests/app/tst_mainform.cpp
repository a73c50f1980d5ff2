#include "FormPay.h"
#include "FormTextDoc.h"
#include "MainForm.h"
#include "StatusLine.h"
#include "WindowHarness.h"
#include "dlgBaudRate.h"
#include "dlgStatus.h"

#include <QListWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

std::shared_ptr<FakeDriver> deviceOf(int major, int minor, bool shiftOpen)
{
    auto fake = std::make_shared<FakeDriver>();
    fake->answerAt(u"GetDeviceInfo"_s, 201, major);
    fake->answerAt(u"GetDeviceInfo"_s, 202, minor);
    fake->answerAt(u"GetDeviceInfo"_s, 4, shiftOpen ? 1 : 0);
    return fake;
}

// A main window loaded over the fake, its loading calls already cleared.
struct Loaded
{
    explicit Loaded(int major = 5, int minor = 0, bool shiftOpen = true)
        : fake(deviceOf(major, minor, shiftOpen)), harness(fake), window(fake)
    {
        harness.watch(&window);
        fake->clearRecords();
    }

    QString status() { return harness::text(&window, u"StatusText"_s); }

    std::shared_ptr<FakeDriver> fake;
    WindowHarness harness;
    MainForm window;
};

// The enabled state of the four shift-bound buttons, in the order of the state table.
QList<bool> shiftButtons(MainForm& window)
{
    return {harness::isEnabled(&window, u"CmdOpenSession"_s),
            harness::isEnabled(&window, u"CmdCloseSession"_s),
            harness::isEnabled(&window, u"CmdOpenDoc"_s),
            harness::isEnabled(&window, u"CmdPrintDuplicate"_s)};
}

const QString kStartSale = u"StartDocument(int32:1, int16:1, text:\"1\", text:\"Кассир2\")"_s;

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void loadReadsCountersGenerationAndShift();
    void loadEnablesByGeneration_data();
    void loadEnablesByGeneration();
    void loadFollowsTheShift_data();
    void loadFollowsTheShift();

    void shiftCommands_data();
    void shiftCommands();
    void unreadableRegisterNumberSendsNothing();
    void drawer_data();
    void drawer();
    void extendedErrorLeavesTheStatusAlone();
    void speedDialog_data();
    void speedDialog();

    void documentExtraDataByGeneration_data();
    void documentExtraDataByGeneration();
    void documentWindowByType_data();
    void documentWindowByType();
    void departmentRead_data();
    void departmentRead();
    void refusedDocumentOpensNoWindow();
    void documentLeftOpenIsRefusedVisibly();

    void buttonsOpenTheirWindows_data();
    void buttonsOpenTheirWindows();
    void closingReleasesTheDeviceOnce_data();
    void closingReleasesTheDeviceOnce();
};

void TestMainForm::loadReadsCountersGenerationAndShift()
{
    auto fake = deviceOf(4, 1, true);
    fake->answerAt(u"GetDeviceInfo"_s, 27, 15);
    fake->answerAt(u"GetDeviceInfo"_s, 26, 260);
    fake->answerAt(u"GetDeviceInfo"_s, 24, 240);
    fake->answerAt(u"GetDeviceInfo"_s, 25, 20);
    fake->answer(u"GetTextDeviceInfo"_s, u"1234.50"_s);
    WindowHarness harness(fake);
    MainForm window(fake);
    harness.watch(&window);

    QCOMPARE(fake->calls(),
             QStringList({u"GetDeviceInfo(int16:27)"_s, u"GetDeviceInfo(int16:26)"_s,
                          u"GetDeviceInfo(int16:24)"_s, u"GetDeviceInfo(int16:25)"_s,
                          u"GetTextDeviceInfo(int32:23)"_s, u"GetDeviceInfo(int16:201)"_s,
                          u"GetDeviceInfo(int16:202)"_s, u"GetDeviceInfo(int16:4)"_s}));
    QCOMPARE(fake->last(u"GetTextDeviceInfo"_s)->status, u"Получение данных..."_s);
    QCOMPARE(harness::text(&window, u"TxtSessionsCount"_s), u"15"_s);
    QCOMPARE(harness::text(&window, u"TxtAllDocs"_s), u"260"_s);
    QCOMPARE(harness::text(&window, u"TxtFscDocs"_s), u"240"_s);
    QCOMPARE(harness::text(&window, u"TxtNFiscDocs"_s), u"20"_s);
    QCOMPARE(harness::text(&window, u"TxtItogSale"_s), u"1234.50"_s);
    QCOMPARE(harness::text(&window, u"StatusText"_s), QString());
    QCOMPARE(window.m_MajorVersion, 4);
    QCOMPARE(window.m_MinorVersion, 1);
    QVERIFY(window.bSessionOpen);
    QVERIFY(harness::isChecked(&window, u"Option1_1"_s));
    QCOMPARE(window.windowTitle(), u"Драйвер ККМ \"Кволт\" - Демонстрационная программа"_s);

    // The refresh button reads the same five counters again.
    fake->answerAt(u"GetDeviceInfo"_s, 27, 16);
    fake->clearRecords();
    harness::click(&window, u"CmdDeviceData"_s);
    QCOMPARE(fake->calls().size(), 5);
    QCOMPARE(harness::text(&window, u"TxtSessionsCount"_s), u"16"_s);
    QCOMPARE(harness::text(&window, u"StatusText"_s), QString());
}

void TestMainForm::loadEnablesByGeneration_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<bool>("statistics"); // CmdExtraInfo enabled
    QTest::addColumn<bool>("eklz");       // CmdEKLZ enabled
    QTest::addColumn<bool>("extras");     // CmdExtraDocData enabled
    QTest::addColumn<bool>("untitledText"); // Option1_7 enabled
    QTest::addColumn<bool>("eklzShown");  // CmdEKLZ shown, CmdLineDisplay hidden

    QTest::newRow("2") << 2 << 0 << false << false << false << false << false;
    QTest::newRow("3") << 3 << 5 << false << false << true << false << false;
    QTest::newRow("4.3") << 4 << 3 << true << true << true << true << false;
    QTest::newRow("4.1") << 4 << 1 << true << true << true << true << true;
    QTest::newRow("5.3") << 5 << 3 << true << true << true << true << true;
    QTest::newRow("6") << 6 << 0 << true << true << true << true << true;
}

void TestMainForm::loadEnablesByGeneration()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(bool, eklzShown);
    Loaded loaded(major, minor);
    MainForm& w = loaded.window;
    QTEST(harness::isEnabled(&w, u"CmdExtraInfo"_s), "statistics");
    QTEST(harness::isEnabled(&w, u"CmdEKLZ"_s), "eklz");
    QTEST(harness::isEnabled(&w, u"CmdExtraDocData"_s), "extras");
    QTEST(harness::isEnabled(&w, u"Option1_7"_s), "untitledText");
    QCOMPARE(harness::isShown(&w, u"CmdEKLZ"_s), eklzShown);
    QCOMPARE(harness::isShown(&w, u"CmdLineDisplay"_s), !eklzShown);
    // The rest does not depend on the generation.
    for (const QString& name : {u"CmdSettings"_s, u"CmdTaxes"_s, u"CmdReports"_s, u"CmdStatus"_s,
                                u"cmdInfo"_s, u"CmdPaymentMeans"_s, u"CmdLineDisplay"_s,
                                u"CmdPrintDocumentCopyMode"_s, u"Option1_6"_s, u"Option1_8"_s})
        QVERIFY2(harness::isEnabled(&w, name), qPrintable(name));
}

void TestMainForm::loadFollowsTheShift_data()
{
    QTest::addColumn<int>("shiftInfo");
    QTest::addColumn<QList<bool>>("buttons");
    QTest::addColumn<bool>("open");
    QTest::newRow("closed") << 0 << QList<bool>{true, false, false, false} << false;
    QTest::newRow("open") << 1 << QList<bool>{false, true, true, true} << true;
    QTest::newRow("any other value is open") << -2 << QList<bool>{false, true, true, true} << true;
}

void TestMainForm::loadFollowsTheShift()
{
    QFETCH(int, shiftInfo);
    auto fake = deviceOf(5, 0, false);
    fake->answerAt(u"GetDeviceInfo"_s, 4, shiftInfo);
    WindowHarness harness(fake);
    MainForm window(fake);
    harness.watch(&window);
    QTEST(shiftButtons(window), "buttons");
    QTEST(window.bSessionOpen, "open");
}

void TestMainForm::shiftCommands_data()
{
    QTest::addColumn<bool>("openAtLoad");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("progress");
    QTest::addColumn<QList<bool>>("buttons");
    QTest::addColumn<bool>("open");

    const QString start = u"StartSession(text:\"Кассир1\", int32:1)"_s;
    QTest::newRow("open") << false << u"CmdOpenSession"_s << 0 << start << u"Открытие смены..."_s
                          << QList<bool>{false, true, true, true} << true;
    QTest::newRow("open refused") << false << u"CmdOpenSession"_s << 3 << start
                                  << u"Открытие смены..."_s
                                  << QList<bool>{true, false, false, false} << false;
    // Closing leaves the duplicate as it was.
    QTest::newRow("close") << true << u"CmdCloseSession"_s << 0 << u"EndSession()"_s
                           << u"Закрытие смены..."_s << QList<bool>{true, false, false, true}
                           << false;
    QTest::newRow("close refused") << true << u"CmdCloseSession"_s << 3 << u"EndSession()"_s
                                   << u"Закрытие смены..."_s << QList<bool>{false, true, true, true}
                                   << true;
}

void TestMainForm::shiftCommands()
{
    QFETCH(bool, openAtLoad);
    QFETCH(QString, button);
    QFETCH(int, code);
    QFETCH(QString, command);
    Loaded loaded(5, 0, openAtLoad);
    const QString member = command.left(command.indexOf(u'('));
    loaded.fake->answer(member, code);

    harness::click(&loaded.window, button);

    QCOMPARE(loaded.fake->commands(), QStringList{command});
    QTEST(loaded.fake->last(member)->status, "progress");
    QCOMPARE(loaded.status(), ui::statusText(FakeDriver::comment(code)));
    QTEST(shiftButtons(loaded.window), "buttons");
    QTEST(loaded.window.bSessionOpen, "open");
}

void TestMainForm::unreadableRegisterNumberSendsNothing()
{
    Loaded loaded(5, 0, false);
    harness::setText(&loaded.window, u"TxtSessPosIS"_s, u"1a"_s);
    harness::click(&loaded.window, u"CmdOpenSession"_s);
    QVERIFY(loaded.fake->calls().isEmpty());
    QCOMPARE(loaded.status(), u"N кассы: не число"_s);
    QCOMPARE(shiftButtons(loaded.window), (QList<bool>{true, false, false, false}));
}

void TestMainForm::drawer_data()
{
    QTest::addColumn<int>("clerk");
    QTest::addColumn<int>("drawer");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<int>("shown");

    const QString setClerk = u"SetClerk(text:\"Кассир1\")"_s;
    QTest::newRow("opened") << 0 << 0 << QStringList{setClerk, u"OpenDrawer()"_s} << 0;
    QTest::newRow("drawer refused") << 0 << 6 << QStringList{setClerk, u"OpenDrawer()"_s} << 6;
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
    QCOMPARE(loaded.status(), ui::statusText(FakeDriver::comment(shown)));
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
             u"GetErrorComment2(int32:70001)"_s);
    QCOMPARE(harness::text(&loaded.window, u"ExtendedErrorCodeText"_s), u"70001"_s);
    QCOMPARE(harness::text(&loaded.window, u"ExtendedErrorText"_s), FakeDriver::comment2(70001));
    QCOMPARE(loaded.status(), ui::statusText(FakeDriver::comment(4)));
}

void TestMainForm::speedDialog_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("commands");

    QTest::newRow("OK with 115200") << u"OKButton"_s << 6
                                    << QStringList{u"SetDeviceOpt(int16:101, int16:6)"_s};
    QTest::newRow("OK without a selection")
        << u"OKButton"_s << -1 << QStringList{u"SetDeviceOpt(int16:101, int16:-1)"_s};
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

    QCOMPARE(loaded.harness.modalsShown(), QStringList{u"dlgBaudRate"_s});
    QCOMPARE(loaded.harness.ownersOfModals(), QStringList{u"MainForm"_s});
    QCOMPARE(loaded.fake->commands(), commands);
    if (commands.isEmpty()) {
        QCOMPARE(loaded.status(), ui::statusText(FakeDriver::comment(4)));
    } else {
        QCOMPARE(loaded.fake->last(u"SetDeviceOpt"_s)->status, u"Установка скорости обмена..."_s);
        QCOMPARE(loaded.status(), ui::statusText(FakeDriver::comment(9)));
    }
}

void TestMainForm::documentExtraDataByGeneration_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<QString>("extraData");

    QTest::newRow("2") << 2 << QString();
    QTest::newRow("3") << 3 << u"SetExtraDocData(int32:42, int32:81, int32:82, text:\"v80\")"_s;
    QTest::newRow("4")
        << 4 << u"SetExtraDocData2(text:\"s42\", text:\"s81\", text:\"s82\", text:\"v80\")"_s;
    QTest::newRow("5")
        << 5 << u"SetExtraDocData2(text:\"s42\", text:\"s81\", text:\"s82\", text:\"v80\")"_s;
}

void TestMainForm::documentExtraDataByGeneration()
{
    QFETCH(int, major);
    QFETCH(QString, extraData);
    Loaded loaded(major);
    MainForm& w = loaded.window;
    w.m_lValDesc42 = 42;
    w.m_lValDesc81 = 81;
    w.m_lValDesc82 = 82;
    w.m_sValDesc42 = u"s42"_s;
    w.m_sValDesc81 = u"s81"_s;
    w.m_sValDesc82 = u"s82"_s;
    w.m_sValDesc80 = u"v80"_s;

    harness::click(&w, u"CmdOpenDoc"_s);

    QStringList expected;
    if (!extraData.isEmpty())
        expected << extraData;
    expected << kStartSale;
    QCOMPARE(loaded.fake->commands(), expected);
    QCOMPARE(loaded.fake->calls().constFirst(), u"GetDeviceInfo(int16:201)"_s);
    if (!extraData.isEmpty()) {
        const QString member = extraData.left(extraData.indexOf(u'('));
        QCOMPARE(loaded.fake->last(member)->status, u"Дополнительные данные документа..."_s);
    }
    QCOMPARE(loaded.fake->last(u"StartDocument"_s)->status, u"Открытие документа..."_s);
    QCOMPARE(loaded.status(), ui::statusText(FakeDriver::comment(0)));
    QCOMPARE(loaded.harness.modalsShown(), QStringList{u"FormSale"_s});
}

void TestMainForm::documentWindowByType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("windowClass");
    QTest::addColumn<QString>("caption");   // FormPay's caption
    QTest::addColumn<int>("documentType"); // FormTextDoc's m_DocumentType

    QTest::newRow("1 sale") << 1 << u"FormSale"_s << QString() << 0;
    QTest::newRow("2 sale annulment") << 2 << u"FormVoidItem"_s << QString() << 0;
    QTest::newRow("3 text") << 3 << u"FormTextDoc"_s << QString() << 3;
    QTest::newRow("4 cash-in") << 4 << u"FormPay"_s << u"Внесение"_s << 0;
    QTest::newRow("5 cash-out") << 5 << u"FormPay"_s << u"Выплата"_s << 0;
    QTest::newRow("6 returned goods") << 6 << u"FormPay"_s << u"Возврат"_s << 0;
    QTest::newRow("7 text without number") << 7 << u"FormTextDoc"_s << QString() << 7;
    QTest::newRow("8 purchase") << 8 << u"FormPurchase"_s << QString() << 0;
    QTest::newRow("9 purchase return") << 9 << u"FormVoidPurchase"_s << QString() << 0;
}

void TestMainForm::documentWindowByType()
{
    QFETCH(int, type);
    QFETCH(QString, windowClass);
    Loaded loaded;
    QString caption;
    int documentType = 0;
    loaded.harness.onModal<FormPay>([&](FormPay& w) { caption = w.windowTitle(); });
    loaded.harness.onModal<FormTextDoc>([&](FormTextDoc& w) { documentType = w.m_DocumentType; });
    harness::click(&loaded.window, u"Option1_%1"_s.arg(type));

    harness::click(&loaded.window, u"CmdOpenDoc"_s);

    QCOMPARE(loaded.fake->last(u"StartDocument"_s)->call.toString(),
             u"StartDocument(int32:%1, int16:1, text:\"1\", text:\"Кассир2\")"_s.arg(type));
    QCOMPARE(loaded.harness.modalsShown(), QStringList{windowClass});
    QCOMPARE(loaded.harness.ownersOfModals(), QStringList{u"MainForm"_s});
    QTEST(caption, "caption");
    QTEST(documentType, "documentType");
}

void TestMainForm::departmentRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("department"); // -1: refused
    QTest::addColumn<QString>("status");

    QTest::newRow("whole") << u"7"_s << 7 << QString();
    QTest::newRow("leading number") << u"12abc"_s << 12 << QString();
    QTest::newRow("half to even") << u"2.5"_s << 2 << QString();
    QTest::newRow("no number reads 0") << u"abc"_s << 0 << QString();
    QTest::newRow("beyond 16 bits")
        << u"40000"_s << -1 << u"N Отдела: допустимо от -32768 до 32767"_s;
}

void TestMainForm::departmentRead()
{
    QFETCH(QString, text);
    QFETCH(int, department);
    Loaded loaded;
    loaded.window.m_nSection = 99;
    harness::setText(&loaded.window, u"TxtSection"_s, text);

    harness::click(&loaded.window, u"CmdOpenDoc"_s);

    if (department < 0) {
        QVERIFY(loaded.fake->calls().isEmpty());
        QTEST(loaded.status(), "status");
        QCOMPARE(loaded.window.m_nSection, std::int16_t(99));
        QVERIFY(loaded.harness.modalsShown().isEmpty());
    } else {
        QCOMPARE(loaded.fake->last(u"StartDocument"_s)->call.arguments.at(1),
                 DriverArgument(std::int16_t(department)));
        QCOMPARE(loaded.window.m_nSection, std::int16_t(department));
    }
}

void TestMainForm::refusedDocumentOpensNoWindow()
{
    Loaded loaded(4);
    loaded.fake->answer(u"SetExtraDocData2"_s, 5);
    loaded.fake->answer(u"StartDocument"_s, 12);
    harness::setText(&loaded.window, u"TxtSection"_s, u"3"_s);

    harness::click(&loaded.window, u"CmdOpenDoc"_s);

    QCOMPARE(loaded.fake->commands().size(), 2);
    QCOMPARE(loaded.status(), ui::statusText(FakeDriver::comment(12)));
    QVERIFY(loaded.harness.modalsShown().isEmpty());
    QCOMPARE(loaded.window.m_nSection, std::int16_t(3)); // kept all the same
}

void TestMainForm::documentLeftOpenIsRefusedVisibly()
{
    // The first sale window is closed by its frame and leaves the document open on the device,
    // which refuses the next opening.
    Loaded loaded(2);
    loaded.fake->queue(u"StartDocument"_s, {0, 33});
    harness::click(&loaded.window, u"CmdOpenDoc"_s);
    harness::click(&loaded.window, u"CmdOpenDoc"_s);
    QCOMPARE(loaded.fake->commands(), (QStringList{kStartSale, kStartSale}));
    QCOMPARE(loaded.harness.modalsShown(), QStringList{u"FormSale"_s});
    QCOMPARE(loaded.status(), ui::statusText(FakeDriver::comment(33)));
}

void TestMainForm::buttonsOpenTheirWindows_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("windowClass");
    QTest::newRow("status") << u"CmdStatus"_s << u"dlgStatus"_s;
    QTest::newRow("statistics") << u"CmdExtraInfo"_s << u"dlgExtraInfo2"_s;
}

void TestMainForm::buttonsOpenTheirWindows()
{
    QFETCH(QString, button);
    QFETCH(QString, windowClass);
    Loaded loaded;
    bool printerOnly = true;
    loaded.harness.onModal<dlgStatus>([&](dlgStatus& w) { printerOnly = w.m_bPrinterOnly; });

    harness::click(&loaded.window, button);

    QCOMPARE(loaded.harness.modalsShown(), QStringList{windowClass});
    QCOMPARE(loaded.harness.ownersOfModals(), QStringList{u"MainForm"_s});
    QVERIFY(!printerOnly || windowClass != u"dlgStatus");
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
    QVERIFY(!loaded.window.isVisible());
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
