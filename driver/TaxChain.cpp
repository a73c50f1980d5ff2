#include "TaxChain.h"

#include <array>

namespace taxchain {
namespace {

// Positions are counted from 1, as the groups are described.
int groupStart(int tax)
{
    return kGroupSize * tax + 1;
}

QChar readSlot(QChar c)
{
    // The digits 1 to 4 are an older spelling of the reverse taxes.
    if (c >= u'1' && c <= u'4')
        return QChar(u'a' + (c.unicode() - u'1'));
    return c;
}

void readGroup(QStringView text, int start, Tree& into, std::array<bool, kTaxCount + 1>& seen)
{
    for (int p = start; p < start + kGroupSize; ++p) {
        const QChar c = readSlot(text[p - 1]);
        const int tax = taxOf(c);
        if (tax == 0 || seen[tax])
            continue;
        seen[tax] = true;
        Node node{c, QString(c) + QString::number(start), {}};
        readGroup(text, groupStart(tax), node.children, seen);
        into.push_back(std::move(node));
    }
}

void writeGroup(const Tree& nodes, int start, QString& text, std::array<bool, kTaxCount + 1>& seen)
{
    int q = start;
    for (const Node& node : nodes) {
        const int tax = node.tax();
        if (tax == 0 || seen[tax])
            continue;
        seen[tax] = true;
        text[q - 1] = node.letter;
        ++q;
        writeGroup(node.children, groupStart(tax), text, seen);
    }
}

bool treeContains(const Tree& nodes, int tax)
{
    for (const Node& node : nodes) {
        if (node.tax() == tax || treeContains(node.children, tax))
            return true;
    }
    return false;
}

} // namespace

int taxOf(QChar slot)
{
    const char16_t upper = slot.toUpper().unicode();
    return upper >= u'A' && upper <= u'D' ? upper - u'A' + 1 : 0;
}

int Node::tax() const
{
    return taxOf(letter);
}

Tree read(QStringView text)
{
    Tree tree;
    if (text.size() != kLength)
        return tree;
    std::array<bool, kTaxCount + 1> seen{};
    readGroup(text, 1, tree, seen);
    return tree;
}

QString write(const Tree& tree)
{
    QString text(kLength, u'0');
    std::array<bool, kTaxCount + 1> seen{};
    writeGroup(tree, 1, text, seen);
    return text;
}

bool contains(const Tree& tree, QChar letter)
{
    const int tax = taxOf(letter);
    return tax != 0 && treeContains(tree, tax);
}

Defect check(QStringView text)
{
    if (text.size() != kLength)
        return Defect::Length;
    for (int i = 0; i < kLength; ++i) {
        const QChar c = text[i];
        if (c != u'0' && taxOf(c) == 0)
            return Defect::Character;
        if (c != u'0' && i % kGroupSize != 0 && text[i - 1] == u'0')
            return Defect::Gap;
    }
    std::array<int, kTaxCount + 1> count{};
    for (const QChar c : text)
        ++count[taxOf(c)];
    for (int tax = 1; tax <= kTaxCount; ++tax) {
        if (count[tax] > 1)
            return Defect::Repeat;
    }
    // With every tax at most once, a tax is in the chain when reading reaches it from the top.
    const Tree tree = read(text);
    for (int tax = 1; tax <= kTaxCount; ++tax) {
        const bool groupFilled = text[groupStart(tax) - 1] != u'0';
        if (groupFilled && !treeContains(tree, tax))
            return Defect::Orphan;
    }
    return Defect::None;
}

} // namespace taxchain
