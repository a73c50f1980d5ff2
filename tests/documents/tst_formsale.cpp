#include "ExpectedCall.h"
#include "FormSale.h"
#include "MainForm.h"
#include "WindowHarness.h"
#include "dlgExtraInfo2.h"
#include "dlgStatus.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The counters the window reads after a command, in the order it reads them.
QStringList refreshCalls(int major)
{
    QStringList calls;
    for (std::int16_t index : {DocInfo::ItemQuantity, DocInfo::DistinctItems, DocInfo::Amount,
                               DocInfo::Payments, DocInfo::PaidAmount, DocInfo::FreeItems})
        calls << callText(u"GetDocInfo"_s, {index});
    if (major >= 3)
        calls << callText(u"GetDocInfo"_s, {DocInfo::FreeMemory});
    return calls;
}

QString comment(int code)
{
    return u"GetErrorComment(int16:%1)"_s.arg(code);
}

// A sale window over the recording fake, on a device of the given generation with a document
// open in department `section`.
struct Sale
{
    std::shared_ptr<FakeDriver> fake = std::make_shared<FakeDriver>();
    WindowHarness harness{fake};
    MainForm main{fake};
    std::unique_ptr<FormSale> window;

    explicit Sale(int major = 6, std::int16_t section = 1)
    {
        fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::MajorVersion, major);
        fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::DocumentOpen, 1);
        main.m_MajorVersion = major;
        main.m_nSection = section;
    }

    FormSale& load(bool keepRecords = false)
    {
        window = std::make_unique<FormSale>(main);
        harness.watch(window.get());
        if (!keepRecords)
            fake->clearRecords();
        return *window;
    }

    QString status() const { return harness::text(window.get(), u"StatusText"_s); }
};

} // namespace

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
    void payment_data();
    void payment();
    void endingCommands_data();
    void endingCommands();
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

    QCOMPARE(sale.fake->calls(), QStringList{expected} + QStringList{comment(3)} + refreshCalls(6));
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
    QCOMPARE(sale.fake->calls(), QStringList({expected, comment(-7)}) + counters);
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

void TestFormSale::payment_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("type"); // empty: the preselected cash
    QTest::addColumn<QString>("card");
    QTest::addColumn<QString>("document");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("documentOpen");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("stays");

    QTest::newRow("default cash, receipt stays open")
        << u"5000"_s << QString() << QString() << QString() << 0 << 1
        << callText(u"Tender2"_s, {5000.0, QVariant(PaymentType::Cash), QVariant(u""_s), u""_s})
        << true;
    QTest::newRow("device ends the receipt")
        << u"5000"_s << QString() << QString() << QString() << 0 << 0
        << callText(u"Tender2"_s, {5000.0, QVariant(PaymentType::Cash), QVariant(u""_s), u""_s})
        << false;
    QTest::newRow("refused, receipt open")
        << u"5000"_s << QString() << QString() << QString() << 4 << 1
        << callText(u"Tender2"_s, {5000.0, QVariant(PaymentType::Cash), QVariant(u""_s), u""_s})
        << true;
    QTest::newRow("refused, yet the device ended it")
        << u"5000"_s << QString() << QString() << QString() << 4 << 0
        << callText(u"Tender2"_s, {5000.0, QVariant(PaymentType::Cash), QVariant(u""_s), u""_s})
        << false;
    QTest::newRow("document query failed: the receipt may still be open")
        << u"5000"_s << QString() << QString() << QString() << 0 << -1
        << callText(u"Tender2"_s, {5000.0, QVariant(PaymentType::Cash), QVariant(u""_s), u""_s})
        << true;
    QTest::newRow("card payment with numbers")
        << u"1234.5"_s << u"2- Платежные карты 2"_s << u"4276 0000"_s << u"A-17"_s << 0 << 1
        << callText(u"Tender2"_s,
                    {1234.5, QVariant(PaymentType::Card2), QVariant(u"4276 0000"_s), u"A-17"_s})
        << true;
    QTest::newRow("typed payment type matches no entry")
        << u"100"_s << u"наличные"_s << QString() << QString() << 0 << 1
        << callText(u"Tender2"_s, {100.0, QVariant(PaymentType::None), QVariant(u""_s), u""_s})
        << true;
}

