#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class Driver;
class QMainWindow;

namespace view {

class CallHub;

// The menu "Вид" of the main window: it opens the windows that follow the device and the calls
// ("Бумажная лента", "Устройство", "Журнал вызовов"), each non-modal and opened once; the windows
// close with the main window. Without a traced driver the entries are disabled.
class ViewMenu : public QObject
{
    Q_OBJECT

public:
    // `speedName` names a position in the list of exchange speeds.
    ViewMenu(QMainWindow& window, const Driver* driver, std::function<QString(int)> speedName);
    ~ViewMenu() override;

    QMenu* menu() const { return m_menu; }
    // The window of an entry, opened (or raised) as choosing the entry does.
    QWidget* openJournal();
    QWidget* openTape();
    QWidget* openPanel();

private:
    QWidget* show(QPointer<QWidget>& window, const std::function<QWidget*(CallHub&)>& make);

    QPointer<CallHub> m_hub;
    std::function<QString(int)> m_speedName;
    QMenu* m_menu;
    QPointer<QWidget> m_tape;
    QPointer<QWidget> m_panel;
    QPointer<QWidget> m_journal;
};

} // namespace view
