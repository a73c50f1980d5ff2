// The taxes of receipts on the device: bases, included and added taxes that come to the total to
// the kopeck, what a receipt prints and counts, an annulment that takes its taxes back, and taxes
// that would overflow.

#include "DeviceNumbers.h"
#include "EmulatorFixture.h"
#include "EmulatorTest.h"
#include "Printout.h"
#include "TaxDeviceRig.h"

#include <QRegularExpression>
#include <QtTest>

#include <array>
#include <functional>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

// How a device is programmed for one receipt: rates 1 to 4, chains by number (chains on when there
// is any) and options besides the printing of each tax with its base.
struct TaxSetup
{
    std::array<std::int16_t, 4> rates{};
    QMap<int, QString> chains;
    QMap<int, int> options;
};

using Receipt = std::function<void(Driver&)>;

// The tax figures a receipt printed, in its order: "A:7.50/1.50" for the base and the tax of
// tax A, "incl:1.50" for the included taxes, then "=4.00" for the total.
QString taxFigures(const QStringList& lines)
{
    static const QRegularExpression figure(
        u"^(ОБЛАГАЕМАЯ СУММА|НАЛОГ|ИТОГ|В Т.Ч. НДС) ?([A-D]?) +=(-?\\d+\\.\\d\\d)$"_s);
    QStringList parts;
    for (const QString& line : lines) {
        const QRegularExpressionMatch m = figure.match(line);
        if (!m.hasMatch())
            continue;
        if (m.captured(1) == u"ИТОГ"_s)
            parts << u'=' + m.captured(3);
        else if (m.captured(1) == u"В Т.Ч. НДС"_s)
            parts << u"incl:"_s + m.captured(3);
        else if (m.captured(1) == u"НАЛОГ"_s && !parts.isEmpty())
            parts.last() += u'/' + m.captured(3);
        else
            parts << m.captured(2) + u':' + m.captured(3);
    }
    return parts.join(u' ');
}

} // namespace

Q_DECLARE_METATYPE(TaxSetup)
Q_DECLARE_METATYPE(Receipt)

class TestEmulatorReceiptTaxes : public EmulatorTest
{
    Q_OBJECT

public:
    TestEmulatorReceiptTaxes() : EmulatorTest(Start::EmptyFolder) {}

private slots:
    void receiptTaxesAddUp_data();
    void receiptTaxesAddUp();
    void receiptTaxesPrintedAndCounted();
    void annulmentTakesItsTaxesBack();
    void taxesThatWouldOverflowAreRefused();
};

