#include "ExpectedCall.h"
#include "FormTextDoc.h"
#include "MainForm.h"
#include "WindowHarness.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList kBoxes = {u"cbDoubleWidth"_s, u"cbDoubleHeight"_s, u"cbUnderline"_s};

// A text document window as the main window opens it.
struct Opened
{
    Opened(std::int32_t type, int major, const QList<int>& options = {0, 0, 0})
    {
        for (qsizetype at = 0; at < options.size(); ++at)
            fake->answerAt(u"GetDriverOpt"_s, DriverOption::DoubleWidth + int(at), options.at(at));
        main.m_MajorVersion = major;
        window.m_DocumentType = type;
        harness.watch(&window);
    }

    std::shared_ptr<FakeDriver> fake = std::make_shared<FakeDriver>();
    WindowHarness harness{fake};
    MainForm main{fake};
    FormTextDoc window{main};
};

} // namespace

class TestFormTextDoc : public QObject
{
    Q_OBJECT

private slots:
    void attributesAtLoading_data();
    void attributesAtLoading();
    void attributeClicksSetTheOption_data();
    void attributeClicksSetTheOption();
    void printLine_data();
    void printLine();
    void endingIsSilentWhenRefused_data();
    void endingIsSilentWhenRefused();
    void extendedError_data();
    void extendedError();
};

void TestFormTextDoc::attributesAtLoading_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("major");
    QTest::addColumn<QList<int>>("options");
    QTest::addColumn<QList<bool>>("checked");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("calls");

    const QList<bool> none{false, false, false};
    QTest::newRow("numbered document")
        << DocumentType::Text << 6 << QList<int>{1, 1, 1} << none << false << QStringList{};
    QTest::newRow("unnumbered on version 3")
        << DocumentType::UnnumberedText << 3 << QList<int>{1, 1, 1} << none << false
        << QStringList{};
    QTest::newRow("unnumbered, height set")
        << DocumentType::UnnumberedText << 4 << QList<int>{0, 1, 0}
        << QList<bool>{false, true, false} << true
        << QStringList{callText(u"GetDriverOpt"_s, {DriverOption::DoubleWidth}),
                       callText(u"GetDriverOpt"_s, {DriverOption::DoubleHeight}),
                       callText(u"SetDriverOpt"_s, {DriverOption::DoubleHeight, 1}),
                       callText(u"GetDriverOpt"_s, {DriverOption::Underline})};
    QTest::newRow("unnumbered, width and underline set")
        << DocumentType::UnnumberedText << 5 << QList<int>{2, 0, -1}
        << QList<bool>{true, false, true} << true
        << QStringList{callText(u"GetDriverOpt"_s, {DriverOption::DoubleWidth}),
                       callText(u"SetDriverOpt"_s, {DriverOption::DoubleWidth, 1}),
                       callText(u"GetDriverOpt"_s, {DriverOption::DoubleHeight}),
                       callText(u"GetDriverOpt"_s, {DriverOption::Underline}),
                       callText(u"SetDriverOpt"_s, {DriverOption::Underline, 1})};
}

void TestFormTextDoc::attributesAtLoading()
{
    QFETCH(int, type);
    QFETCH(int, major);
    QFETCH(QList<int>, options);
    QFETCH(QList<bool>, checked);
    QFETCH(bool, enabled);

    Opened opened(type, major, options);
    QTEST(opened.fake->calls(), "calls");
    for (qsizetype at = 0; at < kBoxes.size(); ++at) {
        QCOMPARE(harness::isChecked(&opened.window, kBoxes.at(at)), checked.at(at));
        QCOMPARE(harness::isEnabled(&opened.window, kBoxes.at(at)), enabled);
    }
    QCOMPARE(harness::text(&opened.window, u"StatusText"_s), QString());
}

void TestFormTextDoc::attributeClicksSetTheOption_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<std::int16_t>("option");

    QTest::newRow("double width") << u"cbDoubleWidth"_s << DriverOption::DoubleWidth;
    QTest::newRow("double height") << u"cbDoubleHeight"_s << DriverOption::DoubleHeight;
    QTest::newRow("underline") << u"cbUnderline"_s << DriverOption::Underline;
}

