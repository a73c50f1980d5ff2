#include "WindowHarness.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextEdit>

using namespace Qt::StringLiterals;

WindowHarness::WindowHarness(std::shared_ptr<FakeDriver> fake) : m_fake(std::move(fake))
{
    forms::SeamHandlers handlers;
    handlers.showModal = [this](QDialog& window, QWidget* owner) { showModal(window, owner); };
    handlers.message = [this](QWidget*, const QString& text, const QString& title, bool yesNo) {
        m_messages.append({text, title, yesNo, {}});
        if (!yesNo)
            return forms::Answer::Ok;
        return m_answers.isEmpty() ? forms::Answer::No : m_answers.dequeue();
    };
    handlers.choose = [this](QWidget*, const forms::Choice& choice) {
        m_messages.append({choice.text, choice.title, false, choice.answers});
        return m_choices.isEmpty() ? choice.preferred : m_choices.dequeue();
    };
    handlers.openFile = [this](QWidget*, const forms::OpenFileRequest& request) {
        m_fileRequests.append(request);
        return m_fileAnswers.isEmpty() ? std::nullopt : m_fileAnswers.dequeue();
    };
    handlers.endProgram = [this](int code) { m_endRequests.append(code); };
    // The Save dialog answers from the same queue as the Open dialog.
    handlers.saveFile = handlers.openFile;
    m_override = std::make_unique<forms::SeamOverride>(std::move(handlers));
    if (m_fake)
        m_fake->setStatusProbe([this] { return statusOnTop(); });
}

WindowHarness::~WindowHarness()
{
    if (m_fake)
        m_fake->setStatusProbe({});
}

void WindowHarness::watch(QWidget* window)
{
    m_watched = window;
    window->show();
}

void WindowHarness::onModal(const QString& className, std::function<void(QDialog&)> action)
{
    m_actions.append({className, std::move(action)});
}

void WindowHarness::showModal(QDialog& window, QWidget* owner)
{
    const QString className = QString::fromLatin1(window.metaObject()->className());
    m_modalsShown << className;
    m_owners << (owner ? QString::fromLatin1(owner->metaObject()->className()) : QString());
    if (owner && window.parentWidget() != owner)
        window.setParent(owner, window.windowFlags() | Qt::Dialog);

    m_stack.append(&window);
    window.show();
    const auto scripted = std::find_if(m_actions.begin(), m_actions.end(),
                                       [&](const auto& entry) { return entry.first == className; });
    if (scripted != m_actions.end()) {
        const auto action = scripted->second;
        m_actions.erase(scripted);
        action(window);
    }
    window.close();
    m_stack.removeLast();
}

QString WindowHarness::statusOnTop() const
{
    QList<QPointer<QWidget>> windows = m_stack;
    windows.prepend(m_watched);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (!*it)
            continue;
        if (auto* status = (*it)->findChild<QLineEdit*>(u"StatusText"_s))
            return status->text();
    }
    return {};
}

namespace harness {

QObject* findNamed(QObject* root, const QString& name)
{
    if (root->objectName() == name)
        return root;
    return root->findChild<QObject*>(name);
}

void click(QObject* root, const QString& name)
{
    auto* button = control<QAbstractButton>(root, name);
    if (!button->isEnabled())
        qFatal("control %s is disabled and cannot be clicked", qPrintable(name));
    button->click();
}

void trigger(QObject* root, const QString& name)
{
    control<QAction>(root, name)->trigger();
}

void setText(QObject* root, const QString& name, const QString& value)
{
    QObject* found = findNamed(root, name);
    if (auto* line = qobject_cast<QLineEdit*>(found))
        line->setText(value);
    else if (auto* combo = qobject_cast<QComboBox*>(found))
        combo->setEditText(value);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(found))
        plain->setPlainText(value);
    else if (auto* rich = qobject_cast<QTextEdit*>(found))
        rich->setPlainText(value);
    else
        qFatal("control %s cannot take text", qPrintable(name));
}

QString text(QObject* root, const QString& name)
{
    QObject* found = findNamed(root, name);
    if (auto* line = qobject_cast<QLineEdit*>(found))
        return line->text();
    if (auto* combo = qobject_cast<QComboBox*>(found))
        return combo->currentText();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(found))
        return plain->toPlainText();
    if (auto* rich = qobject_cast<QTextEdit*>(found))
        return rich->toPlainText();
    if (auto* label = qobject_cast<QLabel*>(found))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(found))
        return button->text();
    if (auto* widget = qobject_cast<QWidget*>(found))
        return widget->windowTitle();
    qFatal("control %s has no text", qPrintable(name));
}

bool isEnabled(QObject* root, const QString& name)
{
    QObject* found = findNamed(root, name);
    if (auto* action = qobject_cast<QAction*>(found))
        return action->isEnabled();
    return control<QWidget>(root, name)->isEnabled();
}

bool isChecked(QObject* root, const QString& name)
{
    return control<QAbstractButton>(root, name)->isChecked();
}

bool isShown(QObject* root, const QString& name)
{
    QObject* found = findNamed(root, name);
    if (auto* action = qobject_cast<QAction*>(found))
        return action->isVisible();
    return !control<QWidget>(root, name)->isHidden();
}

} // namespace harness
