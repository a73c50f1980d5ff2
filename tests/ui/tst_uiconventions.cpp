// The conventions of the windows' own controls: a field that cannot be read names itself and
// takes the focus, number boxes and their spinners, tab strips and tabbed dialogs, and a window
// that loads once.

#include "Fields.h"
#include "Loadable.h"
#include "NumberBox.h"
#include "TabStrip.h"
#include "TabbedDialog.h"
#include "UpDown.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QScreen>
#include <QTabBar>
#include <QVBoxLayout>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// A window with one number box, a spinner and a tab strip over three pages.
struct Window
{
    QDialog dialog;
    QLineEdit* box = new QLineEdit(&dialog);
    QLineEdit* other = new QLineEdit(&dialog);
    forms::UpDown* spinner = new forms::UpDown(&dialog);
    QTabBar* tabs = new QTabBar(&dialog);
    QList<QWidget*> pages{new QWidget(&dialog), new QWidget(&dialog), new QWidget(&dialog)};

    Window()
    {
        auto* layout = new QVBoxLayout(&dialog);
        for (QWidget* w : {static_cast<QWidget*>(box), static_cast<QWidget*>(other),
                           static_cast<QWidget*>(spinner), static_cast<QWidget*>(tabs)})
            layout->addWidget(w);
        for (QWidget* page : pages)
            layout->addWidget(page);
        for (const QString& caption : {u"Один"_s, u"Два"_s, u"Три"_s})
            tabs->addTab(caption);
    }
};

// A tabbed dialog with pages of different heights, as the statistics and options windows have.
struct Tabbed : forms::TabbedDialog
{
    QTabBar* bar = new QTabBar(this);
    QList<QWidget*> pages{new QWidget(this), new QWidget(this), new QWidget(this)};
    QList<int> tabsAtLoad;

    explicit Tabbed(Placement placement)
    {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(bar);
        for (int i = 0; i < pages.size(); ++i) {
            pages.at(i)->setMinimumSize(200, 100 + 150 * i);
            layout->addWidget(pages.at(i));
        }
        setUpTabs(bar, {u"Один"_s, u"Два"_s, u"Три"_s}, pages, forms::TabStrip::Backwards::No,
                  placement);
        bar->setCurrentIndex(2); // as if left there by the designer
    }

    void Form_Load() override { tabsAtLoad << bar->currentIndex(); }
};

struct CountingLoads : forms::Loadable<QDialog>
{
    int loads = 0;
    void Form_Load() override { ++loads; }
};

QList<bool> visibility(const QList<QWidget*>& pages)
{
    QList<bool> shown;
    for (QWidget* page : pages)
        shown << !page->isHidden();
    return shown;
}

} // namespace

class TestUiConventions : public QObject
{
    Q_OBJECT

private slots:
    void failedReadNamesTheFieldAndFocusesIt_data();
    void failedReadNamesTheFieldAndFocusesIt();
    void goodReadLeavesStatusAndFocusAlone();
    void numberBoxFollowsTheText_data();
    void numberBoxFollowsTheText();
    void numberBoxArrowsWriteTheText();
    void tabStripShowsOnePageAndWraps();
    void tabStripWithoutBackwardsIgnoresCtrlShiftTab();
    void tabStripTakesTheFocusToTheNewPage();
    void tabbedDialogLoadsOnItsFirstTab_data();
    void tabbedDialogLoadsOnItsFirstTab();
    void tabbedDialogKeepsItsSizeOverARoundTrip();
    void windowLoadsOnceWhenFirstShown();
};

void TestUiConventions::failedReadNamesTheFieldAndFocusesIt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("reading");
    QTest::addColumn<QString>("message");

    QTest::newRow("strict, not a number")
        << u"abc"_s << int(forms::Reading::Strict) << u"Кол-во: не число"_s;
    QTest::newRow("strict, beyond int16")
        << u"40000"_s << int(forms::Reading::Strict) << u"Кол-во: допустимо от -32768 до 32767"_s;
    QTest::newRow("lenient, beyond int16") << u"40000 шт"_s << int(forms::Reading::Lenient)
                                           << u"Кол-во: допустимо от -32768 до 32767"_s;
}

