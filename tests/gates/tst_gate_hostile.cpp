// A hostile operator at every window of the program over the built-in device: for a fixed seed
// it types hostile texts into every box, switches check boxes, options, lists and tabs, clicks
// every enabled button and menu entry, and answers every modal window, message and file dialog
// at random. Nothing may crash or hang, a read that failed must not be followed by a driver call
// in the same command, and the device's database must stay intact.
// QUOLT_HOSTILE_STEPS sets the steps per window (default 60).

#include "../e2e/OperatorDesk.h"

#include "DeviceLedger.h"
#include "DeviceStore.h"
#include "TracedEmulator.h"
#include "TracingDriver.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int kPort = 7;
constexpr int kMaxDepth = 3; // modal windows opened from modal windows, and so on

QStringList hostileTexts()
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

// What a failed read writes to the status line: "<field>: не число" and its kin.
bool isReadFailure(const QString& status)
{
    static const QRegularExpression failure(
        u": (не число|слишком большое число|допустимо от -?\\d+ до \\d+)$"_s);
    return failure.match(status).hasMatch();
}

QLineEdit* statusLine(QWidget* window)
{
    return window ? window->findChild<QLineEdit*>(u"StatusText"_s) : nullptr;
}

QString integrity(const QString& path)
{
    QString result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"integrity"_s);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(u"PRAGMA integrity_check"_s) && query.next())
                result = query.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase(u"integrity"_s);
    return result;
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

    // Works the window for the given steps (fewer in windows opened from windows), then leaves it.
    void work(QWidget* window, int steps)
    {
        m_stack.append(window);
        m_seen.insert(QString::fromLatin1(window->metaObject()->className()));
        for (int step = 0; step < steps && window->isVisible(); ++step)
            act(window);
        m_stack.removeLast();
    }

    void act(QWidget* window)
    {
        QList<QObject*> targets;
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (child->window() != window || !child->isVisible() || !child->isEnabled())
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
        QObject* target = targets.at(m_random.bounded(int(targets.size())));
        act(window, target);
    }

    // Every control in turn once, buttons last, so that every window the window opens is seen.
    void actOnEveryControl(QWidget* window, const QStringList& names)
    {
        m_stack.append(window);
        for (const QString& name : names) {
            QObject* target = harness::findNamed(window, name);
            auto* widget = qobject_cast<QWidget*>(target);
            auto* action = qobject_cast<QAction*>(target);
            if ((widget && widget->isEnabled()) || (action && action->isEnabled()))
                act(window, target);
            if (!window->isVisible())
                window->show();
        }
        m_stack.removeLast();
    }

    const QStringList& faults() const { return m_faults; }
    const QSet<QString>& seen() const { return m_seen; }
    int failedReads() const { return m_failedReads; }

private:
    void act(QWidget* window, QObject* target)
    {
        m_where =
            QString::fromLatin1(window->metaObject()->className()) + u'.' + target->objectName();
        // A failed read is told apart from an older one by clearing the line first.
        if (QLineEdit* status = statusLine(window))
            status->clear();
        const QStringList texts = hostileTexts();
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
        if (m_stack.size() < kMaxDepth)
            work(&window, std::max(3, m_steps / (1 + int(m_stack.size()))));
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
    QStringList m_faults;
    QSet<QString> m_seen;
    QString m_where;
    int m_failedReads = 0;
};

int stepsPerWindow()
{
    bool ok = false;
    const int steps = qEnvironmentVariableIntValue("QUOLT_HOSTILE_STEPS", &ok);
    return ok && steps > 0 ? steps : 60;
}

} // namespace

class TestGateHostile : public QObject
{
    Q_OBJECT

private slots:
    void everyWindowSurvivesAHostileOperator()
    {
        QTemporaryDir data;
        QVERIFY(data.isValid());
        view::registerTracedEmulator(data.path());
        QString status;
        std::unique_ptr<MainForm> main = e2e::startProgram(kPort, false, &status);
        QVERIFY2(main, qPrintable(status));
        auto* traced = dynamic_cast<TracingDriver*>(main->GetQuolt().get());
        QVERIFY(traced);

        HostileOperator hostile(20261209, stepsPerWindow(), data.path());
        hostile.watchCalls(*traced);
        main->show();

        // Each window the main window opens, once by its own button, then with the device in
        // the states the random steps leave it in.
        QStringList controls{u"CmdOpenSession"_s};
        for (int type = 1; type <= 9; ++type)
            controls << u"Option1_%1"_s.arg(type) << u"CmdOpenDoc"_s;
        for (QPushButton* button : main->findChildren<QPushButton*>()) {
            if (button->objectName() != u"CmdClose"_s && !controls.contains(button->objectName()))
                controls << button->objectName();
        }
        for (QAction* action : main->findChildren<QAction*>()) {
            if (!action->objectName().isEmpty() && !action->menu())
                controls << action->objectName();
        }
        hostile.actOnEveryControl(main.get(), controls);
        // The windows of the menu "Вид" stay open beside the main window.
        QList<QPointer<QWidget>> beside;
        for (QWidget* window : QApplication::topLevelWidgets())
            beside << window;
        for (const QPointer<QWidget>& window : beside) {
            if (window && window != main.get() && window->isVisible() &&
                !qobject_cast<QMenu*>(window.data()))
                hostile.work(window, stepsPerWindow());
        }
        hostile.work(main.get(), stepsPerWindow() * 4);

        qInfo("windows worked: %s; %d failed reads",
              qPrintable(QStringList(hostile.seen().values()).join(u", ")), hostile.failedReads());
        QVERIFY(hostile.failedReads() > 0); // the hostile texts did reach the readers
        QVERIFY2(hostile.faults().isEmpty(), qPrintable(hostile.faults().join(u'\n')));
        main.reset();
        const QString database = emulator::DeviceStore::databasePath(data.path(), kPort);
        QCOMPARE(integrity(database), u"ok"_s);
        const QStringList books = ledger::disagreements(data.path(), kPort);
        QVERIFY2(books.isEmpty(), qPrintable(books.join(u'\n')));
    }
};

QTEST_MAIN(TestGateHostile)
#include "tst_gate_hostile.moc"
