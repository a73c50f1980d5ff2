// What the control tape's reports say: each kind laid out from the records of the tape.

#include "EklzReports.h"

#include "DeviceNumbers.h"
#include "Printout.h"
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

void heading(Printout& out, const DeviceState& state, const QString& title)
{
    out.centered(title);
    out.columns(u"ККМ "_s + state.serial, u"ИНН "_s + state.taxpayerNumber);
    out.line(u"ЭКЛЗ "_s + state.eklzNumber);
    out.separator();
}

void closingLine(Printout& out, const EklzRecord& z)
{
    out.columns(u"ЗАКРЫТА "_s + z.at.toString(kDateTime), tape::kpkText(z.kpk));
}

Expected<QStringList> activation(const DeviceState& state)
{
    Printout out(state.lineWidth);
    heading(out, state, u"ИТОГ АКТИВИЗАЦИИ ЭКЛЗ"_s);
    out.line(u"РЕГ. НОМЕР "_s + state.registration);
    out.line(u"АКТИВИЗАЦИЯ "_s + (state.eklzActivatedAt.isValid()
                                      ? state.eklzActivatedAt.toString(kDateTime)
                                      : u"--"_s));
    // The tape was activated on a new device, before any sale.
    out.amountLine(u"ИТОГ"_s, 0);
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
    heading(out, state, u"КОНТРОЛЬНАЯ ЛЕНТА"_s);
    out.line(u"СМЕНА %1"_s.arg(shift));
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
    heading(out, state, u"ИТОГИ СМЕНЫ %1"_s.arg(shift));
    if (!closed->isEmpty()) {
        closingLine(out, closed->constFirst());
        tape::shiftTotals(out, closed->constFirst().counters.value_or(Counters{}), false);
    } else {
        // Only the current shift can still be open.
        out.line(u"СМЕНА НЕ ЗАКРЫТА"_s);
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
    heading(out, state, u"ДОКУМЕНТ ПО НОМЕРУ КПК"_s);
    out.columns(u"СМЕНА %1"_s.arg((*found)->shift), tape::kpkText(kpk));
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
    heading(out, state,
            full ? u"ПОЛНЫЙ ОТЧЕТ ПО ЗАКРЫТИЯМ СМЕН"_s : u"КРАТКИЙ ОТЧЕТ ПО ЗАКРЫТИЯМ СМЕН"_s);
    out.line(range);
    out.separator();
    Kopecks sales = 0;
    for (const EklzRecord& z : *closings) {
        sales += z.total;
        if (full) {
            out.line(u"СМЕНА %1"_s.arg(z.shift));
            closingLine(out, z);
            tape::shiftTotals(out, z.counters.value_or(Counters{}), false);
            out.separator();
        } else {
            out.columns(u"СМЕНА %1 %2"_s.arg(z.shift).arg(z.at.toString(kDate)),
                        u'=' + formatMoney(z.total));
        }
    }
    if (!full)
        out.separator();
    out.columns(u"СМЕН %1"_s.arg(closings->size()), u"ПРОДАЖИ ="_s + formatMoney(sales));
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
