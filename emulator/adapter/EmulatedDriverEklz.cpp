// The driver's side of the control tape: its reports in print or as text read line by line,
// and the tape of a shift printed after its Z report.

#include "EmulatedDriver.h"

#include "DeviceNumbers.h"
#include "EklzArchive.h"

using namespace Qt::StringLiterals;

namespace emulator {

Driver::Result EmulatedDriver::eklzReport(CommandName member, QList<DriverArgument> arguments,
                                          std::int16_t kind, EklzRequest request)
{
    // Whatever this request gives, the text of an earlier one is no longer ready.
    m_eklzText.clear();
    const bool electronic = kind > EklzReport::ElectronicOffset;
    request.kind = electronic ? kind - EklzReport::ElectronicOffset : kind;
    QStringList text;
    const Result r = command(member, std::move(arguments), [&](Device& d) {
        if (const Failure f = d.checkEklzReport(!electronic); !f.ok())
            return f;
        if (const Failure f =
                request.byDate ? d.checkEklzDates(request.kind, request.firstDate, request.lastDate)
                               : d.checkEklzNumbers(request.kind, request.first, request.last);
            !f.ok())
            return f;
        EklzArchive archive(m_session->store().connectionName());
        Expected<QStringList> lines = emulator::eklzReport(archive, d.state(), request);
        if (!lines)
            return lines.failure();
        if (!electronic)
            return d.printEklzReport(*lines);
        text = electronicLines(*lines);
        return Failure{};
    });
    if (r == 0)
        m_eklzText = std::move(text);
    return r;
}

QString EmulatedDriver::eklzTextLine(std::int32_t index)
{
    // The text was made in the transaction of its request; reading it needs no trip to the
    // database, which keeps a report of thousands of lines quick to read.
    logRequest(u"GetTextDeviceInfo"_s, {index});
    if (!m_session)
        m_lastCode2 = Failure{ErrorCode::NotInitialised, Reason::General}.extendedCode();
    // Line i is index -i; past the end, or with no report ready, the line is empty.
    const qint64 line = -static_cast<qint64>(index);
    const QString text = line <= m_eklzText.size() ? m_eklzText.at(line - 1) : QString();
    logReply(text);
    return text;
}

Failure EmulatedDriver::withControlTape(Device& d, const std::function<Failure(Device&)>& command)
{
    const bool wasOpen = d.state().shiftOpen;
    const int shift = d.state().shiftNumber;
    const Failure f = command(d);
    if (!f.ok() || !wasOpen || d.state().shiftOpen || !d.printsControlTapeOnZ())
        return f;
    EklzArchive archive(m_session->store().connectionName());
    Expected<QList<EklzRecord>> records = archive.shift(shift);
    if (!records)
        return records.failure();
    QStringList lines;
    for (const EklzRecord& record : *records)
        lines += record.lines;
    d.printControlTape(shift, lines);
    return f;
}

} // namespace emulator
