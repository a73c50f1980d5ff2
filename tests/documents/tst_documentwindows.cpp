#include "DocumentCommands.h"
#include "ExpectedCall.h"
#include "FormPay.h"
#include "FormPurchase.h"
#include "FormSale.h"
#include "FormVoidItem.h"
#include "FormVoidPurchase.h"
#include "MainForm.h"
#include "StartForm.h"
#include "WindowHarness.h"
#include "dlgStatus.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// One document window over the recording fake, opened as the main window opens it: department 1,
// a fourth-generation device, and a document that stays open unless a row says otherwise.
struct Opened
{
    explicit Opened(const QString& kind, int major = 4)
    {
        fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::MajorVersion, major);
        fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::DocumentOpen, 1);
        // The driver ends a fully paid receipt by itself unless told otherwise.
        fake->answerAt(u"GetDriverOpt"_s, DriverOption::AutoClose, 1);
        main.m_nSection = 1;
        main.m_MajorVersion = major;
        if (kind == u"FormPay")
            window = std::make_unique<FormPay>(main);
        else if (kind == u"FormVoidItem")
            window = std::make_unique<FormVoidItem>(main);
        else if (kind == u"FormPurchase")
            window = std::make_unique<FormPurchase>(main);
        else if (kind == u"FormSale")
            window = std::make_unique<FormSale>(main);
        else
            window = std::make_unique<FormVoidPurchase>(main);
        harness.watch(window.get());
    }

    QDialog* operator->() const { return window.get(); }
    QDialog* get() const { return window.get(); }

    // Types "Field=value" pairs into the window's boxes.
    void type(const QStringList& texts) const
    {
        for (const QString& entry : texts) {
            const qsizetype at = entry.indexOf(u'=');
            harness::setText(window.get(), entry.left(at), entry.mid(at + 1));
        }
    }

    std::shared_ptr<FakeDriver> fake = std::make_shared<FakeDriver>();
    WindowHarness harness{fake};
    MainForm main{fake};
    std::unique_ptr<QDialog> window;
};

QStringList docInfo(const QList<std::int16_t>& indexes)
{
    QStringList calls;
    for (std::int16_t index : indexes)
        calls << callText(u"GetDocInfo"_s, {index});
    return calls;
}

const QStringList kAnnulmentCounters =
    docInfo({DocInfo::ItemQuantity, DocInfo::DistinctItems, DocInfo::Amount, DocInfo::Payments,
             DocInfo::PaidAmount});
const QStringList kPurchaseCounters =
    kAnnulmentCounters + docInfo({DocInfo::FreeItems, DocInfo::FreeMemory});

} // namespace

class TestDocumentWindows : public QObject
{
    Q_OBJECT

private slots:
    void init() { StartForm::m_bCashPay = false; }

    void loadingAsksOnlyWhatTheWindowShows_data();
    void loadingAsksOnlyWhatTheWindowShows();
    void purchaseMemoryCounterFromThirdGeneration_data();
    void purchaseMemoryCounterFromThirdGeneration();

    void positionCommands_data();
    void positionCommands();

    void paymentTypeBoxTakesTypedTextAsItStands_data();
    void paymentTypeBoxTakesTypedTextAsItStands();
    void paymentCall_data();
    void paymentCall();
    void printButtonAfterPayments_data();
    void printButtonAfterPayments();
    void paymentThatEndsTheDocumentClosesTheWindow_data();
    void paymentThatEndsTheDocumentClosesTheWindow();
    void endingCommands_data();
    void endingCommands();
    void closedByItsFrameAsksAboutTheDocument_data();
    void closedByItsFrameAsksAboutTheDocument();

    void infoWindowsOpenOwnedByTheDocument_data();
    void infoWindowsOpenOwnedByTheDocument();
};

