// The sale window: what it loads by generation, its positions and corrections, numbers it cannot
// read, the text line by generation, and the windows it opens over itself.

#include "FormSaleRig.h"
#include "dlgExtraInfo2.h"
#include "dlgStatus.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestFormSale : public QObject
{
    Q_OBJECT

private slots:
    void loadingByGeneration_data();
    void loadingByGeneration();
    void uncheckingAutoCloseSendsTheOptionAtOnce();
    void positionCommands_data();
    void positionCommands();
    void simpleCommands_data();
    void simpleCommands();
    void badNumbersStopTheCommand_data();
    void badNumbersStopTheCommand();
    void textLineByGeneration_data();
    void textLineByGeneration();
    void statusAndStatisticsOpenOverTheSaleWindow();
};

void TestFormSale::loadingByGeneration_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("autoCloseOption");
    QTest::addColumn<QStringList>("tail"); // calls after the counters
    QTest::addColumn<bool>("autoCloseChecked");
    QTest::addColumn<bool>("autoCloseEnabled");
    QTest::addColumn<QStringList>("enabled"); // among the commands gated by generation

    const QString setOne = callText(u"SetDriverOpt"_s, {DriverOption::AutoClose, 1});
    const QString getOption = callText(u"GetDriverOpt"_s, {DriverOption::AutoClose});
    QTest::newRow("2: no text correction, option forced on")
        << 2 << 0 << QStringList{setOne} << true << false << QStringList{};
    QTest::newRow("3: text correction") << 3 << 0 << QStringList{setOne} << true << false
                                        << QStringList{u"CmdAbsoluteChangeText"_s};
    QTest::newRow("4: statistics") << 4 << 0 << QStringList{setOne} << true << false
                                   << QStringList{u"CmdAbsoluteChangeText"_s, u"CmdExtraInfo"_s};
    QTest::newRow("5: text line") << 5 << 0 << QStringList{setOne} << true << false
                                  << QStringList{u"CmdAbsoluteChangeText"_s, u"CmdExtraInfo"_s,
                                                 u"CmdText"_s};
    QTest::newRow("6, option off: left unchecked, nothing sent")
        << 6 << 0 << QStringList{getOption} << false << true
        << QStringList{u"CmdAbsoluteChangeText"_s, u"CmdExtraInfo"_s, u"CmdText"_s};
    QTest::newRow("6, option on: checking it sends it")
        << 6 << 3 << QStringList{getOption, setOne} << true << true
        << QStringList{u"CmdAbsoluteChangeText"_s, u"CmdExtraInfo"_s, u"CmdText"_s};
}

void TestFormSale::loadingByGeneration()
{
    QFETCH(int, major);
    QFETCH(int, autoCloseOption);
    QFETCH(QStringList, tail);
    QFETCH(QStringList, enabled);

    Sale sale(major);
    sale.fake->answerAt(u"GetDriverOpt"_s, DriverOption::AutoClose, autoCloseOption);
    sale.fake->answerAt(u"GetDocInfo"_s, DocInfo::FreeMemory, 777);
    FormSale& window = sale.load(true);

    QCOMPARE(sale.fake->calls(),
             QStringList{callText(u"GetDeviceInfo"_s, {DeviceInfo::MajorVersion})} +
                 refreshCalls(major) + tail);
    QTEST(harness::isChecked(&window, u"CheckAutoCloseReceipt"_s), "autoCloseChecked");
    QTEST(harness::isEnabled(&window, u"CheckAutoCloseReceipt"_s), "autoCloseEnabled");
    for (const QString& gated : {u"CmdAbsoluteChangeText"_s, u"CmdExtraInfo"_s, u"CmdText"_s})
        QCOMPARE(harness::isEnabled(&window, gated), enabled.contains(gated));
    QCOMPARE(harness::isEnabled(&window, u"TxtAbsChText"_s), major >= 3);
    QCOMPARE(harness::text(&window, u"TxtFreeDocMemory"_s), major >= 3 ? u"777"_s : QString());
    QCOMPARE(harness::text(&window, u"TxtSection"_s), u" 1"_s);
    QCOMPARE(harness::text(&window, u"ComboTenderID"_s), u"8- Наличные"_s);
    QCOMPARE(harness::control<QComboBox>(&window, u"ComboTenderID"_s)->count(), 8);
    QCOMPARE(sale.status(), QString());
}

