#include "ViewMenu.h"

#include "CallHub.h"
#include "JournalWindow.h"
#include "PanelWindow.h"
#include "TapeWindow.h"

#include <QMainWindow>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace view {

ViewMenu::ViewMenu(QMainWindow& window, const Driver* driver, std::function<QString(int)> speedName)
    : QObject(&window), m_hub(CallHub::of(driver)), m_speedName(std::move(speedName)),
      m_menu(new QMenu(u"Вид"_s, &window))
{
    m_menu->setObjectName(u"mnView"_s);
    QAction* tape = m_menu->addAction(u"Бумажная лента"_s);
    tape->setObjectName(u"mnTape"_s);
    QAction* panel = m_menu->addAction(u"Устройство"_s);
    panel->setObjectName(u"mnDevicePanel"_s);
    QAction* journal = m_menu->addAction(u"Журнал вызовов"_s);
    journal->setObjectName(u"mnJournal"_s);
    window.menuBar()->addMenu(m_menu);

    tape->setEnabled(m_hub != nullptr);
    panel->setEnabled(m_hub != nullptr);
    journal->setEnabled(m_hub != nullptr);
    connect(journal, &QAction::triggered, this, &ViewMenu::openJournal);
    connect(tape, &QAction::triggered, this, &ViewMenu::openTape);
    connect(panel, &QAction::triggered, this, &ViewMenu::openPanel);
}

ViewMenu::~ViewMenu()
{
    // The windows have no parent, so that the main window's modal windows leave them usable;
    // they go with the main window all the same.
    delete m_tape.data();
    delete m_panel.data();
    delete m_journal.data();
}

QWidget* ViewMenu::show(QPointer<QWidget>& window, const std::function<QWidget*(CallHub&)>& make)
{
    if (!m_hub)
        return nullptr;
    if (!window)
        window = make(*m_hub);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QWidget* ViewMenu::openJournal()
{
    return show(m_journal, [](CallHub& hub) { return new JournalWindow(hub); });
}

} // namespace view

namespace view {

QWidget* ViewMenu::openTape()
{
    return show(m_tape, [](CallHub& hub) { return new TapeWindow(hub); });
}

} // namespace view

namespace view {

QWidget* ViewMenu::openPanel()
{
    return show(m_panel, [this](CallHub& hub) { return new PanelWindow(hub, m_speedName); });
}

} // namespace view
