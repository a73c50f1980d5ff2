#include "ScreenPlacement.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace forms {
namespace {

QRect availableArea(const QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// The frame around the window: as the window system reports it once the window has been shown,
// and before that as wide as the style draws a title bar and borders, so that a window placed
// before its first showing does not run over the edge by its title bar.
QMargins frameMargins(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    if (frame != inner)
        return {inner.left() - frame.left(), inner.top() - frame.top(),
                frame.right() - inner.right(), frame.bottom() - inner.bottom()};
    const QStyle* style = window.style();
    const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return {border, title + border, border, border};
}

// Puts the window's frame at `wanted`, or as near to it as the available area allows.
void placeFrame(QWidget& window, const QRect& wanted, const QMargins& margins)
{
    const QRect available = availableArea(window);
    if (available.isEmpty())
        return;
    const QRect frame = fittedFrame(wanted, available);
    const QRect inner = frame.marginsRemoved(margins);
    if (inner.size() != window.size())
        window.resize(inner.size());
    window.move(frame.topLeft());
}

} // namespace

QRect fittedFrame(QRect frame, const QRect& available)
{
    frame.setWidth(std::min(frame.width(), available.width()));
    frame.setHeight(std::min(frame.height(), available.height()));
    frame.moveLeft(
        std::clamp(frame.left(), available.left(), available.right() - frame.width() + 1));
    frame.moveTop(
        std::clamp(frame.top(), available.top(), available.bottom() - frame.height() + 1));
    return frame;
}

void centreOnScreen(QWidget& window)
{
    const QMargins margins = frameMargins(window);
    QRect wanted = QRect(QPoint(), window.size()).marginsAdded(margins);
    wanted.moveCenter(availableArea(window).center());
    placeFrame(window, wanted, margins);
}

void keepOnScreen(QWidget& window)
{
    // A window's position is that of its frame, also before it is first shown, when the frame
    // is only an estimate.
    const QMargins margins = frameMargins(window);
    placeFrame(window, QRect(window.pos(), window.size().grownBy(margins)), margins);
}

} // namespace forms
