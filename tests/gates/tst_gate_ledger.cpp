// The device's books balance after sessions that move every counter, and a book put out of
// balance behind the device's back is found: the ledger that the gates apply is not blind.

#include "EmulatorFixture.h"

#include "DeviceLedger.h"
#include "DeviceSteering.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <functional>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

using Session = std::function<void(Driver&)>;
using Tamper = std::function<void(const QString& folder)>;

void sell(Driver& d, std::int32_t price, double paid, std::int32_t type = PaymentType::Cash)
{
    QCOMPARE(d.StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(d.Item(1000, price, u"Товар"_s, 1), 0);
    QCOMPARE(d.Tender2(paid, QVariant(type), kNoCard, QString()), 0);
}

void moveCash(Driver& d, std::int32_t type, double amount)
{
    QCOMPARE(d.StartDocument(type, 1, QString(), QString()), 0);
    QCOMPARE(d.Tender2(amount, kCash, kNoCard, QString()), 0);
    QCOMPARE(d.EndDocument(), 0);
}

void changeState(const QString& folder, const std::function<void(DeviceState&)>& edit)
{
    auto session = DeviceSession::open(folder, 1, OpenMode::ExistingOnly);
    QVERIFY2(session, qPrintable(session.detail()));
    QVERIFY(steer(**session, edit));
}

// Runs `change` over the device's database, behind the device's back.
void changeDatabase(const QString& folder, const std::function<void(QSqlQuery&)>& change)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"tamper"_s);
        db.setDatabaseName(DeviceStore::databasePath(folder, 1));
        QVERIFY(db.open());
        QSqlQuery query(db);
        change(query);
    }
    QSqlDatabase::removeDatabase(u"tamper"_s);
}

void changeRecords(const QString& folder, const QString& sql)
{
    changeDatabase(folder, [&](QSqlQuery& query) { QVERIFY(query.exec(sql)); });
}

// Moves one counter of a closed shift as the fiscal memory keeps it.
void changeShiftCounter(const QString& folder, int shift, Counter counter, qint64 by)
{
    changeDatabase(folder, [&](QSqlQuery& query) {
        QVERIFY(query.exec(u"SELECT counters FROM shifts WHERE number = %1"_s.arg(shift)));
        QVERIFY(query.next());
        QStringList values = query.value(0).toString().split(u' ');
        const qsizetype index = qsizetype(counter) - 1;
        QVERIFY(index < values.size());
        values[index] = QString::number(values[index].toLongLong() + by);
        QVERIFY(query.exec(
            u"UPDATE shifts SET counters = '%1' WHERE number = %2"_s.arg(values.join(u' '))
                .arg(shift)));
    });
}

