#pragma once

#include <QString>

namespace emulator {

// The device's fixed message texts, 0 to 122: the words it prints on its documents and reports.
// A number the device has no word for reads as an empty text.
QString deviceMessage(int number);

} // namespace emulator
