#include "ExpectedCall.h"
#include "FormTaxes.h"
#include "MainForm.h"
#include "WindowHarness.h"
#include "dlgEditChain.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString kChain = u"A000b000000000000000"_s;

struct Device
{
    int major = 5;
    bool shiftOpen = false;
    int chainOption = 0;
};

std::shared_ptr<FakeDriver> fakeDevice(const Device& device)
{
    auto fake = std::make_shared<FakeDriver>();
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::ShiftOpen, device.shiftOpen ? 1 : 0);
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::MajorVersion, device.major);
    fake->answerAt(u"GetDeviceOpt"_s, DeviceOption::UseTaxChains, device.chainOption);
    for (int i = 1; i <= 4; ++i)
        fake->answerAt(u"GetTaxRate"_s, i, 100 * i);
    for (int i = 1; i <= 8; ++i)
        fake->answerAt(u"GetTaxChain"_s, i, i == 2 ? kChain : u"00000000000000000000"_s);
    return fake;
}

QStringList rateStates(FormTaxes& window)
{
    QStringList states;
    for (int i = 1; i <= 4; ++i) {
        const QString name = u"Text%1"_s.arg(i);
        states << harness::text(&window, name) +
                      (harness::isEnabled(&window, name) ? u""_s : u" (locked)"_s);
    }
    return states;
}

// Steps separated by "; ": "Text3=700" types into a box, "check" clicks the chain option,
// "chain5 A" edits chain 5 pressing the letter buttons and then OK, "chain5 cancel" cancels the
// editor, "apply" presses "Применить".
void run(FormTaxes& window, WindowHarness& harness, const QString& script)
{
    for (const QString& step : script.split(u"; "_s, Qt::SkipEmptyParts)) {
        if (step == u"apply"_s) {
            harness::click(&window, u"CmdApply"_s);
        } else if (step == u"check"_s) {
            harness::click(&window, u"CheckUseTaxChains"_s);
        } else if (step.startsWith(u"chain"_s)) {
            const QStringList parts = step.split(u' ');
            const int k = parts.at(0).mid(5).toInt() - 1;
            const QString letters = parts.at(1);
            harness.onModal<dlgEditChain>([letters](dlgEditChain& editor) {
                if (letters == u"cancel"_s) {
                    harness::click(&editor, u"CancelButton"_s);
                    return;
                }
                for (const QChar letter : letters) {
                    const int tax = letter.toUpper().unicode() - u'A';
                    harness::click(
                        &editor,
                        (letter.isUpper() ? u"CmdDirect_%1"_s : u"CmdReverse_%1"_s).arg(tax));
                }
                harness::click(&editor, u"OKButton"_s);
            });
            harness::click(&window, u"CmdEditChain_%1"_s.arg(k));
        } else {
            const qsizetype equals = step.indexOf(u'=');
            harness::setText(&window, step.left(equals), step.mid(equals + 1));
        }
    }
}

} // namespace

class TestFormTaxes : public QObject
{
    Q_OBJECT

private slots:
    void loading_data();
    void loading();
    void applying_data();
    void applying();
    void chainEditorGetsTheChainAndItsNumber();
};

void TestFormTaxes::loading_data()
{
    QTest::addColumn<Device>("device");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("rates");
    QTest::addColumn<bool>("optionEnabled");
    QTest::addColumn<bool>("optionChecked");
    QTest::addColumn<QString>("chain2");

    QStringList rateCalls;
    for (std::int16_t i = 1; i <= 4; ++i)
        rateCalls << callText(u"GetTaxRate"_s, {i});
    QStringList chainCalls;
    for (std::int16_t i = 1; i <= 8; ++i)
        chainCalls << callText(u"GetTaxChain"_s, {i});
    const QString shiftRead = callText(u"GetDeviceInfo"_s, {DeviceInfo::ShiftOpen});
    const QString versionRead = callText(u"GetDeviceInfo"_s, {DeviceInfo::MajorVersion});
    const QStringList full =
        QStringList{shiftRead} + rateCalls +
        QStringList{versionRead, callText(u"GetDeviceOpt"_s, {DeviceOption::UseTaxChains})} +
        chainCalls;
    const QStringList open{u"100"_s, u"200"_s, u"300"_s, u"400"_s};
    const QStringList locked{u"100 (locked)"_s, u"200 (locked)"_s, u"300 (locked)"_s,
                             u"400 (locked)"_s};

    QTest::newRow("shift closed, chains off")
        << Device{5, false, 0} << full << open << true << false << kChain;
    QTest::newRow("shift open") << Device{5, true, 0} << full << locked << true << false << kChain;
    QTest::newRow("chains on") << Device{3, false, 1} << full << locked << true << true << kChain;
    QTest::newRow("chain option unread: off, rates locked")
        << Device{5, false, -1} << full << locked << true << false << kChain;
    QTest::newRow("generation 2 reads the rates only")
        << Device{2, false, 1} << QStringList{shiftRead} + rateCalls + QStringList{versionRead}
        << locked << false << false << u""_s;
}

