#pragma once

class QApplication;

namespace forms {

// The program's look beyond the platform style: read-only boxes (status lines, counters, the
// fetched error texts) are drawn on the window's background, so that the operator does not take
// them for boxes to type in.
void applyHouseStyle(QApplication& app);

} // namespace forms
