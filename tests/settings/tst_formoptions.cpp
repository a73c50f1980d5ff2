#include "DeviceDigits.h"
#include "FormOptionsRig.h"

#include <QTabBar>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

using harness::click;
using harness::isEnabled;
using harness::setText;

QStringList optionReads(const QList<std::int16_t>& numbers)
{
    QStringList calls;
    for (std::int16_t number : numbers)
        calls << callText(u"GetDeviceOpt"_s, {number});
    return calls;
}

// The option reads every generation makes, in their order.
QStringList commonReads()
{
    using namespace DeviceOption;
    const QList<std::int16_t> numbers{PrintTaxes,
                                      PrintTaxRates,
                                      PrintTaxRatesInReports,
                                      PrintVatIncluded,
                                      FullCut,
                                      PrintDepartment,
                                      PrintQuantity,
                                      CentreHeader,
                                      TallTotal,
                                      BoldTotal,
                                      AsteriskBeforeTotal,
                                      CheckCashForChange,
                                      AllowZeroTotal,
                                      MinuteBeep,
                                      BlockSalesWithDrawerOpen,
                                      UseBothPrinters,
                                      AlwaysOpenDrawer,
                                      CountTotalQuantity,
                                      DateFormat,
                                      Rounding,
                                      TaxBaseRounding,
                                      TaxRounding,
                                      PrintEklzTapeOnZReport,
                                      PrintDelimiter,
                                      PrintShiftStartOnReports,
                                      AlwaysZReportOnClosing,
                                      CountVoidsAndCorrections,
                                      AccumulateAllTotals,
                                      LockDrawer,
                                      PrintZeroTaxTotal1,
                                      PrintZeroTaxTotal2,
                                      PrintZeroTaxTotal3,
                                      PrintZeroTaxTotal4,
                                      ReadAfterShiftLimit,
                                      PrintLineBetweenSales,
                                      ShiftTimeLimit,
                                      StartBarCodeHeight,
                                      EndBarCodeHeight,
                                      PrintTaxBase,
                                      CarryCashOver};
    return optionReads(numbers);
}

QStringList headerReads()
{
    QStringList calls;
    for (int n = 1; n <= 8; ++n)
        calls << callText(u"GetTextDeviceInfo"_s, {TextInfo::HeaderLineBase + n})
              << callText(u"GetDeviceInfo"_s, {std::int16_t(DeviceInfo::HeaderBoldBase + n)});
    return calls;
}

QString deviceInfo(std::int16_t index)
{
    return callText(u"GetDeviceInfo"_s, {index});
}

QStringList loadCalls(bool generation6)
{
    QStringList calls{deviceInfo(DeviceInfo::MajorVersion), deviceInfo(DeviceInfo::ShiftOpen)};
    calls << commonReads();
    if (generation6)
        calls << deviceInfo(DeviceInfo::PaperType)
              << optionReads({DeviceOption::ClockOn, DeviceOption::ClockCorrection,
                              DeviceOption::PrintPicture1, DeviceOption::PrintPicture2,
                              DeviceOption::PrintPicture3});
    calls << headerReads();
    calls << callText(u"GetTextDeviceInfo"_s, {TextInfo::Version})
          << callText(u"GetDriverOpt"_s, {DriverOption::CodePage}) << deviceInfo(DeviceInfo::Date)
          << deviceInfo(DeviceInfo::Time) << deviceInfo(DeviceInfo::MajorVersion)
          << deviceInfo(DeviceInfo::MinorVersion);
    return calls;
}

// ProgramBarCode's arguments in their order; the symbology is the number of its button.
QString barCode(std::int32_t textAfter, std::int32_t textBefore, std::int32_t alignment,
                std::int32_t scaling, std::int32_t thickness, std::int32_t font,
                std::int32_t symbology, std::int32_t height, const QString& content)
{
    return callText(u"ProgramBarCode"_s, {textAfter, textBefore, alignment, scaling, thickness,
                                          font, symbology, height, content});
}

} // namespace

