#include "FormOptionsRig.h"

#include <QCheckBox>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

using harness::click;
using harness::isEnabled;
using harness::setText;

// The code page written through its driver option when "Windows-1251" is chosen.
const QString kCodePageWrite =
    callText(u"SetDriverOpt"_s, {DriverOption::CodePage, CodePage::Windows1251});

QString paperType(std::int16_t code)
{
    return callText(u"SetPaperType"_s, {code, PaperType::Reserved});
}

} // namespace

// What "Применить" writes: only the changes, in their order, a refused write retried or not, and
// nothing when a box cannot be read.
class TestFormOptionsWrites : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void changeTracking_data();
    void changeTracking();
    void applyWritesOnlyChanges_data();
    void applyWritesOnlyChanges();
    void failedWriteRetried_data();
    void failedWriteRetried();
    void valuesNoControlShowsAreNotWritten_data();
    void valuesNoControlShowsAreNotWritten();
    void applyKeepsTheFocusOnTheChangedBox();
    void failedReadSendsNothing_data();
    void failedReadSendsNothing();
};

void TestFormOptionsWrites::changeTracking_data()
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

void TestFormOptionsWrites::changeTracking()
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

void TestFormOptionsWrites::applyWritesOnlyChanges_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("texts"); // "control=text"
    QTest::addColumn<QStringList>("writes");
    QTest::newRow("one check box") << 6 << QStringList{u"CheckBoldTotal"_s} << QStringList{}
                                   << QStringList{setOption(DeviceOption::BoldTotal, 1)};
    QTest::newRow("in the fixed order")
        << 6
        << QStringList{u"CheckPrintQuantity"_s, u"CheckPrintDelimiter"_s, u"CheckPrintNDSInBill"_s}
        << QStringList{u"TxtSessionTimeLimit=8"_s}
        << QStringList{setOption(DeviceOption::PrintDelimiter, 1),
                       setOption(DeviceOption::ShiftTimeLimit, 8),
                       setOption(DeviceOption::PrintVatIncluded, 1),
                       setOption(DeviceOption::PrintQuantity, 1)};
    QTest::newRow("groups by index")
        << 6 << QStringList{u"OptionDateFormat_1"_s, u"OptionRounding_2"_s} << QStringList{}
        << QStringList{setOption(DeviceOption::DateFormat, DateOrder::YearMonthDay),
                       setOption(DeviceOption::Rounding, RoundingMode::Up)};
    QTest::newRow("cash carry-over on 6")
        << 6 << QStringList{u"CheckStartSessionNotNullMoney"_s} << QStringList{}
        << QStringList{setOption(DeviceOption::CarryCashOver, 1)};
    QTest::newRow("paper, clock and correction")
        << 6 << QStringList{u"PaperTypeOption_4"_s, u"ClockOnCheck"_s}
        << QStringList{u"ClockCorrectionText=-7.5"_s}
        << QStringList{paperType(PaperType::OtherTwoColour), setOption(DeviceOption::ClockOn, 0),
                       setOption(DeviceOption::ClockCorrection, -8)};
    QTest::newRow("code page by its driver option")
        << 6 << QStringList{u"CheckMinuteBeep"_s, u"opCodePage_1"_s} << QStringList{}
        << QStringList{setOption(DeviceOption::MinuteBeep, 1), kCodePageWrite};
    QTest::newRow("older device: clock and paper never written")
        << 5 << QStringList{u"CheckMinuteBeep"_s} << QStringList{}
        << QStringList{setOption(DeviceOption::MinuteBeep, 1)};
    QTest::newRow("shift limit read as 0: written as shown")
        << 6 << QStringList{u"CheckMinuteBeep"_s} << QStringList{}
        << QStringList{setOption(DeviceOption::MinuteBeep, 1),
                       setOption(DeviceOption::ShiftTimeLimit, 24)};
    QTest::newRow("clicked back: nothing differs")
        << 6 << QStringList{u"CheckBoldTotal"_s, u"CheckBoldTotal"_s} << QStringList{}
        << QStringList{};
}

void TestFormOptionsWrites::applyWritesOnlyChanges()
{
    QFETCH(int, major);
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, writes);
    const bool limitZero = QByteArray(QTest::currentDataTag()).startsWith("shift limit read as 0");
    Opened opened(major, 1, [limitZero](FakeDriver& fake) {
        fake.answerAt(u"GetDeviceOpt"_s, DeviceOption::Rounding, RoundingMode::HalfUp);
        fake.answerAt(u"GetDeviceOpt"_s, DeviceOption::ShiftTimeLimit, limitZero ? 0 : 24);
        fake.answerAt(u"GetDeviceOpt"_s, DeviceOption::ClockOn, 1);
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
        QCOMPARE(harness::text(window, u"StatusText"_s), FakeDriver::comment(ErrorCode::NoError));

    // A second Apply (enabled by a box switched on and off again) writes nothing again but the
    // code page, which is always measured against what was read at load.
    opened.fake->clearRecords();
    click(window, u"CheckUseBothPrinters"_s);
    click(window, u"CheckUseBothPrinters"_s);
    click(window, u"CmdApply"_s);
    QStringList again;
    if (writes.contains(kCodePageWrite))
        again << kCodePageWrite;
    QCOMPARE(opened.fake->commands(), again);
}

void TestFormOptionsWrites::failedWriteRetried_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("member");
    QTest::addColumn<std::int16_t>("first");
    QTest::addColumn<QString>("write");
    QTest::addColumn<bool>("retried");
    QTest::newRow("check box kept as written")
        << u"CheckBoldTotal"_s << u"SetDeviceOpt"_s << DeviceOption::BoldTotal
        << setOption(DeviceOption::BoldTotal, 1) << false;
    QTest::newRow("group kept as written")
        << u"OptionRoundUpTax_2"_s << u"SetDeviceOpt"_s << DeviceOption::TaxRounding
        << setOption(DeviceOption::TaxRounding, RoundingMode::Up) << false;
    QTest::newRow("paper type retried")
        << u"PaperTypeOption_1"_s << u"SetPaperType"_s << PaperType::BlackRedA
        << paperType(PaperType::BlackRedA) << true;
    QTest::newRow("clock on retried")
        << u"ClockOnCheck"_s << u"SetDeviceOpt"_s << DeviceOption::ClockOn
        << setOption(DeviceOption::ClockOn, 1) << true;
}