void TestFormSale::uncheckingAutoCloseSendsTheOptionAtOnce()
{
    Sale sale(6);
    sale.fake->answerAt(u"GetDriverOpt"_s, DriverOption::AutoClose, 1);
    FormSale& window = sale.load();
    harness::click(&window, u"CheckAutoCloseReceipt"_s);
    QCOMPARE(sale.fake->calls(),
             QStringList{callText(u"SetDriverOpt"_s, {DriverOption::AutoClose, 0})});
    QCOMPARE(sale.status(), QString());
}

void TestFormSale::positionCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("section");         // the document's department
    QTest::addColumn<QString>("sectionText"); // empty: as written at loading
    QTest::addColumn<QString>("quantityText");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("progress");

    const QString item = u"CmdItem"_s;
    const QString voidItem = u"CmdVoidItem"_s;
    const QString goods = u"Добавление товарной позиции..."_s;
    const QString tare = u"Добавление позиции продажи тары..."_s;
    const QString voidGoods = u"Отмена товарной позиции ..."_s;
    const QString voidTare = u"Отмена позиции продажи тары..."_s;
    const QString args = u"int32:1000, int32:100, text:\"Item1\", int32:0"_s;
    const QString voidArgs = u"general<text>:\"1000\", int32:100, text:\"Item1\", int32:0"_s;

    QTest::newRow("goods, own department")
        << item << 0 << 1 << QString() << u"1000"_s << u"Item(%1)"_s.arg(args) << goods;
    QTest::newRow("goods, department 2")
        << item << 0 << 1 << u"2"_s << u"1000"_s << u"ItemEx(%1, int16:2)"_s.arg(args) << goods;
    QTest::newRow("goods, no leading number")
        << item << 0 << 1 << u"отдел"_s << u"1000"_s << u"ItemEx(%1, int16:0)"_s.arg(args) << goods;
    QTest::newRow("goods, 2.5 to 2")
        << item << 0 << 1 << u"2.5"_s << u"1000"_s << u"ItemEx(%1, int16:2)"_s.arg(args) << goods;
    QTest::newRow("goods, 3.5 to 4")
        << item << 0 << 1 << u"3.5"_s << u"1000"_s << u"ItemEx(%1, int16:4)"_s.arg(args) << goods;
    QTest::newRow("goods, negative department")
        << item << 0 << -2 << QString() << u"1000"_s << u"Item(%1)"_s.arg(args) << goods;
    QTest::newRow("tare, own department")
        << item << 1 << 1 << QString() << u"1000"_s << u"ItemTare(%1)"_s.arg(args) << tare;
    QTest::newRow("tare, department 3")
        << item << 1 << 1 << u"3"_s << u"1000"_s << u"ItemTareEx(%1, int16:3)"_s.arg(args) << tare;
    QTest::newRow("tare return: price first")
        << item << 2 << 1 << u"3"_s << u"1000"_s << u"ReturnTare(int32:100, int32:1000)"_s
        << u"Добавление позиции возврата тары..."_s;
    QTest::newRow("cancel goods, own department") << voidItem << 0 << 1 << QString() << u"1000"_s
                                                  << u"VoidItem(%1)"_s.arg(voidArgs) << voidGoods;
    QTest::newRow("cancel goods, department 2")
        << voidItem << 0 << 1 << u"2"_s << u"1000"_s << u"VoidItemEx(%1, int16:2)"_s.arg(voidArgs)
        << voidGoods;
    QTest::newRow("cancel goods, quantity not a number")
        << voidItem << 0 << 1 << QString() << u"1 кг"_s
        << u"VoidItem(general<text>:\"1 кг\", int32:100, text:\"Item1\", int32:0)"_s << voidGoods;
    QTest::newRow("cancel tare, own department") << voidItem << 1 << 1 << QString() << u"1000"_s
                                                 << u"VoidItemTare(%1)"_s.arg(voidArgs) << voidTare;
    QTest::newRow("cancel tare return: price first, quantity as typed")
        << voidItem << 2 << 1 << QString() << u"1,5"_s
        << u"VoidReturnTare(int32:100, general<text>:\"1,5\")"_s
        << u"Добавление позиции отмены возврата тары..."_s;
}