void TestFormTextDoc::attributeClicksSetTheOption()
{
    QFETCH(QString, box);
    QFETCH(std::int16_t, option);
    Opened opened(DocumentType::UnnumberedText, 4);
    opened.fake->clearRecords();
    harness::click(&opened.window, box);
    harness::click(&opened.window, box);
    QCOMPARE(opened.fake->calls(), QStringList({callText(u"SetDriverOpt"_s, {option, 1}),
                                                callText(u"SetDriverOpt"_s, {option, 0})}));
    QCOMPARE(harness::text(&opened.window, u"StatusText"_s), QString());
}

void TestFormTextDoc::printLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result");

    QTest::newRow("empty line") << QString() << 0;
    QTest::newRow("refused line") << u"Спасибо за покупку"_s << 6;
}

void TestFormTextDoc::printLine()
{
    QFETCH(QString, text);
    QFETCH(int, result);
    Opened opened(DocumentType::Text, 4);
    opened.fake->answer(u"TextLine"_s, QVariant::fromValue<std::int16_t>(std::int16_t(result)));
    harness::setText(&opened.window, u"TxtText"_s, text);
    opened.fake->clearRecords();

    harness::click(&opened.window, u"CmdText"_s);

    QCOMPARE(opened.fake->commands(), QStringList{u"TextLine(text:\"%1\")"_s.arg(text)});
    QCOMPARE(opened.fake->last(u"TextLine"_s)->status, QString());
    QCOMPARE(harness::text(&opened.window, u"StatusText"_s), FakeDriver::comment(result));
    // The line stays, so that it can be printed again.
    QCOMPARE(harness::text(&opened.window, u"TxtText"_s), text);
    QVERIFY(opened.window.isVisible());
}

void TestFormTextDoc::endingIsSilentWhenRefused_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("closed");

    QTest::newRow("ended") << 0 << true;
    QTest::newRow("refused") << 9 << false;
}

void TestFormTextDoc::endingIsSilentWhenRefused()
{
    QFETCH(int, result);
    Opened opened(DocumentType::UnnumberedText, 4);
    harness::click(&opened.window, u"CmdText"_s);
    opened.fake->answer(u"EndDocument"_s, QVariant::fromValue<std::int16_t>(std::int16_t(result)));
    opened.fake->clearRecords();

    harness::click(&opened.window, u"CmdExit"_s);

    QCOMPARE(opened.fake->calls(), QStringList{u"EndDocument()"_s});
    QTEST(!opened.window.isVisible(), "closed");
    QCOMPARE(harness::text(&opened.window, u"StatusText"_s),
             FakeDriver::comment(ErrorCode::NoError));
}

void TestFormTextDoc::extendedError_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("codeText");

    QTest::newRow("positive") << 5 << u" 5"_s;
    QTest::newRow("zero") << 0 << u" 0"_s;
    QTest::newRow("negative") << -3 << u"-3"_s;
}

void TestFormTextDoc::extendedError()
{
    QFETCH(int, code);
    Opened opened(DocumentType::Text, 4);
    opened.fake->answer(u"GetErrorCode2"_s, code);
    opened.fake->clearRecords();

    harness::click(&opened.window, u"CmdGetExtendedError"_s);

    QCOMPARE(opened.fake->calls(),
             QStringList({u"GetErrorCode2()"_s, callText(u"GetErrorComment2"_s, {code})}));
    QTEST(harness::text(&opened.window, u"ExtendedErrorCodeText"_s), "codeText");
    QCOMPARE(harness::text(&opened.window, u"ExtendedErrorText"_s), FakeDriver::comment2(code));
    QCOMPARE(harness::text(&opened.window, u"StatusText"_s), QString());
}

QTEST_MAIN(TestFormTextDoc)
#include "tst_formtextdoc.moc"
