// The shape of the tree against what the docs say of it: every file and folder the docs name
// exists, and includes between the folders of the program run one way. The libraries hold most
// directions at build time (each emulator layer sees only the layers below it); the window
// folders share one library, so the direction among them is held here.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QDir root()
{
    return QDir(QStringLiteral(QUOLT_SOURCE_ROOT));
}

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("%s cannot be read", qPrintable(path));
    return QString::fromUtf8(file.readAll());
}

// Every file of the tree matching the filters by its folder relative to the root; builds and
// hidden folders left out, and the tests unless asked for.
QHash<QString, QString> fileFolders(const QStringList& filters, bool withTests)
{
    QHash<QString, QString> folderOf;
    QDirIterator it(root().path(), filters, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = root().relativeFilePath(it.next());
        if (relative.startsWith(u"build"_s) || relative.startsWith(u'.') ||
            (!withTests && relative.startsWith(u"tests/"_s)))
            continue;
        folderOf.insert(relative.section(u'/', -1), relative.section(u'/', 0, -2));
    }
    return folderOf;
}

// A name in backticks that reads as a file or folder of the tree: a path with a slash, or a
// file name with a source or document ending. "Device.h/.cpp" names two files.
QStringList namedPaths(const QString& text)
{
    static const QRegularExpression quoted(u"`([^`\\s]+)`"_s);
    static const QRegularExpression fileName(u"^[\\w./-]+\\.(h|cpp|ui|md|sh|jsonl)$"_s);
    static const QRegularExpression folder(u"^[a-z][\\w-]*(/[\\w-]+)*/$"_s);
    QStringList paths;
    auto found = quoted.globalMatch(text);
    while (found.hasNext()) {
        const QString name = found.next().captured(1);
        if (name.endsWith(u"/.cpp"_s) && fileName.match(name.chopped(5)).hasMatch()) {
            paths << name.chopped(5) << name.chopped(6) + u"cpp"_s;
        } else if (fileName.match(name).hasMatch() || folder.match(name).hasMatch()) {
            paths << name;
        }
    }
    return paths;
}

} // namespace

class TestGateStructure : public QObject
{
    Q_OBJECT

private slots:
    void docsNameOnlyWhatExists_data()
    {
        QTest::addColumn<QString>("document");
        QTest::newRow("README") << u"README.md"_s;
        const QDir docs(root().filePath(u"docs"_s));
        for (const QString& name : docs.entryList({u"*.md"_s}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << u"docs/"_s + name;
    }

    // A path is looked up from the root, then from the folder of the document; a bare file name
    // anywhere in the tree.
    void docsNameOnlyWhatExists()
    {
        QFETCH(QString, document);
        const QHash<QString, QString> folderOf = fileFolders({}, true);
        const QString text = readText(root().filePath(document));
        const QDir besides(QFileInfo(root().filePath(document)).path());
        QStringList missing;
        for (const QString& path : namedPaths(text)) {
            if (path.startsWith(u"build/"_s)) // made by a build, not kept in the tree
                continue;
            const bool bare = !path.contains(u'/');
            const bool found =
                bare ? folderOf.contains(path) || root().exists(path) || besides.exists(path)
                     : root().exists(path) || besides.exists(path);
            if (!found)
                missing << path;
        }
        missing.removeDuplicates();
        QVERIFY2(missing.isEmpty(), qPrintable(u"not in the tree: "_s + missing.join(u", "_s)));
    }

    void includesRunOneWay_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("forbidden");
        const QStringList windows{u"documents"_s, u"reports"_s, u"settings"_s, u"taxes"_s};
        for (const QString& window : windows)
            QTest::newRow(qPrintable(window)) << window << QStringList{u"app"_s, u"tool"_s};
        QTest::newRow("ui") << u"ui"_s << (windows + QStringList{u"app"_s, u"view"_s});
        QTest::newRow("view") << u"view"_s << (windows + QStringList{u"app"_s, u"tool"_s});
        QTest::newRow("tape") << u"tape"_s
                              << (windows + QStringList{u"app"_s, u"ui"_s, u"view"_s, u"tool"_s});
        QTest::newRow("tool") << u"tool"_s << (windows + QStringList{u"app"_s, u"ui"_s, u"view"_s});
    }

    void includesRunOneWay()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, forbidden);
        static const QRegularExpression include(u"^#include \"([^\"]+)\""_s,
                                                QRegularExpression::MultilineOption);
        const QHash<QString, QString> folderOf = fileFolders({u"*.h"_s}, false);
        QStringList wrong;
        QDirIterator it(root().filePath(folder), {u"*.h"_s, u"*.cpp"_s}, QDir::Files);
        while (it.hasNext()) {
            const QString file = it.next();
            auto found = include.globalMatch(readText(file));
            while (found.hasNext()) {
                const QString header = found.next().captured(1).section(u'/', -1);
                const QString target = folderOf.value(header).section(u'/', 0, 0);
                if (forbidden.contains(target))
                    wrong << root().relativeFilePath(file) + u" -> "_s + target + u'/' + header;
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u"; "_s)));
    }
};

QTEST_GUILESS_MAIN(TestGateStructure)
#include "tst_gate_structure.moc"
