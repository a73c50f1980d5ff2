#include "ExpectedCall.h"
#include "Fields.h"
#include "FileDialogList.h"
#include "FormOptions.h"
#include "FormPay.h"
#include "FormTaxes.h"
#include "Hints.h"
#include "HouseStyle.h"
#include "Loadable.h"
#include "MainForm.h"
#include "NumberBox.h"
#include "Seams.h"
#include "StatusLine.h"
#include "TabStrip.h"
#include "TabbedDialog.h"
#include "Translations.h"
#include "StatisticsRows.h"
#include "UpDown.h"
#include "WindowHarness.h"
#include "dlgEKLZ.h"
#include "dlgEditChain.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScopeGuard>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>
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
    void seamOverrideRestoresThePreviousHandlers();
    void fileFiltersBecomeNameFilters();
    void statusLineIsWrittenAtOnce();
    void standardDialogsSpeakRussian();
    void wordsInRussianNumbersWithAPoint();
    void hintsComeFromTheTable_data();
    void hintsComeFromTheTable();
    void readOnlyBoxesDoNotLookLikeInputs();
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

void TestUiConventions::seamOverrideRestoresThePreviousHandlers()
{
    QStringList log;
    forms::SeamHandlers outer;
    outer.message = [&](QWidget*, const QString& text, const QString& title, bool) {
        log << u"outer "_s + title + u": "_s + text;
        return forms::Answer::Yes;
    };
    outer.endProgram = [&](int code) { log << u"end %1"_s.arg(code); };
    forms::SeamOverride first(outer);
    {
        forms::SeamHandlers inner;
        inner.message = [&](QWidget*, const QString& text, const QString&, bool) {
            log << u"inner "_s + text;
            return forms::Answer::No;
        };
        forms::SeamOverride second(inner);
        QCOMPARE(forms::askYesNo(nullptr, u"a"_s), forms::Answer::No);
        forms::endProgram(3); // not replaced by the inner override: the outer one still answers
    }
    QCOMPARE(forms::askYesNo(nullptr, u"b"_s, u"Информация"_s), forms::Answer::Yes);
    forms::showMessage(nullptr, u"c"_s);
    QCOMPARE(log, QStringList({u"inner a"_s, u"end 3"_s, u"outer Информация: b"_s,
                               u"outer TestQuolt: c"_s}));
}

void TestUiConventions::fileFiltersBecomeNameFilters()
{
    QCOMPARE(forms::nameFilters(u"Log Files(*.log)|*.log|All Files (*.*)|*.*"_s),
             QStringList({u"Log Files (*.log)"_s, u"All Files (*.*)"_s}));
    QCOMPARE(forms::nameFilters(u"Pictures|*.bmp;*.png"_s),
             QStringList{u"Pictures (*.bmp *.png)"_s});
    QVERIFY(forms::nameFilters(QString()).isEmpty());
}

// A long device call follows the status line at once: the operator must see "Печать..." while
// the call runs, so the line is painted before setStatus returns, not at the next event loop.
void TestUiConventions::statusLineIsWrittenAtOnce()
{
    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter;
    QLineEdit status;
    status.setText(QString(200, u'x'));
    status.setCursorPosition(200);
    status.show();
    QVERIFY(QTest::qWaitForWindowExposed(&status));
    QCoreApplication::processEvents();
    status.installEventFilter(&counter);

    forms::setStatus(&status, forms::statusText(u"Нет ошибок"_s));

    QVERIFY(counter.paints > 0);
    QCOMPARE(status.text(), u"Статус: Нет ошибок"_s);
    QCOMPARE(status.cursorPosition(), 0); // the start of a long text is what shows
}

void TestUiConventions::standardDialogsSpeakRussian()
{
    QVERIFY2(forms::installQtTranslations(*QCoreApplication::instance()),
             "Qt's Russian translations are missing (Debian package qt6-translations-l10n)");
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Отмена"_s);
}

