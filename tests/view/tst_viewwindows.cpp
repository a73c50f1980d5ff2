#include "CallHub.h"
#include "FakeDriver.h"
#include "JournalWindow.h"
#include "ScreenPlacement.h"
#include "TracingDriver.h"
#include "ViewMenu.h"
#include "WindowMemory.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace view;

namespace {

// A main window with the menu "Вид" over a traced fake: the view windows open, though no device
// answers behind them.
struct ViewDesk
{
    ViewDesk() : driver(CallHub::trace(fake, {})), menu(new ViewMenu(main, driver.get(), {})) {}

    QWidget* open(const QString& which)
    {
        if (which == u"tape")
            return menu->openTape();
        if (which == u"panel")
            return menu->openPanel();
        return menu->openJournal();
    }

    std::shared_ptr<FakeDriver> fake = std::make_shared<FakeDriver>();
    std::shared_ptr<TracingDriver> driver;
    QMainWindow main;
    ViewMenu* menu;
};

QRect availableArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// Where the operator types in a window, else the window itself.
QWidget* typingPlace(QWidget* window)
{
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if ((qobject_cast<QLineEdit*>(child) || qobject_cast<QComboBox*>(child) ||
             qobject_cast<QAbstractSpinBox*>(child)) &&
            child->isVisible() && child->isEnabled())
            return child;
    }
    return window;
}

} // namespace

class TestViewWindows : public QObject
{
    Q_OBJECT

private slots:
    void escClosesTheWindow_data();
    void escClosesTheWindow();
    void windowKeepsToTheScreen_data();
    void windowKeepsToTheScreen();
    void frameFitsTheArea_data();
    void frameFitsTheArea();
    void windowsComeBackAsTheyWereLeft();
    void keysOpenTheWindows();
    void journalFollowsInBatchesOnlyWhileShown();
};

void TestViewWindows::escClosesTheWindow_data()
{
    QTest::addColumn<QString>("which");
    QTest::newRow("tape") << u"tape"_s;
    QTest::newRow("panel") << u"panel"_s;
    QTest::newRow("journal") << u"journal"_s;
}

void TestViewWindows::escClosesTheWindow()
{
    QFETCH(QString, which);
    ViewDesk desk;
    QWidget* window = desk.open(which);
    QVERIFY(window && window->isVisible());
    QWidget* place = typingPlace(window);
    place->setFocus();
    QTest::keyClick(place, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    // Closed, not gone: the entry shows the same window again.
    QCOMPARE(desk.open(which), window);
    QVERIFY(window->isVisible());
    QVERIFY(desk.fake->members().isEmpty());
}

void TestViewWindows::windowKeepsToTheScreen_data()
{
    escClosesTheWindow_data();
}

void TestViewWindows::windowKeepsToTheScreen()
{
    QFETCH(QString, which);
    ViewDesk desk;
    const QRect available = availableArea();
    QWidget* window = desk.open(which);
    QVERIFY2(available.contains(window->frameGeometry()),
             qPrintable(u"%1 at %2,%3 %4x%5"_s.arg(which)
                            .arg(window->frameGeometry().x())
                            .arg(window->frameGeometry().y())
                            .arg(window->frameGeometry().width())
                            .arg(window->frameGeometry().height())));
    // Left half off the screen, it comes back whole when it is opened again.
    window->close();
    window->move(available.right() - 40, available.bottom() - 40);
    desk.open(which);
    QVERIFY(available.contains(window->frameGeometry()));
}

void TestViewWindows::frameFitsTheArea_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("fitted");

    // The area is 1280 x 900 with a panel of 40 at the top.
    QTest::newRow("inside stays") << QRect(100, 100, 400, 300) << QRect(100, 100, 400, 300);
    QTest::newRow("over the right edge") << QRect(1000, 100, 400, 300) << QRect(880, 100, 400, 300);
    QTest::newRow("over the bottom") << QRect(100, 700, 460, 790) << QRect(100, 110, 460, 790);
    QTest::newRow("above the top") << QRect(100, 0, 400, 300) << QRect(100, 40, 400, 300);
    QTest::newRow("left of the screen") << QRect(-50, 100, 400, 300) << QRect(0, 100, 400, 300);
    QTest::newRow("taller than the area") << QRect(100, 100, 460, 1000) << QRect(100, 40, 460, 860);
    QTest::newRow("larger both ways") << QRect(-10, -10, 2000, 2000) << QRect(0, 40, 1280, 860);
}

