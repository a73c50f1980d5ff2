// The cash in the drawer against the shifts' counters: within the open shift, within each closed
// shift, and carried from each shift into the next.

#include "DeviceLedgerRecords.h"

#include "DeviceNumbers.h"
#include "DeviceOptions.h"

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace ledger::detail {
namespace {

using emulator::Counter;
using emulator::Kopecks;

// What the cash payment means took in a shift: the cash at its start plus this is the cash at
// its end.
Kopecks cashTake(const emulator::PaymentMeans& means, const Values& counters)
{
    Kopecks take = 0;
    for (int type = 1; type <= emulator::kPaymentMeans; ++type) {
        if (means[std::size_t(type - 1)].cash)
            take += counters[std::size_t(type - 1)];
    }
    return take;
}

// Whether a Z report of this device may empty the drawer instead of carrying its cash over: the
// devices that have the option to. Which way the option stood at each Z report is not on record,
// so a shift of such a device may begin with the cash carried or with none.
bool mayEmptyAtZ(const emulator::DeviceState& state)
{
    const emulator::OptionRule* rule = emulator::optionRule(DeviceOption::CarryCashOver);
    return rule && state.major >= rule->since;
}

} // namespace

void checkDrawer(const emulator::DeviceState& s, const Records& r, QStringList& out)
{
    const emulator::PaymentMeans& means = s.peripherals.paymentMeans;
    if (std::any_of(means.cbegin(), means.cend(),
                    [](const emulator::PaymentMean& m) { return m.change && !m.cash; }))
        return; // change paid from the drawer for a non-cash mean shows in no cash counter

    const Kopecks start = s.shiftCounters[Counter::CashAtShiftStart];
    const Kopecks cash = start + cashTake(means, s.shiftCounters.values());
    if (s.cashInDrawer != cash)
        out << u"%1 in the drawer, the shift began with %2 and its cash means add up to %3"_s
                   .arg(s.cashInDrawer)
                   .arg(start)
                   .arg(cash);

    // Each closed shift hands its cash at the end to the shift after it: the next closed one,
    // or the one the device counts now (open, or as the last Z report left it).
    for (qsizetype i = 0; i < r.shifts.size(); ++i) {
        const Values& counters = r.shifts[i].counters;
        const Kopecks began = at(counters, Counter::CashAtShiftStart);
        const Kopecks ended = began + cashTake(means, counters);
        const Kopecks next = i + 1 < r.shifts.size()
                                 ? at(r.shifts[i + 1].counters, Counter::CashAtShiftStart)
                                 : start;
        if (next != ended && !(next == 0 && mayEmptyAtZ(s)))
            out << u"shift %1 began with %2 and its cash means took %3, the shift after it began"
                   u" with %4"_s.arg(r.shifts[i].number)
                       .arg(began)
                       .arg(ended - began)
                       .arg(next);
    }
}

} // namespace ledger::detail