void TestDocumentWindows::loadingAsksOnlyWhatTheWindowShows_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("major");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("title");

    const QStringList annulment =
        QStringList{callText(u"GetDeviceInfo"_s, {DeviceInfo::MajorVersion})} + kAnnulmentCounters;
    QTest::newRow("cash document") << u"FormPay"_s << 4 << QStringList{} << u"Внесение в кассу"_s;
    QTest::newRow("annulment, version 3")
        << u"FormVoidItem"_s << 3 << annulment << u"Аннулирование"_s;
    QTest::newRow("annulment, version 4")
        << u"FormVoidItem"_s << 4 << annulment << u"Аннулирование"_s;
    QTest::newRow("purchase: counters empty")
        << u"FormPurchase"_s << 4 << QStringList{} << u"Покупка"_s;
    QTest::newRow("purchase return") << u"FormVoidPurchase"_s << 4 << QStringList{} << u"Form1"_s;
}

void TestDocumentWindows::loadingAsksOnlyWhatTheWindowShows()
{
    QFETCH(QString, kind);
    QFETCH(int, major);
    Opened window(kind, major);
    QTEST(window.fake->calls(), "calls");
    QTEST(window->windowTitle(), "title");
    if (kind == u"FormVoidItem")
        QCOMPARE(harness::isEnabled(window.get(), u"CmdExtraInfo"_s), major >= 4);
    if (kind == u"FormPurchase")
        QCOMPARE(harness::text(window.get(), u"TxtAllItems"_s), QString());
    if (kind == u"FormPay" || kind == u"FormVoidItem")
        QCOMPARE(harness::text(window.get(), u"ComboTenderID"_s), u"8- Наличные"_s);
}

void TestDocumentWindows::purchaseMemoryCounterFromThirdGeneration_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<QString>("memory");

    QTest::newRow("version 2 has none") << 2 << QString();
    QTest::newRow("version 3 fills it") << 3 << u"77"_s;
}

void TestDocumentWindows::purchaseMemoryCounterFromThirdGeneration()
{
    QFETCH(int, major);
    Opened window(u"FormPurchase"_s, major);
    window.fake->answerAt(u"GetDocInfo"_s, DocInfo::FreeMemory, 77);
    window.fake->answerAt(u"GetDocInfo"_s, DocInfo::FreeItems, 12);
    harness::click(window.get(), u"CmdItem"_s);
    QTEST(harness::text(window.get(), u"TxtFreeDocMemory"_s), "memory");
    QCOMPARE(harness::text(window.get(), u"TxtFreeDocItems"_s), u"12"_s);
}