// On every receipt the taxable bases, the included taxes and the added taxes come to the total to
// the kopeck, whatever the discounts, the rounding options and the chains. Each row works its
// figures out by hand; "1/1.2" reads "an amount that includes 20 %".
void TestEmulatorReceiptTaxes::receiptTaxesAddUp_data()
{
    QTest::addColumn<TaxSetup>("setup");
    QTest::addColumn<Receipt>("receipt");
    QTest::addColumn<QString>("figures");

    using namespace DeviceOption;
    const auto item = [](std::int32_t price, std::int32_t group) {
        return
            [=](Driver& d) { QCOMPARE(d.Item(1000, price, u"Товар %1"_s.arg(group), group), 0); };
    };
    const auto discount = [](std::int32_t amount) {
        return [=](Driver& d) { QCOMPARE(d.AbsoluteCorrection(-amount), 0); };
    };
    const auto steps = [](std::initializer_list<Receipt> list) {
        const std::vector<Receipt> all(list);
        return Receipt([all](Driver& d) {
            for (const Receipt& step : all)
                step(d);
        });
    };
    const TaxSetup vat{{2000, 1000, 500, 0}, {}, {}};
    const auto rounded = [&](int base, int tax) {
        TaxSetup setup = vat;
        setup.options = {{TaxBaseRounding, base}, {TaxRounding, tax}};
        return setup;
    };
    using namespace RoundingMode;

    // The returned tare (-5.00) is untaxed and holds nothing to discount: the whole 1.00 comes off
    // group 1, 9.00 = 7.50 + 9.00 * 0.2/1.2 = 1.50. Total 10.00 - 5.00 - 1.00.
    QTest::newRow("discount not spread onto returned tare")
        << vat
        << steps({item(1000, 1), [](Driver& d) { QCOMPARE(d.ReturnTare(500, 1000), 0); },
                  discount(100)})
        << u"A:7.50/1.50 =4.00"_s;
    // 0.02 over three groups of 1.00, each share what the discount comes to so far, rounded half
    // up, less the shares before: 0.67 -> 1, 1.33 -> 1 (0), 2 (1). Groups 0.99, 1.00, 0.99:
    // 99/1.2 -> 82 + 16.5 -> 17; 100/1.1 -> 91 + 9.09 -> 9; 99/1.05 -> 94 + 4.71 -> 5.
    QTest::newRow("three shares of 0.02 add up")
        << rounded(HalfUp, HalfUp) << steps({item(100, 1), item(100, 2), item(100, 3), discount(2)})
        << u"A:0.82/0.17 B:0.91/0.09 C:0.94/0.05 =2.98"_s;
    // 0.03 over four groups of 100.00, rounded down: 0.75 -> 0, 1.5 -> 1, 2.25 -> 2, 3: shares
    // 0, 1, 1, 1. 10000 * 0.2/1.2 = 1666.67 -> 1667; 9999 * 0.1/1.1 = 909; 9999 * 0.05/1.05 =
    // 476.14 -> 476; rate 4 is 0.
    QTest::newRow("four shares of 0.03 rounded down")
        << rounded(Down, HalfUp)
        << steps({item(10000, 1), item(10000, 2), item(10000, 3), item(10000, 4), discount(3)})
        << u"A:83.33/16.67 B:90.90/9.09 C:95.23/4.76 D:99.99/0.00 =399.97"_s;
    // 0.01 over four groups of 100.00, rounded up: 0.25 -> 1 takes it all. 9999 * 0.2/1.2 =
    // 1666.5 -> 1667 (half up); 10000 * 0.1/1.1 = 909.09 -> 909; 10000 * 0.05/1.05 = 476.19 -> 476.
    QTest::newRow("four shares of 0.01 rounded up")
        << rounded(Up, HalfUp)
        << steps({item(10000, 1), item(10000, 2), item(10000, 3), item(10000, 4), discount(1)})
        << u"A:83.32/16.67 B:90.91/9.09 C:95.24/4.76 D:100.00/0.00 =399.99"_s;
    // Option 43 rounds the shares, 44 the taxes. 0.01 over 1.00 and 2.00 rounded up: 0.33 -> 1
    // takes it all, groups 0.99 and 2.00. Taxes rounded down: 99 * 0.2/1.2 = 16.5 -> 16,
    // 200 * 0.1/1.1 = 18.18 -> 18.
    QTest::newRow("shares follow option 43, taxes option 44")
        << rounded(Up, Down) << steps({item(100, 1), item(200, 2), discount(1)})
        << u"A:0.83/0.16 B:1.82/0.18 =2.99"_s;
    // 10 % added on 0.05 is half a kopeck exactly: half up gives 0.01.
    QTest::newRow("half a kopeck of tax rounds up")
        << TaxSetup{{0, 1000, 0, 0}, {{1, u"B0000000000000000000"_s}}, {{TaxRounding, HalfUp}}}
        << Receipt(item(5, 1)) << u"B:0.05/0.01 =0.06"_s;
    // Two included taxes of one chain share the price: 100.00 / 1.3 = 76.92.., 20 % of it is
    // 1538.46 -> 1538, 10 % 769.23 -> 769; the base is what is left, 76.93.
    QTest::newRow("included taxes side by side share the price")
        << TaxSetup{{2000, 1000, 0, 0}, {{1, u"ab000000000000000000"_s}}, {}}
        << Receipt(item(10000, 1)) << u"A:76.93/15.38 B:76.93/7.69 =100.00"_s;
    // Nested, b is included in a's base: 10000 * 0.2/1.2 = 1666.67 -> 1667 leaves 83.33;
    // 8333 * 0.1/1.1 = 757.55 -> 758 leaves 75.75.
    QTest::newRow("an included tax nested in another")
        << TaxSetup{{2000, 1000, 0, 0}, {{1, u"a000b000000000000000"_s}}, {}}
        << Receipt(item(10000, 1)) << u"A:83.33/16.67 B:75.75/7.58 =100.00"_s;
    // Tax 1 added in group 1 and included in group 3, tax 2 the other way round. Chain A000b on
    // 100.00: A 20.00, b 120.00 * 0.1/1.1 = 10.91 (base 109.09). Chain aB on 120.00: a 20.00
    // (base 100.00), B 12.00. The prices hold 10.91 + 20.00; the customer pays 32.00 on top.
    QTest::newRow("a tax added in one group, included in another")
        << TaxSetup{{2000, 1000, 0, 0},
                    {{1, u"A000b000000000000000"_s}, {3, u"aB000000000000000000"_s}},
                    {{PrintVatIncluded, 1}}}
        << steps({item(10000, 1), item(12000, 3)})
        << u"A:200.00/40.00 B:229.09/22.91 incl:30.91 =252.00"_s;
    // Tare sold is taxed in the group it is given: 6.00 holds 1.00 of 20 %.
    QTest::newRow("tare sold in group 1")
        << vat << Receipt([](Driver& d) { QCOMPARE(d.ItemTare(1000, 600, u"Ящик"_s, 1), 0); })
        << u"A:5.00/1.00 =6.00"_s;
    // The discount is shared by the groups as the receipt closes, the later position too: 1.00
    // over 10.00 and 10.00 is 0.50 each. 950 * 0.2/1.2 = 158.33 -> 158, 950 * 0.1/1.1 = 86.36
    // -> 86.
    QTest::newRow("discount shared with a later position")
        << vat << steps({item(1000, 1), discount(100), item(1000, 2)})
        << u"A:7.92/1.58 B:8.64/0.86 =19.00"_s;
}

