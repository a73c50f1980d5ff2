#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace forms {

namespace {

QLocale russian()
{
    return QLocale(QLocale::Russian, QLocale::Russia);
}

} // namespace

bool installQtTranslations(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(russian(), u"qtbase"_s, u"_"_s,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void useRussianLocale()
{
    QLocale::setDefault(russian());
}

} // namespace forms
