#include "ChosenDevice.h"
#include "StartForm.h"
#include "StartUp.h"
#include "WindowMemory.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv); // takes the locale from the environment
    // The program's own windows come back where the operator left them; only the program itself
    // keeps this file, never a test or a benchmark that shows the same windows.
    view::WindowMemory::useFile(
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
            .filePath(u"TestQuolt/windows.ini"_s));
    // The built-in device, or one served by quolt-device serve ("--device-server URL"), with
    // every call followed by the view windows.
    if (const int failed = view::registerChosenDevice(app.arguments()); failed != 0)
        return failed;
    const QPointer<StartForm> start = beginRun(app);
    const int code = app.exec();
    delete start.data(); // still there when the program ended from the start window
    return code;
}
