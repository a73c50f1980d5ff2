// Whole documents of every type as the document windows issue them, checked against the
// device's counters and its paper tape.

#include "DeviceNumbers.h"
#include "EmulatorFixture.h"
#include "EmulatorTest.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

class TestEmulatorDocuments : public EmulatorTest
{
    Q_OBJECT

public:
    TestEmulatorDocuments() : EmulatorTest(Start::ConnectedDriver) {}

private slots:
    void saleClosesAsThePaymentsSay_data()
    {
        QTest::addColumn<bool>("autoClose");
        QTest::addColumn<bool>("cached");
        QTest::addColumn<QList<int>>("types");
        QTest::addColumn<QList<double>>("amounts");
        QTest::addColumn<bool>("openAfterPayments");
        QTest::addColumn<qint64>("cashCounter");

        // Total of the receipt below: 2 x 1.50 + 0.5 x 3.33 (1.665 -> 1.67) = 4.67
        QTest::newRow("cash with change, auto close")
            << true << false << QList<int>{8} << QList<double>{500} << false << qint64(467);
        QTest::newRow("card then cash")
            << true << false << QList<int>{1, 8} << QList<double>{200, 300} << false << qint64(267);
        QTest::newRow("exact card, auto close off")
            << false << false << QList<int>{3} << QList<double>{467} << true << qint64(0);
        QTest::newRow("cached payments wait for EndDocument")
            << true << true << QList<int>{8, 8} << QList<double>{400, 100} << true << qint64(467);
    }

