#include "NetworkPlugin.h"

#include "NetworkLink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

#include <mutex>
#include <optional>

using namespace Qt::StringLiterals;

namespace remote {
namespace {

struct Loaded
{
    NetworkLink* link = nullptr;
    QString error;
};

// The drivers of several threads may open their connections at once.
std::mutex g_mutex;
std::optional<QStringList> g_folders; // the tests' choice
std::optional<Loaded> g_loaded;

bool inside(const QString& path, const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return !canonical.isEmpty() && (path == canonical || path.startsWith(canonical + u'/'));
}

QStringList networkPluginFolders()
{
    const QString here = QCoreApplication::applicationDirPath();
    if (here.isEmpty())
        return {};
    QStringList folders{here, QDir::cleanPath(here + u'/' + QStringLiteral(QUOLT_PLUGIN_FROM_BIN))};
    // An executable of the build tree (the tests, the benchmarks) finds the build's plugin; an
    // installed one never looks into a build tree.
    if (inside(here, QStringLiteral(QUOLT_BUILD_ROOT)))
        folders << QStringLiteral(QUOLT_PLUGIN_BUILT_IN);
    folders.removeDuplicates();
    return folders;
}

Loaded load(const QStringList& folders)
{
    const QString fileName = networkPluginFileName();
    QStringList refused;
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(fileName);
        if (!QFileInfo::exists(path))
            continue;
        QPluginLoader loader(path);
        QObject* root = loader.instance();
        if (auto* link = qobject_cast<NetworkLink*>(root))
            return {link, {}};
        refused << path + u": "_s +
                       (root ? u"not the network plugin of this program"_s : loader.errorString());
    }
    if (!refused.isEmpty())
        return {nullptr, u"the network plugin cannot be loaded: "_s + refused.join(u"; "_s)};
    if (folders.isEmpty())
        return {nullptr, u"the network plugin cannot be loaded: the program's folder is unknown"_s};
    QStringList looked;
    for (const QString& folder : folders)
        looked << QDir::toNativeSeparators(QDir(folder).filePath(fileName));
    return {nullptr, u"the network plugin cannot be loaded: there is no "_s + looked.join(u", "_s)};
}

} // namespace

QString networkPluginFileName()
{
    return QStringLiteral(QUOLT_NETWORK_PLUGIN);
}

void searchNetworkPluginIn(const QStringList& folders)
{
    const std::lock_guard lock(g_mutex);
    g_folders = folders.isEmpty() ? std::nullopt : std::optional<QStringList>(folders);
    g_loaded.reset();
}

NetworkLink* networkLink(QString* error)
{
    const std::lock_guard lock(g_mutex);
    if (!g_loaded)
        g_loaded = load(g_folders.value_or(networkPluginFolders()));
    if (!g_loaded->link)
        *error = g_loaded->error;
    return g_loaded->link;
}

} // namespace remote
