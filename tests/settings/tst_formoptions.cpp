#include "DeviceDigits.h"
#include "FormOptions.h"
#include "MainForm.h"
#include "WindowHarness.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTabBar>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

using harness::click;
using harness::isEnabled;
using harness::setText;

QStringList optionReads(std::initializer_list<int> numbers)
{
    QStringList calls;
    for (int number : numbers)
        calls << u"GetDeviceOpt(int16:%1)"_s.arg(number);
    return calls;
}

// The option reads every generation makes, in their order.
const QStringList kCommonReads =
    optionReads({3,  5,  6,  4,  10, 9,  8,  11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23,
                 43, 44, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 42, 45});

QStringList headerReads()
{
    QStringList calls;
    for (int n = 1; n <= 8; ++n)
        calls << u"GetTextDeviceInfo(int32:%1)"_s.arg(30 + n)
              << u"GetDeviceInfo(int16:%1)"_s.arg(90 + n);
    return calls;
}

QStringList loadCalls(bool generation6)
{
    QStringList calls{u"GetDeviceInfo(int16:201)"_s, u"GetDeviceInfo(int16:4)"_s};
    calls << kCommonReads;
    if (generation6)
        calls << u"GetDeviceInfo(int16:45)"_s << optionReads({47, 48, 49, 50, 51});
    calls << headerReads();
    calls << u"GetTextDeviceInfo(int32:24)"_s << u"GetDriverOpt(int16:11)"_s
          << u"GetDeviceInfo(int16:31)"_s << u"GetDeviceInfo(int16:30)"_s
          << u"GetDeviceInfo(int16:201)"_s << u"GetDeviceInfo(int16:202)"_s;
    return calls;
}

QString setOption(int number, int value)
{
    return u"SetDeviceOpt(int16:%1, int16:%2)"_s.arg(number).arg(value);
}

// One opened options window over the fake, with the generation and device answers given.
struct Opened
{
    explicit Opened(int major = 6, int minor = 1, std::function<void(FakeDriver&)> prepare = {})
        : fake(std::make_shared<FakeDriver>()), harness(fake), main(fake)
    {
        fake->answerAt(u"GetDeviceInfo"_s, 201, major);
        fake->answerAt(u"GetDeviceInfo"_s, 202, minor);
        fake->answerAt(u"GetDeviceOpt"_s, 37, 24); // the shift limit as a device keeps it
        if (prepare)
            prepare(*fake);
        main.m_MajorVersion = major;
        main.m_MinorVersion = minor;
        window = std::make_unique<FormOptions>(main);
        harness.watch(window.get());
        fake->clearRecords();
    }

    std::shared_ptr<FakeDriver> fake;
    WindowHarness harness;
    MainForm main;
    std::unique_ptr<FormOptions> window;
};

} // namespace

class TestFormOptions : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void loadReadsByGeneration_data();
    void loadReadsByGeneration();
    void deviceDigits_data();
    void deviceDigits();
    void changeTracking_data();
    void changeTracking();
    void applyWritesOnlyChanges_data();
    void applyWritesOnlyChanges();
    void failedWriteRetried_data();
    void failedWriteRetried();
    void valuesNoControlShowsAreNotWritten_data();
    void valuesNoControlShowsAreNotWritten();
    void applyKeepsTheFocusOnTheChangedBox();
    void enablingByGeneration_data();
    void enablingByGeneration();
    void shiftOpenDisablesBetweenShiftOptions();
    void headerStopsAtFirstRefusedLine();
    void immediateCommands_data();
    void immediateCommands();
    void failedReadSendsNothing_data();
    void failedReadSendsNothing();
    void browseImageFile();
    void tabsWrapWithKeys(); // and keep the window's size
};

void TestFormOptions::loadReadsByGeneration_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::newRow("2") << 2 << 0;
    QTest::newRow("3.0") << 3 << 0;
    QTest::newRow("3.1") << 3 << 1;
    QTest::newRow("4.1") << 4 << 1;
    QTest::newRow("4.2") << 4 << 2;
    QTest::newRow("5") << 5 << 0;
    QTest::newRow("6") << 6 << 1;
}

