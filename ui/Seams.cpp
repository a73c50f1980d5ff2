#include "Seams.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace ui {
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

std::optional<QString> openFileForReal(QWidget* owner, const OpenFileRequest& request)
{
    QFileDialog dialog(owner, request.title, request.initialDirectory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.pathMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = nameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    dialog.setDefaultSuffix(request.defaultExtension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

SeamHandlers& handlers()
{
    static SeamHandlers current{showModalForReal, messageForReal, openFileForReal,
                                [](int code) { QCoreApplication::exit(code); }};
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

void showMessage(QWidget* owner, const QString& text, const QString& title)
{
    handlers().message(owner, text, title, false);
}

std::optional<QString> openFile(QWidget* owner, const OpenFileRequest& request)
{
    return handlers().openFile(owner, request);
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

} // namespace ui