void TestFormSale::payment()
{
    QFETCH(QString, amount);
    QFETCH(QString, type);
    QFETCH(QString, card);
    QFETCH(QString, document);
    QFETCH(int, result);
    QFETCH(int, documentOpen);
    QFETCH(QString, expected);
    QFETCH(bool, stays);

    Sale sale;
    FormSale& window = sale.load();
    sale.fake->answer(u"Tender2"_s, QVariant::fromValue<std::int16_t>(std::int16_t(result)));
    sale.fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::DocumentOpen, documentOpen);
    harness::setText(&window, u"TxtTenderAmount"_s, amount);
    if (!type.isNull())
        harness::setText(&window, u"ComboTenderID"_s, type);
    harness::setText(&window, u"TxtTenderCardNum"_s, card);
    harness::setText(&window, u"TxtTenderAuthCode"_s, document);
    harness::click(&window, u"CmdTender"_s);

    const QStringList counters = stays ? refreshCalls(6) : QStringList{};
    QCOMPARE(sale.fake->calls(),
             QStringList({expected, comment(result),
                          callText(u"GetDeviceInfo"_s, {DeviceInfo::DocumentOpen})}) +
                 counters);
    QCOMPARE(sale.fake->last(u"Tender2"_s)->status, u"Платеж..."_s);
    QCOMPARE(sale.status(), u"Статус: comment(%1)"_s.arg(result));
    QCOMPARE(window.isVisible(), stays);
}

void TestFormSale::endingCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("documentOpen");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("stays");

    QTest::newRow("close") << u"CmdCloseDoc"_s << 0 << 1 << QStringList{u"EndDocument()"_s}
                           << u"Завершение чека..."_s << false;
    QTest::newRow("close refused") << u"CmdCloseDoc"_s << 9 << 1
                                   << QStringList{u"EndDocument()"_s, comment(9)} + refreshCalls(6)
                                   << u"Статус: comment(9)"_s << true;
    QTest::newRow("cancel") << u"CmdCancel"_s << 0 << 1 << QStringList{u"CancelDocument()"_s}
                            << u"Отмена чека..."_s << false;
    QTest::newRow("cancel refused: no refresh")
        << u"CmdCancel"_s << 9 << 1 << QStringList{u"CancelDocument()"_s, comment(9)}
        << u"Статус: comment(9)"_s << true;
    QTest::newRow("error reset, document still open")
        << u"CmdResetError"_s << 0 << 1
        << QStringList{u"ResetError()"_s, comment(0),
                       callText(u"GetDeviceInfo"_s, {DeviceInfo::DocumentOpen})} +
               refreshCalls(6)
        << u"Статус: comment(0)"_s << true;
    QTest::newRow("error reset, no document left")
        << u"CmdResetError"_s << 0 << 0
        << QStringList{u"ResetError()"_s, comment(0),
                       callText(u"GetDeviceInfo"_s, {DeviceInfo::DocumentOpen})}
        << u"Статус: comment(0)"_s << false;
    QTest::newRow("error reset refused, no document left")
        << u"CmdResetError"_s << 9 << 0
        << QStringList{u"ResetError()"_s, comment(9),
                       callText(u"GetDeviceInfo"_s, {DeviceInfo::DocumentOpen})}
        << u"Статус: comment(9)"_s << false;
}

void TestFormSale::endingCommands()
{
    QFETCH(QString, command);
    QFETCH(int, result);
    QFETCH(int, documentOpen);
    QFETCH(QStringList, expected);
    QFETCH(bool, stays);

    Sale sale;
    FormSale& window = sale.load();
    const QString member = expected.constFirst().chopped(2);
    sale.fake->answer(member, QVariant::fromValue<std::int16_t>(std::int16_t(result)));
    sale.fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::DocumentOpen, documentOpen);
    harness::click(&window, command);

    QCOMPARE(sale.fake->calls(), expected);
    QTEST(sale.status(), "status");
    QCOMPARE(window.isVisible(), stays);
}

void TestFormSale::textLineByGeneration_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("status");

    QTest::newRow("5 prints the line")
        << 5 << QStringList{u"TextLine(text:\"Спасибо\")"_s, comment(0)} + refreshCalls(5)
        << u"Статус: comment(0)"_s;
    QTest::newRow("6 adds it after the receipt, number as text")
        << 6
        << QStringList{u"AddExtraString2(text:\"Спасибо\", text:\"02\")"_s, comment(0)} +
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