void TestFormOptions::loadReadsByGeneration()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    auto fake = std::make_shared<FakeDriver>();
    fake->answerAt(u"GetDeviceInfo"_s, 201, major);
    fake->answerAt(u"GetDeviceInfo"_s, 202, minor);
    fake->answerAt(u"GetDeviceInfo"_s, 31, 71208);
    fake->answerAt(u"GetDeviceInfo"_s, 30, 93005);
    WindowHarness harness(fake);
    MainForm main(fake);
    main.m_MajorVersion = major;
    main.m_MinorVersion = minor;
    FormOptions window(main);
    harness.watch(&window);

    QStringList calls = fake->calls();
    calls.removeAll(u"GetErrorComment(int16:0)"_s);
    QCOMPARE(calls, loadCalls(major == 6));
    QVERIFY(!isEnabled(&window, u"CmdApply"_s));
    QCOMPARE(harness::isShown(&window, u"lblHeaderInfo"_s), major < 3);
    QCOMPARE(harness::text(&window, u"TxtDay"_s), u"07"_s);
    QCOMPARE(harness::text(&window, u"TxtYear"_s), u"2008"_s);
    QCOMPARE(harness::text(&window, u"TxtHour"_s), u"09"_s);
    QCOMPARE(harness::text(&window, u"MajorVersionText"_s), QString::number(major));
    QVERIFY(harness::isShown(&window, u"picOptions_0"_s));
    QVERIFY(!harness::isShown(&window, u"picOptions_7"_s));
    // Pressing nothing and closing writes nothing.
    click(&window, u"CmdCancel"_s);
    QCOMPARE(fake->commands(), QStringList{});
}

void TestFormOptions::deviceDigits_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QStringList>("pairs");
    QTest::newRow("one-digit day") << 71208 << QStringList{u"07"_s, u"12"_s, u"08"_s};
    QTest::newRow("two-digit day") << 311299 << QStringList{u"31"_s, u"12"_s, u"99"_s};
    QTest::newRow("zero") << 0 << QStringList{u"00"_s, u"00"_s, u"00"_s};
    QTest::newRow("four digits") << 1230 << QStringList{u"00"_s, u"12"_s, u"30"_s};
    QTest::newRow("seven digits cut") << 1234567 << QStringList{u"12"_s, u"34"_s, u"56"_s};
    QTest::newRow("negative") << -5 << QStringList{u"-0"_s, u"00"_s, u"05"_s};
}

void TestFormOptions::deviceDigits()
{
    QFETCH(int, value);
    QFETCH(QStringList, pairs);
    const auto digits = options::deviceDigitPairs(value);
    QCOMPARE((QStringList{digits[0], digits[1], digits[2]}), pairs);
}

void TestFormOptions::changeTracking_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text"); // empty: click the control
    QTest::addColumn<bool>("enables");
    QTest::newRow("bold total") << u"CheckBoldTotal"_s << QString() << true;
    QTest::newRow("centred header") << u"CheckCenterHeader"_s << QString() << true;
    QTest::newRow("clock on") << u"ClockOnCheck"_s << QString() << true;
    QTest::newRow("date format") << u"OptionDateFormat_2"_s << QString() << true;
    QTest::newRow("tax rounding") << u"OptionRoundUpTax_2"_s << QString() << true;
    QTest::newRow("paper type") << u"PaperTypeOption_3"_s << QString() << true;
    QTest::newRow("shift limit") << u"TxtSessionTimeLimit"_s << u"12"_s << true;
    QTest::newRow("end bar code height") << u"TxtEndBarCodeHeight"_s << u"2"_s << true;
    QTest::newRow("shift limit out of range") << u"TxtSessionTimeLimit"_s << u"25"_s << false;
    QTest::newRow("code page") << u"opCodePage_2"_s << QString() << false;
    QTest::newRow("clock correction") << u"ClockCorrectionText"_s << u"5"_s << false;
    QTest::newRow("bold header line") << u"CheckBoldHeader_3"_s << QString() << false;
    QTest::newRow("print picture") << u"PrintPic1Check"_s << QString() << false;
    QTest::newRow("bar code type") << u"opCodeType_4"_s << QString() << false;
    QTest::newRow("bar code height") << u"TxtBarCodeHeight"_s << u"70"_s << false;
}

void TestFormOptions::changeTracking()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(bool, enables);
    Opened opened;
    if (text.isEmpty())
        click(opened.window.get(), control);
    else
        setText(opened.window.get(), control, text);
    QCOMPARE(isEnabled(opened.window.get(), u"CmdApply"_s), enables);
}

