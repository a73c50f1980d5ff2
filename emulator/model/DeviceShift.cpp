// The shift, the drawer, the reports and the printer tests.

#include "Device.h"
#include "DeviceNumbers.h"
#include "DeviceMessages.h"
#include "ReportLayout.h"
#include "TapeLayout.h"

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

constexpr int kMaxRegisterNumber = 9999;

} // namespace

Failure Device::checkShiftLimit() const
{
    if (!m_state.shiftOpen || !m_state.shiftOpenedAt.isValid())
        return kOk;
    const qint64 limit = static_cast<qint64>(option(DeviceOption::ShiftTimeLimit)) * 3600;
    if (m_state.shiftOpenedAt.secsTo(now()) > limit)
        return fail(ErrorCode::ShiftTooLong, Reason::ShiftClosedAtInit);
    return kOk;
}

Failure Device::startSession(const QString& cashier, std::int32_t registerNumber)
{
    if (m_state.shiftOpen)
        return fail(ErrorCode::ShiftAlreadyOpen);
    if (cashier.trimmed().isEmpty())
        return fail(ErrorCode::InvalidValue, Reason::EmptyText);
    if (const Failure f = checkText(cashier, kMaxCashierLength); !f.ok())
        return f;
    if (registerNumber < 1)
        return fail(ErrorCode::InvalidValue, Reason::NotPositive);
    if (registerNumber > kMaxRegisterNumber)
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;

    m_state.shiftOpen = true;
    m_state.shiftNumber += 1;
    m_state.shiftOpenedAt = now();
    m_state.registerNumber = registerNumber;
    m_state.cashier = cashier;
    m_state.cashierSet = true;
    m_state.departmentCounters.clear();
    // The shift counters started afresh at the last Z report. What was counted since then, a
    // duplicate printed between the shifts, belongs to this shift: wiping it would leave the
    // general counters larger than the sum of their shifts.
    m_state.shiftCounters[Counter::LastZNumber] = m_state.totalCounters[Counter::LastZNumber];
    m_state.shiftCounters[Counter::CashAtShiftStart] = m_state.cashInDrawer;

    Printout out = paper();
    tape::shiftOpened(out, m_state);
    print(out);
    return kOk;
}

Failure Device::endSession()
{
    if (!m_state.shiftOpen)
        return fail(ErrorCode::ShiftNotOpen);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;

    const int zNumber = static_cast<int>(m_state.totalCounters[Counter::LastZNumber]) + 1;
    m_state.totalCounters[Counter::LastZNumber] = zNumber;
    m_state.shiftCounters[Counter::LastZNumber] = zNumber;
    Printout out = paper();
    printShiftReport(out, tape::numbered(Word::ZReport, zNumber), false);
    // The Z report is the last record of the shift on the control tape.
    m_state.lastKpk += 1;
    m_state.eklzLastAt = now();
    tape::eklzStamp(out, m_state, m_state.lastKpk);
    out.centered(word(Word::ShiftClosed));
    const QStringList report = out.lines();
    print(out);

    m_effects.shifts.append(Effects::ClosedShift{m_state.shiftNumber, m_state.shiftOpenedAt, now(),
                                                 m_state.shiftCounters, m_state.lastKpk, report});
    m_state.shiftOpen = false;
    m_state.shiftOpenedAt = QDateTime();
    m_state.departmentCounters.clear();
    m_state.shiftCounters.clear();
    m_state.shiftCounters[Counter::LastZNumber] = zNumber;
    // Option 45 off: the cash is taken out with the Z report and the next shift starts empty.
    // Devices without the option always carry it over (its default).
    if (option(DeviceOption::CarryCashOver) == 0)
        m_state.cashInDrawer = 0;
    m_state.shiftCounters[Counter::CashAtShiftStart] = m_state.cashInDrawer;
    return kOk;
}

void Device::printShiftReport(Printout& out, const QString& title, bool byDepartment) const
{
    tape::shiftReport(out, m_state, title, byDepartment, now());
    printReportTaxTotals(out, m_state.shiftCounters);
    // Closed off as a receipt is: a Z report's control tape stamp goes below the rule.
    out.separator();
}

Failure Device::setClerk(const QString& cashier)
{
    if (cashier.trimmed().isEmpty())
        return fail(ErrorCode::InvalidValue, Reason::EmptyText);
    if (const Failure f = checkText(cashier, kMaxCashierLength); !f.ok())
        return f;
    m_state.cashier = cashier;
    m_state.cashierSet = true;
    return kOk;
}

Failure Device::openDrawer()
{
    if (option(DeviceOption::LockDrawer) != 0)
        return fail(ErrorCode::NotAllowedInState, Reason::DrawerLocked);
    kickDrawer();
    return kOk;
}

// The drawer's latch gets a pulse. One that the sensor already shows open is left alone unless
// option 20 says to kick it every time; either way the caller's command succeeds.
void Device::kickDrawer()
{
    if (m_state.sensors.drawerOpen && option(DeviceOption::AlwaysOpenDrawer) == 0)
        return;
    m_state.drawerKicks = saturatingAdd(m_state.drawerKicks, 1);
    m_state.sensors.drawerOpen = true;
}

Failure Device::printDuplicate()
{
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (m_state.lastReceipt.isEmpty())
        return fail(ErrorCode::NoReceiptForDuplicate);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    Printout out = paper();
    tape::duplicate(out, m_state.lastReceipt);
    print(out);
    addToBoth(Counter::DuplicateCount, 1);
    addToBoth(Counter::DuplicateSum, m_state.lastReceiptTotal);
    return kOk;
}

Failure Device::printReport(std::int32_t kind)
{
    using namespace ReportKind;
    if (kind != X1 && kind != X2 && kind != Z1 && kind != Programming)
        return fail(ErrorCode::UnknownIndex);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (kind == Z1)
        return endSession();
    if (kind != Programming && !m_state.shiftOpen)
        return fail(ErrorCode::ShiftNotOpen);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    Printout out = paper();
    if (kind == Programming) {
        tape::programmingReport(out, m_state, now());
    } else {
        printShiftReport(out, word(kind == X1 ? Word::XReport : Word::X2Report), kind == X2);
    }
    print(out);
    return kOk;
}

Failure Device::testPrinter(std::int32_t kind)
{
    if (kind < TestKind::TrialReceipt || kind > TestKind::PrinterTest)
        return fail(ErrorCode::UnknownIndex);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    Printout out = paper();
    tape::printerTest(out, m_state, kind, now());
    print(out);
    return kOk;
}

} // namespace emulator
