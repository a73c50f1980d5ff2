#pragma once

class QCoreApplication;

namespace forms {

// Makes Qt's standard dialogs (file dialog, message box buttons, context menus of text boxes)
// speak Russian, as the rest of the program does whatever the operator's locale. Returns false
// when Qt's translations are not installed; the dialogs then stay in English.
bool installQtTranslations(QCoreApplication& app);

} // namespace forms
