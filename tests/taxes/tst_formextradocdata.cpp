#include "ExpectedCall.h"
#include "ExtraTextLines.h"
#include "FormExtraDocData.h"
#include "MainForm.h"
#include "WindowHarness.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct Fields
{
    QString desc42, desc80, desc81, desc82;
    qint32 l42 = 0, l81 = 0, l82 = 0;
    QString s42, s80, s81, s82;
    QString extra;
};

void fill(MainForm& main, int major, const Fields& f)
{
    main.m_MajorVersion = major;
    main.m_sDesc42 = f.desc42;
    main.m_sDesc80 = f.desc80;
    main.m_sDesc81 = f.desc81;
    main.m_sDesc82 = f.desc82;
    main.m_lValDesc42 = f.l42;
    main.m_lValDesc81 = f.l81;
    main.m_lValDesc82 = f.l82;
    main.m_sValDesc42 = f.s42;
    main.m_sValDesc80 = f.s80;
    main.m_sValDesc81 = f.s81;
    main.m_sValDesc82 = f.s82;
    main.m_sExtraStrings = f.extra;
}

// "42=x 80=y 81= 82= | 1 2 3 / a b c d | extra": what the main window keeps.
QString kept(const MainForm& m)
{
    return u"%1 %2 %3 %4 | %5 %6 %7 | %8 %9 %10 %11 | %12"_s
        .arg(m.m_sDesc42, m.m_sDesc80, m.m_sDesc81, m.m_sDesc82)
        .arg(m.m_lValDesc42)
        .arg(m.m_lValDesc81)
        .arg(m.m_lValDesc82)
        .arg(m.m_sValDesc42, m.m_sValDesc80, m.m_sValDesc81, m.m_sValDesc82, m.m_sExtraStrings);
}

QString descriptor(std::int16_t number, const QString& text)
{
    return callText(u"SetDescriptorText"_s, {number, text});
}

QFont fixedFont()
{
    QFont font(u"monospace"_s);
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(12);
    return font;
}

} // namespace

class TestFormExtraDocData : public QObject
{
    Q_OBJECT

private slots:
    void loading_data();
    void loading();
    void indicators();
    void applying_data();
    void applying();
    void wrappedTextIsSentLineByLine();
    void displayLines_data();
    void displayLines();
    void tabs();
};

void TestFormExtraDocData::loading_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<QStringList>("texts");  // the four descriptor boxes
    QTest::addColumn<QStringList>("values"); // the four data boxes
    QTest::addColumn<bool>("infoShown");
    QTest::addColumn<bool>("laterRows");
    QTest::addColumn<bool>("extraText");

    QTest::newRow("5 reads the descriptors")
        << 5 << QStringList{u"dev42"_s, u"dev80"_s, u""_s, u"dev82"_s}
        << QStringList{u"s42"_s, u"s80"_s, u"s81"_s, u"s82"_s} << false << true << true;
    QTest::newRow("4 keeps the main window's texts")
        << 4 << QStringList{u"m42"_s, u"m80"_s, u"m81"_s, u"m82"_s}
        << QStringList{u"s42"_s, u"s80"_s, u"s81"_s, u"s82"_s} << true << true << true;
    QTest::newRow("3 shows the integers")
        << 3 << QStringList{u"m42"_s, u"m80"_s, u"m81"_s, u"m82"_s}
        << QStringList{u"-42"_s, u"s80"_s, u"81"_s, u"2147483647"_s} << true << true << false;
    QTest::newRow("2 leaves row 42 only")
        << 2 << QStringList{u"m42"_s, u"m80"_s, u"m81"_s, u"m82"_s}
        << QStringList{u"-42"_s, u"s80"_s, u"81"_s, u"2147483647"_s} << true << false << false;
}

