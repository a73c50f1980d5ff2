#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <vector>

// A tax chain as the device keeps it: a tree of taxes. Its text form, exchanged with
// GetTaxChain and SetTaxChain, has 20 characters in five groups of four slots. Group 0
// (positions 1 to 4) holds the taxes at the top of the chain; the group of tax n (positions
// 4n+1 to 4n+4) holds the taxes nested under tax n. A slot holds A to D (taxes 1 to 4, added on
// top of the amount) or a to d (the same taxes, included in the amount); "0" is an empty slot.
namespace taxchain {

inline constexpr int kLength = 20;
inline constexpr int kGroupSize = 4;
inline constexpr int kTaxCount = 4;

struct Node
{
    QChar letter; // "A" ... "D" or "a" ... "d"
    // Unique within a tree: the letter and the position its group starts at ("A1", "b5") for a
    // node read from a text, the letter alone for one the operator added.
    QString key;
    std::vector<Node> children;

    int tax() const; // 1 to 4
    bool reverse() const { return letter.isLower(); }
};

// The taxes at the top of a chain, each with the taxes nested under it.
using Tree = std::vector<Node>;

// The tax number of a slot character (A/a = 1 ... D/d = 4), 0 for an empty slot.
int taxOf(QChar slot);

// Reads a chain text as the chain editor does: the digits 1 to 4 stand for a to d, every other
// character is an empty slot, and a text that is not 20 characters long is an empty chain. Only
// the groups of taxes in the tree are read. A tax that is already in the tree (a repeat, or a tax
// nested under itself) is skipped, so that every text reads in finite time.
Tree read(QStringView text);

// The canonical text of a tree: the taxes of each group from its first slot, "0" in empty slots.
// A tree that holds a tax twice keeps the first occurrence in reading order.
QString write(const Tree& tree);

// Whether the tree holds the tax of `letter`, in either direction.
bool contains(const Tree& tree, QChar letter);

// What the device finds wrong with a chain text it is asked to store.
enum class Defect {
    None,
    Length,    // not 20 characters
    Character, // a character other than A-D, a-d and 0
    Gap,       // an empty slot before a tax in the same group
    Repeat,    // a tax that stands twice, in either direction
    Orphan,    // a filled group of a tax that is not in the chain
};

// The device's check of a chain text: the canonical text of a tree, and nothing else.
Defect check(QStringView text);

} // namespace taxchain
