#include "Taxes.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace emulator;

namespace {

// "1:2000/10000 2:1091/10909 +2000": per tax its amount and taxable base, then what the direct
// taxes add on top of the sum.
QString describe(const std::optional<TaxSheet>& sheet)
{
    if (!sheet)
        return u"overflow"_s;
    QStringList parts;
    for (const TaxTotal& total : sheet->taxes)
        parts << u"%1:%2/%3"_s.arg(total.tax).arg(total.amount).arg(total.base);
    parts << u"+%1"_s.arg(sheet->added);
    return parts.join(u' ');
}

TaxSettings settings(bool useChains, Rounding tax = Rounding::HalfUp,
                     Rounding base = Rounding::HalfUp)
{
    TaxSettings s;
    s.rates = {2000, 1000, 500, 9999};
    s.chains.fill(u"00000000000000000000"_s);
    s.chains[0] = u"A000b000000000000000"_s; // 20 % on top, 10 % included in the sum with it
    s.chains[1] = u"c0000000000000000000"_s; // 5 % included
    s.chains[2] = u"aB000000000000000000"_s; // side by side
    s.chains[3] = u"D000000000000000C000"_s; // 99.99 % on top, 5 % on top of that
    s.chains[4] = u"abcd0000000000000000"_s; // all four included side by side
    s.useChains = useChains;
    s.taxRounding = tax;
    s.baseRounding = base;
    return s;
}

Entry goods(Kopecks amount, int group)
{
    return Entry{EntryKind::Goods, 1000, amount, u"x"_s, group, 1, amount};
}

Entry correction(EntryKind kind, Kopecks amount)
{
    return Entry{kind, 0, 0, {}, 0, 0, amount};
}

} // namespace

class TestEmulatorTaxes : public QObject
{
    Q_OBJECT

private slots:
    void oneGroup_data();
    void oneGroup();
    void receipt_data();
    void receipt();
};

void TestEmulatorTaxes::oneGroup_data()
{
    QTest::addColumn<bool>("chains");
    QTest::addColumn<int>("rounding");
    QTest::addColumn<int>("group");
    QTest::addColumn<qint64>("amount");
    QTest::addColumn<QString>("taxes");

    const int half = int(Rounding::HalfUp);
    // Without chains group n includes rate n: 12000 * 2000 / 12000 = 2000.
    QTest::newRow("rate 1 included") << false << half << 1 << qint64(12000) << u"1:2000/10000 +0"_s;
    // 1000 * 1000 / 11000 = 90.91
    QTest::newRow("rate 2, half up") << false << half << 2 << qint64(1000) << u"2:91/909 +0"_s;
    QTest::newRow("rate 2, down") << false << int(Rounding::Down) << 2 << qint64(1000)
                                  << u"2:90/910 +0"_s;
    // 1050 * 500 / 10500 = 50 exactly: no rounding either way.
    QTest::newRow("rate 3, up, exact")
        << false << int(Rounding::Up) << 3 << qint64(1050) << u"3:50/1000 +0"_s;
    // 1001 * 500 / 10500 = 47.67
    QTest::newRow("rate 3, up") << false << int(Rounding::Up) << 3 << qint64(1001)
                                << u"3:48/953 +0"_s;
    QTest::newRow("group 0 untaxed") << false << half << 0 << qint64(1000) << u"+0"_s;
    QTest::newRow("group 5 without chains") << false << half << 5 << qint64(1000) << u"+0"_s;
    QTest::newRow("group 9 with chains") << true << half << 9 << qint64(1000) << u"+0"_s;
    QTest::newRow("empty chain") << true << half << 8 << qint64(1000) << u"+0"_s;
    // A: 10000 * 20 % = 2000 on top; b: included in 12000, 12000 * 1000 / 11000 = 1090.91.
    QTest::newRow("direct with reverse nested")
        << true << half << 1 << qint64(10000) << u"1:2000/10000 2:1091/10909 +2000"_s;
    // a: 11000 * 2000 / 12000 = 1833.33; B: 11000 * 10 % = 1100 on top, side by side.
    QTest::newRow("reverse beside direct")
        << true << half << 3 << qint64(11000) << u"1:1833/9167 2:1100/11000 +1100"_s;
    // D: 100 * 99.99 % = 99.99 -> 100; C: 5 % of 200 = 10. In chain order, D before C.
    QTest::newRow("direct under direct")
        << true << half << 4 << qint64(100) << u"4:100/100 3:10/200 +110"_s;
    // Included side by side on 0.03, each rounded up: 3 * r / 2.3499 gives 0.26, 0.13, 0.06 and
    // 1.28, 5 kopecks in all. The taxes cannot hold more than the price: their sum 1.72 rounded
    // up, 2, is shared by rate, each share rounded up so far: 0.30 -> 1, 0.44 -> 1, 0.52 -> 1, 2.
    QTest::newRow("included taxes never exceed the price")
        << true << int(Rounding::Up) << 5 << qint64(3) << u"1:1/1 2:0/1 3:0/1 4:1/1 +0"_s;
    QTest::newRow("negative amount rounds symmetrically")
        << false << half << 2 << qint64(-1000) << u"2:-91/-909 +0"_s;
    // Near the end of 64 bits the direct taxes would wrap: refused instead.
    QTest::newRow("overflow") << true << half << 4 << qint64(6'000'000'000'000'000'000)
                              << u"overflow"_s;
}

