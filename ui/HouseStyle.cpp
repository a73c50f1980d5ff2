#include "HouseStyle.h"

#include <QApplication>

namespace ui {

void applyHouseStyle(QApplication& app)
{
    app.setStyleSheet(
        QStringLiteral("QLineEdit[readOnly=\"true\"] { background-color: palette(window); }"));
}

} // namespace ui