// A shift of sales (one with change, one by card), a cash-in and a cash-out, a refund, an
// annulment, a purchase and its return, a cancelled receipt and a text document, closed by a Z
// report; a second shift with a sale stays open.
void busyShifts(Driver& d)
{
    moveCash(d, DocumentType::CashIn, 50000);
    sell(d, 1250, 2000);
    sell(d, 990, 990, PaymentType::Card1);
    moveCash(d, DocumentType::CashOut, 700);
    moveCash(d, DocumentType::ReturnPayout, 300);
    QCOMPARE(d.StartDocument(DocumentType::SaleAnnulment, 1, QString(), QString()), 0);
    QCOMPARE(d.Item(1000, 400, u"Товар"_s, 1), 0);
    QCOMPARE(d.Tender2(400, kCash, kNoCard, QString()), 0);
    for (std::int32_t type : {DocumentType::Purchase, DocumentType::PurchaseReturn}) {
        QCOMPARE(d.StartDocument(type, 1, QString(), QString()), 0);
        QCOMPARE(d.ItemPurchase(1000, 600, u"Сырьё"_s, 1), 0);
        QCOMPARE(d.Tender2(600, kCash, kNoCard, QString()), 0);
    }
    QCOMPARE(d.StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(d.Item(1000, 5000, u"Товар"_s, 1), 0);
    QCOMPARE(d.CancelDocument(), 0);
    QCOMPARE(d.StartDocument(DocumentType::Text, 1, QString(), QString()), 0);
    QCOMPARE(d.TextLine(u"Текст"_s), 0);
    QCOMPARE(d.EndDocument(), 0);
    QCOMPARE(d.PrintDuplicate(), 0);
    QCOMPARE(d.EndSession(), 0);
    QCOMPARE(d.StartSession(u"Кассир2"_s, 2), 0);
    sell(d, 3000, 5000);
}

// A first shift closed empty so that tax rates can be set; two shifts of taxed receipts with tare
// sold and returned, voids, a corrected last operation, discounts and surcharges on the sale and
// the purchase side, each closed by a Z report; a fourth shift stays open with a sale.
void pricedShifts(Driver& d, std::int16_t carryCash, std::int16_t countVoids)
{
    QCOMPARE(d.EndSession(), 0);
    QCOMPARE(d.SetTaxRate(1, 1800), 0);
    QCOMPARE(d.SetTaxRate(2, 1000), 0);
    QCOMPARE(d.SetDeviceOpt(DeviceOption::CarryCashOver, carryCash), 0);
    QCOMPARE(d.SetDeviceOpt(DeviceOption::CountVoidsAndCorrections, countVoids), 0);
    for (int shift = 0; shift < 2; ++shift) {
        QCOMPARE(d.StartSession(u"Кассир1"_s, 1), 0);
        moveCash(d, DocumentType::CashIn, 5000);
        QCOMPARE(d.StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
        QCOMPARE(d.Item(2000, 1500, u"Товар"_s, 1), 0);
        QCOMPARE(d.Item(1000, 800, u"Чай"_s, 2), 0);
        QCOMPARE(d.ItemTare(1000, 300, u"Бутылка"_s, 0), 0);
        QCOMPARE(d.ReturnTare(100, 1000), 0);
        QCOMPARE(d.VoidItem(QVariant(u"1000"_s), 1500, u"Товар"_s, 1), 0);
        QCOMPARE(d.Item(1000, 999, u"Лишнее"_s, 0), 0);
        QCOMPARE(d.CorrectLastItem(), 0);
        QCOMPARE(d.PercentCorrection(-5), 0);
        QCOMPARE(d.AbsoluteCorrection(200), 0);
        QCOMPARE(d.Tender2(10000, kCash, kNoCard, QString()), 0);
        QCOMPARE(d.StartDocument(DocumentType::SaleAnnulment, 1, QString(), QString()), 0);
        QCOMPARE(d.Item(1000, 400, u"Товар"_s, 1), 0);
        QCOMPARE(d.AbsoluteCorrection(-50), 0);
        QCOMPARE(d.Tender2(350, kCash, kNoCard, QString()), 0);
        QCOMPARE(d.StartDocument(DocumentType::Purchase, 1, QString(), QString()), 0);
        QCOMPARE(d.ItemPurchase(1000, 600, u"Сырьё"_s, 1), 0);
        QCOMPARE(d.ItemPurchase(1000, 100, u"Лишнее"_s, 1), 0);
        QCOMPARE(d.VoidItem(QVariant(u"1000"_s), 100, u"Лишнее"_s, 0), 0);
        QCOMPARE(d.AbsoluteCorrection(20), 0);
        QCOMPARE(d.Tender2(620, kCash, kNoCard, QString()), 0);
        QCOMPARE(d.EndSession(), 0);
    }
    QCOMPARE(d.StartSession(u"Кассир2"_s, 2), 0);
    sell(d, 700, 1000);
}

void pricedAndCarried(Driver& d)
{
    pricedShifts(d, 1, 1);
}

} // namespace

class TestGateLedger : public QObject
{
    Q_OBJECT

private slots:
    void booksBalance_data()
    {
        QTest::addColumn<Session>("session");
        QTest::newRow("a new device") << Session([](Driver&) {});
        QTest::newRow("every kind of document over two shifts") << Session(busyShifts);
        // A duplicate may be printed after the Z report, before the next shift opens; it must
        // be counted in a shift all the same, or the general counters outgrow their shifts.
        QTest::newRow("a duplicate between shifts") << Session([](Driver& d) {
            sell(d, 1500, 1500);
            QCOMPARE(d.EndSession(), 0);
            QCOMPARE(d.PrintDuplicate(), 0);
            QCOMPARE(d.StartSession(u"Кассир1"_s, 1), 0);
            QCOMPARE(d.PrintDuplicate(), 0);
            QCOMPARE(d.EndSession(), 0);
        });
        QTest::newRow("taxes, tare, voids and corrections over shifts")
            << Session(pricedAndCarried);
        // Whether the drawer is emptied by the Z report or voids are counted changes what is
        // counted, never whether the books agree.
        QTest::newRow("the drawer emptied at each Z report, voids and corrections not counted")
            << Session([](Driver& d) { pricedShifts(d, 0, 0); });
        QTest::newRow("refused and cancelled steps") << Session([](Driver& d) {
            QCOMPARE(d.StartDocument(DocumentType::CashOut, 1, QString(), QString()), 0);
            QCOMPARE(d.Tender2(100, kCash, kNoCard, QString()), 0);
            QVERIFY(d.EndDocument() != 0); // more than the drawer holds
            QCOMPARE(d.CancelDocument(), 0);
            QCOMPARE(d.StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
            QCOMPARE(d.Item(1000, 800, u"Товар"_s, 1), 0);
            QVERIFY(d.Tender2(900, QVariant(PaymentType::Card2), kNoCard, QString()) != 0);
            QCOMPARE(d.Tender2(300, QVariant(PaymentType::Card2), kNoCard, QString()), 0);
            QCOMPARE(d.CancelDocument(), 0);
        });
    }

    void booksBalance()
    {
        QFETCH(Session, session);
        QTemporaryDir dir;
        std::unique_ptr<EmulatedDriver> d = connectDriver(dir.path());
        QVERIFY(d);
        session(*d);
        d.reset();
        const QStringList books = ledger::disagreements(dir.path(), 1);
        QVERIFY2(books.isEmpty(), qPrintable(books.join(u'\n')));
    }

    void unbalancedBooksAreFound_data()
    {
        QTest::addColumn<Session>("session");
        QTest::addColumn<Tamper>("tamper");
        QTest::addColumn<QString>("found");
        const auto state = [](std::function<void(DeviceState&)> edit) {
            return Tamper([edit](const QString& folder) { changeState(folder, edit); });
        };
        const auto records = [](QString sql) {
            return Tamper([sql](const QString& folder) { changeRecords(folder, sql); });
        };
        QTest::newRow("a sale counted in the shift only")
            << Session(busyShifts)
            << state([](DeviceState& s) { s.shiftCounters[Counter::SaleCount] += 1; })
            << u"open shift 2: sales counted 2"_s;
        QTest::newRow("a sale's sum lost from all time")
            << Session(busyShifts)
            << state([](DeviceState& s) { s.totalCounters[Counter::SalesTotal] -= 100; })
            << u"all time: sales counted"_s;
        QTest::newRow("a document number used twice")
            << Session(busyShifts) << state([](DeviceState& s) { s.allDocuments -= 1; })
            << u"the numbered documents on record are not 1 to"_s;
        QTest::newRow("a fiscal document not counted")
            << Session(busyShifts) << state([](DeviceState& s) { s.fiscalDocuments -= 1; })
            << u"fiscal documents"_s;
        QTest::newRow("cash out of the drawer unrecorded")
            << Session(busyShifts) << state([](DeviceState& s) { s.cashInDrawer -= 1; })
            << u"in the drawer"_s;
        QTest::newRow("a running total that jumped")
            << Session(busyShifts) << state([](DeviceState& s) { s.grandSalesTotal += 1; })
            << u"running sales total"_s;
        QTest::newRow("a document lost from the records")
            << Session(busyShifts)
            << records(u"DELETE FROM documents WHERE type = %1"_s.arg(DocumentType::CashIn))
            << u"cash-ins counted 1"_s;
        QTest::newRow("a control tape record lost")
            << Session(busyShifts) << records(u"DELETE FROM eklz WHERE kpk = 3"_s)
            << u"KPK numbers are not 1 to"_s;
        QTest::newRow("a closed shift lost from the fiscal memory")
            << Session(busyShifts) << records(u"DELETE FROM shifts"_s) << u"its shifts add up to"_s;
        const auto shift = [](int number, Counter counter, qint64 by) {
            return Tamper(
                [=](const QString& folder) { changeShiftCounter(folder, number, counter, by); });
        };
        const auto counted = [](Counter counter, qint64 by) {
            return Tamper([=](const QString& folder) {
                changeState(folder, [=](DeviceState& s) {
                    s.shiftCounters[counter] += by;
                    s.totalCounters[counter] += by;
                });
            });
        };
        const Session priced(pricedAndCarried);
        QTest::newRow("cash lost between two shifts")
            << priced << shift(3, Counter::CashAtShiftStart, 7)
            << u"shift 2 began with 0 and its cash means took"_s;
        QTest::newRow("voids of a closed shift without their count")
            << priced << shift(2, Counter::VoidCount, -2) << u"a sum without an operation"_s;
        QTest::newRow("discounts worth nothing")
            << priced << counted(Counter::SaleDiscountCount, 500)
            << u"each one is at least a kopeck"_s;
        QTest::newRow("tare sold in a shift without sales")
            << priced
            << records(
                   u"DELETE FROM documents WHERE shift = 3 AND type = %1"_s.arg(DocumentType::Sale))
            << u"tare sales counted 1 for 300, no document that takes them was issued"_s;
        QTest::newRow("a surcharge on neither side")
            << priced << counted(Counter::SurchargeCount, 1)
            << u"surcharges counted 1 for 0, on the sale side 0 for 0"_s;
        QTest::newRow("taxes of a shift that sold nothing")
            << priced << shift(1, Counter::Tax1, 5)
            << u"shift 1: tax 1 counted 5, no sale or annulment was issued"_s;
        QTest::newRow("a tax counted at a rate of 0")
            << priced << counted(Counter(int(Counter::Tax1) + 2), 10)
            << u"tax 3 counted 10 at a rate of 0"_s;
    }

    void unbalancedBooksAreFound()
    {
        QFETCH(Session, session);
        QFETCH(Tamper, tamper);
        QFETCH(QString, found);
        QTemporaryDir dir;
        {
            std::unique_ptr<EmulatedDriver> d = connectDriver(dir.path());
            QVERIFY(d);
            session(*d);
        }
        tamper(dir.path());
        const QStringList books = ledger::disagreements(dir.path(), 1);
        QVERIFY2(books.join(u'\n').contains(found), qPrintable(books.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestGateLedger)
#include "tst_gate_ledger.moc"
