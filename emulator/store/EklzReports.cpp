// What the control tape's reports say: each kind laid out from the records of the tape.

#include "EklzReports.h"

#include "DeviceMessages.h"
#include "DeviceNumbers.h"
#include "Printout.h"
#include "ReportLayout.h"
#include "TapeLayout.h"

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

const QString kDateTime = u"dd.MM.yyyy HH:mm"_s;
const QString kDate = u"dd.MM.yyyy"_s;

Failure noData(Reason reason)
{
    return Failure{ErrorCode::EklzNoData, reason};
}

void eklzHeading(Printout& out, const DeviceState& state, const QString& title)
{
    out.centered(title);
    out.columns(word(Word::Register) + u' ' + state.serial,
                word(Word::Inn) + u' ' + state.taxpayerNumber);
    out.line(word(Word::Eklz) + u' ' + state.eklzNumber);
    out.separator();
}

void closingLine(Printout& out, const EklzRecord& z)
{
    out.columns(word(Word::Closed) + u' ' + z.at.toString(kDateTime), tape::kpkText(z.kpk));
}

Expected<QStringList> activation(const DeviceState& state)
{
    Printout out(state.lineWidth);
    eklzHeading(out, state, word(Word::ActivationTotal));
    out.line(word(Word::RegistrationNumber) + u' ' + state.registration);
    out.line(
        word(Word::Activation) + u' ' +
        (state.eklzActivatedAt.isValid() ? state.eklzActivatedAt.toString(kDateTime) : u"--"_s));
    out.amountLine(word(Word::Total), state.eklzActivationTotal);
    return out.takeLines();
}

// A shift number the device has used: 1 to the current one.
Failure checkShift(const DeviceState& state, std::int32_t shift)
{
    if (shift < 1 || shift > state.shiftNumber)
        return noData(Reason::NoSuchShift);
    return {};
}

Expected<QStringList> controlTape(EklzArchive& archive, const DeviceState& state, int shift)
{
    if (const Failure f = checkShift(state, shift); !f.ok())
        return f;
    auto records = archive.shift(shift);
    if (!records)
        return Expected<QStringList>(records.failure(), records.detail());
    if (records->isEmpty())
        return noData(Reason::NothingInRange);
    Printout out(state.lineWidth);
    eklzHeading(out, state, word(Word::ControlTape));
    out.line(tape::numbered(Word::Shift, shift));
    out.separator();
    QStringList lines = out.takeLines();
    for (const EklzRecord& record : *records)
        lines += record.lines;
    return lines;
}

Expected<QStringList> totalsOfShift(EklzArchive& archive, const DeviceState& state, int shift)
{
    if (const Failure f = checkShift(state, shift); !f.ok())
        return f;
    auto closed = archive.closings(shift, shift);
    if (!closed)
        return Expected<QStringList>(closed.failure(), closed.detail());
    Printout out(state.lineWidth);
    eklzHeading(out, state, tape::numbered(Word::ShiftTotals, shift));
    if (!closed->isEmpty()) {
        closingLine(out, closed->constFirst());
        tape::shiftTotals(out, closed->constFirst().counters.value_or(Counters{}), false);
    } else {
        // Only the current shift can still be open.
        out.line(word(Word::ShiftNotClosed));
        tape::shiftTotals(out, state.shiftCounters, false);
    }
    return out.takeLines();
}

Expected<QStringList> documentByKpk(EklzArchive& archive, const DeviceState& state, int kpk)
{
    auto found = archive.record(kpk);
    if (!found)
        return Expected<QStringList>(found.failure(), found.detail());
    if (!*found)
        return noData(Reason::NoSuchKpk);
    Printout out(state.lineWidth);
    eklzHeading(out, state, word(Word::DocumentByKpk));
    out.columns(tape::numbered(Word::Shift, (*found)->shift), tape::kpkText(kpk));
    out.separator();
    return out.takeLines() + (*found)->lines;
}

// The short and the full report over the closings of a range of shifts or days.
Expected<QStringList> overClosings(const DeviceState& state, bool full, const QString& range,
                                   const Expected<QList<EklzRecord>>& closings)
{
    if (!closings)
        return Expected<QStringList>(closings.failure(), closings.detail());
    if (closings->isEmpty())
        return noData(Reason::NothingInRange);
    Printout out(state.lineWidth);
    eklzHeading(out, state, word(full ? Word::FullReport : Word::ShortReport));
    out.line(range);
    out.separator();
    Kopecks sales = 0;
    for (const EklzRecord& z : *closings) {
        sales += z.total;
        if (full) {
            out.line(tape::numbered(Word::Shift, z.shift));
            closingLine(out, z);
            tape::shiftTotals(out, z.counters.value_or(Counters{}), false);
            out.separator();
        } else {
            out.columns(tape::numbered(Word::Shift, z.shift) + u' ' + z.at.toString(kDate),
                        u'=' + formatMoney(z.total));
        }
    }
    if (!full)
        out.separator();
    out.columns(tape::numbered(Word::Shifts, closings->size()),
                word(Word::Sales) + u" ="_s + formatMoney(sales));
    return out.takeLines();
}

Expected<QStringList> byShifts(EklzArchive& archive, const DeviceState& state, bool full,
                               std::int32_t first, std::int32_t last)
{
    if (first > last)
        return noData(Reason::ReversedRange);
    return overClosings(state, full, u"СМЕНЫ С %1 ПО %2"_s.arg(first).arg(last),
                        archive.closings(first, last));
}

Expected<QStringList> byDates(EklzArchive& archive, const DeviceState& state, bool full,
                              const QDate& first, const QDate& last)
{
    if (!first.isValid() || !last.isValid())
        return Failure{ErrorCode::InvalidDate, Reason::General};
    if (first > last)
        return noData(Reason::ReversedRange);
    return overClosings(state, full,
                        u"С %1 ПО %2"_s.arg(first.toString(kDate), last.toString(kDate)),
                        archive.closingsOn(first, last));
}

} // namespace

Expected<QStringList> eklzReport(EklzArchive& archive, const DeviceState& state,
                                 const EklzRequest& r)
{
    using namespace EklzReport;
    if (r.byDate) {
        if (r.kind != ShortByDates && r.kind != FullByDates)
            return Failure{ErrorCode::UnknownIndex, Reason::General};
        return byDates(archive, state, r.kind == FullByDates, r.firstDate, r.lastDate);
    }
    switch (r.kind) {
    case Activation:
        return activation(state);
    case ControlTape:
        return controlTape(archive, state, r.first);
    case ShiftTotals:
        return totalsOfShift(archive, state, r.first);
    case DocumentByKpk:
        return documentByKpk(archive, state, r.first);
    case ShortByShifts:
    case FullByShifts:
        return byShifts(archive, state, r.kind == FullByShifts, r.first, r.last);
    default:
        return Failure{ErrorCode::UnknownIndex, Reason::General};
    }
}

QStringList electronicLines(const QStringList& printed)
{
    QStringList lines;
    lines.reserve(printed.size());
    for (const QString& line : printed) {
        const QString text = tapeText(line).text;
        lines.append(text.isEmpty() ? u" "_s : text);
    }
    return lines;
}

} // namespace emulator