void TestFormSale::positionCommands()
{
    QFETCH(QString, command);
    QFETCH(int, kind);
    QFETCH(int, section);
    QFETCH(QString, sectionText);
    QFETCH(QString, quantityText);
    QFETCH(QString, expected);
    QFETCH(QString, progress);

    Sale sale(6, std::int16_t(section));
    FormSale& window = sale.load();
    const QString member = expected.left(expected.indexOf(u'('));
    sale.fake->answer(member, QVariant::fromValue<std::int16_t>(3));
    harness::click(&window, u"OptionPosType_%1"_s.arg(kind));
    if (!sectionText.isNull())
        harness::setText(&window, u"TxtSection"_s, sectionText);
    harness::setText(&window, u"TxtQuantity"_s, quantityText);
    harness::click(&window, command);

    QCOMPARE(sale.fake->calls(),
             QStringList{expected} + QStringList{commentCall(3)} + refreshCalls(6));
    QCOMPARE(sale.fake->last(member)->status, progress);
    QCOMPARE(sale.status(), u"Статус: comment(3)"_s);
    QVERIFY(window.isVisible());
}

void TestFormSale::simpleCommands_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("progress");
    QTest::addColumn<bool>("refresh");

    QTest::newRow("absolute correction")
        << u"CmdItemChange"_s << u"AbsoluteCorrection(int32:-150)"_s
        << u"Абсолютная скидка/наценка..."_s << true;
    QTest::newRow("percent correction") << u"CmdProcChange"_s << u"PercentCorrection(int32:-15)"_s
                                        << u"Процентная скидка/наценка..."_s << true;
    QTest::newRow("correction with text")
        << u"CmdAbsoluteChangeText"_s << u"AbsoluteCorrectionText(int32:-250, text:\"Скидка\")"_s
        << u"Абсолютная скидка/наценка с текстом..."_s << true;
    QTest::newRow("repeat") << u"CmdRepeat"_s << u"RepeatItem()"_s
                            << u"Повтор последней операции..."_s << true;
    QTest::newRow("correct last") << u"CmdCorrection"_s << u"CorrectLastItem()"_s
                                  << u"Отмена последней операции..."_s << true;
    QTest::newRow("payment reset")
        << u"CmdTenderReset"_s << u"ResetPayInfo()"_s << u"Сброс данных оплаты..."_s << true;
    QTest::newRow("subtotal, no refresh")
        << u"CmdItog"_s << u"PrintResult()"_s << u"Печать промежуточного итога..."_s << false;
    QTest::newRow("clear extra lines, no refresh")
        << u"mnClearExtraStrings"_s << u"ClearExtraStrings2()"_s
        << u"Очистка строк в конце чека..."_s << false;
}

void TestFormSale::simpleCommands()
{
    QFETCH(QString, control);
    QFETCH(QString, expected);
    QFETCH(QString, progress);
    QFETCH(bool, refresh);

    Sale sale;
    FormSale& window = sale.load();
    const QString member = expected.left(expected.indexOf(u'('));
    sale.fake->answer(member, QVariant::fromValue<std::int16_t>(-7));
    // Each correction box holds its own value, so reading the wrong box shows.
    harness::setText(&window, u"TxtAbsCh"_s, u"-150"_s);
    harness::setText(&window, u"TxtAbsChText"_s, u"-250"_s);
    harness::setText(&window, u"TxtChProc"_s, u"-15"_s);
    harness::setText(&window, u"TxtAbsoluteChangeText"_s, u"Скидка"_s);
    if (control.startsWith(u"mn"))
        harness::trigger(&window, control);
    else
        harness::click(&window, control);

    const QStringList counters = refresh ? refreshCalls(6) : QStringList{};
    QCOMPARE(sale.fake->calls(), QStringList({expected, commentCall(-7)}) + counters);
    QCOMPARE(sale.fake->last(member)->status, progress);
    QCOMPARE(sale.status(), u"Статус: comment(-7)"_s);
    QVERIFY(window.isVisible());
}