void TestFormOptions::applyWritesOnlyChanges_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("texts"); // "control=text"
    QTest::addColumn<QStringList>("writes");
    QTest::newRow("one check box")
        << 6 << QStringList{u"CheckBoldTotal"_s} << QStringList{} << QStringList{setOption(13, 1)};
    QTest::newRow("in the fixed order")
        << 6
        << QStringList{u"CheckPrintQuantity"_s, u"CheckPrintDelimiter"_s, u"CheckPrintNDSInBill"_s}
        << QStringList{u"TxtSessionTimeLimit=8"_s}
        << QStringList{setOption(25, 1), setOption(37, 8), setOption(4, 1), setOption(8, 1)};
    QTest::newRow("groups by index")
        << 6 << QStringList{u"OptionDateFormat_1"_s, u"OptionRounding_2"_s} << QStringList{}
        << QStringList{setOption(22, 1), setOption(23, 2)};
    QTest::newRow("cash carry-over on 6") << 6 << QStringList{u"CheckStartSessionNotNullMoney"_s}
                                          << QStringList{} << QStringList{setOption(45, 1)};
    QTest::newRow("paper, clock and correction")
        << 6 << QStringList{u"PaperTypeOption_4"_s, u"ClockOnCheck"_s}
        << QStringList{u"ClockCorrectionText=-7.5"_s}
        << QStringList{u"SetPaperType(int16:255, int16:0)"_s, setOption(47, 0), setOption(48, -8)};
    QTest::newRow("code page by its driver option")
        << 6 << QStringList{u"CheckMinuteBeep"_s, u"opCodePage_1"_s} << QStringList{}
        << QStringList{setOption(17, 1), u"SetDriverOpt(int16:11, int32:1)"_s};
    QTest::newRow("older device: clock and paper never written")
        << 5 << QStringList{u"CheckMinuteBeep"_s} << QStringList{} << QStringList{setOption(17, 1)};
    QTest::newRow("shift limit read as 0: written as shown")
        << 6 << QStringList{u"CheckMinuteBeep"_s} << QStringList{}
        << QStringList{setOption(17, 1), setOption(37, 24)};
    QTest::newRow("clicked back: nothing differs")
        << 6 << QStringList{u"CheckBoldTotal"_s, u"CheckBoldTotal"_s} << QStringList{}
        << QStringList{};
}

void TestFormOptions::applyWritesOnlyChanges()
{
    QFETCH(int, major);
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, writes);
    const bool limitZero = QByteArray(QTest::currentDataTag()).startsWith("shift limit read as 0");
    Opened opened(major, 1, [limitZero](FakeDriver& fake) {
        fake.answerAt(u"GetDeviceOpt"_s, 23, 1);
        fake.answerAt(u"GetDeviceOpt"_s, 37, limitZero ? 0 : 24);
        fake.answerAt(u"GetDeviceOpt"_s, 47, 1);
    });
    FormOptions* window = opened.window.get();
    for (const QString& name : clicks)
        click(window, name);
    for (const QString& entry : texts)
        setText(window, entry.section(u'=', 0, 0), entry.section(u'=', 1));
    click(window, u"CmdApply"_s);
    QCOMPARE(opened.fake->commands(), writes);
    QVERIFY(!isEnabled(window, u"CmdApply"_s));
    if (!writes.isEmpty())
        QCOMPARE(harness::text(window, u"StatusText"_s), FakeDriver::comment(0));

    // A second Apply (enabled by a box switched on and off again) writes nothing again but the
    // code page, which is always measured against what was read at load.
    opened.fake->clearRecords();
    click(window, u"CheckUseBothPrinters"_s);
    click(window, u"CheckUseBothPrinters"_s);
    click(window, u"CmdApply"_s);
    QStringList again;
    if (writes.contains(u"SetDriverOpt(int16:11, int32:1)"_s))
        again << u"SetDriverOpt(int16:11, int32:1)"_s;
    QCOMPARE(opened.fake->commands(), again);
}

