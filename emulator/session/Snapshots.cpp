#include "Snapshots.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace emulator::snapshots {
namespace {

QString folderOf(const QString& folder, int port)
{
    return QDir(folder).filePath(u"snapshots/com%1"_s.arg(port));
}

Status refusedName(const QString& name)
{
    return Status(
        Failure{ErrorCode::InvalidValue, Reason::General},
        u"the snapshot name \"%1\" is not 1 to 64 letters, digits, '-', '_' or '.'"_s.arg(name));
}

} // namespace

bool isSafeName(const QString& name)
{
    if (name.isEmpty() || name.size() > 64 || name.startsWith(u'.'))
        return false;
    return std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
               c == u'-' || c == u'_' || c == u'.';
    });
}

QString path(const QString& folder, int port, const QString& name)
{
    return QDir(folderOf(folder, port)).filePath(name + u".sqlite"_s);
}

Status save(DeviceStore& store, const QString& folder, int port, const QString& name)
{
    if (!isSafeName(name))
        return refusedName(name);
    if (!QDir().mkpath(folderOf(folder, port)))
        return Status(Failure{ErrorCode::StorageError, Reason::General},
                      u"cannot create %1"_s.arg(folderOf(folder, port)));
    return store.copyTo(path(folder, port, name));
}

Status restore(DeviceSession& session, const QString& folder, int port, const QString& name)
{
    if (!isSafeName(name))
        return refusedName(name);
    const Status restored = session.store().restoreFrom(path(folder, port, name));
    return restored ? session.reload() : restored;
}

Expected<QStringList> list(const QString& folder, int port)
{
    QStringList names;
    const QFileInfoList files =
        QDir(folderOf(folder, port)).entryInfoList({u"*.sqlite"_s}, QDir::Files, QDir::Name);
    for (const QFileInfo& file : files)
        names << file.completeBaseName();
    return names;
}

Status remove(const QString& folder, int port, const QString& name)
{
    if (!isSafeName(name))
        return refusedName(name);
    const QString file = path(folder, port, name);
    if (!QFileInfo::exists(file))
        return Status(Failure{ErrorCode::StorageError, Reason::General},
                      u"there is no snapshot %1"_s.arg(name));
    // The checksum goes with its snapshot; left behind alone, it would only be ignored.
    for (const QString& gone : {file, DeviceStore::checksumPath(file)}) {
        if (QFileInfo::exists(gone) && !QFile::remove(gone))
            return Status(Failure{ErrorCode::StorageError, Reason::General},
                          u"cannot delete %1"_s.arg(QDir::toNativeSeparators(gone)));
    }
    return Done{};
}

} // namespace emulator::snapshots
