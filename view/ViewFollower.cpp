#include "ViewFollower.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace view {

ViewFollower::ViewFollower(QWidget& window, std::function<void()> catchUp)
    : QObject(&window), m_window(window), m_catchUp(std::move(catchUp))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ViewFollower::run);
    window.installEventFilter(this);
}

bool ViewFollower::seen() const
{
    return m_window.isVisible() && !m_window.isMinimized();
}

void ViewFollower::poke()
{
    if (!seen()) {
        m_behind = true;
        return;
    }
    if (m_timer.isActive())
        return;
    // The first change after a quiet spell is taken in at the next turn of the event loop; later
    // ones wait for the rest of the frame, so that a stream of calls costs one update a frame.
    const qint64 since = m_last.isValid() ? m_last.elapsed() : kFrameMs;
    m_timer.start(static_cast<int>(std::max<qint64>(0, kFrameMs - since)));
}

void ViewFollower::run()
{
    if (!seen()) {
        m_behind = true;
        return;
    }
    m_behind = false;
    m_last.start();
    m_catchUp();
}

bool ViewFollower::eventFilter(QObject* watched, QEvent* event)
{
    // Shown again (or brought back from the task bar): what came meanwhile is taken in before the
    // first paint.
    const bool back = event->type() == QEvent::Show || event->type() == QEvent::WindowStateChange;
    if (watched == &m_window && back && m_behind && seen()) {
        m_timer.stop();
        run();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace view
