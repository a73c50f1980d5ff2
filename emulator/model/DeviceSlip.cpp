// Slip printing: the mode set by the driver, and documents printed on inserted slips instead of
// the receipt roll.

#include "Device.h"
#include "DeviceMessages.h"
#include "DeviceNumbers.h"
#include "TapeLayout.h"

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

constexpr int kMaxCopies = 9;
constexpr int kMaxRows = 99;

Failure outOfRange(std::int32_t value, std::int32_t min, std::int32_t max)
{
    if (value < min)
        return Failure{ErrorCode::InvalidValue, min > 0 ? Reason::NotPositive : Reason::Negative};
    if (value > max)
        return Failure{ErrorCode::InvalidValue, Reason::TooLarge};
    return Failure{};
}

} // namespace

Failure Device::setPrintDocumentMode(std::int32_t mode, std::int32_t side, std::int32_t copies,
                                     std::int32_t fiscalCopy, std::int32_t rowsBefore,
                                     std::int32_t rowsBetween)
{
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (mode != PrintMode::Roll && mode != PrintMode::Slip)
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    // The mode is the cashier's to change.
    if (!m_state.cashierSet)
        return fail(ErrorCode::NotAllowedInState);
    SlipPrinter& slip = m_state.peripherals.slip;
    if (mode == PrintMode::Roll) {
        // Back to the roll: the slip settings do not matter then and are kept as they were.
        slip.on = false;
        return kOk;
    }
    if (side != SlipSide::Left && side != SlipSide::Right)
        return fail(ErrorCode::InvalidValue,
                    side < SlipSide::Right ? Reason::NotPositive : Reason::TooLarge);
    for (const Failure f :
         {outOfRange(copies, 1, kMaxCopies), outOfRange(fiscalCopy, 1, std::max(1, copies)),
          outOfRange(rowsBefore, 0, kMaxRows), outOfRange(rowsBetween, 0, kMaxRows)}) {
        if (!f.ok())
            return f;
    }
    slip.on = true;
    slip.settings = slipmode::Settings{side, copies, fiscalCopy, rowsBefore, rowsBetween};
    return kOk;
}

std::int32_t Device::slipModeInfo() const
{
    const SlipPrinter& slip = m_state.peripherals.slip;
    return slip.on ? slipmode::pack(slip.settings) : 0;
}

bool Device::slipMissing() const
{
    return m_state.peripherals.slip.on && !m_state.sensors.slipInserted;
}

Failure Device::checkSlip() const
{
    return slipMissing() ? fail(ErrorCode::NoSlipInserted) : kOk;
}

// The document's lines on the inserted slip, once per copy: each copy after its blank rows, the
// copies apart by the rows between, the fiscal copy marked as such. The line in brackets stands
// for the slip itself, so that a listing of slips shows where one begins and how it lies.
void Device::printOnSlip(const Document& document)
{
    const slipmode::Settings& s = m_state.peripherals.slip.settings;
    QStringList slip;
    slip << tape::kSlipOpening + u"%1, %2, КОПИЙ: %3]"_s.arg(document.number)
                                     .arg(s.side == SlipSide::Left ? u"СЛЕВА"_s : u"СПРАВА"_s)
                                     .arg(s.copies);
    for (int copy = 1; copy <= s.copies; ++copy) {
        if (copy > 1) {
            for (int row = 0; row < s.rowsBetween; ++row)
                slip << QString();
        }
        for (int row = 0; row < s.rowsBefore; ++row)
            slip << QString();
        Printout out = paper();
        out.centered(copy == s.fiscalCopy ? u"ФИСКАЛЬНАЯ КОПИЯ"_s
                                          : tape::numbered(Word::Copy, copy));
        slip << out.takeLines() << document.lines;
    }
    m_effects.slips += slip;
}

} // namespace emulator