void TestFormSale::badNumbersStopTheCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("quantity not a number")
        << u"CmdItem"_s << 0 << u"TxtQuantity"_s << u"1 кг"_s << u"Кол-во: не число"_s;
    QTest::newRow("price beyond 32 bits") << u"CmdItem"_s << 0 << u"TxtAmount"_s << u"3e9"_s
                                          << u"Цена: допустимо от -2147483648 до 2147483647"_s;
    QTest::newRow("tax group empty")
        << u"CmdItem"_s << 1 << u"TxtTaxGroup"_s << QString() << u"Налог: не число"_s;
    QTest::newRow("department beyond 16 bits") << u"CmdItem"_s << 0 << u"TxtSection"_s << u"40000"_s
                                               << u"Отдел: допустимо от -32768 до 32767"_s;
    QTest::newRow("tare return reads the unused tax group too")
        << u"CmdItem"_s << 2 << u"TxtTaxGroup"_s << u"x"_s << u"Налог: не число"_s;
    QTest::newRow("absolute correction") << u"CmdItemChange"_s << 0 << u"TxtAbsCh"_s << u"-1 р"_s
                                         << u"Абсолютная Скидка / Наценка: не число"_s;
    QTest::newRow("percent correction is read whole")
        << u"CmdProcChange"_s << 0 << u"TxtChProc"_s << u"5 %"_s
        << u"Процентная Скидка / Наценка: не число"_s;
    QTest::newRow("payment amount")
        << u"CmdTender"_s << 0 << u"TxtTenderAmount"_s << u"пять"_s << u"Сумма: не число"_s;
}

void TestFormSale::badNumbersStopTheCommand()
{
    QFETCH(QString, command);
    QFETCH(int, kind);
    QFETCH(QString, field);
    QFETCH(QString, text);

    Sale sale;
    FormSale& window = sale.load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    harness::click(&window, u"OptionPosType_%1"_s.arg(kind));
    harness::setText(&window, field, text);
    harness::click(&window, command);

    QCOMPARE(sale.fake->calls(), QStringList{});
    QTEST(sale.status(), "message");
    QTRY_VERIFY(harness::control<QLineEdit>(&window, field)->hasFocus());
    QVERIFY(window.isVisible());
}

void TestFormSale::textLineByGeneration_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("status");

    QTest::newRow("5 prints the line")
        << 5
        << QStringList{u"TextLine(text:\"Спасибо\")"_s, commentCall(ErrorCode::NoError)} +
               refreshCalls(5)
        << u"Статус: comment(0)"_s;
    QTest::newRow("6 adds it after the receipt, number as text")
        << 6
        << QStringList{u"AddExtraString2(text:\"Спасибо\", text:\"02\")"_s,
                       commentCall(ErrorCode::NoError)} +
               refreshCalls(6)
        << u"Статус: comment(0)"_s;
    QTest::newRow("7 only refreshes") << 7 << refreshCalls(7) << QString();
}

void TestFormSale::textLineByGeneration()
{
    QFETCH(int, major);
    QFETCH(QStringList, expected);

    Sale sale(major);
    FormSale& window = sale.load();
    harness::setText(&window, u"TxtTextLine"_s, u"Спасибо"_s);
    harness::setText(&window, u"TxtNumTextLine"_s, u"02"_s);
    harness::click(&window, u"CmdText"_s);

    QCOMPARE(sale.fake->calls(), expected);
    QTEST(sale.status(), "status");
    if (major == 5)
        QCOMPARE(sale.fake->last(u"TextLine"_s)->status, u"Печать текстовой строки..."_s);
    if (major == 6)
        QCOMPARE(sale.fake->last(u"AddExtraString2"_s)->status,
                 u"Добавление текстовой строки в конце чека..."_s);
}

void TestFormSale::statusAndStatisticsOpenOverTheSaleWindow()
{
    Sale sale(6);
    FormSale& window = sale.load();
    bool printerOnly = false;
    sale.harness.onModal<dlgStatus>(
        [&](dlgStatus& status) { printerOnly = status.m_bPrinterOnly; });
    harness::click(&window, u"CmdStatus"_s);
    harness::click(&window, u"CmdExtraInfo"_s);

    QCOMPARE(sale.harness.modalsShown(), (QStringList{u"dlgStatus"_s, u"dlgExtraInfo2"_s}));
    QCOMPARE(sale.harness.ownersOfModals(), (QStringList{u"FormSale"_s, u"FormSale"_s}));
    QVERIFY(printerOnly);
    // The printer part only: the two paper-end flags of a generation-6 device.
    QCOMPARE(sale.fake->calls().mid(0, 2),
             (QStringList{callText(u"GetDeviceInfo"_s, {DeviceInfo::SlipPaperOut}),
                          callText(u"GetDeviceInfo"_s, {DeviceInfo::ThermalPaperOut})}));
    QVERIFY(window.isVisible());
}

QTEST_MAIN(TestFormSale)
#include "tst_formsale.moc"
