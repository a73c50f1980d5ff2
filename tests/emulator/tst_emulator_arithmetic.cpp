// Receipt arithmetic as a fiscal printer prints and counts it: corrections on an empty subtotal,
// the sign of an undone operation, money the drawer does not hold, totals past what the device
// can report, and how cancelled documents are counted.

#include "DeviceNumbers.h"
#include "EmulatorFixture.h"
#include "EmulatorTest.h"

#include <limits>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

using Script = std::function<void(Driver&)>;

// Puts `amount` kopecks into the drawer with a cash-in document.
void fundDrawer(Driver& d, double amount)
{
    QCOMPARE(d.StartDocument(DocumentType::CashIn, 1, QString(), QString()), 0);
    QCOMPARE(d.Tender2(amount, kCash, kNoCard, QString()), 0);
    QCOMPARE(d.EndDocument(), 0);
}

// A sale holding one position of `price` kopecks.
void saleOf(Driver& d, std::int32_t price)
{
    QCOMPARE(d.StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(d.Item(1000, price, u"Товар"_s, 0), 0);
}

// Puts `kopecks` in the drawer behind the driver's back, as an older record may have left it.
void overwriteDrawer(const QString& folder, Kopecks kopecks)
{
    Expected<std::unique_ptr<DeviceStore>> store =
        DeviceStore::open(folder, 1, OpenMode::ExistingOnly);
    QVERIFY(store);
    QVERIFY((*store)->beginWrite());
    Expected<DeviceState> state = (*store)->load();
    QVERIFY(state);
    state->cashInDrawer = kopecks;
    QVERIFY((*store)->save(*state, Effects{}));
    QVERIFY((*store)->commit());
}

} // namespace

