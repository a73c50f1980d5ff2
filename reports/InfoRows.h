#pragma once

#include <QList>
#include <QString>

#include <cstdint>

// The identification rows of the device information window and the generation that shows them.
namespace reports {

struct InfoRow
{
    QString caption;
    std::int32_t index = 0; // GetTextDeviceInfo(index)

    friend bool operator==(const InfoRow&, const InfoRow&) = default;
};

// The rows for a device of the given generation, in display order: five on every device, the
// four rows of the control tape (EKLZ) added from generation 4.
QList<InfoRow> infoRows(int majorVersion);

} // namespace reports