void TestFormOptions::failedWriteRetried_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("member");
    QTest::addColumn<int>("first");
    QTest::addColumn<QString>("write");
    QTest::addColumn<bool>("retried");
    QTest::newRow("check box kept as written")
        << u"CheckBoldTotal"_s << u"SetDeviceOpt"_s << 13 << setOption(13, 1) << false;
    QTest::newRow("group kept as written")
        << u"OptionRoundUpTax_2"_s << u"SetDeviceOpt"_s << 44 << setOption(44, 2) << false;
    QTest::newRow("paper type retried") << u"PaperTypeOption_1"_s << u"SetPaperType"_s << 1
                                        << u"SetPaperType(int16:1, int16:0)"_s << true;
    QTest::newRow("clock on retried")
        << u"ClockOnCheck"_s << u"SetDeviceOpt"_s << 47 << setOption(47, 1) << true;
}

void TestFormOptions::failedWriteRetried()
{
    QFETCH(QString, control);
    QFETCH(QString, member);
    QFETCH(int, first);
    QFETCH(QString, write);
    QFETCH(bool, retried);
    Opened opened;
    opened.fake->answerAt(member, first, 51);
    click(opened.window.get(), control);
    click(opened.window.get(), u"CmdApply"_s);
    QCOMPARE(opened.fake->commands(), QStringList{write});
    QCOMPARE(harness::text(opened.window.get(), u"StatusText"_s), FakeDriver::comment(51));
    opened.fake->clearRecords();
    click(opened.window.get(), u"CheckUseBothPrinters"_s);
    click(opened.window.get(), u"CheckUseBothPrinters"_s);
    click(opened.window.get(), u"CmdApply"_s);
    QCOMPARE(opened.fake->commands(), retried ? QStringList{write} : QStringList{});
}

// What the window cannot show, or shows otherwise than the device holds it, is written only when
// the operator changes its control: changing one box writes that one option.
void TestFormOptions::valuesNoControlShowsAreNotWritten_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("member"); // the device's answer to member(index)
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("value");
    QTest::newRow("full cut forced off on 4.1") << 4 << 1 << u"GetDeviceOpt"_s << 10 << 1;
    QTest::newRow("full cut forced off on 4.2") << 4 << 2 << u"GetDeviceOpt"_s << 10 << 1;
    QTest::newRow("a check box option of 2") << 6 << 1 << u"GetDeviceOpt"_s << 3 << 2;
    QTest::newRow("a check box option that failed to read")
        << 6 << 1 << u"GetDeviceOpt"_s << 28 << -1;
    QTest::newRow("a date format no button stands for") << 6 << 1 << u"GetDeviceOpt"_s << 22 << 5;
    QTest::newRow("a rounding that failed to read") << 6 << 1 << u"GetDeviceOpt"_s << 44 << -1;
    QTest::newRow("a bar code height beyond the spinner") << 6 << 1 << u"GetDeviceOpt"_s << 39 << 9;
    QTest::newRow("a paper type no button stands for") << 6 << 1 << u"GetDeviceInfo"_s << 45 << 2;
    QTest::newRow("a code page no button stands for") << 6 << 1 << u"GetDriverOpt"_s << 11 << 7;
}

void TestFormOptions::valuesNoControlShowsAreNotWritten()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, member);
    QFETCH(int, index);
    QFETCH(int, value);
    Opened opened(major, minor, [&](FakeDriver& fake) { fake.answerAt(member, index, value); });
    FormOptions* window = opened.window.get();
    click(window, u"CheckBoldTotal"_s);
    click(window, u"CmdApply"_s);
    QCOMPARE(opened.fake->commands(), QStringList{setOption(13, 1)});
}

// A Space after "Применить" must not land on "Закрыть".
void TestFormOptions::applyKeepsTheFocusOnTheChangedBox()
{
    Opened opened;
    FormOptions* window = opened.window.get();
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto* box = harness::control<QCheckBox>(window, u"CheckBoldTotal"_s);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    QVERIFY(box->isChecked());
    QTest::mouseClick(harness::control<QPushButton>(window, u"CmdApply"_s), Qt::LeftButton);
    QCOMPARE(opened.fake->commands(), QStringList{setOption(13, 1)});
    QCOMPARE(QApplication::focusWidget(), box);
}

