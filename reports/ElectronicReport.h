#pragma once

#include <QString>

class Driver;

// Reading the text of an electronic control tape report from the driver, line by line.
namespace reports {

// Enough for the control tape of a shift of several thousand receipts; a driver that never sends
// the closing empty line is cut off here instead of hanging the window.
inline constexpr int kMaxReportLines = 100'000;

struct ReportText
{
    QString text;           // every line read, each followed by a line break
    bool truncated = false; // the limit was reached before an empty line came
};

// Reads GetTextDeviceInfo(-1), (-2), ... up to and including the first empty line, or at most
// `maxLines` lines.
ReportText readElectronicReport(Driver& driver, int maxLines = kMaxReportLines);

} // namespace reports
