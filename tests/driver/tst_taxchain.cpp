#include "TaxChain.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// "A1[b5] C1" : each node by its key, its nested taxes in brackets.
QString shape(const taxchain::Tree& tree)
{
    QStringList parts;
    for (const taxchain::Node& node : tree) {
        QString part = node.key;
        if (!node.children.empty())
            part += u'[' + shape(node.children) + u']';
        parts << part;
    }
    return parts.join(u' ');
}

} // namespace

class TestTaxChain : public QObject
{
    Q_OBJECT

private slots:
    void readsAndWritesCanonically_data();
    void readsAndWritesCanonically();
    void writesWhatTheOperatorBuilt_data();
    void writesWhatTheOperatorBuilt();
    void deviceCheck_data();
    void deviceCheck();
};

void TestTaxChain::readsAndWritesCanonically_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("canonical");

    const QString empty = u"00000000000000000000"_s;
    QTest::newRow("empty chain") << empty << u""_s << empty;
    QTest::newRow("empty text") << u""_s << u""_s << empty;
    QTest::newRow("short text") << u"A000b00000000000000"_s << u""_s << empty;
    QTest::newRow("long text") << u"A000b0000000000000000"_s << u""_s << empty;
    QTest::newRow("direct with reverse nested")
        << u"A000b000000000000000"_s << u"A1[b5]"_s << u"A000b000000000000000"_s;
    QTest::newRow("group 0 empty reads nothing") << u"0000a000000000000000"_s << u""_s << empty;
    QTest::newRow("digits, gaps and other characters")
        << u"1B00000000000000000X"_s << u"a1 B1"_s << u"aB000000000000000000"_s;
    QTest::newRow("taxes moved to the front of their groups")
        << u"0A0B0c0d000000000000"_s << u"A1[c5 d5] B1"_s << u"AB00cd00000000000000"_s;
    QTest::newRow("all four in one group")
        << u"dcba0000000000000000"_s << u"d1 c1 b1 a1"_s << u"dcba0000000000000000"_s;
    QTest::newRow("four deep") << u"A000B000C000D0000000"_s << u"A1[B5[C9[D13]]]"_s
                               << u"A000B000C000D0000000"_s;
    QTest::newRow("digit 4 in a nested group")
        << u"C0000000000040000000"_s << u"C1[d13]"_s << u"C00000000000d0000000"_s;
    QTest::newRow("digits 5 and 0 are empty")
        << u"50200000000000000000"_s << u"b1"_s << u"b0000000000000000000"_s;
    // Texts that would make a naive reader recurse without end or build a tax twice.
    QTest::newRow("tax nested under itself")
        << u"A000A000000000000000"_s << u"A1"_s << u"A0000000000000000000"_s;
    QTest::newRow("tax repeated in its group")
        << u"AA000000000000000000"_s << u"A1"_s << u"A0000000000000000000"_s;
    QTest::newRow("repeat in the other direction")
        << u"Aa000000000000000000"_s << u"A1"_s << u"A0000000000000000000"_s;
    QTest::newRow("two taxes under each other")
        << u"A000B000A00000000000"_s << u"A1[B5]"_s << u"A000B000000000000000"_s;
    QTest::newRow("repeat as digit and letter")
        << u"1000a000000000000000"_s << u"a1"_s << u"a0000000000000000000"_s;
    QTest::newRow("unicode and blanks")
        << u"Ж  A b00000000000000"_s << u"A1[b5]"_s << u"A000b000000000000000"_s;
}

void TestTaxChain::readsAndWritesCanonically()
{
    QFETCH(QString, text);
    QFETCH(QString, tree);
    QFETCH(QString, canonical);

    const taxchain::Tree read = taxchain::read(text);
    QCOMPARE(shape(read), tree);
    QCOMPARE(taxchain::write(read), canonical);
    QCOMPARE(taxchain::check(canonical), taxchain::Defect::None);
    // The canonical text reads back to the same chain.
    QCOMPARE(taxchain::write(taxchain::read(canonical)), canonical);
}

void TestTaxChain::writesWhatTheOperatorBuilt_data()
{
    using taxchain::Node;
    QTest::addColumn<taxchain::Tree>("tree");
    QTest::addColumn<QString>("text");

    QTest::newRow("nothing") << taxchain::Tree{} << u"00000000000000000000"_s;
    QTest::newRow("A then B nested") << taxchain::Tree{Node{u'A', u"A"_s, {Node{u'B', u"B"_s, {}}}}}
                                     << u"A000B000000000000000"_s;
    QTest::newRow("A and b side by side")
        << taxchain::Tree{Node{u'A', u"A"_s, {}}, Node{u'b', u"b"_s, {}}}
        << u"Ab000000000000000000"_s;
    QTest::newRow("d with two nested")
        << taxchain::Tree{Node{u'd', u"d"_s, {Node{u'a', u"a"_s, {}}, Node{u'C', u"C"_s, {}}}}}
        << u"d000000000000000aC00"_s;
    // Never past position 20, whatever the tree holds.
    QTest::newRow("a tax twice keeps the first")
        << taxchain::Tree{Node{u'A', u"A"_s, {Node{u'a', u"a"_s, {}}}}, Node{u'A', u"A"_s, {}}}
        << u"A0000000000000000000"_s;
}

void TestTaxChain::writesWhatTheOperatorBuilt()
{
    QFETCH(taxchain::Tree, tree);
    QTEST(taxchain::write(tree), "text");
}

void TestTaxChain::deviceCheck_data()
{
    using taxchain::Defect;
    QTest::addColumn<QString>("text");
    QTest::addColumn<Defect>("defect");

    QTest::newRow("empty chain") << u"00000000000000000000"_s << Defect::None;
    QTest::newRow("nested reverse") << u"A000b000000000000000"_s << Defect::None;
    QTest::newRow("all four deep") << u"a000B000c000D0000000"_s << Defect::None;
    QTest::newRow("short") << u"A000"_s << Defect::Length;
    QTest::newRow("empty text") << u""_s << Defect::Length;
    QTest::newRow("long") << u"000000000000000000000"_s << Defect::Length;
    QTest::newRow("digit spelling") << u"10000000000000000000"_s << Defect::Character;
    QTest::newRow("letter E") << u"E0000000000000000000"_s << Defect::Character;
    QTest::newRow("blank slot") << u"A 000000000000000000"_s << Defect::Character;
    QTest::newRow("gap in group 0") << u"0A000000000000000000"_s << Defect::Gap;
    QTest::newRow("gap in a nested group") << u"A0000B00000000000000"_s << Defect::Gap;
    QTest::newRow("repeat in a group") << u"AA000000000000000000"_s << Defect::Repeat;
    QTest::newRow("repeat in other direction") << u"Ab00a000000000000000"_s << Defect::Repeat;
    QTest::newRow("nested under itself") << u"A000A000000000000000"_s << Defect::Repeat;
    QTest::newRow("group of an absent tax") << u"0000a000000000000000"_s << Defect::Orphan;
    QTest::newRow("loop away from the top") << u"A0000000A000B0000000"_s << Defect::Repeat;
    QTest::newRow("two taxes under each other, unreachable")
        << u"C000b000a00000000000"_s << Defect::Orphan;
}

void TestTaxChain::deviceCheck()
{
    QFETCH(QString, text);
    QTEST(taxchain::check(text), "defect");
}

QTEST_MAIN(TestTaxChain)
#include "tst_taxchain.moc"
