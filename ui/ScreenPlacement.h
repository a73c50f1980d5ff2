#pragma once

class QWidget;

namespace forms {

// Places a window in the middle of the screen it is on.
void centreOnScreen(QWidget& window);

} // namespace forms
