// The electronic control tape (EKLZ): when its reports may be made and printed, and the room it
// has left for fiscal documents.

#include "Device.h"
#include "DeviceMessages.h"
#include "DeviceNumbers.h"

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

// The control tape and its reports came with this generation.
constexpr int kEklzFromMajor = 4;

} // namespace

Failure Device::checkEklzReport(bool printed) const
{
    if (m_state.major < kEklzFromMajor)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (!printed)
        return kOk;
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    return checkPrinter();
}

Failure Device::checkEklzNumbers(std::int32_t kind, std::int32_t first, std::int32_t last) const
{
    using namespace EklzReport;
    // The activation report takes no number, the reports of one shift or document the first,
    // the reports over closings both.
    const bool takesFirst = kind == ControlTape || kind == ShiftTotals || kind == DocumentByKpk ||
                            kind == ShortByShifts || kind == FullByShifts;
    const bool takesLast = kind == ShortByShifts || kind == FullByShifts;
    if ((takesFirst && first < 1) || (takesLast && last < 1))
        return fail(ErrorCode::InvalidValue, Reason::NotPositive);
    return kOk;
}

Failure Device::checkEklzDates(std::int32_t kind, const QDate& first, const QDate& last) const
{
    if (kind != EklzReport::ShortByDates && kind != EklzReport::FullByDates)
        return kOk;
    if (!first.isValid() || !last.isValid())
        return fail(ErrorCode::InvalidDate);
    if (!onCalendar(first) || !onCalendar(last))
        return fail(ErrorCode::InvalidDate, Reason::OffCalendar);
    return kOk;
}

Failure Device::printEklzReport(const QStringList& lines)
{
    if (const Failure f = checkEklzReport(true); !f.ok())
        return f;
    m_effects.tape += lines;
    return kOk;
}

Failure Device::checkEklzSpace(DocumentType type) const
{
    if (m_state.sensors.eklzFull && !documentKind(type).text)
        return fail(ErrorCode::EklzFull);
    return kOk;
}

bool Device::printsControlTapeOnZ() const
{
    return option(DeviceOption::PrintEklzTapeOnZReport) != 0;
}

void Device::printControlTape(int shift, const QStringList& lines)
{
    Printout out = paper();
    out.centered(word(Word::ControlTape) + u" СМЕНЫ %1"_s.arg(shift));
    out.separator();
    m_effects.tape += out.takeLines();
    m_effects.tape += lines;
}

} // namespace emulator