void TestDocumentWindows::positionCommands_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("during"); // the status line while the command ran
    QTest::addColumn<QString>("status"); // the status line afterwards
    QTest::addColumn<bool>("refreshed"); // the counters were read afterwards

    const QString bareDone = FakeDriver::comment(7);
    const QString done = u"Статус: "_s + FakeDriver::comment(7);

    // The annulment receipt: bare comments, short forms only, counters after every command.
    QTest::newRow("annulment: item converts the quantity")
        << u"FormVoidItem"_s << QStringList{} << u"CmdItem"_s
        << QStringList{u"Item(int32:1000, int32:100, text:\"Item1\", int32:0)"_s} << QString()
        << bareDone << true;
    QTest::newRow("annulment: cancel sends the quantity as typed")
        << u"FormVoidItem"_s << QStringList{u"TxtQuantity=1,5 кг"_s, u"TxtTaxGroup=2"_s}
        << u"CmdVoidItem"_s
        << QStringList{u"VoidItem(general<text>:\"1,5 кг\", int32:100, text:\"Item1\", int32:2)"_s}
        << QString() << bareDone << true;
    QTest::newRow("annulment: correction")
        << u"FormVoidItem"_s << QStringList{} << u"Command1"_s
        << QStringList{u"CorrectLastItem()"_s} << QString() << bareDone << true;
    QTest::newRow("annulment: quantity not a number")
        << u"FormVoidItem"_s << QStringList{u"TxtQuantity=1,5 кг"_s} << u"CmdItem"_s
        << QStringList{} << QString() << u"Кол-во: не число"_s << false;
    QTest::newRow("annulment: tax group out of range")
        << u"FormVoidItem"_s << QStringList{u"TxtTaxGroup=3000000000"_s} << u"CmdVoidItem"_s
        << QStringList{} << QString() << u"Налог: допустимо от -2147483648 до 2147483647"_s
        << false;

    // The purchase receipt: progress texts, the department always on ItemPurchase.
    QTest::newRow("purchase: own department still sent")
        << u"FormPurchase"_s << QStringList{} << u"CmdItem"_s
        << QStringList{u"ItemPurchase(int32:1000, int32:100, text:\"Item1\", int32:1)"_s}
        << u"Добавление товарной позиции..."_s << done << true;
    QTest::newRow("purchase: department halves to even")
        << u"FormPurchase"_s << QStringList{u"TxtSection=3.5 отдел"_s} << u"CmdItem"_s
        << QStringList{u"ItemPurchase(int32:1000, int32:100, text:\"Item1\", int32:4)"_s}
        << u"Добавление товарной позиции..."_s << done << true;
    QTest::newRow("purchase: department without a number is 0")
        << u"FormPurchase"_s << QStringList{u"TxtSection=склад"_s} << u"CmdItem"_s
        << QStringList{u"ItemPurchase(int32:1000, int32:100, text:\"Item1\", int32:0)"_s}
        << u"Добавление товарной позиции..."_s << done << true;
    QTest::newRow("purchase: cancel in own department, tax group 0")
        << u"FormPurchase"_s << QStringList{u"TxtQuantity=2000"_s} << u"CmdVoidItem"_s
        << QStringList{u"VoidItem(general<text>:\"2000\", int32:100, text:\"Item1\", int32:0)"_s}
        << u"Отмена товарной позиции ..."_s << done << true;
    QTest::newRow("purchase: cancel in another department")
        << u"FormPurchase"_s << QStringList{u"TxtSection=2"_s} << u"CmdVoidItem"_s
        << QStringList{u"VoidItemEx(general<text>:\"1000\", int32:100, text:\"Item1\", int32:0, int16:2)"_s}
        << u"Отмена товарной позиции ..."_s << done << true;
    QTest::newRow("purchase: department beyond 16 bits")
        << u"FormPurchase"_s << QStringList{u"TxtSection=40000"_s} << u"CmdItem"_s << QStringList{}
        << QString() << u"Отдел: допустимо от -32768 до 32767"_s << false;
    QTest::newRow("purchase: percent correction is read whole")
        << u"FormPurchase"_s << QStringList{u"TxtChProc=5 %"_s} << u"CmdProcChange"_s
        << QStringList{} << QString() << u"Процентная Скидка / Наценка: не число"_s << false;
    QTest::newRow("purchase: price not a number")
        << u"FormPurchase"_s << QStringList{u"TxtAmount=сто"_s} << u"CmdVoidItem"_s << QStringList{}
        << QString() << u"Цена: не число"_s << false;
    QTest::newRow("purchase: absolute correction")
        << u"FormPurchase"_s << QStringList{u"TxtAbsCh=-150"_s, u"TxtAbsChText=-250"_s}
        << u"CmdItemChange"_s << QStringList{u"AbsoluteCorrection(int32:-150)"_s}
        << u"Абсолютная скидка/наценка..."_s << done << true;
    QTest::newRow("purchase: percent correction")
        << u"FormPurchase"_s << QStringList{u"TxtChProc=5"_s} << u"CmdProcChange"_s
        << QStringList{u"PercentCorrection(int32:5)"_s} << u"Процентная скидка/наценка..."_s << done
        << true;
    QTest::newRow("purchase: correction with text")
        << u"FormPurchase"_s
        << QStringList{u"TxtAbsCh=-150"_s, u"TxtAbsChText=-250"_s,
                       u"TxtAbsoluteChangeText=Скидка"_s}
        << u"CmdAbsoluteChangeText"_s
        << QStringList{u"AbsoluteCorrectionText(int32:-250, text:\"Скидка\")"_s}
        << u"Абсолютная скидка/наценка с текстом..."_s << done << true;

    // The purchase return: bare comments except the correction, no counters, a strict department.
    QTest::newRow("return: item with its department")
        << u"FormVoidPurchase"_s << QStringList{u"TxtSection=2.5"_s} << u"CmdItem"_s
        << QStringList{u"ItemPurchase(int32:1000, int32:100, text:\"Item1\", int32:2)"_s}
        << QString() << bareDone << false;
    QTest::newRow("return: department beyond 16 bits is whole")
        << u"FormVoidPurchase"_s << QStringList{u"TxtSection=70000"_s} << u"CmdItem"_s
        << QStringList{u"ItemPurchase(int32:1000, int32:100, text:\"Item1\", int32:70000)"_s}
        << QString() << bareDone << false;
    QTest::newRow("return: department without a number fails")
        << u"FormVoidPurchase"_s << QStringList{u"TxtSection=склад"_s} << u"CmdItem"_s
        << QStringList{} << QString() << u"Отдел: не число"_s << false;
    QTest::newRow("return: correction shows its progress")
        << u"FormVoidPurchase"_s << QStringList{} << u"CmdCorrectLastItem"_s
        << QStringList{u"CorrectLastItem()"_s} << u"Отмена последней операции..."_s << done
        << false;
    QTest::newRow("return: cancel in own department")
        << u"FormVoidPurchase"_s << QStringList{} << u"CmdVoidItem"_s
        << QStringList{u"VoidItem(general<text>:\"1000\", int32:100, text:\"Item1\", int32:0)"_s}
        << QString() << bareDone << false;
    QTest::newRow("return: cancel in another department")
        << u"FormVoidPurchase"_s << QStringList{u"TxtSection=3"_s} << u"CmdVoidItem"_s
        << QStringList{u"VoidItemEx(general<text>:\"1000\", int32:100, text:\"Item1\", int32:0, int16:3)"_s}
        << QString() << bareDone << false;
    QTest::newRow("return: cancel with a department beyond 16 bits")
        << u"FormVoidPurchase"_s << QStringList{u"TxtSection=70000"_s} << u"CmdVoidItem"_s
        << QStringList{} << QString() << u"Отдел: допустимо от -32768 до 32767"_s << false;
}

