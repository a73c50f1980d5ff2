#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

class Driver;
class QAction;
class QMainWindow;

namespace view {

class CallHub;

// The menu "Вид" of the main window: it opens the windows that follow the device and the calls
// ("Бумажная лента" Ctrl+1, "Устройство" Ctrl+2, "Журнал вызовов" Ctrl+3; the keys work from those
// windows too), each non-modal and opened once, whole on the screen. The windows close with the
// main window. Where the program keeps a WindowMemory, each window comes back where the operator
// left it, and the windows open when the main window closed open again with the next one. Without
// a traced driver the entries are disabled.
class ViewMenu : public QObject
{
    Q_OBJECT

public:
    // `speedName` names a position in the list of exchange speeds.
    ViewMenu(QMainWindow& window, const Driver* driver, std::function<QString(int)> speedName);
    ~ViewMenu() override;

    QMenu* menu() const { return m_menu; }
    // The window of an entry, opened (or raised) as choosing the entry does.
    QWidget* openTape();
    QWidget* openPanel();
    QWidget* openJournal();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct View
    {
        QString name; // the window's key in the WindowMemory
        QAction* action = nullptr;
        std::function<QWidget*()> make;
        QPointer<QWidget> window;
    };
    enum { Tape, Panel, Journal, ViewCount };

    QWidget* open(View& view, bool activate);
    void reopen();
    void remember(const View& view, bool open);

    QMainWindow& m_main;
    QPointer<CallHub> m_hub;
    std::function<QString(int)> m_speedName;
    QMenu* m_menu;
    std::array<View, ViewCount> m_views;
    bool m_ending = false; // the main window has closed: what is open now stays remembered as open
};

} // namespace view
