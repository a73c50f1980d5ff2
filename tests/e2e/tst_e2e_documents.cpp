#include "DeviceNumbers.h"
#include "OperatorDesk.h"

#include "Emulator.h"
#include "FormPay.h"
#include "FormPurchase.h"
#include "FormSale.h"
#include "FormTextDoc.h"
#include "FormVoidItem.h"
#include "FormVoidPurchase.h"
#include "StatusLine.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace e2e;

// Every one of the nine document types issued on the built-in device through its own window,
// as an operator issues it, with the device's counters and paper tape that follow.
class TestDocumentsOnDevice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void issuesDocument_data();
    void issuesDocument();
    void paymentsKeptByDriver_data();
    void paymentsKeptByDriver();
    void automaticClosingSwitchedOff_data();
    void automaticClosingSwitchedOff();
    void windowClosedByFrameLeavesDocumentOpen_data();
    void windowClosedByFrameLeavesDocumentOpen();

private:
    // Registers the operator's work in the document window of `type`; `closedItself` tells
    // afterwards whether the window ended the document and closed on its own.
    void workDocument(int type, bool& closedItself);

    static constexpr int kPort = 20;
    QTemporaryDir m_data;
    std::unique_ptr<WindowHarness> m_harness;
    std::unique_ptr<MainForm> m_main;
};

void TestDocumentsOnDevice::initTestCase()
{
    QVERIFY(m_data.isValid());
    emulator::registerEmulator(m_data.path());
    m_harness = std::make_unique<WindowHarness>();
    QString status;
    m_main = startProgram(kPort, false, &status);
    QVERIFY2(m_main, qPrintable(status));
    m_harness->watch(m_main.get());
    QCOMPARE(m_main->m_MajorVersion, 6);
    harness::click(m_main.get(), u"CmdOpenSession"_s);
    QCOMPARE(harness::text(m_main.get(), u"StatusText"_s), u"Статус: Нет ошибок"_s);
}

void TestDocumentsOnDevice::cleanupTestCase()
{
    m_main.reset();
    m_harness.reset();
}

void TestDocumentsOnDevice::workDocument(int type, bool& closedItself)
{
    const auto done = [&closedItself](QWidget& window) { closedItself = !window.isVisible(); };
    switch (type) {
    case 1:
        m_harness->onModal<FormSale>([done](FormSale& w) {
            harness::setText(&w, u"TxtText"_s, u"Хлеб"_s);
            harness::setText(&w, u"TxtQuantity"_s, u"2000"_s);
            harness::setText(&w, u"TxtAmount"_s, u"3150"_s);
            harness::click(&w, u"CmdItem"_s);
            harness::setText(&w, u"TxtTenderAmount"_s, u"7000"_s);
            harness::click(&w, u"CmdTender"_s);
            done(w);
        });
        break;
    case 2:
        m_harness->onModal<FormVoidItem>([done](FormVoidItem& w) {
            harness::setText(&w, u"TxtText"_s, u"Хлеб"_s);
            harness::setText(&w, u"TxtAmount"_s, u"3150"_s);
            harness::click(&w, u"CmdItem"_s);
            harness::setText(&w, u"TxtTenderAmount"_s, u"3150"_s);
            harness::click(&w, u"CmdTender"_s);
            done(w);
        });
        break;
    case 3:
    case 7:
        m_harness->onModal<FormTextDoc>([done, type](FormTextDoc& w) {
            QCOMPARE(w.m_DocumentType, type);
            // Only the document without a number takes print attributes.
            QCOMPARE(harness::isEnabled(&w, u"cbUnderline"_s), type == 7);
            if (type == 7)
                harness::click(&w, u"cbUnderline"_s);
            harness::setText(&w, u"TxtText"_s, u"Строка документа %1"_s.arg(type));
            harness::click(&w, u"CmdText"_s);
            QCOMPARE(harness::text(&w, u"StatusText"_s), u"Нет ошибок"_s);
            // The attribute stays in the driver: switched off again for the documents to come.
            if (type == 7)
                harness::click(&w, u"cbUnderline"_s);
            harness::click(&w, u"CmdExit"_s);
            done(w);
        });
        break;
    case 4:
    case 5:
    case 6: {
        const QString amount = type == 4 ? u"20000"_s : type == 5 ? u"5000"_s : u"1200"_s;
        const QString caption = type == 4 ? u"Внесение"_s : type == 5 ? u"Выплата"_s : u"Возврат"_s;
        m_harness->onModal<FormPay>([done, amount, caption](FormPay& w) {
            QCOMPARE(w.windowTitle(), caption);
            harness::setText(&w, u"TxtTenderAmount"_s, amount);
            QVERIFY(!harness::isEnabled(&w, u"CmdCloseDoc"_s));
            harness::click(&w, u"CmdTender"_s);
            QCOMPARE(harness::text(&w, u"StatusText"_s), u"Нет ошибок"_s);
            // These documents carry no positions: the payment is the amount, printed on demand.
            harness::click(&w, u"CmdCloseDoc"_s);
            done(w);
        });
        break;
    }
    case 8:
        m_harness->onModal<FormPurchase>([done](FormPurchase& w) {
            harness::setText(&w, u"TxtText"_s, u"Лом"_s);
            harness::setText(&w, u"TxtQuantity"_s, u"2000"_s);
            harness::setText(&w, u"TxtAmount"_s, u"1500"_s);
            harness::click(&w, u"CmdItem"_s);
            QCOMPARE(harness::text(&w, u"TxtAllAmount"_s), u"3000"_s);
            harness::setText(&w, u"TxtTenderAmount"_s, u"3000"_s);
            harness::click(&w, u"CmdTender"_s);
            done(w);
        });
        break;
    case 9:
        m_harness->onModal<FormVoidPurchase>([done](FormVoidPurchase& w) {
            harness::setText(&w, u"TxtText"_s, u"Лом"_s);
            harness::setText(&w, u"TxtAmount"_s, u"1500"_s);
            harness::click(&w, u"CmdItem"_s);
            QCOMPARE(harness::text(&w, u"StatusText"_s), u"Нет ошибок"_s);
            harness::setText(&w, u"TxtTenderAmount"_s, u"1500"_s);
            harness::click(&w, u"CmdTender"_s);
            done(w);
        });
        break;
    default:
        QFAIL("no such document type");
    }
}