void TestEmulatorTaxes::oneGroup()
{
    QFETCH(bool, chains);
    QFETCH(int, rounding);
    QFETCH(int, group);
    QFETCH(qint64, amount);
    const TaxCalculator calculator(settings(chains, Rounding(rounding)));
    QTEST(describe(calculator.group(group, amount)), "taxes");
}

void TestEmulatorTaxes::receipt_data()
{
    QTest::addColumn<QList<Entry>>("entries");
    QTest::addColumn<int>("baseRounding");
    QTest::addColumn<QString>("groups");
    QTest::addColumn<QString>("taxes");

    const int half = int(Rounding::HalfUp);
    // A discount of 1500 on 15000 takes 1000 from group 1 and 500 from group 2.
    // Group 1 (9000): A 1800 on top, b 10800 * 1000 / 11000 = 981.82 -> 982.
    // Group 2 (4500): c 4500 * 500 / 10500 = 214.29 -> 214.
    QTest::newRow("two groups, a discount, a nested reverse tax")
        << QList<Entry>{goods(10000, 1), goods(5000, 2), correction(EntryKind::Discount, 1500)}
        << half << u"1:9000 2:4500"_s << u"1:1800/9000 2:982/9818 3:214/4286 +1800"_s;
    // Shares 33.33 and 66.67 of a discount of 100. Group 2 (3300): c 3300 * 500 / 10500 =
    // 157.14. Group 3 (6600): a 6600 * 2000 / 12000 = 1100, B 660 on top.
    QTest::newRow("shares rounded half up")
        << QList<Entry>{goods(3333, 2), goods(6667, 3), correction(EntryKind::Discount, 100)}
        << half << u"2:3300 3:6600"_s << u"1:1100/5500 2:660/6600 3:157/3143 +660"_s;
    // Rounded up so far: 33.33 -> 34 for group 2, the rest 66 for group 3. Group 3 keeps 6601:
    // a 1100.17 -> 1100, B 660.1 -> 660; group 2, 3299: c 157.1 -> 157.
    QTest::newRow("shares rounded up")
        << QList<Entry>{goods(3333, 2), goods(6667, 3), correction(EntryKind::Discount, 100)}
        << int(Rounding::Up) << u"2:3299 3:6601"_s << u"1:1100/5501 2:660/6601 3:157/3142 +660"_s;
    // A surcharge reaches the groups the receipt holds, a later position's too: 100 * 2/3 =
    // 66.67 -> 67 for group 0, 33 for group 2. c 1033 * 500 / 10500 = 49.19.
    QTest::newRow("surcharge and a later group")
        << QList<Entry>{goods(1000, 2), correction(EntryKind::Surcharge, 100), goods(2000, 0)}
        << half << u"0:2067 2:1033"_s << u"3:49/984 +0"_s;
    QTest::newRow("untaxed tare and its return")
        << QList<Entry>{Entry{EntryKind::Tare, 1000, 500, u"t"_s, 0, 1, 500},
                        Entry{EntryKind::TareReturn, 1000, 200, u"t"_s, 0, 1, 200}}
        << half << u"0:300"_s << u"+0"_s;
}

void TestEmulatorTaxes::receipt()
{
    QFETCH(QList<Entry>, entries);
    QFETCH(int, baseRounding);
    QFETCH(QString, groups);
    const Rounding base = Rounding(baseRounding);

    const auto amounts = TaxCalculator::groupAmounts(entries, base);
    QVERIFY(amounts);
    QStringList parts;
    for (const auto& [group, amount] : *amounts)
        parts << u"%1:%2"_s.arg(group).arg(amount);
    QCOMPARE(parts.join(u' '), groups);
    QTEST(describe(TaxCalculator(settings(true, Rounding::HalfUp, base)).receipt(entries)),
          "taxes");
}

QTEST_MAIN(TestEmulatorTaxes)
#include "tst_emulator_taxes.moc"