void TestViewWindows::frameFitsTheArea()
{
    QFETCH(QRect, frame);
    QFETCH(QRect, fitted);
    QCOMPARE(forms::fittedFrame(frame, QRect(0, 40, 1280, 860)), fitted);
}

void TestViewWindows::windowsComeBackAsTheyWereLeft()
{
    QTemporaryDir dir;
    WindowMemory::useFile(dir.filePath(u"views.ini"_s));
    const QRect available = availableArea();
    QRect left;
    {
        ViewDesk desk;
        desk.main.show();
        QWidget* journal = desk.open(u"journal"_s);
        journal->setGeometry(available.left() + 30, available.top() + 40, 700, 300);
        left = journal->geometry();
        QWidget* tape = desk.open(u"tape"_s);
        desk.open(u"panel"_s);
        tape->close(); // closed by the operator: it stays closed
        desk.main.close();
    }
    {
        ViewDesk desk;
        desk.main.show();
        QCoreApplication::processEvents();
        const QList<QWidget*> open = [] {
            QList<QWidget*> found;
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->isVisible() && !qobject_cast<QMainWindow*>(window))
                    found << window;
            }
            return found;
        }();
        QCOMPARE(open.size(), 2);
        auto* journal = qobject_cast<JournalWindow*>(desk.open(u"journal"_s));
        QVERIFY(open.contains(journal));
        QVERIFY(open.contains(desk.open(u"panel"_s)));
        // The size exactly; the place up to the frame's border, which a window system without
        // a window manager reckons in twice when it restores a window not yet shown.
        QCOMPARE(journal->size(), left.size());
        QVERIFY((journal->pos() - left.topLeft()).manhattanLength() <= 8);
    }
    WindowMemory::useFile(QString());
    // Without a file nothing is remembered, and nothing comes back.
    ViewDesk desk;
    QCoreApplication::processEvents();
    for (QWidget* window : QApplication::topLevelWidgets())
        QVERIFY(!window->isVisible());
}

void TestViewWindows::keysOpenTheWindows()
{
    ViewDesk desk;
    desk.main.show();
    QApplication::setActiveWindow(&desk.main);
    QTest::keyClick(&desk.main, Qt::Key_3, Qt::ControlModifier);
    QWidget* journal = desk.menu->openJournal();
    QVERIFY(journal->isVisible());
    journal->close();
    QTest::keyClick(&desk.main, Qt::Key_3, Qt::ControlModifier);
    QVERIFY(journal->isVisible());
    // From a window of the menu the keys open the others.
    QApplication::setActiveWindow(journal);
    QTest::keyClick(journal, Qt::Key_1, Qt::ControlModifier);
    QTest::keyClick(journal, Qt::Key_2, Qt::ControlModifier);
    QVERIFY(desk.menu->openTape()->isVisible());
    QVERIFY(desk.menu->openPanel()->isVisible());
}

void TestViewWindows::journalFollowsInBatchesOnlyWhileShown()
{
    ViewDesk desk;
    auto* window = qobject_cast<JournalWindow*>(desk.open(u"journal"_s));
    QVERIFY(window);
    JournalModel& model = window->model();
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

    // A burst of calls between two turns of the event loop is one insertion.
    for (int i = 0; i < 500; ++i)
        desk.driver->OpenDrawer();
    QCOMPARE(model.rowCount(), 0);
    QTRY_COMPARE(model.rowCount(), 500);
    QCOMPARE(inserted.size(), 1);

    // Hidden, it takes in nothing; shown again, it has caught up before it is painted.
    window->hide();
    for (int i = 0; i < 300; ++i)
        desk.driver->EndSession();
    QTest::qWait(50);
    QCOMPARE(model.rowCount(), 500);
    window->show();
    QCOMPARE(model.rowCount(), 800);
    QCOMPARE(inserted.size(), 2);
    QCOMPARE(model.entry(799)->call.member, u"EndSession"_s);
}

QTEST_MAIN(TestViewWindows)
#include "tst_viewwindows.moc"
