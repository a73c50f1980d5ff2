#include "HouseStyle.h"

#include <QApplication>

namespace forms {

void applyHouseStyle(QApplication& app)
{
    app.setStyleSheet(
        QStringLiteral("QLineEdit[readOnly=\"true\"] { background-color: palette(window); }"));
}

} // namespace forms
