#include "HouseStyle.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleOption>

namespace forms {
namespace {

// The platform style, with read-only line edits drawn on the window's background. A style sheet
// did the same, but it put every widget of every window through the style sheet's rules when it
// was polished and painted, which took a part of the start and of each redraw of the views.
class HouseStyle final : public QProxyStyle
{
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        if (element == PE_PanelLineEdit && frame && (frame->state & State_ReadOnly)) {
            QStyleOptionFrame onWindow = *frame;
            onWindow.palette.setBrush(QPalette::Base, frame->palette.window());
            QProxyStyle::drawPrimitive(element, &onWindow, painter, widget);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace

void applyHouseStyle(QApplication& app)
{
    app.setStyle(new HouseStyle);
}

} // namespace forms