void TestDocumentsOnDevice::issuesDocument_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("fiscal"); // how the main window's counters move
    QTest::addColumn<int>("nonFiscal");
    QTest::addColumn<int>("all");
    QTest::addColumn<int>("countIndex"); // the shift's statistics counter of the document kind
    QTest::addColumn<int>("sumIndex");
    QTest::addColumn<double>("sum"); // kopecks
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("1 sale") << 1 << u"FormSale"_s << 1 << 0 << 1 << 41 << 10 << 6300.0
                            << QStringList{u"ПРОДАЖА"_s, u"Хлеб"_s,
                                           amountLine(u"ИТОГ"_s, u"=63.00"_s),
                                           amountLine(u"НАЛИЧНЫЕ РУБ."_s, u"=70.00"_s),
                                           amountLine(u"СДАЧА"_s, u"=7.00"_s)};
    QTest::newRow("2 sale annulment")
        << 2 << u"FormVoidItem"_s << 1 << 0 << 1 << 13 << 14 << 3150.0
        << QStringList{u"АННУЛИРОВАНИЕ ПРОДАЖИ"_s, u"Хлеб"_s, amountLine(u"ИТОГ"_s, u"=31.50"_s),
                       amountLine(u"НАЛИЧНЫЕ РУБ."_s, u"=31.50"_s)};
    QTest::newRow("3 text") << 3 << u"FormTextDoc"_s << 0 << 1 << 1 << 0 << 0 << 0.0
                            << QStringList{u"ТЕКСТОВЫЙ ДОКУМЕНТ"_s, u"Строка документа 3"_s,
                                           u"НЕФИСКАЛЬНЫЙ ДОКУМЕНТ"_s};
    QTest::newRow("4 cash-in") << 4 << u"FormPay"_s << 1 << 0 << 1 << 19 << 20 << 20000.0
                               << QStringList{u"ВНЕСЕНИЕ"_s, amountLine(u"ИТОГ"_s, u"=200.00"_s)};
    QTest::newRow("5 cash-out") << 5 << u"FormPay"_s << 1 << 0 << 1 << 21 << 22 << 5000.0
                                << QStringList{u"ВЫПЛАТА"_s, amountLine(u"ИТОГ"_s, u"=50.00"_s)};
    QTest::newRow("6 returned goods payment")
        << 6 << u"FormPay"_s << 1 << 0 << 1 << 11 << 12 << 1200.0
        << QStringList{u"ВЫПЛАТА ЗА ВОЗВРАЩЕННЫЙ ТОВАР"_s, amountLine(u"ИТОГ"_s, u"=12.00"_s)};
    // The document without a number counts nowhere.
    QTest::newRow("7 text without number")
        << 7 << u"FormTextDoc"_s << 0 << 0 << 0 << 0 << 0 << 0.0
        << QStringList{u"Строка документа 7"_s, QString(18, u'_')};
    QTest::newRow("8 purchase") << 8 << u"FormPurchase"_s << 1 << 0 << 1 << 42 << 43 << 3000.0
                                << QStringList{u"ПОКУПКА"_s, u"Лом"_s,
                                               amountLine(u"ИТОГ"_s, u"=30.00"_s)};
    QTest::newRow("9 purchase return")
        << 9 << u"FormVoidPurchase"_s << 1 << 0 << 1 << 46 << 47 << 1500.0
        << QStringList{u"ВОЗВРАТ ПОКУПКИ"_s, u"Лом"_s, amountLine(u"ИТОГ"_s, u"=15.00"_s)};
}

