#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QWidget;

namespace view {

// Where the program's own windows keep their place on screen and whether they were open, from one
// run to the next. Nothing is kept until the program names the file, so that tests and other
// programs that show these windows leave no trace in the user's settings.
class WindowMemory
{
public:
    // What a window left behind when it was last closed or the program ended.
    struct Left
    {
        QByteArray geometry; // as QWidget::saveGeometry() gives it
        bool open = false;
    };

    // The settings file of the run; an empty path: remember nothing.
    static void useFile(const QString& path);
    static bool inUse();

    static std::optional<Left> of(const QString& window);
    // False when the settings could not be written.
    static bool remember(const QString& window, const QWidget& shown, bool open);
};

} // namespace view