void TestFormExtraDocData::loading()
{
    QFETCH(int, major);
    auto fake = std::make_shared<FakeDriver>();
    fake->answerAt(u"GetTextDeviceInfo"_s, TextInfo::DescriptorBase + Descriptor::Row42,
                   u"dev42"_s);
    fake->answerAt(u"GetTextDeviceInfo"_s, TextInfo::DescriptorBase + Descriptor::Row80,
                   u"dev80"_s);
    fake->answerAt(u"GetTextDeviceInfo"_s, TextInfo::DescriptorBase + Descriptor::Row82,
                   u"dev82"_s);
    WindowHarness harness(fake);
    MainForm main(fake);
    fill(main, major,
         {u"m42"_s, u"m80"_s, u"m81"_s, u"m82"_s, -42, 81, 2147483647, u"s42"_s, u"s80"_s, u"s81"_s,
          u"s82"_s, u"line"_s});
    FormExtraDocData window(main);
    harness.watch(&window);

    QStringList texts;
    QStringList values;
    for (const QString& n : {u"42"_s, u"80"_s, u"81"_s, u"82"_s}) {
        texts << harness::text(&window, u"TxtDesc"_s + n);
        values << harness::text(&window, u"TxtValDesc"_s + n);
    }
    QTEST(texts, "texts");
    QTEST(values, "values");
    QTEST(harness::isShown(&window, u"lblDescInfo"_s), "infoShown");
    QVERIFY(harness::isEnabled(&window, u"TxtDesc42"_s));
    QVERIFY(harness::isEnabled(&window, u"TxtValDesc42"_s));
    QTEST(harness::isEnabled(&window, u"TxtDesc81"_s), "laterRows");
    QTEST(harness::isEnabled(&window, u"TxtValDesc80"_s), "laterRows");
    QTEST(harness::isEnabled(&window, u"TxtExtraStrings"_s), "extraText");
    QCOMPARE(harness::text(&window, u"TxtExtraStrings"_s), u"line"_s);
    // What was read from the device is kept in the main window.
    if (major >= 5)
        QCOMPARE(main.m_sDesc81, u""_s);
    QVERIFY(fake->commands().isEmpty());
    QVERIFY(harness::isShown(&window, u"pageDescriptors"_s));
    QVERIFY(!harness::isShown(&window, u"pageText"_s));
    QCOMPARE(window.windowTitle(), u"Дополнительно"_s);
}

void TestFormExtraDocData::indicators()
{
    auto fake = std::make_shared<FakeDriver>();
    const QList<int> answers{1, 0, 1, 2, -1, 1, 0, 1};
    for (int i = 0; i < 8; ++i)
        fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::FirstHardwareFlag + i, answers[i]);
    WindowHarness harness(fake);
    MainForm main(fake);
    main.m_MajorVersion = 5;
    FormExtraDocData window(main);
    harness.watch(&window);

    QStringList colours;
    for (int i = 0; i < 8; ++i) {
        auto* box = harness::control<QLabel>(&window, u"PicStatus_%1"_s.arg(i));
        colours << box->palette().color(QPalette::Window).name();
    }
    const QString red = u"#ff0000"_s;
    const QString grey = u"#808080"_s;
    QCOMPARE(colours, (QStringList{red, grey, red, grey, grey, red, grey, red}));
    QCOMPARE(harness::text(&window, u"LabelStatus_3"_s),
             u"Значение напряжения питания на батарее резервного питания ниже допустимого"_s);
}

