#include "AboutProgram.h"

#include "CallHub.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

AboutFacts aboutFacts(const Driver& driver, std::int32_t majorVersion, std::int32_t minorVersion)
{
    AboutFacts facts;
    facts.version = QStringLiteral(QUOLT_VERSION);
    facts.majorVersion = majorVersion;
    facts.minorVersion = minorVersion;
    if (const view::CallHub* hub = view::CallHub::of(&driver)) {
        if (const std::optional<view::DeviceAddress> device = hub->device()) {
            facts.port = device->port;
            facts.devicesFolder = QDir::toNativeSeparators(device->folder);
        }
    }
    facts.documentationFolder = documentationFolder(QCoreApplication::applicationDirPath());
    return facts;
}

QString aboutText(const AboutFacts& facts)
{
    const QString unknown = u"неизвестно"_s;
    QStringList lines;
    lines << u"TestQuolt, версия %1"_s.arg(facts.version);
    lines << u"Проверка драйвера фискального принтера Quolt 840MX вручную."_s;
    lines << QString();
    lines << u"Устройство: поколение %1.%2, COM-порт %3"_s.arg(facts.majorVersion)
                 .arg(facts.minorVersion)
                 .arg(facts.port ? QString::number(*facts.port) : unknown);
    lines << u"Виртуальные устройства: %1"_s.arg(
        facts.devicesFolder.isEmpty() ? unknown : facts.devicesFolder);
    lines << u"Журналы драйвера: по путям, заданным при инициализации; путь вида c:\\имя.log — "
             u"файл в папке устройств"_s;
    lines << u"Документация: %1"_s.arg(
        facts.documentationFolder.isEmpty() ? unknown : facts.documentationFolder);
    return lines.join(u'\n');
}

QString documentationFolder(const QString& programFolder)
{
    const QDir installed(programFolder + u"/../share/doc/testquolt"_s);
    if (QFileInfo::exists(installed.filePath(u"README.md"_s)))
        return QDir::toNativeSeparators(installed.canonicalPath());
    const QDir source(QStringLiteral(QUOLT_SOURCE_DOCS));
    if (QFileInfo::exists(source.filePath(u"architecture.md"_s)))
        return QDir::toNativeSeparators(source.canonicalPath());
    return {};
}
