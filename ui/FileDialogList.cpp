#include "FileDialogList.h"

#include <QDateTime>
#include <QFileSystemModel>
#include <QLocale>

#include <array>

using namespace Qt::StringLiterals;

namespace forms {
namespace {

// The columns of the file system model.
enum Column { Name, Size, Kind, Modified };

} // namespace

QString fileSizeText(qint64 bytes)
{
    static constexpr std::array units{u"КБ", u"МБ", u"ГБ", u"ТБ"};
    if (bytes < 1024)
        return u"%1 байт"_s.arg(bytes);
    double value = double(bytes) / 1024;
    std::size_t unit = 0;
    for (; value >= 1024 && unit + 1 < units.size(); ++unit)
        value /= 1024;
    return QString::number(value, 'f', 2) + u' ' + QString::fromUtf16(units[unit]);
}

QVariant FileDialogList::data(const QModelIndex& index, int role) const
{
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files || role != Qt::DisplayRole || index.column() == Name)
        return QIdentityProxyModel::data(index, role);
    const QModelIndex file = mapToSource(index);
    switch (index.column()) {
    case Size:
        return files->isDir(file) ? QString() : fileSizeText(files->size(file));
    case Kind:
        // The kinds of files come from the system's file types, already in the user's language;
        // only the folder's is Qt's own.
        return files->isDir(file) ? u"Папка"_s : QIdentityProxyModel::data(index, role);
    case Modified:
        return QLocale().toString(files->lastModified(file), QLocale::ShortFormat);
    default:
        return QIdentityProxyModel::data(index, role);
    }
}

} // namespace forms
