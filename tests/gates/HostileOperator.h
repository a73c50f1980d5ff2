#pragma once

// An operator who means harm, at the windows of the program: for a fixed seed it types hostile
// texts (and now and then an ordinary one) into every box, switches check boxes, options, lists and
// tabs, clicks every enabled button and menu entry, and answers every modal window, message and
// file dialog at random. It records each window class it worked and every driver call sent while
// the window on top showed a failed read of its fields.

#include "TracingDriver.h"
#include "WindowHarness.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>
#include <QTextEdit>

#include <memory>
#include <optional>

namespace hostile {

using namespace Qt::StringLiterals;

constexpr int kMaxDepth = 3; // modal windows opened from modal windows, and so on

inline QStringList hostileTexts()
{
    return {
        QString(),
        QString(1024 * 1024, u'9'),
        u"\u0001\u0002\u001b\u007f\t\r\n\u0000end"_s,
        u"строка\u2028вторая\u2029третья"_s,
        u"99999999999999999999999"_s,
        u"-2147483649"_s,
        u"-32769"_s,
        u"1e308"_s,
        u"1E-400"_s,
        u"-1.5D+9"_s,
        u"&HFFFFFFFF"_s,
        u"Кассир Иванов"_s,
        u"\u05e9\u05dc\u05d5\u05dd \u0645\u0631\u062d\u0628\u0627 123"_s,
        u"NaN"_s,
        u"-0"_s,
        u"１２３"_s,
        u"1 000,50"_s,
        u"0"_s,
        u"-1"_s,
    };
}

// Ordinary entries between the hostile ones, so that commands also go through and the device
// gets into the states that documents, shifts and payments lead to.
inline QStringList plainTexts()
{
    return {u"1"_s, u"2"_s, u"5"_s, u"8"_s, u"100"_s, u"1000"_s, u"2500"_s, u"Товар"_s};
}

// What a failed read writes to the status line: "<field>: не число" and its kin.
inline bool isReadFailure(const QString& status)
{
    static const QRegularExpression failure(
        u": (не число|слишком большое число|допустимо от -?\\d+ до \\d+)$"_s);
    return failure.match(status).hasMatch();
}

inline QLineEdit* statusLine(QWidget* window)
{
    return window ? window->findChild<QLineEdit*>(u"StatusText"_s) : nullptr;
}

// A class name without its namespace, as the source declares it.
inline QString className(const QObject* object)
{
    return QString::fromLatin1(object->metaObject()->className()).section(u"::"_s, -1);
}

class HostileOperator
{
public:
    HostileOperator(quint32 seed, int steps, QString scratch)
        : m_random(seed), m_steps(steps), m_scratch(std::move(scratch))
    {
        forms::SeamHandlers handlers;
        handlers.showModal = [this](QDialog& window, QWidget* owner) { modal(window, owner); };
        handlers.message = [this](QWidget*, const QString&, const QString&, bool yesNo) {
            if (!yesNo)
                return forms::Answer::Ok;
            return m_random.bounded(2) ? forms::Answer::Yes : forms::Answer::No;
        };
        handlers.choose = [this](QWidget*, const forms::Choice& choice) {
            return int(m_random.bounded(quint32(choice.answers.size())));
        };
        handlers.openFile = [this](QWidget*, const forms::OpenFileRequest&) {
            return fileAnswer();
        };
        handlers.saveFile = handlers.openFile;
        handlers.endProgram = [](int) {};
        m_override = std::make_unique<forms::SeamOverride>(std::move(handlers));
    }

    // Watches the program's calls: one sent while the window on top shows a failed read of the
    // same command is a fault.
    void watchCalls(TracingDriver& driver)
    {
        driver.addObserver([this](const DriverCall& call) {
            QLineEdit* status = statusLine(m_stack.isEmpty() ? nullptr : m_stack.last().data());
            if (status && isReadFailure(status->text()))
                m_faults << u"%1 called after \"%2\" in %3"_s.arg(call.member, status->text(),
                                                                  m_where);
        });
    }

    // Works the window for the given steps, then leaves it.
    void work(QWidget* window, int steps)
    {
        m_stack.append(window);
        m_worked[className(window)] += 1;
        // Every command button tells the operator what it asks of the driver.
        for (const QPushButton* button : window->findChildren<QPushButton*>()) {
            if (button->window() == window && button->toolTip().isEmpty())
                m_faults << u"%1.%2 has no tooltip"_s.arg(className(window), button->objectName());
        }
        for (int step = 0; step < steps && window->isVisible(); ++step)
            act(window);
        m_stack.removeLast();
    }

    // Takes a way to a window: clicks the first control in `window`, and each next one in the
    // modal window the click before opened; the window at the end is worked as usual.
    void follow(QWidget* window, QStringList controls)
    {
        if (controls.isEmpty())
            return;
        m_route = controls.mid(1);
        m_stack.append(window);
        if (QObject* target = harness::findNamed(window, controls.first()))
            act(window, target);
        m_stack.removeLast();
        m_route.clear();
    }

