#pragma once

#include "DeviceState.h"
#include "Expected.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace emulator {

// One record of the control tape: a fiscal document or a Z report under its KPK number.
struct EklzRecord
{
    int kpk = 0;
    int shift = 0;
    int kind = 0; // kEklzZReport or the document type
    QDateTime at;
    Kopecks total = 0;
    QStringList lines;                // as printed; empty for closings read without their text
    std::optional<Counters> counters; // the shift's counters, for closings
};

// Reads the control tape kept in a device's database. It works on the connection of the
// device's store, inside the transaction of the call that asks, so a report sees the tape as
// the call does. Every lookup uses an index: by KPK number, by shift, by closing date.
class EklzArchive
{
public:
    explicit EklzArchive(const QString& connectionName);
    ~EklzArchive();
    EklzArchive(const EklzArchive&) = delete;
    EklzArchive& operator=(const EklzArchive&) = delete;

    Expected<std::optional<EklzRecord>> record(int kpk);
    // Every record of one shift, in KPK order, the Z report last when the shift is closed.
    Expected<QList<EklzRecord>> shift(int shift);
    // The Z reports of the shifts first..last, with their counters, in shift order.
    Expected<QList<EklzRecord>> closings(int firstShift, int lastShift);
    // The Z reports made on the days first..last, with their counters.
    Expected<QList<EklzRecord>> closingsOn(const QDate& first, const QDate& last);

private:
    struct Queries;
    std::unique_ptr<Queries> m_queries;
};

} // namespace emulator