// Loading by generation, what each generation enables, and the commands that run at once.
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
    void enablingByGeneration_data();
    void enablingByGeneration();
    void shiftOpenDisablesBetweenShiftOptions();
    void headerStopsAtFirstRefusedLine();
    void immediateCommands_data();
    void immediateCommands();
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
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::MajorVersion, major);
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::MinorVersion, minor);
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::Date, 71208);
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::Time, 93005);
    WindowHarness harness(fake);
    MainForm main(fake);
    main.m_MajorVersion = major;
    main.m_MinorVersion = minor;
    FormOptions window(main);
    harness.watch(&window);

    QStringList calls = fake->calls();
    calls.removeAll(commentCall(ErrorCode::NoError));
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
        fake.answerAt(u"GetDeviceOpt"_s, DeviceOption::FullCut, 1);
        fake.answerAt(u"GetDeviceOpt"_s, DeviceOption::ClockOn, 1);
        fake.answerAt(u"GetDeviceOpt"_s, DeviceOption::ClockCorrection, 5);
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
        fake.answerAt(u"GetDeviceInfo"_s, DeviceInfo::ShiftOpen, 1);
        fake.answerAt(u"GetDeviceOpt"_s, DeviceOption::BoldTotal, 1);
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
    // The third line is refused.
    opened.fake->answerAt(u"SetOrderHeader"_s, 3, resultCode(ErrorCode::TextTooLong));
    setText(window, u"TxtHeader_0"_s, u"ООО Ромашка"_s);
    setText(window, u"TxtHeader_1"_s, QString());
    click(window, u"CheckBoldHeader_1"_s);
    click(window, u"CmdSetHeader"_s);
    QCOMPARE(opened.fake->commands(),
             (QStringList{u"SetOrderHeader(int16:1, text:\"ООО Ромашка\", int16:0)"_s,
                          u"SetOrderHeader(int16:2, text:\"\", int16:1)"_s,
                          u"SetOrderHeader(int16:3, text:\"\", int16:0)"_s}));
    QCOMPARE(opened.fake->records().constFirst().status, u"Установка заголовка..."_s);
    QCOMPARE(harness::text(window, u"StatusText"_s),
             u"Статус: "_s + FakeDriver::comment(ErrorCode::TextTooLong));
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
        << QStringList{setOption(DeviceOption::PrintPicture1, 0),
                       setOption(DeviceOption::PrintPicture2, 1),
                       setOption(DeviceOption::PrintPicture3, 0)}
        << QString();
    QTest::newRow("bar code") << QStringList{u"TxtBarCode=4600000000003"_s,
                                             u"TxtBarCodeHeight=80"_s, u"TxtScaling=2"_s,
                                             u"TxtWidth=3"_s}
                              << QStringList{u"opCodeType_2"_s, u"opBarCodeAlignment_1"_s,
                                             u"OpBarCodeFontSize_1"_s, u"CheckPrintCodeAfter"_s,
                                             u"CmdProgramBarCode"_s}
                              << QStringList{barCode(1, 0, BarCodeAlignment::Centre, 2, 3,
                                                     BarCodeFont::Small, 2, 80, u"4600000000003"_s)}
                              << u"Programming bar code..."_s;
    QTest::newRow("bar code defaults")
        << QStringList{} << QStringList{u"CmdProgramBarCode"_s}
        << QStringList{barCode(0, 0, BarCodeAlignment::Left, 0, 0, BarCodeFont::Large, 0, 50,
                               u"12345678901"_s)}
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
    QCOMPARE(harness::text(window, u"StatusText"_s),
             u"Статус: "_s + FakeDriver::comment(ErrorCode::NoError));
    QVERIFY(!isEnabled(window, u"CmdApply"_s)); // none of these is an option change
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
