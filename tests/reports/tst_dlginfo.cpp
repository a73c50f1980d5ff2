#include "ExpectedCall.h"
#include "MainForm.h"
#include "WindowHarness.h"
#include "dlgInfo.h"

#include <QTabBar>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QStringList textInfoCalls(std::int32_t first, std::int32_t last)
{
    QStringList calls;
    for (std::int32_t index = first; index <= last; ++index)
        calls << callText(u"GetTextDeviceInfo"_s, {index});
    return calls;
}

struct Opened
{
    std::shared_ptr<FakeDriver> fake = std::make_shared<FakeDriver>();
    WindowHarness harness{fake};
    MainForm main{fake};
    std::unique_ptr<dlgInfo> window;

    explicit Opened(int major)
    {
        main.m_MajorVersion = major;
        fake->answer(u"GetTextDeviceInfo"_s, u"значение"_s);
        fake->answerAt(u"GetTextDeviceInfo"_s, TextInfo::SerialNumber, u"00012345"_s);
        window = std::make_unique<dlgInfo>(main);
        harness.watch(window.get());
    }
};

} // namespace

class TestDlgInfo : public QObject
{
    Q_OBJECT

private slots:
    void identificationRowsByGeneration_data();
    void identificationRowsByGeneration();
    void readsDescriptorsAndMessages_data();
    void readsDescriptorsAndMessages();
    void looksAsDescribed();
};

void TestDlgInfo::identificationRowsByGeneration_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("lastCaption");

    QTest::newRow("3: five rows") << 3 << textInfoCalls(TextInfo::SerialNumber, TextInfo::Version)
                                  << u"Версия"_s;
    QTest::newRow("4: nine rows") << 4
                                  << textInfoCalls(TextInfo::SerialNumber,
                                                   TextInfo::EklzLastDocumentTime)
                                  << u"Время последнего документа в ЭКЛЗ"_s;
    QTest::newRow("6: nine rows") << 6
                                  << textInfoCalls(TextInfo::SerialNumber,
                                                   TextInfo::EklzLastDocumentTime)
                                  << u"Время последнего документа в ЭКЛЗ"_s;
}

void TestDlgInfo::identificationRowsByGeneration()
{
    QFETCH(int, major);
    QFETCH(QStringList, calls);
    QFETCH(QString, lastCaption);

    Opened o(major);
    QCOMPARE(o.fake->calls(), calls);
    auto* list = harness::control<QTreeWidget>(o.window.get(), u"lvTextInfo"_s);
    QCOMPARE(list->topLevelItemCount(), calls.size());
    QCOMPARE(list->topLevelItem(0)->text(0), u"Заводской номер"_s);
    QCOMPARE(list->topLevelItem(0)->text(1), u"00012345"_s);
    QCOMPARE(list->topLevelItem(calls.size() - 1)->text(0), lastCaption);
    QCOMPARE(list->topLevelItem(calls.size() - 1)->text(1), u"значение"_s);
}

void TestDlgInfo::readsDescriptorsAndMessages_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("value");
    QTest::addColumn<std::int32_t>("index");

    const QString descriptor = u"txtDescriptorNum"_s;
    const QString getDescriptor = u"cmdGetDescriptorValue"_s;
    QTest::newRow("descriptor 0") << descriptor << u"0"_s << u"0"_s << getDescriptor
                                  << u"txtDescriptorValue"_s << 1000;
    QTest::newRow("descriptor 15")
        << descriptor << u"15"_s << u"15"_s << getDescriptor << u"txtDescriptorValue"_s << 1015;
    QTest::newRow("descriptor 200 is put back")
        << descriptor << u"200"_s << u"15"_s << getDescriptor << u"txtDescriptorValue"_s << 1015;
    QTest::newRow("descriptor letters are 0")
        << descriptor << u"abc"_s << u"abc"_s << getDescriptor << u"txtDescriptorValue"_s << 1000;
    QTest::newRow("descriptor beyond 16 bits")
        << descriptor << u"70000"_s << u"15"_s << getDescriptor << u"txtDescriptorValue"_s << 1015;
    QTest::newRow("message 122") << u"txtMessageNum"_s << u"122"_s << u"122"_s
                                 << u"cmdGetMessageValue"_s << u"txtMessageValue"_s << 1322;
}

void TestDlgInfo::readsDescriptorsAndMessages()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, button);
    QFETCH(QString, value);
    QFETCH(std::int32_t, index);

    Opened o(6);
    o.fake->answerAt(u"GetTextDeviceInfo"_s, index, u"ТЕКСТ %1"_s.arg(index));
    harness::setText(o.window.get(), box, u"15"_s);
    harness::setText(o.window.get(), box, typed);
    QCOMPARE(harness::text(o.window.get(), box), shown);
    o.fake->clearRecords();

    harness::click(o.window.get(), button);

    QCOMPARE(o.fake->calls(), QStringList{callText(u"GetTextDeviceInfo"_s, {index})});
    QCOMPARE(harness::text(o.window.get(), value), u"ТЕКСТ %1"_s.arg(index));
}

void TestDlgInfo::looksAsDescribed()
{
    Opened o(6);
    dlgInfo& window = *o.window;
    QCOMPARE(window.windowTitle(), QString());
    auto* tabs = harness::control<QTabBar>(&window, u"tbsOptions"_s);
    QCOMPARE(tabs->count(), 1);
    QCOMPARE(tabs->tabText(0), u"Информация"_s);
    QVERIFY(harness::isShown(&window, u"picOptions_0"_s));
    for (const QString& page : {u"picOptions_1"_s, u"picOptions_2"_s, u"picOptions_3"_s})
        QVERIFY(!harness::isShown(&window, page));
    for (const QString& box :
         {u"txtDescriptorNum"_s, u"txtDescriptorValue"_s, u"txtMessageNum"_s, u"txtMessageValue"_s})
        QCOMPARE(harness::text(&window, box), u"0"_s);
    QVERIFY(!window.findChild<QObject*>(u"StatusText"_s));
    harness::click(&window, u"cmdCancel"_s);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestDlgInfo)
#include "tst_dlginfo.moc"
