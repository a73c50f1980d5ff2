#pragma once

class QCoreApplication;

namespace forms {

// Makes Qt's standard dialogs (file dialog, message box buttons, context menus of text boxes)
// speak Russian, as the rest of the program does whatever the operator's locale. Returns false
// when Qt's translations are not installed; the dialogs then stay in English.
bool installQtTranslations(QCoreApplication& app);

// Makes Russian the locale of everything the program shows through Qt (month and day names of
// the date pickers, the file dialogs' dates and sizes), whatever the system's locale. Numbers do
// not follow it: they are read and written with a point everywhere (the number readers,
// QString::number, and QLocale::c() wherever a QLocale formats one).
void useRussianLocale();

} // namespace forms
