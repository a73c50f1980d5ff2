// What every window relies on besides its own controls: the seams of messages, the file dialogs'
// filters and list, the status line painted at once, the Russian language and numbers with a
// point, hints from the table, and the house style of read-only boxes.

#include "ExpectedCall.h"
#include "FileDialogList.h"
#include "FormOptions.h"
#include "FormPay.h"
#include "FormTaxes.h"
#include "Hints.h"
#include "HouseStyle.h"
#include "MainForm.h"
#include "Seams.h"
#include "StatisticsRows.h"
#include "StatusLine.h"
#include "Translations.h"
#include "WindowHarness.h"
#include "dlgEKLZ.h"
#include "dlgEditChain.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QStyle>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestUiServices : public QObject
{
    Q_OBJECT

private slots:
    void seamOverrideRestoresThePreviousHandlers();
    void fileFiltersBecomeNameFilters();
    void statusLineIsWrittenAtOnce();
    void standardDialogsSpeakRussian();
    void wordsInRussianNumbersWithAPoint();
    void hintsComeFromTheTable_data();
    void hintsComeFromTheTable();
    void readOnlyBoxesDoNotLookLikeInputs();
};

void TestUiServices::seamOverrideRestoresThePreviousHandlers()
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

void TestUiServices::fileFiltersBecomeNameFilters()
{
    QCOMPARE(forms::nameFilters(u"Log Files(*.log)|*.log|All Files (*.*)|*.*"_s),
             QStringList({u"Log Files (*.log)"_s, u"All Files (*.*)"_s}));
    QCOMPARE(forms::nameFilters(u"Pictures|*.bmp;*.png"_s),
             QStringList{u"Pictures (*.bmp *.png)"_s});
    QVERIFY(forms::nameFilters(QString()).isEmpty());
}

// A long device call follows the status line at once: the operator must see "Печать..." while
// the call runs, so the line is painted before setStatus returns, not at the next event loop.
void TestUiServices::statusLineIsWrittenAtOnce()
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

void TestUiServices::standardDialogsSpeakRussian()
{
    QVERIFY2(forms::installQtTranslations(*QCoreApplication::instance()),
             "Qt's Russian translations are missing (Debian package qt6-translations-l10n)");
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Отмена"_s);
}

void TestUiServices::wordsInRussianNumbersWithAPoint()
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

void TestUiServices::hintsComeFromTheTable_data()
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

void TestUiServices::hintsComeFromTheTable()
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

void TestUiServices::readOnlyBoxesDoNotLookLikeInputs()
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
QTEST_MAIN(TestUiServices)
#include "tst_uiservices.moc"