void TestUiConventions::failedReadNamesTheFieldAndFocusesIt()
{
    QFETCH(QString, text);
    QFETCH(int, reading);
    QFETCH(QString, message);

    Window window;
    window.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window.dialog));
    window.other->setFocus();
    window.box->setText(text);
    QStringList shown;
    const forms::FieldReader fields([&](const QString& status) { shown << status; });

    QVERIFY(!fields.read<std::int16_t>(window.box, u"Кол-во"_s, forms::Reading(reading)));
    QCOMPARE(shown, QStringList{message});
    QTRY_VERIFY(window.box->hasFocus());
    QCOMPARE(window.box->selectedText(), text);
}

void TestUiConventions::goodReadLeavesStatusAndFocusAlone()
{
    Window window;
    window.box->setText(u" 2.5"_s);
    QStringList shown;
    const forms::FieldReader fields([&](const QString& status) { shown << status; });
    QCOMPARE(fields.lenientInt16(window.box, u"Отдел"_s), std::optional<std::int16_t>(2));
    QCOMPARE(fields.strictDouble(window.box, u"Сумма"_s), std::optional<double>(2.5));
    QVERIFY(shown.isEmpty());
}

void TestUiConventions::numberBoxFollowsTheText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("spinnerValue");
    QTest::addColumn<QString>("boxText");

    // The spinner runs 0..255 and starts at 10; the box accepts 0..254 only.
    QTest::newRow("inside") << u"42"_s << 42 << u"42"_s;
    QTest::newRow("leading number") << u"7 шт"_s << 7 << u"7 шт"_s;
    QTest::newRow("no number reads 0") << u"abc"_s << 0 << u"abc"_s;
    QTest::newRow("halves to even") << u"12.5"_s << 12 << u"12.5"_s;
    QTest::newRow("spinner max refused by the box") << u"255"_s << 10 << u"10"_s;
    QTest::newRow("above the range") << u"300"_s << 10 << u"10"_s;
    QTest::newRow("below the range") << u"-1"_s << 10 << u"10"_s;
    QTest::newRow("beyond 32 bits") << u"99999999999"_s << 10 << u"10"_s;
}

void TestUiConventions::numberBoxFollowsTheText()
{
    QFETCH(QString, typed);
    Window window;
    window.spinner->setRange(0, 255);
    window.spinner->setValue(10);
    forms::NumberBox box(window.box, window.spinner, std::pair{0, 254});

    window.box->setText(typed);
    QTEST(window.spinner->value(), "spinnerValue");
    QTEST(window.box->text(), "boxText");
    QCOMPARE(box.value(), window.spinner->value());
}

void TestUiConventions::numberBoxArrowsWriteTheText()
{
    Window window;
    window.spinner->setRange(1, 3);
    window.spinner->setValue(2);
    forms::NumberBox box(window.box, window.spinner);
    window.spinner->stepUp();
    QCOMPARE(window.box->text(), u"3"_s);
    window.spinner->stepUp(); // stays at the maximum
    QCOMPARE(window.spinner->value(), 3);
    window.spinner->stepDown();
    window.spinner->stepDown();
    QCOMPARE(window.box->text(), u"1"_s);
    QCOMPARE(box.value(), 1);
}

void TestUiConventions::tabStripShowsOnePageAndWraps()
{
    Window window;
    forms::TabStrip strip(window.tabs, window.pages, forms::TabStrip::Backwards::Yes);
    window.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window.dialog));
    QCOMPARE(visibility(window.pages), QList<bool>({true, false, false}));

    window.tabs->setCurrentIndex(2); // as a click on the third tab
    QCOMPARE(visibility(window.pages), QList<bool>({false, false, true}));

    QTest::keyClick(&window.dialog, Qt::Key_Tab, Qt::ControlModifier); // last -> first
    QCOMPARE(strip.current(), 0);
    QCOMPARE(visibility(window.pages), QList<bool>({true, false, false}));

    QTest::keyClick(&window.dialog, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(strip.current(), 2); // first -> last
    strip.selectPrevious();
    QCOMPARE(strip.current(), 1);
}

