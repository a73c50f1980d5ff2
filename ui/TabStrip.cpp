#include "TabStrip.h"

#include <QApplication>
#include <QShortcut>
#include <QTabBar>
#include <QWidget>

#include <algorithm>

namespace forms {

TabStrip::TabStrip(QTabBar* bar, QList<QWidget*> pages, Backwards backwards)
    : QObject(bar), m_bar(bar), m_pages(std::move(pages))
{
    connect(m_bar, &QTabBar::currentChanged, this, &TabStrip::showPage);
    QWidget* window = m_bar->window();
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), window);
    connect(next, &QShortcut::activated, this, &TabStrip::selectNext);
    if (backwards == Backwards::Yes) {
        // Shift+Tab arrives as Backtab; both spellings are bound so every platform sees one.
        for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)}) {
            auto* previous = new QShortcut(keys, window);
            connect(previous, &QShortcut::activated, this, &TabStrip::selectPrevious);
        }
    }
    showPage(m_bar->currentIndex());
}

int TabStrip::current() const
{
    return m_bar->currentIndex();
}

void TabStrip::select(int index)
{
    m_bar->setCurrentIndex(index);
}

void TabStrip::selectNext()
{
    const int count = m_bar->count();
    if (count > 0)
        select((current() + 1) % count);
}

void TabStrip::selectPrevious()
{
    const int count = m_bar->count();
    if (count > 0)
        select((current() - 1 + count) % count);
}

void TabStrip::showPage(int index)
{
    sizePagesAlike();
    const bool focusOnAPage = std::any_of(m_pages.cbegin(), m_pages.cend(), [](QWidget* page) {
        return page->isVisible() && page->isAncestorOf(QApplication::focusWidget());
    });
    // The others go first: were the new page shown while the old one is still visible, the
    // layout would ask for room for both and the window would grow and stay grown.
    for (int i = 0; i < m_pages.size(); ++i) {
        if (i != index)
            m_pages.at(i)->hide();
    }
    if (index < 0 || index >= m_pages.size())
        return;
    QWidget* page = m_pages.at(index);
    page->show();
    if (focusOnAPage)
        focusInto(page);
}

// The keyboard follows the operator to the new page, as a stacked page does: to the control that
// had the focus there last, else to its first control taken by Tab, else to the tab strip. Left
// alone, hiding the old page would hand the focus to whatever came next in the window, often the
// read-only status line.
void TabStrip::focusInto(QWidget* page)
{
    if (QWidget* last = page->focusWidget(); last && last->isVisibleTo(page) && last->isEnabled()) {
        last->setFocus(Qt::TabFocusReason);
        return;
    }
    for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
        if (!page->isAncestorOf(w))
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !w->focusProxy() &&
            w->isVisibleTo(page) && w->isEnabled()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    m_bar->setFocus(Qt::TabFocusReason);
}

// Every page asks for the room of the largest, so that the window opens at the size its largest
// page needs and keeps it whatever tab the operator selects. Asked again at every selection, since
// loading may have filled a page after the window was built.
void TabStrip::sizePagesAlike()
{
    QSize largest;
    for (QWidget* page : std::as_const(m_pages)) {
        page->ensurePolished();
        largest = largest.expandedTo(page->sizeHint()).expandedTo(page->minimumSize());
    }
    for (QWidget* page : std::as_const(m_pages))
        page->setMinimumSize(largest);
}

} // namespace forms
