#pragma once

#include "DeviceState.h"
#include "Printout.h"

#include <QDateTime>

// What the device prints for each of its documents and reports, laid out on the tape. The device
// decides what happens; these functions only say how it looks on paper.
namespace emulator::tape {

// The title that starts the printout of an opened shift, followed by the shift's number.
inline const QString kShiftOpenedTitle = QStringLiteral("ОТКРЫТИЕ СМЕНЫ");

void shiftOpened(Printout& out, const DeviceState& state);
// The count and sum of each kind of document in a shift; with `corrections` also the discounts,
// surcharges, voids, corrections, cancellations and duplicates, as the X and Z reports print them.
void shiftTotals(Printout& out, const Counters& counters, bool corrections);
// The X and Z reports: the open shift's counters, by department when asked.
void shiftReport(Printout& out, const DeviceState& state, const QString& title, bool byDepartment,
                 const QDateTime& at);
void programmingReport(Printout& out, const DeviceState& state);
// The printer tests: 1 trial receipt, 2 print test, other self-test.
void printerTest(Printout& out, const DeviceState& state, int kind, const QDateTime& at);
void duplicate(Printout& out, const QStringList& receipt);

void documentHeader(Printout& out, const DeviceState& state, const Document& document);
void positionLines(Printout& out, const QString& name, qint64 quantity, Kopecks price,
                   Kopecks signedAmount, const QString& prefix);
// The end of a fiscal receipt: total, payments with their card data, change, end lines, EKLZ.
void receiptEnd(Printout& out, const DeviceState& state, const Document& document, Kopecks total,
                Kopecks change);
// "КПК 00000012": a document's number on the control tape.
QString kpkText(int kpk);
// The line that ties a fiscal document or a Z report to the control tape.
void eklzStamp(Printout& out, const DeviceState& state, int kpk);
void textDocumentEnd(Printout& out, const Document& document);
void cancelled(Printout& out);

} // namespace emulator::tape
