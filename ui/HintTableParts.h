#pragma once

#include "Hints.h"

// The hint table is written in parts, one per family of windows.
namespace forms::hints {

using Hints = QHash<QString, QString>;

// Reports, control tape, status and information.
void addReportWindows(Table& table);
// Device options, customer display, slip printing, taxes, document extras, payment means,
// statistics.
void addSettingWindows(Table& table);
// The windows that follow the device and the calls.
void addViewWindows(Table& table);

} // namespace forms::hints