void TestFormExtraDocData::applying_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<QString>("failing"); // "member:argument" answering 7
    QTest::addColumn<QString>("edits");   // "box=text; ..."
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("kept");

    const QString before = u"m42 m80 m81 m82 | 1 2 3 | s42 s80 s81 s82 | old"_s;
    QTest::newRow("no change stores the values only")
        << 4 << u""_s << u"TxtValDesc42=v42; TxtValDesc80=v80"_s << QStringList{} << u""_s
        << u"m42 m80 m81 m82 | 1 2 3 | v42 v80 s81 s82 | old"_s;
    QTest::newRow("3 stores integers")
        << 3 << u""_s << u"TxtValDesc42=12.5; TxtValDesc81=abc; TxtValDesc82=13.5"_s
        << QStringList{} << u""_s << u"m42 m80 m81 m82 | 12 0 14 | s42 s80 s81 s82 | old"_s;
    QTest::newRow("3: a value beyond 32 bits stores none")
        << 3 << u""_s << u"TxtValDesc42=5; TxtValDesc82=3000000000; TxtValDesc80=x"_s
        << QStringList{} << u"Данные 82: допустимо от -2147483648 до 2147483647"_s << before;
    QTest::newRow("descriptors in order")
        << 4 << u""_s << u"TxtDesc82=d; TxtDesc42=a"_s
        << QStringList{descriptor(Descriptor::Row42, u"a"_s), descriptor(Descriptor::Row82, u"d"_s)}
        << u"Статус: comment(0)"_s << u"a m80 m81 d | 1 2 3 | s42 s80 s81 s82 | old"_s;
    QTest::newRow("a failing descriptor 80 stops the rest")
        << 4 << u"SetDescriptorText:%1"_s.arg(Descriptor::Row80)
        << u"TxtDesc42=a; TxtDesc80=b; TxtDesc81=c; TxtValDesc42=v; TxtExtraStrings=new"_s
        << QStringList{descriptor(Descriptor::Row42, u"a"_s), descriptor(Descriptor::Row80, u"b"_s)}
        << u"Статус: comment(7)"_s << u"a m80 m81 m82 | 1 2 3 | s42 s80 s81 s82 | old"_s;
    QTest::newRow("a descriptor emptied is written")
        << 4 << u""_s << u"TxtDesc81="_s << QStringList{descriptor(Descriptor::Row81, QString())}
        << u"Статус: comment(0)"_s << u"m42 m80  m82 | 1 2 3 | s42 s80 s81 s82 | old"_s;
    QTest::newRow("extra text replaces the device's lines")
        << 4 << u""_s << u"TxtExtraStrings=one\n\ntwo"_s
        << QStringList{u"ClearExtraStrings()"_s, u"AddExtraString(text:\"one\")"_s,
                       u"AddExtraString(text:\"\")"_s, u"AddExtraString(text:\"two\")"_s}
        << u"Статус: comment(0)"_s << u"m42 m80 m81 m82 | 1 2 3 | s42 s80 s81 s82 | one\n\ntwo"_s;
    QTest::newRow("emptied extra text clears once")
        << 4 << u""_s << u"TxtExtraStrings="_s << QStringList{u"ClearExtraStrings()"_s}
        << u"Статус: comment(0)"_s << u"m42 m80 m81 m82 | 1 2 3 | s42 s80 s81 s82 | "_s;
    QTest::newRow("the silent clear failing keeps the status")
        << 4 << u"ClearExtraStrings"_s << u"TxtExtraStrings=new"_s
        << QStringList{u"ClearExtraStrings()"_s} << u""_s << before;
    QTest::newRow("a failing line keeps the old text")
        << 4 << u"AddExtraString"_s << u"TxtExtraStrings=a\nb"_s
        << QStringList{u"ClearExtraStrings()"_s, u"AddExtraString(text:\"a\")"_s}
        << u"Статус: comment(7)"_s << before;
}

void TestFormExtraDocData::applying()
{
    QFETCH(int, major);
    QFETCH(QString, failing);
    QFETCH(QString, edits);
    auto fake = std::make_shared<FakeDriver>();
    if (const QStringList parts = failing.split(u':'); parts.size() == 2)
        fake->answerAt(parts[0], parts[1].toInt(), 7);
    else if (!failing.isEmpty())
        fake->answer(failing, 7);
    WindowHarness harness(fake);
    MainForm main(fake);
    fill(main, major,
         {u"m42"_s, u"m80"_s, u"m81"_s, u"m82"_s, 1, 2, 3, u"s42"_s, u"s80"_s, u"s81"_s, u"s82"_s,
          u"old"_s});
    FormExtraDocData window(main);
    harness.watch(&window);
    fake->clearRecords();

    for (const QString& edit : edits.split(u"; "_s)) {
        const qsizetype equals = edit.indexOf(u'=');
        const QString name = edit.left(equals);
        const QString text = edit.mid(equals + 1);
        if (name == u"TxtExtraStrings"_s)
            harness::control<QPlainTextEdit>(&window, name)->setPlainText(text);
        else
            harness::setText(&window, name, text);
    }
    harness::click(&window, u"CmdApply"_s);
    QTEST(fake->commands(), "commands");
    QTEST(harness::text(&window, u"StatusText"_s), "status");
    QTEST(kept(main), "kept");
    // Progress texts go before each write.
    for (const FakeDriver::Record& record : fake->records()) {
        if (record.call.member == u"SetDescriptorText"_s)
            QVERIFY(record.status.startsWith(u"Установка дескриптора "_s));
        if (record.call.member == u"AddExtraString"_s)
            QCOMPARE(record.status, u"Установка дополнительных строк..."_s);
    }
}