void TestDocumentWindows::positionCommands()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, texts);
    QFETCH(QString, button);
    QFETCH(QStringList, commands);
    QFETCH(QString, during);
    QFETCH(bool, refreshed);

    Opened window(kind);
    for (const QString& member :
         {u"Item"_s, u"VoidItem"_s, u"VoidItemEx"_s, u"ItemPurchase"_s, u"CorrectLastItem"_s,
          u"AbsoluteCorrection"_s, u"PercentCorrection"_s, u"AbsoluteCorrectionText"_s})
        window.fake->answer(member, QVariant::fromValue<std::int16_t>(7));
    window.type(texts);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window.fake->clearRecords();

    harness::click(window.get(), button);

    QCOMPARE(window.fake->commands(), commands);
    QTEST(harness::text(window.get(), u"StatusText"_s), "status");
    QCOMPARE(window.fake->members().contains(u"GetDocInfo"_s), refreshed);
    if (!commands.isEmpty()) {
        QCOMPARE(window.fake->records().constFirst().status, during);
    } else {
        // A bad number: the operator is taken to the box that holds it.
        const QString field = texts.constFirst().section(u'=', 0, 0);
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), field);
    }
}

void TestDocumentWindows::paymentTypeBoxTakesTypedTextAsItStands_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("code");

    for (const QString& kind : {u"FormPay"_s, u"FormVoidItem"_s, u"FormSale"_s}) {
        const QByteArray name = kind.toLatin1();
        QTest::addRow("%s: a digit is not completed", name.constData())
            << kind << u"7"_s << int(PaymentType::None);
        QTest::addRow("%s: the start of a name is not completed", name.constData())
            << kind << u"1- Пла"_s << int(PaymentType::None);
        QTest::addRow("%s: a whole name", name.constData())
            << kind << u"1- Платежные карты 1"_s << int(PaymentType::Card1);
    }
}

