#pragma once

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
    const char16_t* title;                  // printed under the header; empty for none
    bool positions;                         // takes positions and corrections, total = their sum
    bool text;                              // a text document: lines only, no money
    int money;                              // +1 the drawer takes money in, -1 pays it out, 0 none
    std::optional<CounterPair> counted;     // count and sum of closed documents of this type
    std::optional<CounterPair> alsoCounted; // a second family it belongs to (sale returns)
    bool sales;                             // adds to the sales totals and the department sales
    bool nonFiscal;                         // counted among the non-fiscal documents
};

const DocumentKind& documentKind(DocumentType type);

// The sign with which an entry enters the total: tare returns and discounts subtract.
int entrySign(EntryKind kind);
// Goods, tare and purchases, as opposed to discounts and surcharges.
bool isPosition(EntryKind kind);
// Counters never wrap: at the end of the range they stay there.
qint64 saturatingAdd(qint64 a, qint64 b);

QString paymentName(int type);
QString documentTitle(DocumentType type);

} // namespace emulator
