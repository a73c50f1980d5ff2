// The document windows as they open and take positions: what they ask the device, and the calls
// their position commands make.

#include "DocumentWindowRig.h"
#include "StartForm.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QtTest>

using namespace Qt::StringLiterals;

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

QTEST_MAIN(TestDocumentWindows)
#include "tst_documentwindows.moc"