void TestUiConventions::tabStripWithoutBackwardsIgnoresCtrlShiftTab()
{
    Window window;
    forms::TabStrip strip(window.tabs, window.pages);
    window.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window.dialog));
    QTest::keyClick(&window.dialog, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(strip.current(), 0);
    QTest::keyClick(&window.dialog, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(strip.current(), 1);
}

// The focus goes where the operator can go on typing, never to whatever follows the hidden page.
void TestUiConventions::tabStripTakesTheFocusToTheNewPage()
{
    Window window;
    QList<QLineEdit*> edits; // the third page has no control that takes the focus
    for (QWidget* page : window.pages.first(2)) {
        edits << new QLineEdit(page);
        (new QVBoxLayout(page))->addWidget(edits.last());
    }
    forms::TabStrip strip(window.tabs, window.pages);
    window.dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&window.dialog));

    edits.at(0)->setFocus();
    window.tabs->setCurrentIndex(1); // as a click on the tab, which takes no focus itself
    QCOMPARE(QApplication::focusWidget(), edits.at(1));
    strip.selectNext();
    QCOMPARE(QApplication::focusWidget(), window.tabs);
    strip.selectNext(); // on the strip it stays there
    QCOMPARE(QApplication::focusWidget(), window.tabs);

    window.box->setFocus(); // outside the pages: the focus stays
    strip.selectNext();
    QCOMPARE(QApplication::focusWidget(), window.box);

    // Back on a page, the focus returns to the control that had it there last.
    auto* second = new QLineEdit(window.pages.at(0));
    window.pages.at(0)->layout()->addWidget(second);
    window.tabs->setCurrentIndex(0);
    second->setFocus();
    window.tabs->setCurrentIndex(1);
    QCOMPARE(QApplication::focusWidget(), edits.at(1));
    window.tabs->setCurrentIndex(0);
    QCOMPARE(QApplication::focusWidget(), second);
}

void TestUiConventions::tabbedDialogLoadsOnItsFirstTab_data()
{
    QTest::addColumn<bool>("centred");
    QTest::newRow("centred") << true;
    QTest::newRow("where it was opened") << false;
}

void TestUiConventions::tabbedDialogLoadsOnItsFirstTab()
{
    QFETCH(bool, centred);
    Tabbed window(centred ? Tabbed::Placement::Centred : Tabbed::Placement::AsOpened);
    window.move(0, 0);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.tabsAtLoad, QList<int>{0});
    QCOMPARE(visibility(window.pages), QList<bool>({true, false, false}));
    const QPoint screenCentre = window.screen()->availableGeometry().center();
    const QPoint windowCentre = window.frameGeometry().center();
    QCOMPARE((windowCentre - screenCentre).manhattanLength() <= 2, centred);
}

void TestUiConventions::tabbedDialogKeepsItsSizeOverARoundTrip()
{
    Tabbed window(Tabbed::Placement::AsOpened);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize opened = window.size();
    for (int tab = 0; tab < 2 * window.pages.size(); ++tab) {
        QTest::keyClick(&window, Qt::Key_Tab, Qt::ControlModifier);
        QApplication::processEvents();
        QCOMPARE(window.size(), opened);
    }
    // It opened on its smallest page, at the size of its largest.
    QVERIFY(window.pages.first()->height() >= window.pages.last()->minimumHeight());
}

void TestUiConventions::windowLoadsOnceWhenFirstShown()
{
    CountingLoads window;
    QCOMPARE(window.loads, 0);
    window.show();
    window.hide();
    window.show();
    QCOMPARE(window.loads, 1);
}

QTEST_MAIN(TestUiConventions)
#include "tst_uiconventions.moc"