void TestFormOptionsWrites::failedWriteRetried()
{
    QFETCH(QString, control);
    QFETCH(QString, member);
    QFETCH(std::int16_t, first);
    QFETCH(QString, write);
    QFETCH(bool, retried);
    Opened opened;
    opened.fake->answerAt(member, first, resultCode(ErrorCode::NotSupportedYet));
    click(opened.window.get(), control);
    click(opened.window.get(), u"CmdApply"_s);
    QCOMPARE(opened.fake->commands(), QStringList{write});
    QCOMPARE(harness::text(opened.window.get(), u"StatusText"_s),
             FakeDriver::comment(ErrorCode::NotSupportedYet));
    opened.fake->clearRecords();
    click(opened.window.get(), u"CheckUseBothPrinters"_s);
    click(opened.window.get(), u"CheckUseBothPrinters"_s);
    click(opened.window.get(), u"CmdApply"_s);
    QCOMPARE(opened.fake->commands(), retried ? QStringList{write} : QStringList{});
}

// What the window cannot show, or shows otherwise than the device holds it, is written only when
// the operator changes its control: changing one box writes that one option.
void TestFormOptionsWrites::valuesNoControlShowsAreNotWritten_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("member"); // the device's answer to member(index)
    QTest::addColumn<std::int16_t>("index");
    QTest::addColumn<int>("value");
    QTest::newRow("full cut forced off on 4.1")
        << 4 << 1 << u"GetDeviceOpt"_s << DeviceOption::FullCut << 1;
    QTest::newRow("full cut forced off on 4.2")
        << 4 << 2 << u"GetDeviceOpt"_s << DeviceOption::FullCut << 1;
    QTest::newRow("a check box option of 2")
        << 6 << 1 << u"GetDeviceOpt"_s << DeviceOption::PrintTaxes << 2;
    QTest::newRow("a check box option that failed to read")
        << 6 << 1 << u"GetDeviceOpt"_s << DeviceOption::CountVoidsAndCorrections << -1;
    QTest::newRow("a date format no button stands for")
        << 6 << 1 << u"GetDeviceOpt"_s << DeviceOption::DateFormat << 5;
    QTest::newRow("a rounding that failed to read")
        << 6 << 1 << u"GetDeviceOpt"_s << DeviceOption::TaxRounding << -1;
    QTest::newRow("a bar code height beyond the spinner")
        << 6 << 1 << u"GetDeviceOpt"_s << DeviceOption::EndBarCodeHeight << 9;
    QTest::newRow("a paper type no button stands for")
        << 6 << 1 << u"GetDeviceInfo"_s << DeviceInfo::PaperType << 2;
    QTest::newRow("a code page no button stands for")
        << 6 << 1 << u"GetDriverOpt"_s << DriverOption::CodePage << 7;
}

void TestFormOptionsWrites::valuesNoControlShowsAreNotWritten()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, member);
    QFETCH(std::int16_t, index);
    QFETCH(int, value);
    Opened opened(major, minor, [&](FakeDriver& fake) { fake.answerAt(member, index, value); });
    FormOptions* window = opened.window.get();
    click(window, u"CheckBoldTotal"_s);
    click(window, u"CmdApply"_s);
    QCOMPARE(opened.fake->commands(), QStringList{setOption(DeviceOption::BoldTotal, 1)});
}

// A Space after "Применить" must not land on "Закрыть".
void TestFormOptionsWrites::applyKeepsTheFocusOnTheChangedBox()
{
    Opened opened;
    FormOptions* window = opened.window.get();
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto* box = harness::control<QCheckBox>(window, u"CheckBoldTotal"_s);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    QVERIFY(box->isChecked());
    QTest::mouseClick(harness::control<QPushButton>(window, u"CmdApply"_s), Qt::LeftButton);
    QCOMPARE(opened.fake->commands(), QStringList{setOption(DeviceOption::BoldTotal, 1)});
    QCOMPARE(QApplication::focusWidget(), box);
}

void TestFormOptionsWrites::failedReadSendsNothing_data()
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

void TestFormOptionsWrites::failedReadSendsNothing()
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

QTEST_MAIN(TestFormOptionsWrites)
#include "tst_formoptionswrites.moc"
