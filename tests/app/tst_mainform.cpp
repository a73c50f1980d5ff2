#include "DeviceNumbers.h"
#include "ExpectedCall.h"
#include "FormPay.h"
#include "ResultCodes.h"
#include "FormTextDoc.h"
#include "MainForm.h"
#include "Seams.h"
#include "StatusLine.h"
#include "WindowHarness.h"
#include "dlgBaudRate.h"
#include "dlgStatus.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(forms::Answer)

namespace {

std::shared_ptr<FakeDriver> deviceOf(int major, int minor, int shiftInfo)
{
    auto fake = std::make_shared<FakeDriver>();
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::MajorVersion, major);
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::MinorVersion, minor);
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::ShiftOpen, shiftInfo);
    return fake;
}

// A main window loaded over the fake, its loading calls already cleared.
struct Loaded
{
    explicit Loaded(int major = 5, int minor = 0, int shiftInfo = 1)
        : fake(deviceOf(major, minor, shiftInfo)), harness(fake), window(fake)
    {
        harness.watch(&window);
        fake->clearRecords();
    }

    QString status() { return harness::text(&window, u"StatusText"_s); }
    // Enabled states of the shift-bound buttons, in the order of the state table.
    QList<bool> shiftButtons()
    {
        QList<bool> states;
        for (const QString& name :
             {u"CmdOpenSession"_s, u"CmdCloseSession"_s, u"CmdOpenDoc"_s, u"CmdPrintDuplicate"_s})
            states << harness::isEnabled(&window, name);
        return states;
    }

    std::shared_ptr<FakeDriver> fake;
    WindowHarness harness;
    MainForm window;
};

QString statusOf(int code)
{
    return forms::statusText(FakeDriver::comment(code));
}

const QString kStartSale =
    callText(u"StartDocument"_s, {DocumentType::Sale, std::int16_t(1), u"1"_s, u"Кассир2"_s});

} // namespace

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
    void documentExtraDataByGeneration_data();
    void documentExtraDataByGeneration();
    void documentWindowByType_data();
    void documentWindowByType();
    void departmentRead_data();
    void departmentRead();
    void refusedDocumentOpensNoWindow();
    void documentLeftOpenCanBeCancelled_data();
    void documentLeftOpenCanBeCancelled();
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
    QTest::addColumn<int>("shiftInfo");  // GetDeviceInfo(4) at load
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
    QTest::addColumn<int>("shiftOnDevice"); // GetDeviceInfo(4) after the refusal
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
             u"GetErrorComment2(int32:70001)"_s);
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

void TestMainForm::documentExtraDataByGeneration_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<QString>("extraData");

    QTest::newRow("2") << 2 << QString();
    QTest::newRow("3") << 3 << u"SetExtraDocData(int32:42, int32:81, int32:82, text:\"v80\")"_s;
    QTest::newRow("4")
        << 4 << u"SetExtraDocData2(text:\"s42\", text:\"s81\", text:\"s82\", text:\"v80\")"_s;
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
    // A refused extra data call does not stop the opening.
    loaded.fake->answer(u"SetExtraDocData"_s, 5);
    loaded.fake->answer(u"SetExtraDocData2"_s, 5);

    harness::click(&w, u"CmdOpenDoc"_s);

    const QStringList expected =
        extraData.isEmpty() ? QStringList{kStartSale} : QStringList{extraData, kStartSale};
    // What the sale window sends once it has opened is its own business.
    QCOMPARE(loaded.fake->commands().mid(0, expected.size()), expected);
    QCOMPARE(loaded.fake->calls().constFirst(),
             callText(u"GetDeviceInfo"_s, {DeviceInfo::MajorVersion}));
    if (!extraData.isEmpty())
        QCOMPARE(loaded.fake->records().at(1).status, u"Дополнительные данные документа..."_s);
    QCOMPARE(loaded.fake->last(u"StartDocument"_s)->status, u"Открытие документа..."_s);
    QCOMPARE(loaded.status(), statusOf(0));
    QCOMPARE(loaded.harness.modalsShown(), QStringList{u"FormSale"_s});
}

void TestMainForm::documentWindowByType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("windowClass");
    QTest::addColumn<QString>("caption");  // FormPay's caption
    QTest::addColumn<int>("documentType"); // FormTextDoc's m_DocumentType

    QTest::newRow("1 sale") << DocumentType::Sale << u"FormSale"_s << QString() << 0;
    QTest::newRow("2 sale annulment")
        << DocumentType::SaleAnnulment << u"FormVoidItem"_s << QString() << 0;
    QTest::newRow("3 text") << DocumentType::Text << u"FormTextDoc"_s << QString()
                            << DocumentType::Text;
    QTest::newRow("4 cash-in") << DocumentType::CashIn << u"FormPay"_s << u"Внесение"_s << 0;
    QTest::newRow("5 cash-out") << DocumentType::CashOut << u"FormPay"_s << u"Выплата"_s << 0;
    QTest::newRow("6 returned goods")
        << DocumentType::ReturnPayout << u"FormPay"_s << u"Возврат"_s << 0;
    QTest::newRow("7 text without number") << DocumentType::UnnumberedText << u"FormTextDoc"_s
                                           << QString() << DocumentType::UnnumberedText;
    QTest::newRow("8 purchase") << DocumentType::Purchase << u"FormPurchase"_s << QString() << 0;
    QTest::newRow("9 purchase return")
        << DocumentType::PurchaseReturn << u"FormVoidPurchase"_s << QString() << 0;
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
             callText(u"StartDocument"_s, {type, std::int16_t(1), u"1"_s, u"Кассир2"_s}));
    QCOMPARE(loaded.harness.modalsShown(), QStringList{windowClass});
    QCOMPARE(loaded.harness.ownersOfModals(), QStringList{u"MainForm"_s});
    QTEST(caption, "caption");
    QTEST(documentType, "documentType");
}