void TestFormExtraDocData::wrappedTextIsSentLineByLine()
{
    auto fake = std::make_shared<FakeDriver>();
    WindowHarness harness(fake);
    MainForm main(fake);
    main.m_MajorVersion = 4;
    FormExtraDocData window(main);
    harness.watch(&window);
    auto* box = harness::control<QPlainTextEdit>(&window, u"TxtExtraStrings"_s);
    // Far wider than the box: it wraps, and no piece passes 80 characters.
    const QString word = u"слово "_s;
    box->setPlainText(word.repeated(40).trimmed());
    const QStringList lines = extratext::displayLines(*box);
    QVERIFY(lines.size() > 1);
    fake->clearRecords();
    harness::click(&window, u"CmdApply"_s);

    QStringList sent;
    for (const FakeDriver::Record& record : fake->records()) {
        if (record.call.member == u"AddExtraString"_s)
            sent << record.call.arguments.at(0).value().toString();
    }
    QCOMPARE(sent, lines);
    QCOMPARE(sent.join(QString()), word.repeated(40).trimmed());
    for (const QString& line : sent)
        QVERIFY(line.size() <= 80);
}

void TestFormExtraDocData::displayLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    const QString x25 = u"x"_s.repeated(25);
    QTest::newRow("empty text is one empty line") << u""_s << QStringList{u""_s};
    QTest::newRow("fits") << u"abc def"_s << QStringList{u"abc def"_s};
    QTest::newRow("wraps after the blank")
        << u"aaaa bbbb cccc"_s << QStringList{u"aaaa bbbb "_s, u"cccc"_s};
    QTest::newRow("a long word breaks anywhere")
        << x25 << QStringList{x25.left(10), x25.mid(10, 10), x25.mid(20)};
    QTest::newRow("hard breaks, an empty line kept")
        << u"a\n\nb"_s << QStringList{u"a"_s, u""_s, u"b"_s};
    QTest::newRow("Windows line ends") << u"a\r\nb\r\n"_s << QStringList{u"a"_s, u"b"_s, u""_s};
}

void TestFormExtraDocData::displayLines()
{
    QFETCH(QString, text);
    const QFont font = fixedFont();
    // Ten and a half characters: ten fit, eleven do not.
    const qreal width = QFontMetricsF(font).horizontalAdvance(u'x') * 10.5;
    QTEST(extratext::displayLines(text, font, width), "lines");
}

void TestFormExtraDocData::tabs()
{
    auto fake = std::make_shared<FakeDriver>();
    WindowHarness harness(fake);
    MainForm main(fake);
    main.m_MajorVersion = 4;
    FormExtraDocData window(main);
    harness.watch(&window);
    auto* bar = harness::control<QTabBar>(&window, u"tbsOptions"_s);
    QCOMPARE(bar->count(), 3);
    QCOMPARE(bar->tabText(2), u"Состояние"_s);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QStringList shown;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(&window, Qt::Key_Tab, Qt::ControlModifier);
        shown << QString::number(bar->currentIndex());
    }
    QCOMPARE(shown, (QStringList{u"1"_s, u"2"_s, u"0"_s}));
    QVERIFY(harness::isShown(&window, u"pageDescriptors"_s));
}

QTEST_MAIN(TestFormExtraDocData)
#include "tst_formextradocdata.moc"