void TestDocumentsOnDevice::issuesDocument()
{
    QFETCH(int, type);
    QFETCH(QString, window);
    QFETCH(int, fiscal);
    QFETCH(int, nonFiscal);
    QFETCH(int, all);
    QFETCH(int, countIndex);
    QFETCH(int, sumIndex);
    QFETCH(double, sum);
    QFETCH(QStringList, lines);

    Driver& device = *m_main->GetQuolt();
    const MainCounters before = refreshCounters(*m_main);
    const double countBefore =
        countIndex ? device.GetDoubleDeviceInfo(std::int16_t(300 + countIndex)) : 0;
    const double sumBefore =
        sumIndex ? device.GetDoubleDeviceInfo(std::int16_t(300 + sumIndex)) : 0;
    const qsizetype tapeBefore = tape(m_data.path(), kPort).size();
    const qsizetype shownBefore = m_harness->modalsShown().size();

    bool closedItself = false;
    workDocument(type, closedItself);
    openDocument(*m_main, type);

    QCOMPARE(m_harness->modalsShown().size(), shownBefore + 1);
    QCOMPARE(m_harness->modalsShown().last(), window);
    QCOMPARE(harness::text(m_main.get(), u"StatusText"_s), u"Статус: Нет ошибок"_s);
    QVERIFY2(closedItself, "the window did not end its document");
    QCOMPARE(device.GetDeviceInfo(DeviceInfo::DocumentOpen), 0);

    const MainCounters after = refreshCounters(*m_main);
    QCOMPARE(after.fiscal - before.fiscal, fiscal);
    QCOMPARE(after.nonFiscal - before.nonFiscal, nonFiscal);
    QCOMPARE(after.all - before.all, all);
    if (countIndex) {
        QCOMPARE(device.GetDoubleDeviceInfo(std::int16_t(300 + countIndex)) - countBefore, 1.0);
        QCOMPARE(device.GetDoubleDeviceInfo(std::int16_t(300 + sumIndex)) - sumBefore, sum);
    }

    const QStringList document = tape(m_data.path(), kPort).mid(tapeBefore);
    for (const QString& line : lines)
        QVERIFY2(printed(document, line),
                 qPrintable(line + u"\n--- not in ---\n"_s + document.join(u'\n')));
}

void TestDocumentsOnDevice::paymentsKeptByDriver_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("window");
    QTest::newRow("1 sale") << 1 << u"FormSale"_s;
    QTest::newRow("2 sale annulment") << 2 << u"FormVoidItem"_s;
    QTest::newRow("8 purchase") << 8 << u"FormPurchase"_s;
    QTest::newRow("9 purchase return") << 9 << u"FormVoidPurchase"_s;
}

