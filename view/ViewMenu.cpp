#include "ViewMenu.h"

#include "CallHub.h"
#include "JournalWindow.h"
#include "PanelWindow.h"
#include "ScreenPlacement.h"
#include "TapeWindow.h"
#include "WindowMemory.h"

#include <QAction>
#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace view {

ViewMenu::ViewMenu(QMainWindow& window, const Driver* driver, std::function<QString(int)> speedName)
    : QObject(&window), m_main(window), m_hub(CallHub::of(driver)),
      m_speedName(std::move(speedName)), m_menu(new QMenu(u"&Вид"_s, &window))
{
    m_menu->setObjectName(u"mnView"_s);
    m_views[Tape] = {u"tape"_s,
                     m_menu->addAction(u"&Бумажная лента"_s),
                     [this] { return new TapeWindow(*m_hub); },
                     {}};
    m_views[Panel] = {u"panel"_s,
                      m_menu->addAction(u"&Устройство"_s),
                      [this] { return new PanelWindow(*m_hub, m_speedName); },
                      {}};
    m_views[Journal] = {u"journal"_s,
                        m_menu->addAction(u"&Журнал вызовов"_s),
                        [this] { return new JournalWindow(*m_hub); },
                        {}};
    const QString names[] = {u"mnTape"_s, u"mnDevicePanel"_s, u"mnJournal"_s};
    const QKeySequence keys[] = {Qt::CTRL | Qt::Key_1, Qt::CTRL | Qt::Key_2, Qt::CTRL | Qt::Key_3};
    for (int i = 0; i < ViewCount; ++i) {
        View& view = m_views[i];
        view.action->setObjectName(names[i]);
        view.action->setShortcut(keys[i]);
        view.action->setEnabled(m_hub != nullptr);
        connect(view.action, &QAction::triggered, this, [this, &view] { open(view, true); });
    }
    window.menuBar()->addMenu(m_menu);
    window.installEventFilter(this);
    // Once the main window is on screen: the windows left open by the last run open beside it.
    if (m_hub && WindowMemory::inUse())
        QTimer::singleShot(0, this, &ViewMenu::reopen);
}

ViewMenu::~ViewMenu()
{
    m_ending = true;
    // The windows have no parent, so that the main window's modal windows leave them usable;
    // they go with the main window all the same.
    for (View& view : m_views)
        delete view.window.data();
}

QWidget* ViewMenu::openTape()
{
    return open(m_views[Tape], true);
}

QWidget* ViewMenu::openPanel()
{
    return open(m_views[Panel], true);
}

QWidget* ViewMenu::openJournal()
{
    return open(m_views[Journal], true);
}

QWidget* ViewMenu::open(View& view, bool activate)
{
    if (!m_hub)
        return nullptr;
    if (!view.window) {
        QWidget* window = view.make();
        view.window = window;
        window->installEventFilter(this);
        // The menu's keys open the other windows from this one as well.
        for (const View& entry : m_views)
            window->addAction(entry.action);
        const std::optional<WindowMemory::Left> left = WindowMemory::of(view.name);
        if (!left || !window->restoreGeometry(left->geometry))
            forms::centreOnScreen(*window);
    }
    QWidget* window = view.window;
    // Whole on the screen, whatever size it was made or remembered at.
    if (!window->isVisible())
        forms::keepOnScreen(*window);
    window->show();
    if (activate) {
        window->raise();
        window->activateWindow();
    }
    return window;
}

void ViewMenu::reopen()
{
    bool opened = false;
    for (View& view : m_views) {
        const std::optional<WindowMemory::Left> left = WindowMemory::of(view.name);
        if (left && left->open && !m_ending) {
            open(view, false);
            opened = true;
        }
    }
    if (opened)
        m_main.activateWindow();
}

void ViewMenu::remember(const View& view, bool open)
{
    if (view.window && !WindowMemory::remember(view.name, *view.window, open))
        qWarning("The place of the window %s could not be remembered", qPrintable(view.name));
}

bool ViewMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_main && event->type() == QEvent::Close && !m_ending) {
        // The run ends: every window remembers its place and whether it is open now.
        m_ending = true;
        for (const View& view : m_views)
            remember(view, view.window && view.window->isVisible());
    } else if (event->type() == QEvent::Hide && !event->spontaneous() && !m_ending) {
        // Closed by the operator: it stays closed in the next run.
        for (const View& view : m_views) {
            if (watched == view.window)
                remember(view, false);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace view
