#include "StartUp.h"

#include "HouseStyle.h"
#include "StartForm.h"
#include "Translations.h"

#include <QApplication>
#include <QTimer>

#include <clocale>
#include <cstring>

#include <langinfo.h>

namespace {

// The windows' Russian titles go to the window system through the C library's character set as
// well; under a locale without one (LC_ALL=C) the older title property would carry mangled bytes.
// Only the character set changes: numbers and everything else keep the operator's locale.
void useUtf8Characters()
{
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

} // namespace

StartForm* beginRun(QApplication& app)
{
    useUtf8Characters();
    forms::installQtTranslations(app);
    forms::useRussianLocale();
    forms::applyHouseStyle(app);

    auto* start = new StartForm;
    start->setAttribute(Qt::WA_DeleteOnClose);
    // Shown once the event loop runs, so that a start window which cannot create the driver
    // object can end the program from its loading.
    QTimer::singleShot(0, start, &QWidget::show);
    return start;
}