// With "Кэшировать операции оплаты" the driver keeps the payments: a covering payment leaves the
// document open, and the window's print button ends it.
void TestDocumentsOnDevice::paymentsKeptByDriver()
{
    QFETCH(int, type);
    QFETCH(QString, window);
    WindowHarness harness;
    QString status;
    std::unique_ptr<MainForm> main = startProgram(kPort + 20 + type, true, &status);
    QVERIFY2(main, qPrintable(status));
    openShift(harness, *main);
    // The documents that pay cash out need the cash in the drawer.
    Driver& device = *main->GetQuolt();
    QCOMPARE(device.StartDocument(DocumentType::CashIn, 1, QString(), QString()), 0);
    QCOMPARE(device.Tender2(1000, QVariant(PaymentType::Cash), QVariant(QString()), QString()), 0);
    QCOMPARE(device.EndDocument(), 0);
    const MainCounters before = refreshCounters(*main);

    bool openAfterPayment = false;
    bool closedItself = false;
    harness.onModal(window, [&](QDialog& w) {
        harness::setText(&w, u"TxtAmount"_s, u"1000"_s);
        harness::click(&w, u"CmdItem"_s);
        harness::setText(&w, u"TxtTenderAmount"_s, u"1000"_s);
        harness::click(&w, u"CmdTender"_s);
        openAfterPayment = w.isVisible();
        harness::click(&w, u"CmdCloseDoc"_s);
        closedItself = !w.isVisible();
    });
    openDocument(*main, type);

    QCOMPARE(harness.modalsShown(), QStringList{window});
    QVERIFY(openAfterPayment);
    QVERIFY(closedItself);
    QCOMPARE(main->GetQuolt()->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
    QCOMPARE(refreshCounters(*main).fiscal, before.fiscal + 1);
}

void TestDocumentsOnDevice::automaticClosingSwitchedOff_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("window");
    QTest::newRow("2 sale annulment") << 2 << u"FormVoidItem"_s;
    QTest::newRow("8 purchase") << 8 << u"FormPurchase"_s;
    QTest::newRow("9 purchase return") << 9 << u"FormVoidPurchase"_s;
}

// The operator switches automatic closing off in the sale window; the driver keeps it so for the
// documents that follow. A fully paid document then stays open until it is printed, and every
// window must let the operator print it.
void TestDocumentsOnDevice::automaticClosingSwitchedOff()
{
    QFETCH(int, type);
    QFETCH(QString, window);
    WindowHarness harness;
    QString status;
    std::unique_ptr<MainForm> main = startProgram(kPort + 40 + type, false, &status);
    QVERIFY2(main, qPrintable(status));
    openShift(harness, *main);
    const MainCounters before = refreshCounters(*main);

    struct Seen
    {
        bool openAfterPayment = false;
        bool printable = false;
        bool closedItself = false;
    } sale, other;
    const auto work = [](QDialog& w, Seen& seen) {
        harness::setText(&w, u"TxtAmount"_s, u"1000"_s);
        harness::click(&w, u"CmdItem"_s);
        harness::setText(&w, u"TxtTenderAmount"_s, u"1000"_s);
        harness::click(&w, u"CmdTender"_s);
        seen.openAfterPayment = w.isVisible();
        seen.printable = harness::isEnabled(&w, u"CmdCloseDoc"_s);
        if (seen.printable)
            harness::click(&w, u"CmdCloseDoc"_s);
        seen.closedItself = !w.isVisible();
    };
    harness.onModal<FormSale>([&](FormSale& w) {
        harness::click(&w, u"CheckAutoCloseReceipt"_s);
        work(w, sale);
    });
    openDocument(*main, 1);
    harness.onModal(window, [&](QDialog& w) { work(w, other); });
    openDocument(*main, type);

    QVERIFY(sale.openAfterPayment);
    QVERIFY(sale.closedItself);
    QVERIFY(other.openAfterPayment);
    QVERIFY2(other.printable, "a paid document that the device keeps open cannot be printed");
    QVERIFY(other.closedItself);
    QCOMPARE(main->GetQuolt()->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
    QCOMPARE(refreshCounters(*main).fiscal, before.fiscal + 2);
}

void TestDocumentsOnDevice::windowClosedByFrameLeavesDocumentOpen_data()
{
    QTest::addColumn<int>("type");
    for (int type = 1; type <= 9; ++type)
        QTest::addRow("type %d", type) << type;
}

void TestDocumentsOnDevice::windowClosedByFrameLeavesDocumentOpen()
{
    QFETCH(int, type);
    // A device of its own: the document is left open on purpose.
    WindowHarness harness;
    QString status;
    std::unique_ptr<MainForm> main = startProgram(kPort + type, false, &status);
    QVERIFY2(main, qPrintable(status));
    openShift(harness, *main);

    // No scripted work: the harness closes the window at once, as its frame button would.
    openDocument(*main, type);
    QCOMPARE(harness.modalsShown().size(), 1);
    QCOMPARE(main->GetQuolt()->GetDeviceInfo(DeviceInfo::DocumentOpen), type);

    openDocument(*main, type);
    QCOMPARE(harness.modalsShown().size(), 1);
    QCOMPARE(harness::text(main.get(), u"StatusText"_s), u"Статус: Документ уже открыт"_s);
}

QTEST_MAIN(TestDocumentsOnDevice)
#include "tst_e2e_documents.moc"
