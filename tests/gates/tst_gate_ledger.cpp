// The device's books balance after sessions that move every counter, and a book put out of
// balance behind the device's back is found: the ledger that the gates apply is not blind.

#include "../emulator/EmulatorFixture.h"

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

void changeRecords(const QString& folder, const QString& sql)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"tamper"_s);
        db.setDatabaseName(DeviceStore::databasePath(folder, 1));
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(sql));
    }
    QSqlDatabase::removeDatabase(u"tamper"_s);
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
        QTest::addColumn<Tamper>("tamper");
        QTest::addColumn<QString>("found");
        const auto state = [](std::function<void(DeviceState&)> edit) {
            return Tamper([edit](const QString& folder) { changeState(folder, edit); });
        };
        const auto records = [](QString sql) {
            return Tamper([sql](const QString& folder) { changeRecords(folder, sql); });
        };
        QTest::newRow("a sale counted in the shift only")
            << state([](DeviceState& s) { s.shiftCounters[Counter::SaleCount] += 1; })
            << u"open shift 2: sales counted 2"_s;
        QTest::newRow("a sale's sum lost from all time")
            << state([](DeviceState& s) { s.totalCounters[Counter::SalesTotal] -= 100; })
            << u"all time: sales counted"_s;
        QTest::newRow("a document number used twice")
            << state([](DeviceState& s) { s.allDocuments -= 1; })
            << u"the numbered documents on record are not 1 to"_s;
        QTest::newRow("a fiscal document not counted")
            << state([](DeviceState& s) { s.fiscalDocuments -= 1; }) << u"fiscal documents"_s;
        QTest::newRow("cash out of the drawer unrecorded")
            << state([](DeviceState& s) { s.cashInDrawer -= 1; }) << u"in the drawer"_s;
        QTest::newRow("a running total that jumped")
            << state([](DeviceState& s) { s.grandSalesTotal += 1; }) << u"running sales total"_s;
        QTest::newRow("a document lost from the records")
            << records(u"DELETE FROM documents WHERE type = 4"_s) << u"cash-ins counted 1"_s;
        QTest::newRow("a control tape record lost")
            << records(u"DELETE FROM eklz WHERE kpk = 3"_s) << u"KPK numbers are not 1 to"_s;
        QTest::newRow("a closed shift lost from the fiscal memory")
            << records(u"DELETE FROM shifts"_s) << u"its shifts add up to"_s;
    }

    void unbalancedBooksAreFound()
    {
        QFETCH(Tamper, tamper);
        QFETCH(QString, found);
        QTemporaryDir dir;
        {
            std::unique_ptr<EmulatedDriver> d = connectDriver(dir.path());
            QVERIFY(d);
            busyShifts(*d);
        }
        tamper(dir.path());
        const QStringList books = ledger::disagreements(dir.path(), 1);
        QVERIFY2(books.join(u'\n').contains(found), qPrintable(books.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestGateLedger)
#include "tst_gate_ledger.moc"
