#pragma once

#include "DeviceMessages.h"
#include "DeviceState.h"

#include <QString>

#include <optional>

namespace emulator {

// A count and a sum counter that a closed document moves together.
struct CounterPair
{
    Counter count;
    Counter sum;
};

// What the device does with each type of document: what it takes, which way money moves and which
// counters count it when it closes. One row per type, so that a new rule is a new column, not a
// new branch in every command.
struct DocumentKind
{
    std::optional<Word> title = std::nullopt; // printed under the header, if any
    bool positions = false;                   // takes positions and corrections, total = their sum
    bool text = false;                        // a text document: lines only, no money
    int money = 0; // +1 the drawer takes money in, -1 pays it out, 0 none
    // The count and sum of closed documents of this type, and a second family they belong to
    // (the sale returns).
    std::optional<CounterPair> counted = std::nullopt;
    std::optional<CounterPair> alsoCounted = std::nullopt;
    bool sales = false; // adds to the running sales total
    // Counted in the departments of its goods as well (in its own department when it has none).
    bool departmental = false;
    bool nonFiscal = false; // counted among the non-fiscal documents
};

const DocumentKind& documentKind(DocumentType type);

// The sign with which an entry enters the total: tare returns and discounts subtract.
int entrySign(EntryKind kind);
// Goods, tare and purchases, as opposed to discounts and surcharges.
bool isPosition(EntryKind kind);
// The quantity of all the positions among `entries`, in thousandths.
qint64 positionQuantity(const QList<Entry>& entries);
// Counters never wrap: at the end of the range they stay there.
qint64 saturatingAdd(qint64 a, qint64 b);

QString documentTitle(DocumentType type);

} // namespace emulator