    void saleClosesAsThePaymentsSay()
    {
        QFETCH(bool, autoClose);
        QFETCH(bool, cached);
        QFETCH(QList<int>, types);
        QFETCH(QList<double>, amounts);
        QFETCH(bool, openAfterPayments);
        QFETCH(qint64, cashCounter);

        QCOMPARE(m_driver->SetDriverOpt(DriverOption::AutoClose, autoClose ? 1 : 0), 0);
        QCOMPARE(m_driver->SetDriverOpt(DriverOption::CachePayments, cached ? 1 : 0), 0);
        QCOMPARE(m_driver->StartDocument(::DocumentType::Sale, 1, u"1"_s, u"Кассир2"_s), 0);
        QCOMPARE(m_driver->Item(2000, 150, u"Хлеб"_s, 0), 0);
        QCOMPARE(m_driver->Item(500, 333, u"Сыр"_s, 0), 0);
        QCOMPARE(m_driver->GetDocInfo(DocInfo::Amount), 467);
        for (qsizetype i = 0; i < types.size(); ++i)
            QCOMPARE(m_driver->Tender2(amounts[i], QVariant(types[i]), kNoCard, QString()), 0);

        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::DocumentOpen) != 0, openAfterPayments);
        if (openAfterPayments) {
            QCOMPARE(m_driver->GetDocInfo(DocInfo::Payments), types.size());
            QCOMPARE(m_driver->EndDocument(), 0);
        }
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::FiscalDocuments), 1);
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::AllDocuments), 1);
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::SalesTotal), 467.0);
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::Payment8), double(cashCounter));
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::SaleCount), 1.0);
        QCOMPARE(m_driver->GetTextDeviceInfo(TextInfo::SalesTotal), u"4.67"_s);

        const QStringList printed = tape(folder());
        QVERIFY(printed.contains(u"ИТОГ"_s + QString(40 - 4 - 5, u' ') + u"=4.67"_s));
        for (const QString& line : printed)
            QVERIFY2(line.size() <= 40, qPrintable(line));
    }

    void everyTypeMovesItsCounters_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("fiscal");
        QTest::addColumn<std::int16_t>("countIndex");
        QTest::addColumn<std::int16_t>("sumIndex");
        QTest::addColumn<int>("cashDirection");

        QTest::newRow("sale") << ::DocumentType::Sale << true << DeviceCounter::SaleCount
                              << DeviceCounter::SalesTotal << 1;
        QTest::newRow("sale annulment")
            << ::DocumentType::SaleAnnulment << true << DeviceCounter::AnnulmentCount
            << DeviceCounter::AnnulmentSum << -1;
        QTest::newRow("text") << ::DocumentType::Text << false << std::int16_t(0) << std::int16_t(0)
                              << 0;
        QTest::newRow("cash in") << ::DocumentType::CashIn << true << DeviceCounter::CashInCount
                                 << DeviceCounter::CashInSum << 1;
        QTest::newRow("cash out") << ::DocumentType::CashOut << true << DeviceCounter::CashOutCount
                                  << DeviceCounter::CashOutSum << -1;
        QTest::newRow("refund") << ::DocumentType::ReturnPayout << true
                                << DeviceCounter::RefundCount << DeviceCounter::RefundSum << -1;
        QTest::newRow("text without number")
            << ::DocumentType::UnnumberedText << false << std::int16_t(0) << std::int16_t(0) << 0;
        QTest::newRow("purchase") << ::DocumentType::Purchase << true
                                  << DeviceCounter::PurchaseCount << DeviceCounter::PurchaseSum
                                  << -1;
        QTest::newRow("purchase return")
            << ::DocumentType::PurchaseReturn << true << DeviceCounter::PurchaseReturnCount
            << DeviceCounter::PurchaseReturnSum << 1;
    }

    void everyTypeMovesItsCounters()
    {
        QFETCH(int, type);
        QFETCH(bool, fiscal);
        QFETCH(std::int16_t, countIndex);
        QFETCH(std::int16_t, sumIndex);
        QFETCH(int, cashDirection);

        // Money in the drawer first, so that payouts have something to come from.
        QCOMPARE(m_driver->StartDocument(::DocumentType::CashIn, 1, u""_s, u""_s), 0);
        QCOMPARE(m_driver->Tender2(100000, kCash, kNoCard, QString()), 0);
        QCOMPARE(m_driver->EndDocument(), 0);
        const double cashBefore = totalCounter(*m_driver, DeviceCounter::CashAtShiftStart);
        const double countBefore = countIndex ? shiftCounter(*m_driver, countIndex) : 0;
        const double sumBefore = sumIndex ? shiftCounter(*m_driver, sumIndex) : 0;
        const int fiscalBefore = m_driver->GetDeviceInfo(DeviceInfo::FiscalDocuments);
        const int allBefore = m_driver->GetDeviceInfo(DeviceInfo::AllDocuments);
        const int nonFiscalBefore = m_driver->GetDeviceInfo(DeviceInfo::NonFiscalDocuments);

        QCOMPARE(m_driver->StartDocument(type, 1, u"7"_s, u"Кассир2"_s), 0);
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::DocumentOpen), type);
        QCOMPARE(m_driver->GetDocInfo(DocInfo::DocumentType), type);
        switch (type) {
        case 1:
        case 2:
            QCOMPARE(m_driver->Item(1000, 1250, u"Товар"_s, 0), 0);
            break;
        case 8:
        case 9:
            QCOMPARE(m_driver->ItemPurchase(1000, 1250, u"Товар"_s, 1), 0);
            break;
        default:
            break;
        }
        if (type == 3 || type == 7) {
            QCOMPARE(m_driver->TextLine(u"Строка текста"_s), 0);
            QCOMPARE(m_driver->EndDocument(), 0);
        } else {
            QCOMPARE(m_driver->Tender2(1250, kCash, kNoCard, QString()), 0);
            if (m_driver->GetDeviceInfo(DeviceInfo::DocumentOpen) != 0)
                QCOMPARE(m_driver->EndDocument(), 0);
        }

        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::FiscalDocuments),
                 fiscalBefore + (fiscal ? 1 : 0));
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::NonFiscalDocuments),
                 nonFiscalBefore + (type == 3 ? 1 : 0));
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::AllDocuments),
                 allBefore + (type == 7 ? 0 : 1));
        if (countIndex) {
            QCOMPARE(shiftCounter(*m_driver, countIndex), countBefore + 1);
            QCOMPARE(shiftCounter(*m_driver, sumIndex), sumBefore + 1250);
            QCOMPARE(totalCounter(*m_driver, sumIndex), sumBefore + 1250);
        }
        QCOMPARE(totalCounter(*m_driver, DeviceCounter::CashAtShiftStart),
                 cashBefore + cashDirection * 1250);
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::Payment8),
                 totalCounter(*m_driver, DeviceCounter::CashAtShiftStart) -
                     shiftCounter(*m_driver, DeviceCounter::CashAtShiftStart));
    }

    void positionsCorrectionsAndUndo()
    {
        QCOMPARE(m_driver->StartDocument(::DocumentType::Sale, 1, u"1"_s, u""_s), 0);
        QCOMPARE(m_driver->Item(1000, 10000, u"Item1"_s, 0), 0);          // 100.00
        QCOMPARE(m_driver->RepeatItem(), 0);                              // 200.00
        QCOMPARE(m_driver->ItemTareEx(2000, 500, u"Бутылка"_s, 0, 2), 0); // 210.00
        QCOMPARE(m_driver->ReturnTare(500, 1000), 0);                     // 205.00
        QCOMPARE(m_driver->GetDocInfo(DocInfo::ItemQuantity), 5000);
        QCOMPARE(m_driver->GetDocInfo(DocInfo::DistinctItems), 3);
        QCOMPARE(m_driver->VoidItem(QVariant(u"1000"_s), 10000, u"Item1"_s, 0), 0); // 105.00
        QCOMPARE(m_driver->VoidItemTareEx(QVariant(u"1000"_s), 500, u"Бутылка"_s, 0, 2), 0);
        QCOMPARE(m_driver->GetDocInfo(DocInfo::Amount), 10000);
        QCOMPARE(m_driver->PercentCorrection(-10), 0);                     // 90.00
        QCOMPARE(m_driver->AbsoluteCorrectionText(250, u"Доставка"_s), 0); // 92.50
        QCOMPARE(m_driver->GetDocInfo(DocInfo::Amount), 9250);
        QCOMPARE(m_driver->CorrectLastItem(), 0); // back to 90.00
        QCOMPARE(m_driver->GetDocInfo(DocInfo::Amount), 9000);
        QCOMPARE(m_driver->CorrectLastItem(), int(ErrorCode::NothingToRepeat));
        QCOMPARE(m_driver->GetDocInfo(DocInfo::FreeItems),
                 Device::kMaxEntries - m_driver->GetDocInfo(DocInfo::Entries));
        QCOMPARE(m_driver->PrintResult(), 0);
        QCOMPARE(m_driver->Tender2(10000, kCash, kNoCard, QString()), 0);
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);

        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::VoidCount), 2.0);
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::VoidSum), 10500.0);
        // One correction of 2.50.
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::CorrectionCount), 1.0);
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::CorrectionSum), 250.0);
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::DiscountCount), 1.0); // the discount stayed
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::DiscountSum), 1000.0);
        // The surcharge was undone.
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::SurchargeCount), 0.0);
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::TareSaleCount), 1.0);
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::TareReturnCount), 1.0);
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::SalesTotal), 9000.0);
        // 100.00 paid, 10.00 change.
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::Payment8), 9000.0);
    }

    // A shift of receipts with random contents: every total and payment is added up here,
    // independently of the device, and must agree with its counters to the kopeck.
    void countersAgreeWithAShiftOfRandomReceipts()
    {
        QRandomGenerator random(20261208);
        qint64 sales = 0;
        qint64 card = 0;
        const int receipts = 40;
        for (int r = 0; r < receipts; ++r) {
            QCOMPARE(m_driver->StartDocument(::DocumentType::Sale, 1, u""_s, u""_s), 0);
            qint64 total = 0;
            const int positions = random.bounded(1, 8);
            for (int i = 0; i < positions; ++i) {
                const qint64 quantity = random.bounded(1, 20000);
                const qint64 price = random.bounded(1, 500000);
                total += (quantity * price + 500) / 1000;
                QCOMPARE(m_driver->Item(std::int32_t(quantity), std::int32_t(price),
                                        u"Товар %1"_s.arg(i), 0),
                         0);
            }
            QCOMPARE(m_driver->GetDocInfo(DocInfo::Amount), total);
            const qint64 byCard = random.bounded(total + 1);
            if (byCard > 0)
                QCOMPARE(m_driver->Tender2(double(byCard), QVariant(PaymentType::Card1), kNoCard,
                                           QString()),
                         0);
            const qint64 cash = total - byCard + random.bounded(10000);
            if (cash > 0)
                QCOMPARE(m_driver->Tender2(double(cash), kCash, kNoCard, QString()), 0);
            QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
            sales += total;
            card += byCard;
        }
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::SalesTotal), double(sales));
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::Payment1), double(card));
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::Payment8), double(sales - card));
        QCOMPARE(totalCounter(*m_driver, DeviceCounter::CashAtShiftStart), double(sales - card));
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::SaleCount), double(receipts));
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::FiscalDocuments), receipts);
        QCOMPARE(m_driver->GetTextDeviceInfo(TextInfo::SalesTotal), formatMoney(sales));
        QCOMPARE(m_driver->EndSession(), 0);
        QCOMPARE(totalCounter(*m_driver, DeviceCounter::SalesTotal), double(sales));
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::SalesTotal), 0.0);
    }

    void roundingFollowsOption23_data()
    {
        QTest::addColumn<std::int16_t>("rounding");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<int>("price");
        QTest::addColumn<int>("total");
        // 1.5 x 3.33 = 4.995
        QTest::newRow("down") << RoundingMode::Down << 1500 << 333 << 499;
        QTest::newRow("half up") << RoundingMode::HalfUp << 1500 << 333 << 500;
        QTest::newRow("up") << RoundingMode::Up << 1500 << 333 << 500;
        // An exact product has nothing to round: 2 x 1.00 stays 2.00.
        QTest::newRow("up, exact") << RoundingMode::Up << 2000 << 100 << 200;
        QTest::newRow("down, exact") << RoundingMode::Down << 2000 << 100 << 200;
    }

    void roundingFollowsOption23()
    {
        QFETCH(std::int16_t, rounding);
        QFETCH(int, quantity);
        QFETCH(int, price);
        QFETCH(int, total);
        QCOMPARE(m_driver->EndSession(), 0);
        QCOMPARE(m_driver->SetDeviceOpt(DeviceOption::Rounding, rounding), 0);
        QCOMPARE(m_driver->StartSession(u"Кассир1"_s, 1), 0);
        QCOMPARE(m_driver->StartDocument(::DocumentType::Sale, 1, u""_s, u""_s), 0);
        QCOMPARE(m_driver->Item(quantity, price, u"Сыр"_s, 0), 0);
        QCOMPARE(m_driver->GetDocInfo(DocInfo::Amount), total);
    }

    // Only a cancelled receipt counts among the cancelled ones; a cancelled text document is
    // just one more document.
    void cancelledDocumentCountsAsCancelled_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("cancelledCount");
        QTest::addColumn<double>("cancelledSum");
        QTest::addColumn<int>("documents"); // an unnumbered document is not counted at all
        QTest::newRow("sale") << int(::DocumentType::Sale) << 1.0 << 300.0 << 1;
        QTest::newRow("text") << int(::DocumentType::Text) << 0.0 << 0.0 << 1;
        QTest::newRow("text without number")
            << int(::DocumentType::UnnumberedText) << 0.0 << 0.0 << 0;
    }

    void cancelledDocumentCountsAsCancelled()
    {
        QFETCH(int, type);
        QFETCH(double, cancelledCount);
        QFETCH(double, cancelledSum);
        QFETCH(int, documents);
        const bool receipt = type == ::DocumentType::Sale;
        QCOMPARE(m_driver->StartDocument(type, 1, u""_s, u""_s), 0);
        if (receipt)
            QCOMPARE(m_driver->Item(3000, 100, u"A"_s, 0), 0);
        else
            QCOMPARE(m_driver->TextLine(u"A"_s), 0);
        QCOMPARE(m_driver->CancelDocument(), 0);
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::FiscalDocuments), 0);
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::AllDocuments), documents);
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::CancelledCount), cancelledCount);
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::CancelledSum), cancelledSum);
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::SalesTotal), 0.0);
        if (receipt) {
            QCOMPARE(m_driver->PrintDuplicate(), int(ErrorCode::NoReceiptForDuplicate));
            QVERIFY(tape(folder()).last().contains(u"АННУЛИРОВАН"_s));
        }
    }

    void duplicateReprintsTheLastReceipt()
    {
        QCOMPARE(m_driver->StartDocument(::DocumentType::Sale, 1, u""_s, u""_s), 0);
        QCOMPARE(m_driver->Item(1000, 700, u"Молоко"_s, 0), 0);
        QCOMPARE(m_driver->Tender2(700, kCash, kNoCard, QString()), 0);
        const QStringList receipt = tape(folder());
        QCOMPARE(m_driver->PrintDuplicate(), 0);
        const QStringList after = tape(folder());
        const QStringList reprint = after.mid(receipt.size());
        QVERIFY(reprint.first().contains(u"ДУБЛИКАТ"_s));
        QVERIFY(reprint.contains(u"Молоко"_s));
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::DuplicateCount), 1.0);
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::DuplicateSum), 700.0);
        // A duplicate is not a sale.
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::SalesTotal), 700.0);
    }

    void textDocumentPrintsWithAttributes()
    {
        QCOMPARE(m_driver->SetDriverOpt(DriverOption::DoubleWidth, 1), 0);
        QCOMPARE(m_driver->SetDriverOpt(DriverOption::Underline, 1), 0);
        QCOMPARE(m_driver->GetDriverOpt(DriverOption::DoubleWidth), 1);
        QCOMPARE(m_driver->StartDocument(::DocumentType::UnnumberedText, 1, u""_s, u""_s), 0);
        QCOMPARE(m_driver->TextLine(QString(21, u'x')), int(ErrorCode::TextTooLong));
        QCOMPARE(m_driver->TextLine(u"АКЦИЯ"_s), 0);
        QCOMPARE(m_driver->TextLine(QString()), 0);
        QCOMPARE(m_driver->EndDocument(), 0);
        const QStringList printed = tape(folder(), 1, 6);
        QVERIFY(printed.contains(u"А К Ц И Я"_s));
        QVERIFY(printed.contains(u"_________"_s));
        // A numbered text document prints plainly whatever the attributes say.
        QCOMPARE(m_driver->StartDocument(::DocumentType::Text, 1, u""_s, u""_s), 0);
        QCOMPARE(m_driver->TextLine(u"ПРОСТО"_s), 0);
        QCOMPARE(m_driver->EndDocument(), 0);
        QVERIFY(tape(folder()).contains(u"ПРОСТО"_s));
    }

    void extraStringsAndDataAppearOnTheReceipt()
    {
        QCOMPARE(m_driver->ClearExtraStrings(), 0);
        QCOMPARE(m_driver->AddExtraString(u"Добро пожаловать в наш магазин"_s), 0);
        QCOMPARE(m_driver->AddExtraString(
                     u"Сегодня скидка на хлеб и молоко, а по средам двойные бонусы"_s),
                 0);
        QCOMPARE(m_driver->AddExtraString2(u"Спасибо!"_s, u"1"_s), 0);
        QCOMPARE(m_driver->AddExtraString2(u"x"_s, u"один"_s), int(ErrorCode::InvalidValue));
        QCOMPARE(m_driver->AddExtraString2(u"Ждём вас снова"_s, QString()), 0); // goes second
        QCOMPARE(m_driver->SetExtraDocData2(u"4242"_s, QString(), QString(), u"Заказ 80"_s), 0);
        QCOMPARE(m_driver->StartDocument(::DocumentType::Sale, 1, u""_s, u""_s), 0);
        QCOMPARE(m_driver->Item(1000, 100, u"A"_s, 0), 0);
        QCOMPARE(m_driver->Tender2(100, kCash, kNoCard, QString()), 0);
        const QStringList printed = tape(folder());
        QVERIFY(printed.contains(u"Добро пожаловать в наш магазин"_s));
        // Longer than the line: wrapped at the last blank that fits, no word cut.
        const qsizetype wrapped = printed.indexOf(u"Сегодня скидка на хлеб и молоко, а по"_s);
        QVERIFY(wrapped > 0);
        QCOMPARE(printed.value(wrapped + 1), u"средам двойные бонусы"_s);
        QVERIFY(printed.indexOf(u"Спасибо!"_s) + 1 == printed.indexOf(u"Ждём вас снова"_s));
        QVERIFY(printed.contains(u"42: 4242"_s));
        QVERIFY(printed.contains(u"80: Заказ 80"_s));
        // The data values belong to one document only.
        QCOMPARE(m_driver->StartDocument(::DocumentType::Sale, 1, u""_s, u""_s), 0);
        QCOMPARE(m_driver->CancelDocument(), 0);
        QCOMPARE(tape(folder()).count(u"42: 4242"_s), 1);
    }
};

QTEST_GUILESS_MAIN(TestEmulatorDocuments)
#include "tst_emulator_documents.moc"