void TestEmulatorReceiptTaxes::receiptTaxesAddUp()
{
    QFETCH(TaxSetup, setup);
    QFETCH(Receipt, receipt);
    QMap<int, int> options = setup.options;
    options.insert(DeviceOption::PrintTaxes, 1);
    options.insert(DeviceOption::PrintTaxBase, 1);
    if (!setup.chains.isEmpty())
        options.insert(DeviceOption::UseTaxChains, 1);
    createTaxDevice(folder(), 6, options);
    auto driver = connectDriver(folder(), {}, false);
    QVERIFY(driver);
    for (std::int16_t i = 1; i <= 4; ++i)
        QCOMPARE(driver->SetTaxRate(i, setup.rates[std::size_t(i - 1)]), 0);
    for (auto it = setup.chains.cbegin(); it != setup.chains.cend(); ++it)
        QCOMPARE(driver->SetTaxChain(std::int16_t(it.key()), it.value()), 0);
    QCOMPARE(driver->StartSession(u"Кассир"_s, 1), 0);
    QCOMPARE(driver->StartDocument(::DocumentType::Sale, 1, QString(), u"Кассир"_s), 0);
    receipt(*driver);
    if (QTest::currentTestFailed())
        return;

    const qsizetype before = tape(folder()).size();
    const int total = driver->GetDocInfo(DocInfo::Amount);
    QCOMPARE(driver->Tender2(double(total), QVariant::fromValue<std::int16_t>(8), QVariant(u""_s),
                             u""_s),
             0);
    QTEST(taxFigures(tape(folder()).mid(before)), "figures");
    QVERIFY(taxFigures(tape(folder()).mid(before)).endsWith(u'=' + formatMoney(total)));
}

void TestEmulatorReceiptTaxes::receiptTaxesPrintedAndCounted()
{
    // Each tax on its own line with its rate, "в т.ч. НДС", chains on.
    createTaxDevice(folder(), 6,
                    {{DeviceOption::PrintTaxes, 1},
                     {DeviceOption::PrintVatIncluded, 1},
                     {DeviceOption::PrintTaxRates, 1},
                     {DeviceOption::PrintTaxRatesInReports, 1},
                     {DeviceOption::UseTaxChains, 1}});
    auto driver = connectDriver(folder(), {}, false);
    QVERIFY(driver);
    QCOMPARE(driver->SetTaxRate(1, 2000), 0);
    QCOMPARE(driver->SetTaxRate(2, 1000), 0);
    QCOMPARE(driver->SetTaxRate(3, 500), 0);
    QCOMPARE(driver->SetTaxChain(1, u"A000b000000000000000"_s), 0);
    QCOMPARE(driver->SetTaxChain(2, u"c0000000000000000000"_s), 0);
    QCOMPARE(driver->StartSession(u"Кассир"_s, 1), 0);

    QCOMPARE(driver->StartDocument(::DocumentType::Sale, 1, QString(), u"Кассир"_s), 0);
    QCOMPARE(driver->Item(1000, 10000, u"Товар 1"_s, 1), 0);
    QCOMPARE(driver->Item(1000, 5000, u"Товар 2"_s, 2), 0);
    QCOMPARE(driver->PercentCorrection(-10), 0);
    // 15000 less 1500; group 1 keeps 9000, group 2 4500. Chain 1: A 20 % of 9000 = 1800 on top,
    // b 10 % included in 10800: 981.82 -> 982. Chain 2: c 5 % included in 4500: 214.29 -> 214.
    QCOMPARE(driver->GetDocInfo(DocInfo::Amount), 13500 + 1800);
    QCOMPARE(driver->Tender2(15300.0, QVariant::fromValue<std::int16_t>(8), QVariant(u""_s), u""_s),
             0);
    QCOMPARE(driver->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);

    const QStringList lines = tape(folder());
    QCOMPARE(printed(lines, u"НАЛОГ A 20.00%"_s), u"18.00"_s);
    QCOMPARE(printed(lines, u"НАЛОГ B 10.00%"_s), u"9.82"_s);
    QCOMPARE(printed(lines, u"НАЛОГ C 5.00%"_s), u"2.14"_s);
    QCOMPARE(printed(lines, u"В Т.Ч. НДС"_s), u"11.96"_s);
    QCOMPARE(printed(lines, u"ИТОГ"_s), u"153.00"_s);
    for (const auto& counter : {shiftCounter, totalCounter}) {
        QCOMPARE(counter(*driver, DeviceCounter::Tax1), 1800.0);
        QCOMPARE(counter(*driver, DeviceCounter::Tax2), 982.0);
        QCOMPARE(counter(*driver, DeviceCounter::Tax3), 214.0);
        QCOMPARE(counter(*driver, DeviceCounter::Tax4), 0.0);
    }

    QCOMPARE(driver->PrintReport(ReportKind::X1), 0);
    const QStringList report = tape(folder(), kPort, 40);
    QCOMPARE(printed(report, u"НАЛОГ A 20.00%"_s), u"18.00"_s);
    QCOMPARE(printed(report, u"НАЛОГ C 5.00%"_s), u"2.14"_s);
    // A zero total is left out unless its option says otherwise.
    QVERIFY(printed(report, u"НАЛОГ D 0.00%"_s).isEmpty());
}