void TestFormOptions::enablingByGeneration_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QStringList>("disabled");
    QTest::addColumn<QStringList>("enabled");
    const QStringList barCode{u"TxtBarCode"_s,          u"udBarCodeHeight"_s,   u"opCodeType_8"_s,
                              u"OpBarCodeFontSize_1"_s, u"CmdProgramBarCode"_s, u"TxtNumImage"_s,
                              u"CmdLoadImage"_s,        u"CmdDeleteImage"_s};
    const QStringList receipt{u"TxtStartBarCodeHeight"_s, u"udEndBarCodeHeight"_s,
                              u"TxtBarCodeDirect"_s, u"CmdProgramBarCodeDirect"_s};
    const QStringList always{u"CmdBrowseImageFile"_s, u"Picture1FileText"_s, u"cmdLoadImages"_s,
                             u"cmdSetPrintPic"_s};
    const QStringList generation6{u"PaperTypeFrame"_s, u"ClockOnCheck"_s, u"ClockCorrectionText"_s,
                                  u"PrintPic2Check"_s, u"CheckStartSessionNotNullMoney"_s};
    QTest::newRow("2") << 2 << 5
                       << barCode + receipt + generation6 + QStringList{u"CheckLockDrawer"_s}
                       << always;
    QTest::newRow("3.0") << 3 << 0 << barCode + generation6 << receipt + always;
    QTest::newRow("3.1") << 3 << 1 << generation6 << barCode + receipt + always;
    QTest::newRow("4.1: no full cut")
        << 4 << 1 << generation6 + QStringList{u"CheckFullCutCheck"_s} << barCode;
    QTest::newRow("4.3") << 4 << 3 << generation6 << QStringList{u"CheckFullCutCheck"_s};
    QTest::newRow("6") << 6 << 1 << QStringList{} << barCode + receipt + always + generation6;
}

void TestFormOptions::enablingByGeneration()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QStringList, disabled);
    QFETCH(QStringList, enabled);
    Opened opened(major, minor, [](FakeDriver& fake) {
        fake.answerAt(u"GetDeviceOpt"_s, 10, 1);
        fake.answerAt(u"GetDeviceOpt"_s, 47, 1);
        fake.answerAt(u"GetDeviceOpt"_s, 48, 5);
    });
    for (const QString& name : disabled)
        QVERIFY2(!isEnabled(opened.window.get(), name), qPrintable(name));
    for (const QString& name : enabled)
        QVERIFY2(isEnabled(opened.window.get(), name), qPrintable(name));
    const bool generation6 = major == 6;
    QVERIFY(harness::isChecked(opened.window.get(), u"ClockOnCheck"_s));
    QCOMPARE(harness::text(opened.window.get(), u"ClockCorrectionText"_s),
             generation6 ? u"5"_s : u"0"_s);
    QCOMPARE(harness::isChecked(opened.window.get(), u"CheckFullCutCheck"_s),
             !(major == 4 && minor == 1));
}

void TestFormOptions::shiftOpenDisablesBetweenShiftOptions()
{
    Opened opened(6, 1, [](FakeDriver& fake) {
        fake.answerAt(u"GetDeviceInfo"_s, 4, 1);
        fake.answerAt(u"GetDeviceOpt"_s, 13, 1);
    });
    FormOptions* window = opened.window.get();
    for (const QString& name :
         {u"CheckPrintTaxesInBill"_s, u"CheckBoldTotal"_s, u"CheckCenterHeader"_s,
          u"CheckPrintZeroSumTax4"_s, u"OptionDateFormat_0"_s, u"OptionRounding_2"_s,
          u"TxtSessionTimeLimit"_s, u"udSessionTimeLimit"_s})
        QVERIFY2(!isEnabled(window, name), qPrintable(name));
    for (const QString& name : {u"CheckPrintTaxesInReport"_s, u"CheckFullCutCheck"_s,
                                u"OptionRoundUpTax_0"_s, u"CheckMinuteBeep"_s})
        QVERIFY2(isEnabled(window, name), qPrintable(name));
    QVERIFY(harness::isChecked(window, u"CheckBoldTotal"_s)); // still read and shown
}

