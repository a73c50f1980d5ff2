#pragma once

#include <QList>
#include <QString>

#include <cstdint>

// The rows of the device status window: which flags it lists, in which order, and where each
// flag is read. Kept apart from the window so that the choice by mode and generation can be
// checked without widgets.
namespace reports {

enum class StatusSource { DeviceInfo, DeviceOpt };

struct StatusRow
{
    QString caption;
    StatusSource source = StatusSource::DeviceInfo;
    std::int16_t index = 0;

    friend bool operator==(const StatusRow&, const StatusRow&) = default;
};

// The rows shown for a device of the given generation: the full list, or only the paper-end
// conditions of the slip and thermal printers when `printerOnly`.
QList<StatusRow> statusRows(bool printerOnly, int majorVersion);

} // namespace reports