void TestFormTaxes::loading()
{
    QFETCH(Device, device);
    auto fake = fakeDevice(device);
    WindowHarness harness(fake);
    MainForm main(fake);
    FormTaxes window(main);
    harness.watch(&window);

    QStringList calls = fake->calls();
    calls.removeAll(commentCall(ErrorCode::NoError));
    QTEST(calls, "calls");
    // Every read goes under the progress text.
    for (const FakeDriver::Record& record : fake->records())
        QCOMPARE(record.status, u"Initializing..."_s);
    QTEST(rateStates(window), "rates");
    QTEST(harness::isEnabled(&window, u"CheckUseTaxChains"_s), "optionEnabled");
    QTEST(harness::isChecked(&window, u"CheckUseTaxChains"_s), "optionChecked");
    QTEST(harness::text(&window, u"TextChain_1"_s), "chain2");
    QVERIFY(!harness::isEnabled(&window, u"TextChain_1"_s));
    QVERIFY(harness::isEnabled(&window, u"CmdEditChain_7"_s));
    QVERIFY(!harness::isEnabled(&window, u"CmdApply"_s));
    QCOMPARE(harness::text(&window, u"StatusText"_s), u""_s);
    QCOMPARE(window.windowTitle(), u"Налоги"_s);
}

void TestFormTaxes::applying_data()
{
    QTest::addColumn<Device>("device");
    QTest::addColumn<QString>("failing"); // a member that answers 5
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("applyEnabled");
    QTest::addColumn<QStringList>("rates");

    const Device closed{5, false, 0};
    const QStringList open{u"100"_s, u"200"_s, u"300"_s, u"400"_s};
    auto rate = [](std::int16_t i, std::int16_t value) {
        return callText(u"SetTaxRate"_s, {i, value});
    };
    auto chain = [](std::int16_t i, const QString& text) {
        return callText(u"SetTaxChain"_s, {i, text});
    };
    auto chainOption = [](std::int16_t value) {
        return callText(u"SetDeviceOpt"_s, {DeviceOption::UseTaxChains, value});
    };

    QTest::newRow("a rate changed and changed back sends nothing")
        << closed << u""_s << u"Text1=150; Text1=100; apply"_s << QStringList{} << u""_s << false
        << open;
    QTest::newRow("abc reads as 0")
        << closed << u""_s << u"Text1=abc; apply"_s << QStringList{rate(1, 0)} << u"comment(0)"_s
        << false << QStringList{u"abc"_s, u"200"_s, u"300"_s, u"400"_s};
    QTest::newRow("12.5 reads as 12")
        << closed << u""_s << u"Text2=12.5; apply"_s << QStringList{rate(2, 12)} << u"comment(0)"_s
        << false << QStringList{u"100"_s, u"12.5"_s, u"300"_s, u"400"_s};
    QTest::newRow("13.5 reads as 14")
        << closed << u""_s << u"Text2=13.5; apply"_s << QStringList{rate(2, 14)} << u"comment(0)"_s
        << false << QStringList{u"100"_s, u"13.5"_s, u"300"_s, u"400"_s};
    QTest::newRow("7kg reads as 7, empty as 0")
        << closed << u""_s << u"Text3=7kg; Text4=; apply"_s << QStringList{rate(3, 7), rate(4, 0)}
        << u"comment(0)"_s << false << QStringList{u"100"_s, u"200"_s, u"7kg"_s, u""_s};
    QTest::newRow("a text that reads as the saved rate sends nothing")
        << closed << u""_s << u"Text1=100.4; apply"_s << QStringList{} << u""_s << false
        << QStringList{u"100.4"_s, u"200"_s, u"300"_s, u"400"_s};
    QTest::newRow("beyond 16 bits nothing is sent")
        << closed << u""_s << u"Text3=700; Text1=40000; apply"_s << QStringList{}
        << u"Ставка 1: допустимо от -32768 до 32767"_s << true
        << QStringList{u"40000"_s, u"200"_s, u"700"_s, u"400"_s};
    QTest::newRow("rate 3 and chain 5 in that order")
        << closed << u""_s << u"chain5 A; Text3=700; apply"_s
        << QStringList{rate(3, 700), chain(5, u"A0000000000000000000"_s)} << u"comment(0)"_s
        << false << QStringList{u"100"_s, u"200"_s, u"700"_s, u"400"_s};
    QTest::newRow("a refused rate is not sent again")
        << closed << u"SetTaxRate"_s << u"Text1=5; apply; Text2=6; apply"_s
        << QStringList{rate(1, 5), rate(2, 6)} << u"comment(5)"_s << false
        << QStringList{u"5"_s, u"6"_s, u"300"_s, u"400"_s};
    QTest::newRow("chains switched on lock the rates")
        << closed << u""_s << u"check; apply"_s << QStringList{chainOption(1)} << u"comment(0)"_s
        << false
        << QStringList{u"100 (locked)"_s, u"200 (locked)"_s, u"300 (locked)"_s, u"400 (locked)"_s};
    QTest::newRow("chains switched off free the rates")
        << Device{5, false, 1} << u""_s << u"check; apply"_s << QStringList{chainOption(0)}
        << u"comment(0)"_s << false << open;
    QTest::newRow("refused, the option still counts as written")
        << Device{5, false, 1} << u"SetDeviceOpt"_s << u"check; apply; Text1=1; Text1=100; apply"_s
        << QStringList{chainOption(0)} << u"comment(5)"_s << false << open;
    QTest::newRow("an unread chain option is not written back")
        << Device{5, false, -1} << u""_s << u"chain5 A; apply"_s
        << QStringList{chain(5, u"A0000000000000000000"_s)} << u"comment(0)"_s << false
        << QStringList{u"100 (locked)"_s, u"200 (locked)"_s, u"300 (locked)"_s, u"400 (locked)"_s};
    QTest::newRow("an unread chain option is written once set")
        << Device{5, false, -1} << u""_s << u"check; apply"_s << QStringList{chainOption(1)}
        << u"comment(0)"_s << false
        << QStringList{u"100 (locked)"_s, u"200 (locked)"_s, u"300 (locked)"_s, u"400 (locked)"_s};
    QTest::newRow("with the shift open the rates stay locked")
        << Device{5, true, 1} << u""_s << u"check; apply"_s << QStringList{chainOption(0)}
        << u"comment(0)"_s << false
        << QStringList{u"100 (locked)"_s, u"200 (locked)"_s, u"300 (locked)"_s, u"400 (locked)"_s};
    QTest::newRow("generation 2 still sends an edited chain")
        << Device{2, false, 0} << u""_s << u"chain1 Ab; apply"_s
        << QStringList{chain(1, u"Ab000000000000000000"_s)} << u"comment(0)"_s << false
        << QStringList{u"100 (locked)"_s, u"200 (locked)"_s, u"300 (locked)"_s, u"400 (locked)"_s};
    QTest::newRow("a cancelled edit changes nothing")
        << closed << u""_s << u"chain2 cancel"_s << QStringList{} << u""_s << false << open;
    QTest::newRow("an accepted edit that keeps the chain sends nothing")
        << closed << u""_s << u"chain2 a; apply"_s << QStringList{} << u""_s << false << open;
}

