#include "TabbedDialog.h"

#include "ScreenPlacement.h"

#include <QTabBar>

namespace forms {

void TabbedDialog::setUpTabs(QTabBar* bar, const QStringList& captions, QList<QWidget*> pages,
                             TabStrip::Backwards backwards, Placement placement)
{
    Q_ASSERT(captions.size() == pages.size());
    Q_ASSERT(!m_tabs);
    for (const QString& caption : captions)
        bar->addTab(caption);
    m_tabs = new TabStrip(bar, std::move(pages), backwards);
    m_placement = placement;
}

void TabbedDialog::showEvent(QShowEvent* event)
{
    if (!m_placed && m_tabs) {
        m_placed = true;
        m_tabs->select(0);
        if (m_placement == Placement::Centred)
            centreOnScreen(*this);
    }
    Loadable<QDialog>::showEvent(event);
}

} // namespace forms