class TestEmulatorArithmetic : public EmulatorTest
{
    Q_OBJECT

public:
    TestEmulatorArithmetic() : EmulatorTest(Start::ConnectedDriver) {}

private slots:
    // A refused call changes nothing: not the tape, not the document, not the drawer.
    void refusedArithmetic_data()
    {
        QTest::addColumn<Script>("prepare");
        QTest::addColumn<std::function<int(Driver&)>>("call");
        QTest::addColumn<int>("expected");

        const auto row = [](const char* name, Script prepare, std::function<int(Driver&)> call,
                            ErrorCode code) {
            QTest::newRow(name) << prepare << call << int(code);
        };
        const Script freeItem = [](Driver& d) { saleOf(d, 0); };
        row(
            "percent discount on a zero subtotal", freeItem,
            [](Driver& d) { return d.PercentCorrection(-10); }, ErrorCode::InvalidAmount);
        row(
            "percent surcharge on a zero subtotal", freeItem,
            [](Driver& d) { return d.PercentCorrection(10); }, ErrorCode::InvalidAmount);
        row(
            "absolute discount on a zero subtotal", freeItem,
            [](Driver& d) { return d.AbsoluteCorrection(-100); }, ErrorCode::NegativeTotal);
        row(
            "absolute discount with text on a zero subtotal", freeItem,
            [](Driver& d) { return d.AbsoluteCorrectionText(-100, u"Скидка"_s); },
            ErrorCode::NegativeTotal);
        row(
            "percent discount after a discount took the subtotal to zero",
            [](Driver& d) {
                saleOf(d, 500);
                QCOMPARE(d.AbsoluteCorrection(-500), 0);
            },
            [](Driver& d) { return d.PercentCorrection(-5); }, ErrorCode::InvalidAmount);

        // A void is checked against what the receipt would come to without it, added taxes
        // included: 100.00 with 99.99 % on top, less 50.00 of returned tare, is 149.99; voiding
        // the goods takes their tax too and would leave -50.00 (not 49.99).
        row(
            "void leaving less than the returned tare",
            [](Driver& d) {
                QCOMPARE(d.EndSession(), 0);
                QCOMPARE(d.SetTaxRate(1, 9999), 0);
                QCOMPARE(d.SetTaxChain(1, u"A0000000000000000000"_s), 0);
                QCOMPARE(d.SetDeviceOpt(DeviceOption::UseTaxChains, 1), 0);
                QCOMPARE(d.StartSession(u"Кассир1"_s, 1), 0);
                QCOMPARE(d.StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
                QCOMPARE(d.Item(1000, 10000, u"Товар А"_s, 1), 0);
                QCOMPARE(d.ReturnTare(5000, 1000), 0);
                QCOMPARE(d.GetDocInfo(DocInfo::Amount), 14999);
            },
            [](Driver& d) { return d.VoidItem(QVariant(u"1000"_s), 10000, u"Товар А"_s, 1); },
            ErrorCode::NegativeTotal);
        // A receipt of corrections alone sells nothing.
        row(
            "closing a surcharge whose positions were voided",
            [](Driver& d) {
                saleOf(d, 500);
                QCOMPARE(d.AbsoluteCorrection(100), 0);
                QCOMPARE(d.VoidItem(QVariant(u"1000"_s), 500, u"Товар"_s, 0), 0);
            },
            [](Driver& d) { return d.Tender2(100, kCash, kNoCard, QString()); },
            ErrorCode::NotAllowedInState);
        // GetDocInfo answers in 32 bits: totals, payments and quantities stay within them, up to
        // the last kopeck (and thousandth) they can show.
        constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
        row(
            "a position past the largest total", [](Driver& d) { saleOf(d, kMax); },
            [](Driver& d) { return d.Item(1000, 1, u"Товар"_s, 0); }, ErrorCode::Overflow);
        row(
            "two positions of 20 000 000.00", [](Driver& d) { saleOf(d, 2'000'000'000); },
            [](Driver& d) { return d.Item(1000, 2'000'000'000, u"Товар"_s, 0); },
            ErrorCode::Overflow);
        row(
            "a surcharge past the largest total",
            [](Driver& d) {
                saleOf(d, kMax - 100);
                QCOMPARE(d.AbsoluteCorrection(100), 0);
                QCOMPARE(d.GetDocInfo(DocInfo::Amount), kMax);
            },
            [](Driver& d) { return d.AbsoluteCorrection(1); }, ErrorCode::Overflow);
        row(
            "quantities past what can be reported",
            [](Driver& d) {
                QCOMPARE(d.StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
                // 21 x 99 999.999 and 47 483.668 more: 2 147 483.647 in all.
                for (int i = 0; i < 21; ++i)
                    QCOMPARE(d.Item(99'999'999, 0, u"Товар"_s, 0), 0);
                QCOMPARE(d.Item(47'483'668, 0, u"Товар"_s, 0), 0);
                QCOMPARE(d.GetDocInfo(DocInfo::ItemQuantity), kMax);
            },
            [](Driver& d) { return d.Item(1, 0, u"Товар"_s, 0); }, ErrorCode::Overflow);
        row(
            "payments past what can be reported",
            [](Driver& d) {
                QCOMPARE(d.SetDriverOpt(DriverOption::AutoClose, 0), 0);
                saleOf(d, 100);
                QCOMPARE(d.Tender2(kMax, kCash, kNoCard, QString()), 0);
            },
            [](Driver& d) { return d.Tender2(1, kCash, kNoCard, QString()); }, ErrorCode::Overflow);

        const auto cashOut = [](double inDrawer, std::int16_t checkCash) {
            return Script([inDrawer, checkCash](Driver& d) {
                QCOMPARE(d.EndSession(), 0);
                QCOMPARE(d.SetDeviceOpt(DeviceOption::CheckCashForChange, checkCash), 0);
                QCOMPARE(d.StartSession(u"Кассир1"_s, 1), 0);
                if (inDrawer > 0)
                    fundDrawer(d, inDrawer);
                QCOMPARE(d.StartDocument(DocumentType::CashOut, 1, QString(), QString()), 0);
                QCOMPARE(d.Tender2(1000, kCash, kNoCard, QString()), 0);
            });
        };
        const auto end = [](Driver& d) { return d.EndDocument(); };
        row("cash-out from an empty drawer", cashOut(0, 0), end, ErrorCode::PayoutExceedsCash);
        row("cash-out above the drawer", cashOut(999, 0), end, ErrorCode::PayoutExceedsCash);
        row("cash-out above the drawer, cash checked", cashOut(999, 1), end,
            ErrorCode::PayoutExceedsCash);
        const Script checkCash = [](Driver& d) {
            QCOMPARE(d.EndSession(), 0);
            QCOMPARE(d.SetDeviceOpt(DeviceOption::CheckCashForChange, 1), 0);
            QCOMPARE(d.StartSession(u"Кассир1"_s, 1), 0);
        };
        // Every payout beyond the drawer is refused, whatever option 15 says.
        const Script cashUnchecked = [](Driver&) {};
        const auto refundAbove = [](Script options) {
            return Script([options](Driver& d) {
                options(d);
                fundDrawer(d, 100);
                QCOMPARE(d.StartDocument(DocumentType::ReturnPayout, 1, QString(), QString()), 0);
                QCOMPARE(d.Tender2(101, kCash, kNoCard, QString()), 0);
            });
        };
        const auto annulmentAbove = [](Script options) {
            return Script([options](Driver& d) {
                options(d);
                QCOMPARE(d.SetDriverOpt(DriverOption::AutoClose, 0), 0);
                QCOMPARE(d.StartDocument(DocumentType::SaleAnnulment, 1, QString(), QString()), 0);
                QCOMPARE(d.Item(1000, 700, u"Товар"_s, 0), 0);
                QCOMPARE(d.Tender2(700, kCash, kNoCard, QString()), 0);
            });
        };
        row("refund above the drawer", refundAbove(cashUnchecked), end,
            ErrorCode::PayoutExceedsCash);
        row("refund above the drawer, cash checked", refundAbove(checkCash), end,
            ErrorCode::PayoutExceedsCash);
        row("annulment paid in cash above the drawer", annulmentAbove(cashUnchecked), end,
            ErrorCode::PayoutExceedsCash);
        row("annulment paid in cash above the drawer, cash checked", annulmentAbove(checkCash), end,
            ErrorCode::PayoutExceedsCash);
        row(
            "purchase paid above the drawer",
            [](Driver& d) {
                fundDrawer(d, 500);
                QCOMPARE(d.SetDriverOpt(DriverOption::AutoClose, 0), 0);
                QCOMPARE(d.StartDocument(DocumentType::Purchase, 1, QString(), QString()), 0);
                QCOMPARE(d.ItemPurchase(1000, 501, u"Товар"_s, 1), 0);
                QCOMPARE(d.Tender2(501, kCash, kNoCard, QString()), 0);
            },
            end, ErrorCode::PayoutExceedsCash);
        row(
            "change of a non-cash mean beyond the drawer",
            [](Driver& d) {
                QCOMPARE(d.EndSession(), 0);
                QCOMPARE(d.SetPaymentMean(PaymentType::Credit, u"КРЕДИТ"_s, 0, 0, 0, 1), 0);
                QCOMPARE(d.StartSession(u"Кассир1"_s, 1), 0);
                fundDrawer(d, 200);
                QCOMPARE(d.SetDriverOpt(DriverOption::AutoClose, 0), 0);
                saleOf(d, 700);
                QCOMPARE(d.Tender2(1000, QVariant(PaymentType::Credit), kNoCard, QString()), 0);
            },
            end, ErrorCode::PayoutExceedsCash);
        row(
            "change the drawer cannot give, cash checked",
            [checkCash](Driver& d) {
                checkCash(d);
                fundDrawer(d, 200);
                QCOMPARE(d.SetDriverOpt(DriverOption::AutoClose, 0), 0);
                saleOf(d, 700);
                QCOMPARE(d.Tender2(1000, kCash, kNoCard, QString()), 0); // 3.00 change
            },
            end, ErrorCode::InsufficientCash);
    }

    void refusedArithmetic()
    {
        QFETCH(Script, prepare);
        QFETCH(std::function<int(Driver&)>, call);
        QFETCH(int, expected);

        prepare(*m_driver);
        if (QTest::currentTestFailed())
            return;
        const QStringList before = tape(folder());
        const int total = m_driver->GetDocInfo(DocInfo::Amount);
        const int entries = m_driver->GetDocInfo(DocInfo::Entries);
        const double drawer = m_driver->GetDoubleDeviceInfo(DoubleInfo::TotalCounterBase + 48);

        QCOMPARE(call(*m_driver), expected);
        QCOMPARE(m_driver->GetErrorCode2() / 100, expected);
        QVERIFY(!m_driver->GetErrorComment(std::int16_t(expected)).startsWith(u"Неизвестн"_s));
        QCOMPARE(tape(folder()), before);
        QCOMPARE(m_driver->GetDocInfo(DocInfo::Amount), total);
        QCOMPARE(m_driver->GetDocInfo(DocInfo::Entries), entries);
        QCOMPARE(m_driver->GetDoubleDeviceInfo(DoubleInfo::TotalCounterBase + 48), drawer);
        QVERIFY(m_driver->GetDeviceInfo(DeviceInfo::DocumentOpen) != DocumentType::None);
    }

    // A drawer that an older record left below zero refuses no document that takes no cash out,
    // even with the cash checked.
    void drawerBelowZeroStillTakesMoney_data()
    {
        QTest::addColumn<Script>("document");
        QTest::newRow("cash-in") << Script([](Driver& d) { fundDrawer(d, 100); });
        QTest::newRow("sale paid exactly in cash") << Script([](Driver& d) {
            saleOf(d, 700);
            QCOMPARE(d.Tender2(700, kCash, kNoCard, QString()), 0);
        });
        QTest::newRow("sale paid by card") << Script([](Driver& d) {
            saleOf(d, 700);
            QCOMPARE(d.Tender2(700, QVariant(PaymentType::Card1), kNoCard, QString()), 0);
        });
    }

    void drawerBelowZeroStillTakesMoney()
    {
        QFETCH(Script, document);
        QCOMPARE(m_driver->EndSession(), 0);
        QCOMPARE(m_driver->SetDeviceOpt(DeviceOption::CheckCashForChange, 1), 0);
        QCOMPARE(m_driver->StartSession(u"Кассир1"_s, 1), 0);
        overwriteDrawer(folder(), -1000);
        document(*m_driver);
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::DocumentOpen), DocumentType::None);
    }

    // Undoing an operation prints by how much the subtotal moved, with its sign.
    void correctionPrintsTheChangeWithItsSign_data()
    {
        QTest::addColumn<Script>("operation");
        QTest::addColumn<QString>("printed");

        QTest::newRow("a position")
            << Script([](Driver& d) { QCOMPARE(d.Item(1000, 250, u"Хлеб"_s, 0), 0); })
            << u"=-2.50"_s;
        QTest::newRow("a void") << Script([](Driver& d) {
            QCOMPARE(d.VoidItem(QVariant(u"1000"_s), 500, u"Товар"_s, 0), 0);
        }) << u"=5.00"_s;
        QTest::newRow("a discount")
            << Script([](Driver& d) { QCOMPARE(d.AbsoluteCorrection(-120), 0); }) << u"=1.20"_s;
        QTest::newRow("a surcharge")
            << Script([](Driver& d) { QCOMPARE(d.PercentCorrection(10), 0); }) << u"=-0.50"_s;
        QTest::newRow("a tare return")
            << Script([](Driver& d) { QCOMPARE(d.ReturnTare(100, 1000), 0); }) << u"=1.00"_s;
    }

    void correctionPrintsTheChangeWithItsSign()
    {
        QFETCH(Script, operation);
        QFETCH(QString, printed);

        saleOf(*m_driver, 500);
        operation(*m_driver);
        const int moved = m_driver->GetDocInfo(DocInfo::Amount);
        QCOMPARE(m_driver->CorrectLastItem(), 0);
        const QString line = tape(folder()).last();
        QVERIFY2(line.startsWith(u"КОРРЕКЦИЯ"_s) && line.endsWith(u' ' + printed),
                 qPrintable(line));
        QCOMPARE(m_driver->GetDocInfo(DocInfo::Amount), 500);
        // The counter keeps the size of what was undone.
        QCOMPARE(m_driver->Tender2(500, kCash, kNoCard, QString()), 0);
        QCOMPARE(m_driver->GetDoubleDeviceInfo(DoubleInfo::ShiftCounterBase + 34),
                 double(std::abs(moved - 500)));
    }

    // A cancelled document is not counted as issued, whichever kind it is: only the number it
    // took counts among all documents.
    void cancelledDocumentsCountAlike_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("sale") << DocumentType::Sale;
        QTest::newRow("cash-in") << DocumentType::CashIn;
        QTest::newRow("text") << DocumentType::Text;
    }

    void cancelledDocumentsCountAlike()
    {
        QFETCH(int, type);
        Driver& d = *m_driver;
        const int fiscal = d.GetDeviceInfo(DeviceInfo::FiscalDocuments);
        const int nonFiscal = d.GetDeviceInfo(DeviceInfo::NonFiscalDocuments);
        const int all = d.GetDeviceInfo(DeviceInfo::AllDocuments);
        QCOMPARE(d.StartDocument(type, 1, QString(), QString()), 0);
        QCOMPARE(d.CancelDocument(), 0);
        QCOMPARE(d.GetDeviceInfo(DeviceInfo::FiscalDocuments), fiscal);
        QCOMPARE(d.GetDeviceInfo(DeviceInfo::NonFiscalDocuments), nonFiscal);
        QCOMPARE(d.GetDeviceInfo(DeviceInfo::AllDocuments), all + 1);
    }
};

QTEST_GUILESS_MAIN(TestEmulatorArithmetic)
#include "tst_emulator_arithmetic.moc"