void TestUiConventions::wordsInRussianNumbersWithAPoint()
{
    // Whatever the system's locale (the suite runs under C and ru_RU.UTF-8).
    const QLocale before;
    const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
    forms::useRussianLocale();
    auto fake = std::make_shared<FakeDriver>();
    WindowHarness harness(fake);
    MainForm main(fake);

    // The control tape window's date picker names months and days in Russian.
    dlgEKLZ tapeReports(main);
    harness.watch(&tapeReports);
    QCalendarWidget* calendar =
        harness::control<QDateEdit>(&tapeReports, u"dtDate1_1"_s)->calendarWidget();
    calendar->setCurrentPage(2004, 8);
    QCOMPARE(calendar->findChild<QToolButton*>(u"qt_calendar_monthbutton"_s)->text(), u"август"_s);
    QCOMPARE(calendar->locale().dayName(1, QLocale::ShortFormat), u"пн"_s);

    // A number typed with a point is read as it was meant, and one shown has a point.
    FormPay payment(main);
    harness.watch(&payment);
    harness::setText(&payment, u"TxtTenderAmount"_s, u"12.5"_s);
    harness::click(&payment, u"CmdTender"_s);
    QCOMPARE(fake->last(u"Tender2"_s)->call.arguments.constFirst(), DriverArgument(12.5));
    QCOMPARE(statistics::counterText(1234.5), u"1234.5"_s);

    // The file dialogs' list: kinds, sizes and dates in Russian, sizes with a point.
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(u"Чеки"_s));
    QFile file(folder.filePath(u"лента.pdf"_s));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(2560, 'x')) == 2560);
    file.close();
    QFileSystemModel files;
    forms::FileDialogList list;
    list.setSourceModel(&files);
    const QModelIndex root = list.mapFromSource(files.setRootPath(folder.path()));
    QTRY_COMPARE(list.rowCount(root), 2);
    const auto row = [&](const QString& name) {
        const QModelIndex found = list.mapFromSource(files.index(folder.filePath(name)));
        QStringList columns;
        for (int column = 1; column < 4; ++column)
            columns << list.data(found.siblingAtColumn(column)).toString();
        return columns;
    };
    const QString modified = QLocale(QLocale::Russian, QLocale::Russia)
                                 .toString(QFileInfo(file).lastModified(), QLocale::ShortFormat);
    QCOMPARE(row(u"лента.pdf"_s).at(0), u"2.50 КБ"_s);
    QCOMPARE(row(u"лента.pdf"_s).at(2), modified);
    QCOMPARE(row(u"Чеки"_s).mid(0, 2), QStringList({QString(), u"Папка"_s}));
    QCOMPARE(forms::fileSizeText(1023), u"1023 байт"_s);
    QCOMPARE(forms::fileSizeText(1024 * 1024), u"1.00 МБ"_s);
}

void TestUiConventions::hintsComeFromTheTable_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("ending"); // how the control's tooltip ends

    const QString chainEditor = forms::hints::table()[u"FormTaxes"_s][u"CmdEditChain_"_s];
    QTest::newRow("an element of a control array")
        << u"FormTaxes"_s << u"CmdEditChain_5"_s << chainEditor;
    QTest::newRow("a dialog's button") << u"dlgEditChain"_s << u"OKButton"_s
                                       << forms::hints::table()[u"dlgEditChain"_s][u"OKButton"_s];
    QTest::newRow("a box shows its spinner's range")
        << u"FormOptions"_s << u"TxtStartBarCodeHeight"_s << u". Допустимо: 0–3"_s;
    QTest::newRow("a narrower accepted range")
        << u"FormOptions"_s << u"TxtNumImage"_s << u". Допустимо: 0–254"_s;
}

void TestUiConventions::hintsComeFromTheTable()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, ending);
    auto fake = std::make_shared<FakeDriver>();
    WindowHarness harness(fake);
    MainForm main(fake);
    std::unique_ptr<QWidget> shown;
    if (window == u"FormTaxes")
        shown = std::make_unique<FormTaxes>(main);
    else if (window == u"FormOptions")
        shown = std::make_unique<FormOptions>(main);
    else
        shown = std::make_unique<dlgEditChain>();
    QVERIFY(harness::control<QWidget>(shown.get(), control)->toolTip().isEmpty());

    harness.watch(shown.get());

    const QString tip = harness::control<QWidget>(shown.get(), control)->toolTip();
    QVERIFY2(!ending.isEmpty() && tip.endsWith(ending), qPrintable(tip));
}

void TestUiConventions::readOnlyBoxesDoNotLookLikeInputs()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    const QString plain = QApplication::style()->name();
    forms::applyHouseStyle(*app);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* input = new QLineEdit(&window);
    auto* counter = new QLineEdit(&window);
    counter->setReadOnly(true);
    layout->addWidget(input);
    layout->addWidget(counter);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // The colour inside each box, away from its frame.
    const auto inside = [](QLineEdit* box) {
        return box->grab().toImage().pixelColor(box->width() / 2, box->height() / 2);
    };
    const QColor background = window.palette().color(QPalette::Window);
    const QColor counterColour = inside(counter);
    const QColor inputColour = inside(input);
    QApplication::setStyle(plain); // the rest of the suite runs on the plain style
    QCOMPARE(counterColour, background);
    QVERIFY(inputColour != background);
}

QTEST_MAIN(TestUiConventions)
#include "tst_uiconventions.moc"
