#pragma once

#include "DeviceState.h"
#include "EklzArchive.h"
#include "Expected.h"

#include <QDate>
#include <QStringList>

#include <cstdint>

namespace emulator {

// What the control tape is asked for: a report kind in its printed numbering and its arguments
// (shift numbers, a KPK number or a range of closing dates).
struct EklzRequest
{
    std::int32_t kind = 0;
    bool byDate = false; // asked through EKLZPrintReportByDate
    std::int32_t first = 0;
    std::int32_t last = 0;
    QDate firstDate;
    QDate lastDate;
};

// The lines of a control tape report as the device prints them, laid out from the records of
// the tape; a request with nothing in it fails with EklzNoData and says why.
Expected<QStringList> eklzReport(EklzArchive& archive, const DeviceState& state,
                                 const EklzRequest& request);

// The report as text lines for GetTextDeviceInfo(-i): print styles dropped, and no line left
// empty, since an empty line ends the text.
QStringList electronicLines(const QStringList& printed);

} // namespace emulator
