#include "ServedDevices.h"

#include "DeviceStore.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace service {
namespace {

// Beside the device's database: the lock its server holds and the address it serves it at.
QString lockPath(const QString& folder, int port)
{
    return emulator::DeviceStore::databasePath(folder, port) + u".served"_s;
}

QString addressPath(const QString& folder, int port)
{
    return lockPath(folder, port) + u"-at"_s;
}

// Who holds a device's lock, in words.
QString holderOf(QLockFile& lock, const QString& folder, int port)
{
    qint64 pid = 0;
    QString host;
    QString program;
    if (!lock.getLockInfo(&pid, &host, &program))
        return u"another server"_s;
    QString text = u"process %1 (%2)"_s.arg(pid).arg(program.isEmpty() ? u"?"_s : program);
    QFile address(addressPath(folder, port));
    if (address.open(QIODevice::ReadOnly))
        text += u" at "_s + QString::fromUtf8(address.readAll()).trimmed();
    return text;
}

} // namespace

std::unique_ptr<ServedDevices> ServedDevices::take(const QString& folder, const QList<int>& ports,
                                                   QString* error)
{
    std::unique_ptr<ServedDevices> served(new ServedDevices);
    served->m_folder = QDir(folder).absolutePath();
    for (int port : ports) {
        if (served->m_devices.count(port) > 0)
            continue;
        Held held;
        held.lock = std::make_unique<QLockFile>(lockPath(served->m_folder, port));
        // Never stale by age, however long a server runs: only a lock whose process is gone
        // (a server that was killed) is taken over.
        held.lock->setStaleLockTime(0);
        if (!held.lock->tryLock(0)) {
            *error = held.lock->error() == QLockFile::LockFailedError
                         ? u"COM%1 in %2 is already served by %3"_s.arg(port).arg(
                               QDir::toNativeSeparators(served->m_folder),
                               holderOf(*held.lock, served->m_folder, port))
                         : u"COM%1 in %2 cannot be locked for serving (is the folder writable?)"_s
                               .arg(port)
                               .arg(QDir::toNativeSeparators(served->m_folder));
            return nullptr;
        }
        emulator::Expected<std::unique_ptr<emulator::DeviceSession>> opened =
            emulator::DeviceSession::open(served->m_folder, port, emulator::OpenMode::ExistingOnly);
        if (!opened) {
            *error = u"COM%1 cannot be opened: %2"_s.arg(port).arg(opened.detail());
            return nullptr;
        }
        held.session = std::move(*opened);
        served->m_devices.emplace(port, std::move(held));
    }
    return served;
}

ServedDevices::~ServedDevices()
{
    for (auto& [port, held] : m_devices) {
        if (!held.addressFile.isEmpty())
            QFile::remove(held.addressFile);
    }
}

void ServedDevices::announce(const QString& address)
{
    for (auto& [port, held] : m_devices) {
        QSaveFile file(addressPath(m_folder, port));
        if (file.open(QIODevice::WriteOnly) && file.write(address.toUtf8() + '\n') >= 0 &&
            file.commit())
            held.addressFile = file.fileName();
    }
}

QList<int> ServedDevices::ports() const
{
    QList<int> ports;
    for (const auto& [port, held] : m_devices)
        ports << port;
    return ports;
}

emulator::DeviceSession* ServedDevices::session(int port)
{
    const auto found = m_devices.find(port);
    return found == m_devices.end() ? nullptr : found->second.session.get();
}

} // namespace service
