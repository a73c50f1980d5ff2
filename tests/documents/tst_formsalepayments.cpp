// The sale window's payments and how its receipt ends: the payment as typed, closing,
// cancelling and the reset of an error, and whether the window stays for what is left open.

#include "FormSaleRig.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestFormSalePayments : public QObject
{
    Q_OBJECT

private slots:
    void payment_data();
    void payment();
    void endingCommands_data();
    void endingCommands();
};

void TestFormSalePayments::payment_data()
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

void TestFormSalePayments::payment()
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
             QStringList({expected, commentCall(result),
                          callText(u"GetDeviceInfo"_s, {DeviceInfo::DocumentOpen})}) +
                 counters);
    QCOMPARE(sale.fake->last(u"Tender2"_s)->status, u"Платеж..."_s);
    QCOMPARE(sale.status(), u"Статус: comment(%1)"_s.arg(result));
    QCOMPARE(window.isVisible(), stays);
}

void TestFormSalePayments::endingCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("documentOpen");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("stays");

    QTest::newRow("close") << u"CmdCloseDoc"_s << 0 << 1 << QStringList{u"EndDocument()"_s}
                           << u"Завершение чека..."_s << false;
    QTest::newRow("close refused")
        << u"CmdCloseDoc"_s << 9 << 1
        << QStringList{u"EndDocument()"_s, commentCall(9)} + refreshCalls(6)
        << u"Статус: comment(9)"_s << true;
    QTest::newRow("cancel") << u"CmdCancel"_s << 0 << 1 << QStringList{u"CancelDocument()"_s}
                            << u"Отмена чека..."_s << false;
    QTest::newRow("cancel refused: no refresh")
        << u"CmdCancel"_s << 9 << 1 << QStringList{u"CancelDocument()"_s, commentCall(9)}
        << u"Статус: comment(9)"_s << true;
    QTest::newRow("error reset, document still open")
        << u"CmdResetError"_s << 0 << 1
        << QStringList{u"ResetError()"_s, commentCall(ErrorCode::NoError),
                       callText(u"GetDeviceInfo"_s, {DeviceInfo::DocumentOpen})} +
               refreshCalls(6)
        << u"Статус: comment(0)"_s << true;
    QTest::newRow("error reset, no document left")
        << u"CmdResetError"_s << 0 << 0
        << QStringList{u"ResetError()"_s, commentCall(ErrorCode::NoError),
                       callText(u"GetDeviceInfo"_s, {DeviceInfo::DocumentOpen})}
        << u"Статус: comment(0)"_s << false;
    QTest::newRow("error reset refused, no document left")
        << u"CmdResetError"_s << 9 << 0
        << QStringList{u"ResetError()"_s, commentCall(9),
                       callText(u"GetDeviceInfo"_s, {DeviceInfo::DocumentOpen})}
        << u"Статус: comment(9)"_s << false;
}

void TestFormSalePayments::endingCommands()
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

QTEST_MAIN(TestFormSalePayments)
#include "tst_formsalepayments.moc"
