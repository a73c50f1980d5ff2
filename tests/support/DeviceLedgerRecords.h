#pragma once

// What the device ledger reads from a built-in device's database, shared by its checks.

#include "DeviceState.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace ledger::detail {

using Values = std::array<qint64, emulator::kCounterCount>;

struct DocumentRecord
{
    int number = 0;
    int type = 0;
    int shift = 0;
    qint64 total = 0;
    bool cancelled = false;
};

struct ShiftRecord
{
    int number = 0;
    Values counters{};
};

struct EklzRecord
{
    int kpk = 0;
    int shift = 0;
    int kind = 0;
    qint64 total = 0;
};

struct Records
{
    QList<DocumentRecord> documents;
    QList<ShiftRecord> shifts;
    QList<EklzRecord> eklz;
};

// A stretch of the device's life with counters of its own: all time, a closed shift, or the open
// shift; with the documents issued or cancelled in it.
struct Period
{
    QString name;
    Values counters{};
    QList<DocumentRecord> documents;
    bool open = false; // the open shift
};

inline qint64 at(const Values& values, emulator::Counter counter)
{
    return values[static_cast<std::size_t>(counter) - 1];
}

// All time, every closed shift on record, and the open shift if there is one.
QList<Period> periods(const emulator::DeviceState& state, const Records& records);

// The drawer: of the open shift, of each closed shift, and carried from one shift to the next.
void checkDrawer(const emulator::DeviceState& state, const Records& records, QStringList& out);

// Voids, corrections, discounts and surcharges, tare and taxes, as far as the records show them.
void checkOperations(const emulator::DeviceState& state, const Records& records, QStringList& out);

} // namespace ledger::detail