    // A control never chosen at random, such as the one that ends the program.
    void spare(const QString& window, const QString& control)
    {
        m_spared.insert(window + u'.' + control);
    }

    int steps() const { return m_steps; }
    const QStringList& faults() const { return m_faults; }
    QSet<QString> seen() const { return QSet<QString>(m_worked.keyBegin(), m_worked.keyEnd()); }
    int timesWorked(const QString& window) const { return m_worked.value(window); }
    int failedReads() const { return m_failedReads; }

    void act(QWidget* window)
    {
        QList<QObject*> targets;
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (child->window() != window || !child->isVisible() || !child->isEnabled() ||
                m_spared.contains(className(window) + u'.' + child->objectName()))
                continue;
            if (qobject_cast<QAbstractButton*>(child) || qobject_cast<QComboBox*>(child) ||
                qobject_cast<QPlainTextEdit*>(child) || qobject_cast<QTextEdit*>(child) ||
                qobject_cast<QAbstractSpinBox*>(child) || qobject_cast<QTabBar*>(child) ||
                (qobject_cast<QLineEdit*>(child) && !static_cast<QLineEdit*>(child)->isReadOnly() &&
                 !qobject_cast<QAbstractSpinBox*>(child->parentWidget()) &&
                 !qobject_cast<QComboBox*>(child->parentWidget())))
                targets << child;
        }
        if (qobject_cast<QMainWindow*>(window)) {
            for (QAction* action : window->findChildren<QAction*>()) {
                if (action->isEnabled() && !action->isSeparator() && !action->menu() &&
                    !action->objectName().isEmpty())
                    targets << action;
            }
        }
        if (targets.isEmpty())
            return;
        act(window, targets.at(m_random.bounded(int(targets.size()))));
    }

private:
    void act(QWidget* window, QObject* target)
    {
        m_where = className(window) + u'.' + target->objectName();
        // A failed read is told apart from an older one by clearing the line first.
        if (QLineEdit* status = statusLine(window))
            status->clear();
        const QStringList texts = m_random.bounded(2) == 0 ? plainTexts() : hostileTexts();
        const QString text = texts.at(m_random.bounded(int(texts.size())));
        if (auto* action = qobject_cast<QAction*>(target)) {
            action->trigger();
        } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
            button->click();
        } else if (auto* combo = qobject_cast<QComboBox*>(target)) {
            if (combo->isEditable() && m_random.bounded(2))
                combo->setEditText(text);
            else if (combo->count() > 0)
                combo->setCurrentIndex(m_random.bounded(combo->count()));
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(target)) {
            plain->setPlainText(text);
        } else if (auto* rich = qobject_cast<QTextEdit*>(target)) {
            rich->setPlainText(text);
        } else if (auto* spin = qobject_cast<QSpinBox*>(target)) {
            const qint64 range = qint64(spin->maximum()) - spin->minimum() + 1;
            spin->setValue(int(spin->minimum() + qint64(m_random.bounded(quint64(range)))));
        } else if (auto* tabs = qobject_cast<QTabBar*>(target)) {
            if (tabs->count() > 0)
                tabs->setCurrentIndex(m_random.bounded(tabs->count()));
        } else if (auto* line = qobject_cast<QLineEdit*>(target)) {
            line->setText(text);
            if (m_random.bounded(4) == 0)
                QTest::keyClick(line, Qt::Key_Return);
        }
        QCoreApplication::processEvents();
        if (QLineEdit* status = statusLine(window); status && isReadFailure(status->text()))
            ++m_failedReads;
        // The main window stays whatever closed it; a closed modal window ends its steps.
        if (qobject_cast<QMainWindow*>(window) && !window->isVisible())
            window->show();
    }

    void modal(QDialog& window, QWidget* owner)
    {
        if (owner && window.parentWidget() != owner)
            window.setParent(owner, window.windowFlags() | Qt::Dialog);
        window.show();
        if (!m_route.isEmpty()) {
            // On the way to another window: this one is only passed through.
            follow(&window, std::exchange(m_route, {}));
        } else if (m_stack.size() < kMaxDepth) {
            work(&window, std::max(3, m_steps / (1 + int(m_stack.size()))));
        }
        window.close();
    }

    std::optional<QString> fileAnswer()
    {
        switch (m_random.bounded(4)) {
        case 0:
            return std::nullopt;
        case 1:
            return m_scratch + u"/нет такого/файла.bmp"_s;
        case 2:
            return m_scratch + u"/out.pdf"_s;
        default: {
            // A file that holds garbage under a picture's name.
            const QString path = m_scratch + u"/garbage.bmp"_s;
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write(QByteArray("BM") + QByteArray(200, '\xff'));
            return path;
        }
        }
    }

    QRandomGenerator m_random;
    int m_steps;
    QString m_scratch;
    std::unique_ptr<forms::SeamOverride> m_override;
    QList<QPointer<QWidget>> m_stack;
    QStringList m_route;
    QSet<QString> m_spared;
    QStringList m_faults;
    QHash<QString, int> m_worked;
    QString m_where;
    int m_failedReads = 0;
};

} // namespace hostile
