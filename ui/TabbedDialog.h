#pragma once

#include "Loadable.h"
#include "TabStrip.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QTabBar;
class QWidget;

namespace forms {

// A dialog whose pages sit under a tab strip: the options, document extras, information and
// statistics windows. When it loads it shows the first tab and, if asked to, centres itself on
// the screen; then the window's own loading runs.
class TabbedDialog : public Loadable<QDialog>
{
public:
    enum class Placement { AsOpened, Centred };

    using Loadable<QDialog>::Loadable;

protected:
    // Called once, from the constructor after setupUi: one caption per page, in tab order.
    void setUpTabs(QTabBar* bar, const QStringList& captions, QList<QWidget*> pages,
                   TabStrip::Backwards backwards, Placement placement);

    TabStrip& tabs() const { return *m_tabs; }

    void showEvent(QShowEvent* event) override;

private:
    TabStrip* m_tabs = nullptr;
    Placement m_placement = Placement::AsOpened;
    bool m_placed = false;
};

} // namespace forms
