#pragma once

#include "DeviceState.h"
#include "Printout.h"

#include <QDateTime>

// What the device prints for its shift, its reports and its printer tests. The reports and tests
// are headed as receipts are (see tape::heading), so each names the device, the time and the
// cashier.
namespace emulator::tape {

void shiftOpened(Printout& out, const DeviceState& state);
// The count and sum of each kind of document in a shift; with `corrections` also the discounts,
// surcharges, voids, corrections, cancellations and duplicates, as the X and Z reports print them.
void shiftTotals(Printout& out, const Counters& counters, bool corrections);
// The X and Z reports, titled `title`: the open shift's counters, the money by payment type, when
// asked each department's rows of goods under its own heading (its part of the receipts' totals,
// after their discounts and surcharges, as the shift's rows), the cash in the drawer and the
// running total.
void shiftReport(Printout& out, const DeviceState& state, const QString& title, bool byDepartment,
                 const QDateTime& at);
void programmingReport(Printout& out, const DeviceState& state, const QDateTime& at);
// The printer tests (TestKind): a trial receipt that counts nowhere, the print test with the
// character set and every print attribute, the self-test with the firmware and the sensors.
void printerTest(Printout& out, const DeviceState& state, int kind, const QDateTime& at);

} // namespace emulator::tape
