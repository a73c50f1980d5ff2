#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QDialog;
class QWidget;

// The places where a window hands control to the operator or ends the program: modal display,
// message boxes, the Open file dialog and the end of the run. Windows call only these functions;
// tests replace the handlers so that nothing blocks in an event loop.
namespace forms {

// The program's own title, used by message boxes that name no other.
QString programTitle();

enum class Answer { Ok, Yes, No };

struct OpenFileRequest
{
    QString filter;      // "Description|pattern|Description|pattern", e.g. "Log Files(*.log)|*.log"
    int filterIndex = 1; // 1-based, as the filter lists them
    QString title;
    QString initialDirectory;
    QString defaultExtension;   // without the point
    bool pathMustExist = false; // the folder must exist; the file may be new
};

// Shows `window` modally with `owner` as its owner and returns when it has closed. The window
// runs its loading when it is first shown.
void showModal(QDialog& window, QWidget* owner);

// A Yes/No question; Answer::Yes or Answer::No.
Answer askYesNo(QWidget* owner, const QString& text, const QString& title = programTitle());

// A question answered by one of several buttons of its own.
struct Choice
{
    QString text;
    QStringList answers; // the buttons' captions, in their order
    int preferred = 0;   // the answer Enter gives
    int onEscape = 0;    // the answer Esc, or closing the box, gives
    QString title = programTitle();
};

// Asks the question and returns the position of the answer chosen.
int choose(QWidget* owner, const Choice& choice);

// A Yes/No question before a change that cannot be undone: Enter and Esc answer No, so that only
// the operator's choice of "Да" makes the change.
Answer confirmLoss(QWidget* owner, const QString& text, const QString& title = programTitle());

// A message with an OK button only.
void showMessage(QWidget* owner, const QString& text, const QString& title = programTitle());

// The Open dialog; nothing when the operator cancels.
std::optional<QString> openFile(QWidget* owner, const OpenFileRequest& request);

// The Save dialog, asking before it replaces a file; nothing when the operator cancels.
std::optional<QString> saveFile(QWidget* owner, const OpenFileRequest& request);

// Ends the program: the event loop stops and the process leaves main() normally.
void endProgram(int exitCode = 0);

// The handlers behind the functions above. Tests install their own through SeamOverride.
struct SeamHandlers
{
    std::function<void(QDialog&, QWidget*)> showModal;
    std::function<Answer(QWidget*, const QString& text, const QString& title, bool yesNo)> message;
    std::function<std::optional<QString>(QWidget*, const OpenFileRequest&)> openFile;
    std::function<void(int)> endProgram;
    std::function<std::optional<QString>(QWidget*, const OpenFileRequest&)> saveFile;
    // Initialised, so that the handlers listed in order before it was added still make a whole
    // list.
    std::function<int(QWidget*, const Choice&)> choose = {};
};

// Replaces the handlers while it lives; an empty handler keeps the one in force.
class SeamOverride
{
public:
    explicit SeamOverride(SeamHandlers handlers);
    ~SeamOverride();
    SeamOverride(const SeamOverride&) = delete;
    SeamOverride& operator=(const SeamOverride&) = delete;

private:
    SeamHandlers m_saved;
};

// Turns a filter in the "Description|pattern|..." form into Qt's name filters.
QStringList nameFilters(const QString& filter);

} // namespace forms