void TestFormOptions::headerStopsAtFirstRefusedLine()
{
    Opened opened;
    FormOptions* window = opened.window.get();
    opened.fake->answerAt(u"SetOrderHeader"_s, 3, 13);
    setText(window, u"TxtHeader_0"_s, u"ООО Ромашка"_s);
    setText(window, u"TxtHeader_1"_s, QString());
    click(window, u"CheckBoldHeader_1"_s);
    click(window, u"CmdSetHeader"_s);
    QCOMPARE(opened.fake->commands(),
             (QStringList{u"SetOrderHeader(int16:1, text:\"ООО Ромашка\", int16:0)"_s,
                          u"SetOrderHeader(int16:2, text:\"\", int16:1)"_s,
                          u"SetOrderHeader(int16:3, text:\"\", int16:0)"_s}));
    QCOMPARE(opened.fake->records().constFirst().status, u"Установка заголовка..."_s);
    QCOMPARE(harness::text(window, u"StatusText"_s), u"Статус: "_s + FakeDriver::comment(13));
}

void TestFormOptions::immediateCommands_data()
{
    QTest::addColumn<QStringList>("texts"); // "control=text"
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("progress");
    QTest::newRow("date") << QStringList{u"TxtDay=7"_s, u"TxtMonth=12"_s, u"TxtYear=2008"_s}
                          << QStringList{u"CmdSetDate"_s}
                          << QStringList{u"SetDate(text:\"7\", text:\"12\", int32:2008)"_s}
                          << QString();
    QTest::newRow("time") << QStringList{u"TxtHour=9"_s, u"TxtMin=30"_s, u"TxtSec= 5 "_s}
                          << QStringList{u"CmdSetTime"_s}
                          << QStringList{u"SetTime(text:\"9\", text:\"30\", int32:5)"_s}
                          << QString();
    QTest::newRow("load picture") << QStringList{u"TxtNumImage=3"_s,
                                                 u"TxtImageFileName=/tmp/a.bmp"_s}
                                  << QStringList{u"CmdLoadImage"_s}
                                  << QStringList{u"LoadImage(int16:3, text:\"/tmp/a.bmp\")"_s}
                                  << u"Загрузка рисунка..."_s;
    QTest::newRow("slot 255 typed keeps the spinner")
        << QStringList{u"TxtNumImage=4"_s, u"TxtNumImage=255"_s} << QStringList{u"CmdSetImage"_s}
        << QStringList{u"SetImage(int16:4)"_s} << u"Установка номера рисунка..."_s;
    QTest::newRow("delete picture")
        << QStringList{u"TxtNumImage=254"_s} << QStringList{u"CmdDeleteImage"_s}
        << QStringList{u"DeleteImage(int16:254)"_s} << u"Удаление рисунка..."_s;
    QTest::newRow("three pictures")
        << QStringList{u"Picture1FileText=a"_s, u"Picture3FileText=c"_s}
        << QStringList{u"cmdLoadImages"_s}
        << QStringList{u"LoadImages(text:\"a\", text:\"\", text:\"c\")"_s}
        << u"Loading pictures..."_s;
    QTest::newRow("print pictures")
        << QStringList{} << QStringList{u"PrintPic2Check"_s, u"cmdSetPrintPic"_s}
        << QStringList{setOption(49, 0), setOption(50, 1), setOption(51, 0)} << QString();
    QTest::newRow("bar code")
        << QStringList{u"TxtBarCode=4600000000003"_s, u"TxtBarCodeHeight=80"_s, u"TxtScaling=2"_s,
                       u"TxtWidth=3"_s}
        << QStringList{u"opCodeType_2"_s, u"opBarCodeAlignment_1"_s, u"OpBarCodeFontSize_1"_s,
                       u"CheckPrintCodeAfter"_s, u"CmdProgramBarCode"_s}
        << QStringList{u"ProgramBarCode(int32:1, int32:0, int32:1, int32:2, int32:3, int32:1, "
                       u"int32:2, int32:80, text:\"4600000000003\")"_s}
        << u"Programming bar code..."_s;
    QTest::newRow("bar code defaults")
        << QStringList{} << QStringList{u"CmdProgramBarCode"_s}
        << QStringList{u"ProgramBarCode(int32:0, int32:0, int32:0, int32:0, int32:0, int32:0, "
                       u"int32:0, int32:50, text:\"12345678901\")"_s}
        << u"Programming bar code..."_s;
    QTest::newRow("mask") << QStringList{u"TxtBarCodeDirect=1101"_s}
                          << QStringList{u"CmdProgramBarCodeDirect"_s}
                          << QStringList{u"ProgramBarCodeDirect(text:\"1101\")"_s} << QString();
}

