#include "Emulator.h"
#include "StartForm.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    emulator::registerEmulator();

    QPointer<StartForm> start = new StartForm;
    start->setAttribute(Qt::WA_DeleteOnClose);
    // Shown once the event loop runs, so that a start window which cannot create the driver
    // object can end the program from its loading.
    QTimer::singleShot(0, start, &QWidget::show);
    const int code = app.exec();
    delete start; // still there when the program ended from the start window
    return code;
}
