#include "HouseStyle.h"
#include "StartForm.h"
#include "ChosenDevice.h"
#include "Translations.h"

#include <QApplication>
#include <QPointer>
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

int main(int argc, char* argv[])
{
    QApplication app(argc, argv); // takes the locale from the environment
    useUtf8Characters();
    forms::installQtTranslations(app);
    forms::applyHouseStyle(app);
    // The built-in device, or one served by quolt-device serve ("--device-server URL"), with
    // every call followed by the view windows.
    if (const int failed = view::registerChosenDevice(app.arguments()); failed != 0)
        return failed;

    QPointer<StartForm> start = new StartForm;
    start->setAttribute(Qt::WA_DeleteOnClose);
    // Shown once the event loop runs, so that a start window which cannot create the driver
    // object can end the program from its loading.
    QTimer::singleShot(0, start, &QWidget::show);
    const int code = app.exec();
    delete start; // still there when the program ended from the start window
    return code;
}
