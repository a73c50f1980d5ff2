#pragma once

#include "FakeDriver.h"
#include "Seams.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QQueue>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// Drives windows in tests without a blocking event loop. While it lives it answers the seams:
// a window shown modally is shown, given the next scripted action for its class (if any) and
// closed; message boxes and the Open dialog answer from queues; ending the program is recorded.
// It also tells the fake driver which status line to read at each call: the one of the window
// on top (the innermost modal window, else the window being watched).
class WindowHarness
{
public:
    struct Message
    {
        QString text;
        QString title;
        bool yesNo = false;
        QStringList answers; // the buttons of a question with answers of its own
    };

    explicit WindowHarness(std::shared_ptr<FakeDriver> fake = {});
    ~WindowHarness();
    WindowHarness(const WindowHarness&) = delete;
    WindowHarness& operator=(const WindowHarness&) = delete;

    // The window under test, shown (so that it loads) and watched for its status line.
    void watch(QWidget* window);

    // The action run on the next modal window of class `className` (its C++ class name).
    void onModal(const QString& className, std::function<void(QDialog&)> action);
    template <typename W> void onModal(std::function<void(W&)> action)
    {
        onModal(QString::fromLatin1(W::staticMetaObject.className()),
                [action = std::move(action)](QDialog& window) { action(static_cast<W&>(window)); });
    }

    void answerMessages(QList<forms::Answer> answers) { m_answers.append(answers); }
    // Answers the questions with answers of their own, by position; without one, the preferred.
    void answerChoices(QList<int> answers) { m_choices.append(answers); }
    // Answers the Open and the Save dialogs alike, in the order they are shown.
    void answerOpenFile(std::optional<QString> answer) { m_fileAnswers.enqueue(answer); }

    const QStringList& modalsShown() const { return m_modalsShown; }
    QStringList ownersOfModals() const { return m_owners; }
    const QList<Message>& messages() const { return m_messages; }
    const QList<forms::OpenFileRequest>& fileRequests() const { return m_fileRequests; }
    const QList<int>& endRequests() const { return m_endRequests; }

    QString statusOnTop() const;

private:
    void showModal(QDialog& window, QWidget* owner);

    std::shared_ptr<FakeDriver> m_fake;
    std::unique_ptr<forms::SeamOverride> m_override;
    QPointer<QWidget> m_watched;
    QList<QPointer<QWidget>> m_stack;
    QList<std::pair<QString, std::function<void(QDialog&)>>> m_actions;
    QQueue<forms::Answer> m_answers;
    QQueue<int> m_choices;
    QQueue<std::optional<QString>> m_fileAnswers;
    QStringList m_modalsShown;
    QStringList m_owners;
    QList<Message> m_messages;
    QList<forms::OpenFileRequest> m_fileRequests;
    QList<int> m_endRequests;
};

// Finding and working the controls of a window by their control names. A missing control ends
// the test run with its name: it is a fault of the window, not a failed expectation.
namespace harness {

QObject* findNamed(QObject* root, const QString& name);

template <typename T> T* control(QObject* root, const QString& name)
{
    auto* found = qobject_cast<T*>(findNamed(root, name));
    if (!found)
        qFatal("control %s of the expected kind not found", qPrintable(name));
    return found;
}

void click(QObject* root, const QString& name);   // a button, a check box or an option
void trigger(QObject* root, const QString& name); // a menu entry
void setText(QObject* root, const QString& name, const QString& text);
QString text(QObject* root, const QString& name); // a line edit, text edit, label or combo
bool isEnabled(QObject* root, const QString& name);
bool isChecked(QObject* root, const QString& name);
// Whether the control would show in its window (its own visibility flag, window shown or not).
bool isShown(QObject* root, const QString& name);

} // namespace harness