void TestEmulatorReceiptTaxes::annulmentTakesItsTaxesBack()
{
    // Chains off: group n includes rate n.
    createTaxDevice(folder(), 6, {{DeviceOption::PrintTaxes, 1}});
    auto driver = connectDriver(folder(), {}, false);
    QVERIFY(driver);
    QCOMPARE(driver->SetTaxRate(1, 2000), 0);
    QCOMPARE(driver->SetTaxRate(2, 1000), 0);
    QCOMPARE(driver->StartSession(u"Кассир"_s, 1), 0);
    const QVariant cash = QVariant::fromValue<std::int16_t>(8);

    // 12000 includes 2000 at 20 %; 1100 includes 100 at 10 %.
    QCOMPARE(driver->StartDocument(::DocumentType::Sale, 1, QString(), u"Кассир"_s), 0);
    QCOMPARE(driver->Item(1000, 12000, u"Товар 1"_s, 1), 0);
    QCOMPARE(driver->Item(1000, 1100, u"Товар 2"_s, 2), 0);
    QCOMPARE(driver->Tender2(13100.0, cash, QVariant(u""_s), u""_s), 0);
    QCOMPARE(printed(tape(folder()), u"НАЛОГ A"_s), u"20.00"_s);
    // Returned: 6000 includes 1000.
    QCOMPARE(driver->StartDocument(::DocumentType::SaleAnnulment, 1, QString(), u"Кассир"_s), 0);
    QCOMPARE(driver->Item(500, 12000, u"Товар 1"_s, 1), 0);
    QCOMPARE(driver->Tender2(6000.0, cash, QVariant(u""_s), u""_s), 0);
    // A cancelled sale counts nothing.
    QCOMPARE(driver->StartDocument(::DocumentType::Sale, 1, QString(), u"Кассир"_s), 0);
    QCOMPARE(driver->Item(1000, 12000, u"Товар 1"_s, 1), 0);
    QCOMPARE(driver->CancelDocument(), 0);

    QCOMPARE(shiftCounter(*driver, DeviceCounter::Tax1), 1000.0);
    QCOMPARE(shiftCounter(*driver, DeviceCounter::Tax2), 100.0);
    QCOMPARE(totalCounter(*driver, DeviceCounter::Tax1), 1000.0);
    QCOMPARE(driver->EndSession(), 0);
    QCOMPARE(shiftCounter(*driver, DeviceCounter::Tax1), 0.0);
    QCOMPARE(totalCounter(*driver, DeviceCounter::Tax2), 100.0);
}

void TestEmulatorReceiptTaxes::taxesThatWouldOverflowAreRefused()
{
    createTaxDevice(folder(), 6, {{DeviceOption::UseTaxChains, 1}});
    auto driver = connectDriver(folder(), {}, false);
    QVERIFY(driver);
    QCOMPARE(driver->SetTaxRate(4, 9999), 0);
    QCOMPARE(driver->SetTaxChain(1, u"D0000000000000000000"_s), 0);
    QCOMPARE(driver->StartSession(u"Кассир"_s, 1), 0);
    QCOMPARE(driver->StartDocument(::DocumentType::Sale, 1, QString(), u"Кассир"_s), 0);
    // 15 000 000.00 is within what the device can report, its 99.99 % on top is not.
    QCOMPARE(driver->Item(1000, 1'500'000'000, u"Товар"_s, 1), 18);
    QCOMPARE(driver->Item(1000, 1'500'000'000, u"Товар"_s, 0), 0);
    QCOMPARE(driver->GetDocInfo(DocInfo::Entries), 1);
}
QTEST_MAIN(TestEmulatorReceiptTaxes)
#include "tst_emulator_receipttaxes.moc"
