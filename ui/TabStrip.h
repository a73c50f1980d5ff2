#pragma once

#include <QList>
#include <QObject>

class QTabBar;
class QWidget;

namespace forms {

// A tab strip over one page per tab: selecting a tab shows its page and hides the others; every
// page takes the size of the largest; the keyboard focus moves with the page.
// Ctrl+Tab selects the next tab, from the last back to the first; with `withPrevious`,
// Ctrl+Shift+Tab selects the previous one, from the first round to the last.
class TabStrip : public QObject
{
    Q_OBJECT

public:
    enum class Backwards { No, Yes };

    TabStrip(QTabBar* bar, QList<QWidget*> pages, Backwards backwards = Backwards::No);

    int current() const;
    void select(int index);
    void selectNext();
    void selectPrevious();

private:
    void showPage(int index);
    void focusInto(QWidget* page);
    void sizePagesAlike();

    QTabBar* m_bar;
    QList<QWidget*> m_pages;
};

} // namespace forms