void TestFormTaxes::applying()
{
    QFETCH(Device, device);
    QFETCH(QString, failing);
    QFETCH(QString, script);
    auto fake = fakeDevice(device);
    if (!failing.isEmpty())
        fake->answer(failing, 5);
    WindowHarness harness(fake);
    MainForm main(fake);
    FormTaxes window(main);
    harness.watch(&window);
    fake->clearRecords();

    run(window, harness, script);
    QTEST(fake->commands(), "commands");
    QTEST(harness::text(&window, u"StatusText"_s), "status");
    QTEST(harness::isEnabled(&window, u"CmdApply"_s), "applyEnabled");
    QTEST(rateStates(window), "rates");
}

void TestFormTaxes::chainEditorGetsTheChainAndItsNumber()
{
    auto fake = fakeDevice(Device{});
    WindowHarness harness(fake);
    MainForm main(fake);
    FormTaxes window(main);
    harness.watch(&window);

    QString caption;
    QString chain;
    harness.onModal<dlgEditChain>([&](dlgEditChain& editor) {
        caption = editor.windowTitle();
        chain = editor.sChain;
    });
    harness::click(&window, u"CmdEditChain_1"_s);
    QCOMPARE(caption, u"Цепочка №2"_s);
    QCOMPARE(chain, kChain);
    QCOMPARE(harness.ownersOfModals(), QStringList{u"FormTaxes"_s});
    // Closed without OK: nothing changes.
    QCOMPARE(harness::text(&window, u"TextChain_1"_s), kChain);
    QVERIFY(!harness::isEnabled(&window, u"CmdApply"_s));
}

QTEST_MAIN(TestFormTaxes)
#include "tst_formtaxes.moc"