void TestFormOptions::immediateCommands()
{
    QFETCH(QStringList, texts);
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, calls);
    QFETCH(QString, progress);
    Opened opened;
    FormOptions* window = opened.window.get();
    setText(window, u"StatusText"_s, u"before"_s);
    for (const QString& entry : texts)
        setText(window, entry.section(u'=', 0, 0), entry.section(u'=', 1));
    for (const QString& name : clicks)
        click(window, name);
    QCOMPARE(opened.fake->commands(), calls);
    QCOMPARE(opened.fake->records().constFirst().status,
             progress.isEmpty() ? u"before"_s : progress);
    QCOMPARE(harness::text(window, u"StatusText"_s), u"Статус: "_s + FakeDriver::comment(0));
    QVERIFY(!isEnabled(window, u"CmdApply"_s)); // none of these is an option change
}

void TestFormOptions::failedReadSendsNothing_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("status");
    QTest::newRow("year not a number")
        << u"TxtYear"_s << u"20O8"_s << u"CmdSetDate"_s << u"Год: не число"_s;
    QTest::newRow("year empty") << u"TxtYear"_s << QString() << u"CmdSetDate"_s
                                << u"Год: не число"_s;
    QTest::newRow("second too big")
        << u"TxtSec"_s << u"99999999999"_s << u"CmdSetTime"_s << QString();
    QTest::newRow("clock correction beyond 16 bits")
        << u"ClockCorrectionText"_s << u"40000"_s << u"CmdApply"_s << QString();
}

void TestFormOptions::failedReadSendsNothing()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, button);
    QFETCH(QString, status);
    Opened opened;
    FormOptions* window = opened.window.get();
    click(window, u"CheckBoldTotal"_s);
    setText(window, box, text);
    click(window, button);
    QCOMPARE(opened.fake->commands(), QStringList{});
    if (!status.isEmpty())
        QCOMPARE(harness::text(window, u"StatusText"_s), status);
    QVERIFY(!harness::text(window, u"StatusText"_s).isEmpty());
}

void TestFormOptions::browseImageFile()
{
    Opened opened;
    FormOptions* window = opened.window.get();
    opened.harness.answerOpenFile(std::nullopt);
    click(window, u"CmdBrowseImageFile"_s);
    QCOMPARE(harness::text(window, u"TxtImageFileName"_s), u"Z:\\Quolt\\Listing\\1.bmp"_s);
    opened.harness.answerOpenFile(u"/home/kassa/logo.bmp"_s);
    click(window, u"CmdBrowseImageFile"_s);
    QCOMPARE(harness::text(window, u"TxtImageFileName"_s), u"/home/kassa/logo.bmp"_s);
    const forms::OpenFileRequest request = opened.harness.fileRequests().constLast();
    QCOMPARE(request.filter, u"Точечные рисунки(*.bmp)|*.bmp|Все файлы (*.*)|*.*"_s);
    QCOMPARE(request.filterIndex, 1);
    QCOMPARE(request.title, u"Загрузить рисунок"_s);
    QCOMPARE(request.defaultExtension, u"bmp"_s);
    QVERIFY(request.pathMustExist);
    QCOMPARE(opened.fake->commands(), QStringList{});
}

void TestFormOptions::tabsWrapWithKeys()
{
    Opened opened;
    FormOptions* window = opened.window.get();
    auto* tabs = harness::control<QTabBar>(window, u"tbsOptions"_s);
    QCOMPARE(tabs->count(), 8);
    QCOMPARE(tabs->tabText(7), u"ФР48ЦЖ"_s);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::keyClick(window, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs->currentIndex(), 7);
    QVERIFY(harness::isShown(window, u"picOptions_7"_s));
    QVERIFY(!harness::isShown(window, u"picOptions_0"_s));
    QTest::keyClick(window, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 0);
    // The window opened at the size of its largest page and keeps it on every tab.
    const QSize size = window->size();
    for (int tab = 1; tab <= tabs->count(); ++tab) {
        QTest::keyClick(window, Qt::Key_Tab, Qt::ControlModifier);
        QApplication::processEvents();
        QCOMPARE(window->size(), size);
    }
}

QTEST_MAIN(TestFormOptions)
#include "tst_formoptions.moc"
