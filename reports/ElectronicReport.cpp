#include "ElectronicReport.h"

#include "DeviceNumbers.h"
#include "Driver.h"

using namespace Qt::StringLiterals;

namespace reports {

ReportText readElectronicReport(Driver& driver, int maxLines)
{
    ReportText report;
    for (int i = 1; i <= maxLines; ++i) {
        const QString line = driver.GetTextDeviceInfo(TextInfo::eklzReportLine(i));
        report.text += line + u'\n';
        if (line.isEmpty())
            return report;
    }
    report.truncated = true;
    return report;
}

} // namespace reports