void TestDocumentWindows::paymentTypeBoxTakesTypedTextAsItStands()
{
    QFETCH(QString, kind);
    QFETCH(QString, typed);
    Opened window(kind);
    auto* box = harness::control<QComboBox>(window.get(), u"ComboTenderID"_s);
    box->lineEdit()->clear();
    box->setFocus();
    // Typed key by key, as the operator types; Cyrillic letters have no key code of their own.
    for (const QChar c : typed)
        QTest::sendKeyEvent(QTest::Click, box->lineEdit(), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);

    QCOMPARE(box->currentText(), typed);
    QTEST(int(documents::paymentTypeCode(*box)), "code");
    // The box and its drop-down show the longest name whole, in the window as laid out.
    const int longest = box->fontMetrics().horizontalAdvance(u"1- Платежные карты 1"_s);
    QVERIFY2(box->width() >= box->sizeHint().width(),
             qPrintable(u"%1 < %2"_s.arg(box->width()).arg(box->sizeHint().width())));
    QVERIFY(box->view()->minimumWidth() > longest);
}

void TestDocumentWindows::paymentCall_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("during");
    QTest::addColumn<QString>("status");

    const QStringList afterwards = {u"GetErrorComment(int16:0)"_s,
                                    callText(u"GetDeviceInfo"_s, {DeviceInfo::DocumentOpen})};
    // Windows that offer printing only when the device will not end the document ask whether
    // the driver closes paid documents by itself.
    const QStringList askingAutoClose =
        afterwards + QStringList{callText(u"GetDriverOpt"_s, {DriverOption::AutoClose})};
    const QString bare = FakeDriver::comment(0);

    QTest::newRow("cash document: defaults, 32-bit type")
        << u"FormPay"_s << QStringList{}
        << QStringList{callText(u"Tender2"_s,
                                {1000.0, QVariant(PaymentType::Cash), QVariant(u"0"_s), u"0"_s})} +
               afterwards
        << QString() << bare;
    QTest::newRow("cash document: chosen card type")
        << u"FormPay"_s
        << QStringList{u"ComboTenderID=3- Платежные карты 3"_s, u"TxtTenderCardNum=4276"_s,
                       u"TxtTenderAmount=12.5"_s}
        << QStringList{callText(
               u"Tender2"_s, {12.5, QVariant(PaymentType::Card3), QVariant(u"4276"_s), u"0"_s})} +
               afterwards
        << QString() << bare;
    QTest::newRow("cash document: typed type names none")
        << u"FormPay"_s << QStringList{u"ComboTenderID=9- Бартер"_s}
        << QStringList{callText(u"Tender2"_s,
                                {1000.0, QVariant(PaymentType::None), QVariant(u"0"_s), u"0"_s})} +
               afterwards
        << QString() << bare;
    QTest::newRow("annulment: 16-bit type, counters after")
        << u"FormVoidItem"_s << QStringList{u"ComboTenderID=6- Чек"_s, u"TxtTenderAuthCode=17"_s}
        << QStringList{callText(u"Tender2"_s,
                                {1000.0, QVariant::fromValue<std::int16_t>(PaymentType::Cheque),
                                 QVariant(u""_s), u"17"_s})} +
               askingAutoClose + kAnnulmentCounters
        << QString() << bare;
    QTest::newRow("purchase: always cash, progress, counters after")
        << u"FormPurchase"_s << QStringList{u"TxtTenderCardNum=1234"_s}
        << QStringList{callText(u"Tender2"_s,
                                {5000.0, QVariant::fromValue<std::int16_t>(PaymentType::Cash),
                                 QVariant(u"1234"_s), u""_s})} +
               afterwards + kPurchaseCounters
        << u"Платеж..."_s << u"Статус: "_s + bare;
    QTest::newRow("purchase return: always cash, no counters")
        << u"FormVoidPurchase"_s << QStringList{u"TxtTenderCardNum=1234"_s}
        << QStringList{callText(u"Tender2"_s,
                                {1000.0, QVariant::fromValue<std::int16_t>(PaymentType::Cash),
                                 QVariant(u"1234"_s), u""_s})} +
               askingAutoClose
        << QString() << bare;
    QTest::newRow("cash document: amount not a number")
        << u"FormPay"_s << QStringList{u"TxtTenderAmount=10 руб"_s} << QStringList{} << QString()
        << u"Сумма: не число"_s;
    QTest::newRow("purchase return: amount not a number")
        << u"FormVoidPurchase"_s << QStringList{u"TxtTenderAmount="_s} << QStringList{} << QString()
        << u"Сумма: не число"_s;
}

