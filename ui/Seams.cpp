#include "Seams.h"

#include "FileDialogList.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace forms {
namespace {

void showModalForReal(QDialog& window, QWidget* owner)
{
    if (owner && window.parentWidget() != owner)
        window.setParent(owner, window.windowFlags() | Qt::Dialog);
    window.setWindowModality(Qt::WindowModal);
    window.exec();
}

Answer messageForReal(QWidget* owner, const QString& text, const QString& title, bool yesNo)
{
    if (!yesNo) {
        QMessageBox::information(owner, title, text);
        return Answer::Ok;
    }
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.button(QMessageBox::Yes)->setText(u"Да"_s);
    box.button(QMessageBox::No)->setText(u"Нет"_s);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

int chooseForReal(QWidget* owner, const Choice& choice)
{
    QMessageBox box(QMessageBox::Question, choice.title, choice.text, QMessageBox::NoButton, owner);
    QList<QPushButton*> buttons;
    for (const QString& answer : choice.answers)
        buttons << box.addButton(answer, QMessageBox::ActionRole);
    box.setDefaultButton(buttons.value(choice.preferred));
    box.setEscapeButton(buttons.value(choice.onEscape));
    box.exec();
    const qsizetype chosen = buttons.indexOf(box.clickedButton());
    return chosen < 0 ? choice.onEscape : int(chosen);
}

// An Open dialog that takes a file which may not exist yet (a log file is usually created by
// the program), but only in a folder that exists when the request says the path must exist.
class OpenFileDialog : public QFileDialog
{
public:
    OpenFileDialog(QWidget* owner, const OpenFileRequest& request)
        : QFileDialog(owner, request.title, request.initialDirectory),
          m_folderMustExist(request.pathMustExist)
    {
        setOption(QFileDialog::DontUseNativeDialog);
        setProxyModel(new FileDialogList(this));
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::AnyFile);
    }

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (m_folderMustExist && !files.isEmpty()) {
            const QFileInfo file(files.constFirst());
            if (!file.isDir() && !file.absoluteDir().exists()) {
                QMessageBox::warning(this, windowTitle(),
                                     u"Папка не существует:\n%1"_s.arg(
                                         QDir::toNativeSeparators(file.absolutePath())));
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    bool m_folderMustExist;
};

std::optional<QString> openFileForReal(QWidget* owner, const OpenFileRequest& request)
{
    OpenFileDialog dialog(owner, request);
    const QStringList filters = nameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    dialog.setDefaultSuffix(request.defaultExtension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

std::optional<QString> saveFileForReal(QWidget* owner, const OpenFileRequest& request)
{
    QFileDialog dialog(owner, request.title, request.initialDirectory);
    // Qt's own dialog, so that its file list speaks the program's language.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new FileDialogList(&dialog));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = nameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    dialog.setDefaultSuffix(request.defaultExtension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

SeamHandlers& handlers()
{
    static SeamHandlers current{showModalForReal, messageForReal,
                                openFileForReal,  [](int code) { QCoreApplication::exit(code); },
                                saveFileForReal,  chooseForReal};
    return current;
}

} // namespace

QString programTitle()
{
    return u"TestQuolt"_s;
}

void showModal(QDialog& window, QWidget* owner)
{
    handlers().showModal(window, owner);
}

Answer askYesNo(QWidget* owner, const QString& text, const QString& title)
{
    return handlers().message(owner, text, title, true);
}

int choose(QWidget* owner, const Choice& choice)
{
    return handlers().choose(owner, choice);
}

Answer confirmLoss(QWidget* owner, const QString& text, const QString& title)
{
    const Choice question{text, {u"Да"_s, u"Нет"_s}, 1, 1, title};
    return choose(owner, question) == 0 ? Answer::Yes : Answer::No;
}

void showMessage(QWidget* owner, const QString& text, const QString& title)
{
    handlers().message(owner, text, title, false);
}

std::optional<QString> openFile(QWidget* owner, const OpenFileRequest& request)
{
    return handlers().openFile(owner, request);
}

std::optional<QString> saveFile(QWidget* owner, const OpenFileRequest& request)
{
    return handlers().saveFile(owner, request);
}

void endProgram(int exitCode)
{
    handlers().endProgram(exitCode);
}

SeamOverride::SeamOverride(SeamHandlers replacement) : m_saved(handlers())
{
    SeamHandlers& current = handlers();
    if (replacement.showModal)
        current.showModal = std::move(replacement.showModal);
    if (replacement.message)
        current.message = std::move(replacement.message);
    if (replacement.openFile)
        current.openFile = std::move(replacement.openFile);
    if (replacement.endProgram)
        current.endProgram = std::move(replacement.endProgram);
    if (replacement.saveFile)
        current.saveFile = std::move(replacement.saveFile);
    if (replacement.choose)
        current.choose = std::move(replacement.choose);
}

SeamOverride::~SeamOverride()
{
    handlers() = std::move(m_saved);
}

QStringList nameFilters(const QString& filter)
{
    // "Log Files(*.log)|*.log|All Files (*.*)|*.*" -> {"Log Files (*.log)", "All Files (*.*)"}
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i);
        const qsizetype bracket = description.indexOf(u'(');
        if (bracket > 0)
            description = description.left(bracket).trimmed();
        QString patterns = parts.at(i + 1);
        patterns.replace(u';', u' ');
        result << u"%1 (%2)"_s.arg(description, patterns);
    }
    return result;
}

} // namespace forms
