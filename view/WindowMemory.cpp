#include "WindowMemory.h"

#include <QSettings>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace view {
namespace {

QString& file()
{
    static QString path;
    return path;
}

} // namespace

void WindowMemory::useFile(const QString& path)
{
    file() = path;
}

bool WindowMemory::inUse()
{
    return !file().isEmpty();
}

std::optional<WindowMemory::Left> WindowMemory::of(const QString& window)
{
    if (!inUse())
        return std::nullopt;
    QSettings settings(file(), QSettings::IniFormat);
    settings.beginGroup(window);
    if (!settings.contains(u"geometry"_s))
        return std::nullopt;
    return Left{settings.value(u"geometry"_s).toByteArray(), settings.value(u"open"_s).toBool()};
}

bool WindowMemory::remember(const QString& window, const QWidget& shown, bool open)
{
    if (!inUse())
        return true;
    QSettings settings(file(), QSettings::IniFormat);
    settings.beginGroup(window);
    settings.setValue(u"geometry"_s, shown.saveGeometry());
    settings.setValue(u"open"_s, open);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace view