void TestDocumentWindows::paymentCall()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, calls);

    Opened window(kind);
    window.type(texts);
    window.fake->clearRecords();
    harness::click(window.get(), u"CmdTender"_s);

    QCOMPARE(window.fake->calls(), calls);
    QTEST(harness::text(window.get(), u"StatusText"_s), "status");
    if (!calls.isEmpty())
        QTEST(window.fake->last(u"Tender2"_s)->status, "during");
}

void TestDocumentWindows::printButtonAfterPayments_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("cashPay");
    QTest::addColumn<QVariantList>("results");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("autoClose"); // the driver's automatic closing (option 16)

    QTest::newRow("cash document: before any payment")
        << u"FormPay"_s << false << QVariantList{} << false << 1;
    QTest::newRow("cash document: refused payment")
        << u"FormPay"_s << false << QVariantList{5} << false << 1;
    QTest::newRow("cash document: first success")
        << u"FormPay"_s << false << QVariantList{5, 0} << true << 1;
    QTest::newRow("cash document: a later refusal keeps it")
        << u"FormPay"_s << false << QVariantList{0, 5} << true << 1;
    QTest::newRow("annulment: payments cached")
        << u"FormVoidItem"_s << true << QVariantList{0} << true << 1;
    QTest::newRow("annulment: payments not cached")
        << u"FormVoidItem"_s << false << QVariantList{0} << false << 1;
    QTest::newRow("annulment: cached but refused")
        << u"FormVoidItem"_s << true << QVariantList{5} << false << 1;
    QTest::newRow("purchase: enabled throughout")
        << u"FormPurchase"_s << false << QVariantList{5} << true << 1;
    QTest::newRow("purchase return: payments cached")
        << u"FormVoidPurchase"_s << true << QVariantList{0} << true << 1;
    QTest::newRow("purchase return: payments not cached")
        << u"FormVoidPurchase"_s << false << QVariantList{0} << false << 1;
    // With automatic closing off a paid document stays open: printing must be offered.
    QTest::newRow("annulment: not cached, automatic closing off")
        << u"FormVoidItem"_s << false << QVariantList{0} << true << 0;
    QTest::newRow("annulment: automatic closing off, refused")
        << u"FormVoidItem"_s << false << QVariantList{5} << false << 0;
    QTest::newRow("purchase return: not cached, automatic closing off")
        << u"FormVoidPurchase"_s << false << QVariantList{0} << true << 0;
}

void TestDocumentWindows::printButtonAfterPayments()
{
    QFETCH(QString, kind);
    QFETCH(bool, cashPay);
    QFETCH(QVariantList, results);

    QFETCH(int, autoClose);

    StartForm::m_bCashPay = cashPay;
    Opened window(kind);
    window.fake->answerAt(u"GetDriverOpt"_s, DriverOption::AutoClose, autoClose);
    window.fake->queue(u"Tender2"_s, results);
    for (qsizetype payment = 0; payment < results.size(); ++payment)
        harness::click(window.get(), u"CmdTender"_s);
    QTEST(harness::isEnabled(window.get(), u"CmdCloseDoc"_s), "enabled");
    QVERIFY(window->isVisible());
}

void TestDocumentWindows::paymentThatEndsTheDocumentClosesTheWindow_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("status");

    QTest::newRow("cash document") << u"FormPay"_s << FakeDriver::comment(0);
    QTest::newRow("annulment") << u"FormVoidItem"_s << FakeDriver::comment(0);
    QTest::newRow("purchase") << u"FormPurchase"_s << u"Статус: "_s + FakeDriver::comment(0);
    QTest::newRow("purchase return") << u"FormVoidPurchase"_s << FakeDriver::comment(0);
}

void TestDocumentWindows::paymentThatEndsTheDocumentClosesTheWindow()
{
    QFETCH(QString, kind);
    Opened window(kind);
    window.fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::DocumentOpen, 0);
    window.fake->clearRecords();
    harness::click(window.get(), u"CmdTender"_s);
    QVERIFY(!window->isVisible());
    QTEST(harness::text(window.get(), u"StatusText"_s), "status");
    // Nothing is asked of a document that is over.
    QVERIFY(!window.fake->members().contains(u"GetDocInfo"_s));
}

