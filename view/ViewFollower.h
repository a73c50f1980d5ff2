#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

namespace view {

// Keeps a view window's work to what the operator can see. The window tells it of every change
// (a call, a replaced device) with poke(); it runs the window's catch-up once the program is back
// in its event loop, at most once per frame however many changes came, and only while the window
// is shown. A hidden, closed or minimised window pays a flag per change and catches up once when it
// is shown again, before it is painted.
class ViewFollower : public QObject
{
    Q_OBJECT

public:
    static constexpr int kFrameMs = 16;

    ViewFollower(QWidget& window, std::function<void()> catchUp);

    void poke();
    // A catch-up is waiting for the next frame or for the window to be shown.
    bool pending() const { return m_timer.isActive() || m_behind; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool seen() const; // shown and not minimised
    void run();

    QWidget& m_window;
    std::function<void()> m_catchUp;
    QTimer m_timer;
    QElapsedTimer m_last; // since the last catch-up
    bool m_behind = false;
};

} // namespace view
