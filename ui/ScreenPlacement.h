#pragma once

class QWidget;

namespace ui {

// Places a window in the middle of the screen it is on.
void centreOnScreen(QWidget& window);

} // namespace ui