void TestDocumentWindows::endingCommands_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("documentOpen"); // the indicator after the command
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("refreshed");

    const QStringList end{u"EndDocument()"_s};
    const QStringList cancel{u"CancelDocument()"_s};
    const QStringList reset{u"ResetError()"_s};
    const QString paid = FakeDriver::comment(0); // left by the payment that enabled printing

    QTest::newRow("cash document: printed")
        << u"FormPay"_s << u"CmdCloseDoc"_s << 0 << true << end << true << paid << false;
    QTest::newRow("cash document: print refused")
        << u"FormPay"_s << u"CmdCloseDoc"_s << 4 << true << end << false << FakeDriver::comment(4)
        << false;
    QTest::newRow("cash document: cancelled")
        << u"FormPay"_s << u"CmdCancel"_s << 0 << true << cancel << true << paid << false;
    QTest::newRow("cash document: cancel refused")
        << u"FormPay"_s << u"CmdCancel"_s << 4 << true << cancel << false << FakeDriver::comment(4)
        << false;
    QTest::newRow("annulment: print refused, counters after")
        << u"FormVoidItem"_s << u"CmdCloseDoc"_s << 4 << true << end << false
        << FakeDriver::comment(4) << true;
    QTest::newRow("annulment: cancel refused")
        << u"FormVoidItem"_s << u"CmdCancel"_s << 4 << true << cancel << false
        << FakeDriver::comment(4) << false;
    QTest::newRow("purchase: closed") << u"FormPurchase"_s << u"CmdCloseDoc"_s << 0 << true << end
                                      << true << u"Завершение чека..."_s << false;
    QTest::newRow("purchase: close refused, counters after")
        << u"FormPurchase"_s << u"CmdCloseDoc"_s << 4 << true << end << false
        << u"Статус: "_s + FakeDriver::comment(4) << true;
    QTest::newRow("purchase: error reset, document still open")
        << u"FormPurchase"_s << u"CmdResetError"_s << 0 << true << reset << false
        << u"Статус: "_s + FakeDriver::comment(0) << true;
    QTest::newRow("purchase: error reset, document gone")
        << u"FormPurchase"_s << u"CmdResetError"_s << 4 << false << reset << true
        << u"Статус: "_s + FakeDriver::comment(4) << false;
    QTest::newRow("purchase return: printed")
        << u"FormVoidPurchase"_s << u"CmdCloseDoc"_s << 0 << true << end << true << paid << false;
    QTest::newRow("purchase return: print refused")
        << u"FormVoidPurchase"_s << u"CmdCloseDoc"_s << 4 << true << end << false
        << FakeDriver::comment(4) << false;
    QTest::newRow("purchase return: cancelled")
        << u"FormVoidPurchase"_s << u"CmdCancel"_s << 0 << true << cancel << true << paid << false;
}

void TestDocumentWindows::endingCommands()
{
    QFETCH(QString, kind);
    QFETCH(QString, button);
    QFETCH(int, result);
    QFETCH(bool, documentOpen);
    QFETCH(QStringList, commands);
    QFETCH(bool, closed);
    QFETCH(bool, refreshed);

    StartForm::m_bCashPay = true;
    Opened window(kind);
    // A payment first, so that every window offers printing.
    harness::click(window.get(), u"CmdTender"_s);
    window.fake->clearRecords();
    const QString member = commands.constFirst().section(u'(', 0, 0);
    window.fake->answer(member, QVariant::fromValue<std::int16_t>(std::int16_t(result)));
    window.fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::DocumentOpen, documentOpen ? 1 : 0);

    harness::click(window.get(), button);

    QCOMPARE(window.fake->commands(), commands);
    QCOMPARE(!window->isVisible(), closed);
    QTEST(harness::text(window.get(), u"StatusText"_s), "status");
    QCOMPARE(window.fake->members().contains(u"GetDocInfo"_s), refreshed);
}