void TestMainForm::departmentRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("department");
    QTest::addColumn<QString>("refusal"); // empty: the document is opened

    const QString notANumber = u"N Отдела: не число"_s;
    const QString outOfRange = u"N Отдела: допустимо от -32768 до 32767"_s;
    QTest::newRow("whole number") << u"12"_s << 12 << QString();
    QTest::newRow("blanks around") << u" 7 "_s << 7 << QString();
    QTest::newRow("half to even, down") << u"2.5"_s << 2 << QString();
    QTest::newRow("half to even, up") << u"3.5"_s << 4 << QString();
    QTest::newRow("16-bit minimum") << u"-32768"_s << -32768 << QString();
    QTest::newRow("text after the number") << u"12abc"_s << 0 << notANumber;
    QTest::newRow("no number") << u"abc"_s << 0 << notANumber;
    QTest::newRow("empty") << QString() << 0 << notANumber;
    QTest::newRow("blank inside") << u"1 2"_s << 0 << notANumber;
    QTest::newRow("beyond 16 bits") << u"40000"_s << 0 << outOfRange;
}

void TestMainForm::departmentRead()
{
    QFETCH(QString, text);
    QFETCH(int, department);
    QFETCH(QString, refusal);
    Loaded loaded;
    loaded.window.m_nSection = 99;
    harness::setText(&loaded.window, u"TxtSection"_s, text);

    harness::click(&loaded.window, u"CmdOpenDoc"_s);

    if (!refusal.isEmpty()) {
        QVERIFY(loaded.fake->calls().isEmpty());
        QCOMPARE(loaded.status(), refusal);
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
    // The first sale window is closed by its frame and leaves the document open on the device,
    // which refuses the next opening: its words stay in the status line.
    Loaded loaded(2);
    loaded.fake->queue(u"StartDocument"_s, {0, 33});
    harness::click(&loaded.window, u"CmdOpenDoc"_s);
    harness::setText(&loaded.window, u"TxtSection"_s, u"3"_s);
    harness::click(&loaded.window, u"CmdOpenDoc"_s);

    QCOMPARE(loaded.fake->members().count(u"StartDocument"_s), 2);
    QCOMPARE(loaded.harness.modalsShown(), QStringList{u"FormSale"_s});
    QCOMPARE(loaded.status(), statusOf(33));
    QCOMPARE(loaded.window.m_nSection, std::int16_t(3)); // kept all the same
}

void TestMainForm::documentLeftOpenCanBeCancelled_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("documentOpen"); // the device's open-document indicator after the refusal
    QTest::addColumn<forms::Answer>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("status");

    const QString start = kStartSale;
    const QString end = u"EndSession()"_s;
    const QString cancel = u"CancelDocument()"_s;
    const QString refused = statusOf(int(ErrorCode::DocumentAlreadyOpen));
    const QString cancelled = statusOf(7);
    QTest::newRow("opening, yes") << u"CmdOpenDoc"_s << 1 << forms::Answer::Yes << 1
                                  << QStringList{start, cancel} << cancelled;
    QTest::newRow("opening, no") << u"CmdOpenDoc"_s << 1 << forms::Answer::No << 1
                                 << QStringList{start} << refused;
    QTest::newRow("opening, no document open")
        << u"CmdOpenDoc"_s << 0 << forms::Answer::Yes << 0 << QStringList{start} << refused;
    QTest::newRow("closing the shift, yes") << u"CmdCloseSession"_s << 1 << forms::Answer::Yes << 1
                                            << QStringList{end, cancel} << cancelled;
    QTest::newRow("closing the shift, no")
        << u"CmdCloseSession"_s << 1 << forms::Answer::No << 1 << QStringList{end} << refused;
    QTest::newRow("closing the shift, no document open")
        << u"CmdCloseSession"_s << 0 << forms::Answer::Yes << 0 << QStringList{end} << refused;
}

void TestMainForm::documentLeftOpenCanBeCancelled()
{
    QFETCH(QString, button);
    QFETCH(int, documentOpen);
    QFETCH(forms::Answer, answer);
    QFETCH(int, questions);
    QFETCH(QStringList, commands);
    Loaded loaded(2);
    const int refusal = int(ErrorCode::DocumentAlreadyOpen);
    loaded.fake->answer(u"StartDocument"_s, refusal);
    loaded.fake->answer(u"EndSession"_s, refusal);
    loaded.fake->answer(u"CancelDocument"_s, 7);
    loaded.fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::DocumentOpen, documentOpen);
    loaded.harness.answerMessages({answer});
    const QList<bool> buttons = loaded.shiftButtons();

    harness::click(&loaded.window, button);

    QCOMPARE(loaded.fake->commands(), commands);
    QCOMPARE(loaded.harness.messages().size(), questions);
    if (questions > 0) {
        const auto& question = loaded.harness.messages().constFirst();
        QCOMPARE(question.text, u"На устройстве открыт документ. Отменить его?"_s);
        QCOMPARE(question.title, forms::programTitle());
        QVERIFY(question.yesNo);
    }
    if (commands.size() > 1)
        QCOMPARE(loaded.fake->last(u"CancelDocument"_s)->status, u"Отмена документа..."_s);
    QTEST(loaded.status(), "status");
    QVERIFY(loaded.harness.modalsShown().isEmpty());
    QCOMPARE(loaded.shiftButtons(), buttons);
    QVERIFY(loaded.window.bSessionOpen);
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
