// The document windows' payments and what ends a document: the payment calls, the print
// button, closing the window, and the windows of information that a document owns.

#include "DocumentWindowRig.h"
#include "StartForm.h"
#include "dlgStatus.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestDocumentPayments : public QObject
{
    Q_OBJECT

private slots:
    void init() { StartForm::m_bCashPay = false; }

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

void TestDocumentPayments::paymentCall_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("during");
    QTest::addColumn<QString>("status");

    const QStringList afterwards = {commentCall(ErrorCode::NoError),
                                    callText(u"GetDeviceInfo"_s, {DeviceInfo::DocumentOpen})};
    // Windows that offer printing only when the device will not end the document ask whether
    // the driver closes paid documents by itself.
    const QStringList askingAutoClose =
        afterwards + QStringList{callText(u"GetDriverOpt"_s, {DriverOption::AutoClose})};
    const QString bare = FakeDriver::comment(ErrorCode::NoError);

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

void TestDocumentPayments::paymentCall()
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

void TestDocumentPayments::printButtonAfterPayments_data()
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

void TestDocumentPayments::printButtonAfterPayments()
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

void TestDocumentPayments::paymentThatEndsTheDocumentClosesTheWindow_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("status");

    QTest::newRow("cash document") << u"FormPay"_s << FakeDriver::comment(ErrorCode::NoError);
    QTest::newRow("annulment") << u"FormVoidItem"_s << FakeDriver::comment(ErrorCode::NoError);
    QTest::newRow("purchase") << u"FormPurchase"_s
                              << u"Статус: "_s + FakeDriver::comment(ErrorCode::NoError);
    QTest::newRow("purchase return")
        << u"FormVoidPurchase"_s << FakeDriver::comment(ErrorCode::NoError);
}

void TestDocumentPayments::paymentThatEndsTheDocumentClosesTheWindow()
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

void TestDocumentPayments::endingCommands_data()
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
    // Left by the payment that enabled printing.
    const QString paid = FakeDriver::comment(ErrorCode::NoError);

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
        << u"Статус: "_s + FakeDriver::comment(ErrorCode::NoError) << true;
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

void TestDocumentPayments::endingCommands()
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

void TestDocumentPayments::closedByItsFrameAsksAboutTheDocument_data()
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

void TestDocumentPayments::closedByItsFrameAsksAboutTheDocument()
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

void TestDocumentPayments::infoWindowsOpenOwnedByTheDocument_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("shown");

    QTest::newRow("annulment statistics")
        << u"FormVoidItem"_s << u"CmdExtraInfo"_s << u"dlgExtraInfo2"_s;
    QTest::newRow("purchase status") << u"FormPurchase"_s << u"CmdStatus"_s << u"dlgStatus"_s;
}

void TestDocumentPayments::infoWindowsOpenOwnedByTheDocument()
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

QTEST_MAIN(TestDocumentPayments)
#include "tst_documentpayments.moc"