void TestDocumentWindows::closedByItsFrameAsksAboutTheDocument_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("ending"); // a button that ends the document before the close
    QTest::addColumn<int>("documentOpen");
    QTest::addColumn<int>("answer"); // -1: the preferred one
    QTest::addColumn<int>("cancelled");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("status");

    const QStringList cancel{u"CancelDocument()"_s};
    QTest::newRow("purchase: left open, as the preferred answer")
        << u"FormPurchase"_s << QString() << 1 << -1 << 0 << QStringList{} << true << true
        << QString();
    QTest::newRow("purchase: cancelled on the device")
        << u"FormPurchase"_s << QString() << 1 << 1 << 0 << cancel << true << true
        << u"Отмена документа..."_s;
    QTest::newRow("purchase: cancel refused keeps the window")
        << u"FormPurchase"_s << QString() << 1 << 1 << 4 << cancel << false << true
        << u"Статус: "_s + FakeDriver::comment(4);
    QTest::newRow("cash document: back to the window")
        << u"FormPay"_s << QString() << 1 << 2 << 0 << QStringList{} << false << true << QString();
    QTest::newRow("sale: nothing open on the device")
        << u"FormSale"_s << QString() << 0 << 1 << 0 << QStringList{} << true << false << QString();
    QTest::newRow("sale: ended by its own button")
        << u"FormSale"_s << u"CmdCloseDoc"_s << 1 << 1 << 0 << QStringList{} << true << false
        << QString();
}

void TestDocumentWindows::closedByItsFrameAsksAboutTheDocument()
{
    QFETCH(QString, kind);
    QFETCH(QString, ending);
    QFETCH(int, documentOpen);
    QFETCH(int, answer);
    QFETCH(int, cancelled);
    QFETCH(bool, closed);
    QFETCH(bool, asked);
    QFETCH(QString, status);

    Opened window(kind);
    window.fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::DocumentOpen, documentOpen);
    window.fake->answer(u"CancelDocument"_s, QVariant::fromValue(std::int16_t(cancelled)));
    if (answer >= 0)
        window.harness.answerChoices({answer});
    if (!ending.isEmpty())
        harness::click(window.get(), ending);
    window.fake->clearRecords();

    window->close();

    QTEST(window.fake->commands(), "commands");
    QCOMPARE(!window->isVisible(), closed);
    QCOMPARE(window.harness.messages().size(), asked ? 1 : 0);
    if (asked) {
        const WindowHarness::Message& question = window.harness.messages().constFirst();
        QCOMPARE(question.text, u"Документ ещё открыт на устройстве. Что с ним сделать?"_s);
        QCOMPARE(question.answers, QStringList({u"Оставить открытым"_s, u"Отменить документ"_s,
                                                u"Вернуться в окно"_s}));
    }
    // A window that ended its document itself asks the device nothing more.
    if (!ending.isEmpty())
        QVERIFY(window.fake->calls().isEmpty());
    if (!status.isEmpty())
        QCOMPARE(harness::text(window.get(), u"StatusText"_s), status);
}

void TestDocumentWindows::infoWindowsOpenOwnedByTheDocument_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("shown");

    QTest::newRow("annulment statistics")
        << u"FormVoidItem"_s << u"CmdExtraInfo"_s << u"dlgExtraInfo2"_s;
    QTest::newRow("purchase status") << u"FormPurchase"_s << u"CmdStatus"_s << u"dlgStatus"_s;
}

void TestDocumentWindows::infoWindowsOpenOwnedByTheDocument()
{
    QFETCH(QString, kind);
    QFETCH(QString, button);
    QFETCH(QString, shown);
    Opened window(kind);
    std::optional<bool> printerOnly;
    window.harness.onModal<dlgStatus>(
        [&](dlgStatus& status) { printerOnly = status.m_bPrinterOnly; });
    harness::click(window.get(), button);
    QCOMPARE(window.harness.modalsShown(), QStringList{shown});
    QCOMPARE(window.harness.ownersOfModals(), QStringList{kind});
    // The purchase window asks for the whole status, not only the printer's part.
    if (printerOnly)
        QVERIFY(!*printerOnly);
}

QTEST_MAIN(TestDocumentWindows)
#include "tst_documentwindows.moc"
