#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace forms {

// Places a window in the middle of the screen it is on, whole on it as far as it fits.
void centreOnScreen(QWidget& window);

// Keeps a window whole on the available area of its screen: shrinks it to what fits and moves it
// in from any edge it runs over. Content that cannot shrink so far scrolls in the window.
void keepOnScreen(QWidget& window);

// A window's frame (the window with its title bar and borders) shrunk to what `available` holds
// and moved in from any edge it runs over.
QRect fittedFrame(QRect frame, const QRect& available);

} // namespace forms
