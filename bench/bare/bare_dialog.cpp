// The yardstick of bench_startup: a bare Qt program, built with the program's flags, that shows
// one empty dialog. Once the dialog is on screen it prints its resident memory and its peak, in
// kB, and ends at once, so that the caller times the start alone. With the argument `text` the
// dialog holds one line of text: the least that any window with words in it costs, the fonts.
// With `form` it is the program's start window as its form lays it out, every box and label in
// place but nothing of the program behind it: what Qt alone needs to show that window.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QFile>
#include <QWindow>

#include "ui_StartForm.h"

#include <cstdio>
#include <cstdlib>

namespace {

long statusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QDialog dialog;
    Ui::StartForm form;
    if (app.arguments().contains(QStringLiteral("text")))
        new QLabel(QStringLiteral("Тест"), &dialog);
    else if (app.arguments().contains(QStringLiteral("form")))
        form.setupUi(&dialog);
    dialog.show();
    QElapsedTimer waited;
    waited.start();
    while (!(dialog.windowHandle() && dialog.windowHandle()->isExposed())) {
        if (waited.elapsed() > 10000)
            return 2;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    std::printf("%ld %ld\n", statusKb("VmRSS:"), statusKb("VmHWM:"));
    std::fflush(stdout);
    std::_Exit(0);
}
