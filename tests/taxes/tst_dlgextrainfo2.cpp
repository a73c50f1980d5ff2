#include "DeviceNumbers.h"
#include "ExpectedCall.h"
#include "FailingDriver.h"
#include "MainForm.h"
#include "StatisticsRows.h"
#include "WindowHarness.h"
#include "dlgExtraInfo2.h"

#include <QLocale>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QTreeWidget* list(dlgExtraInfo2& window, const QString& name)
{
    return harness::control<QTreeWidget>(&window, name);
}

QStringList column(QTreeWidget* list, int index)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << list->topLevelItem(row)->text(index);
    return texts;
}

QStringList calls(const QString& member, std::int16_t first, std::int16_t last)
{
    QStringList result;
    for (std::int16_t index = first; index <= last; ++index)
        result << callText(member, {index});
    return result;
}

} // namespace

class TestDlgExtraInfo2 : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void rowsByGeneration_data();
    void rowsByGeneration();
    void counterValues_data();
    void counterValues();
    void documentValueMinusOneStopsLoading_data();
    void documentValueMinusOneStopsLoading();
    void failingDriverStopsLoading();
};

void TestDlgExtraInfo2::rowsByGeneration_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("lastName");

    QTest::newRow("4") << 4 << 38 << u"Сумма возвратов тары"_s;
    QTest::newRow("5") << 5 << 40 << u"Сумма дубликатов чеков"_s;
    QTest::newRow("6") << 6 << 56 << u"Сумма скидок покупок"_s;
    QTest::newRow("7") << 7 << 38 << u"Сумма возвратов тары"_s;
}

void TestDlgExtraInfo2::rowsByGeneration()
{
    QFETCH(int, major);
    QFETCH(int, count);
    QFETCH(QString, lastName);

    auto fake = std::make_shared<FakeDriver>();
    fake->answerAt(u"GetDocInfo"_s, DocInfo::DocumentType, 1);
    WindowHarness harness(fake);
    MainForm main(fake);
    main.m_MajorVersion = major;
    dlgExtraInfo2 window(main);
    harness.watch(&window);

    QCOMPARE(fake->calls(),
             calls(u"GetDocInfo"_s, DocInfo::SalesTotal, DocInfo::DocumentType) +
                 calls(u"GetDoubleDeviceInfo"_s, DoubleInfo::shiftCounter(DeviceCounter::Payment1),
                       DoubleInfo::ShiftCounterBase + count) +
                 calls(u"GetDoubleDeviceInfo"_s, DoubleInfo::totalCounter(DeviceCounter::Payment1),
                       DoubleInfo::TotalCounterBase + count));
    QCOMPARE(column(list(window, u"lvDocument"_s), 1),
             (QStringList{u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"1"_s}));
    for (const QString& name : {u"lvSession"_s, u"lvTotal"_s}) {
        const QStringList names = column(list(window, name), 0);
        QCOMPARE(names.size(), count);
        QCOMPARE(names.constFirst(), u"Итог по платежному средству №1"_s);
        QCOMPARE(names.constLast(), lastName);
    }
    QCOMPARE(harness::text(&window, u"StatusText"_s), u"Нет ошибок"_s);
    QCOMPARE(window.windowTitle(), u"Статистика"_s);
    // The document page shows first.
    QVERIFY(harness::isShown(&window, u"pageDocument"_s));
    QVERIFY(!harness::isShown(&window, u"pageSession"_s));
    QVERIFY(!harness::isShown(&window, u"pageTotal"_s));

    harness::click(&window, u"CmdCancel"_s);
    QVERIFY(!window.isVisible());
}

void TestDlgExtraInfo2::counterValues_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");

    QTest::newRow("unsupported") << -1.0 << u"C"_s << u"Не поддерживается"_s;
    QTest::newRow("zero") << 0.0 << u"C"_s << u"0"_s;
    QTest::newRow("negative zero") << -0.0 << u"C"_s << u"0"_s;
    QTest::newRow("other negative") << -2.0 << u"C"_s << u"-2"_s;
    QTest::newRow("fraction") << 1234.5 << u"C"_s << u"1234.5"_s;
    QTest::newRow("large whole amount") << 123456789012.0 << u"C"_s << u"123456789012"_s;
    QTest::newRow("every significant digit") << 0.1 + 0.2 << u"C"_s << u"0.30000000000000004"_s;
    QTest::newRow("a point under a comma locale, no grouping")
        << 1234567.25 << u"de_DE"_s << u"1234567.25"_s;
    QTest::newRow("no grouping of whole amounts") << 1234567.0 << u"ru_RU"_s << u"1234567"_s;
    QTest::newRow("a point under Russian") << 0.5 << u"ru_RU"_s << u"0.5"_s;
}

void TestDlgExtraInfo2::counterValues()
{
    QFETCH(double, value);
    QFETCH(QString, locale);
    QLocale::setDefault(QLocale(locale));
    QTEST(statistics::counterText(value), "text");
}

void TestDlgExtraInfo2::documentValueMinusOneStopsLoading_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("message");

    QTest::newRow("sales total") << int(DocInfo::SalesTotal)
                                 << u"Ошибка при получении информации об итоге продаж чека"_s;
    QTest::newRow("sales count") << int(DocInfo::Entries)
                                 << u"Ошибка при получении информации о количестве продаж чека"_s;
    QTest::newRow("document type")
        << int(DocInfo::DocumentType) << u"Ошибка при получении информации о типе документа"_s;
}

void TestDlgExtraInfo2::documentValueMinusOneStopsLoading()
{
    QFETCH(int, index);
    QFETCH(QString, message);

    auto fake = std::make_shared<FakeDriver>();
    fake->answer(u"GetDocInfo"_s, 7);
    fake->answerAt(u"GetDocInfo"_s, index, -1);
    WindowHarness harness(fake);
    MainForm main(fake);
    main.m_MajorVersion = 6;
    dlgExtraInfo2 window(main);
    harness.watch(&window);

    QCOMPARE(fake->calls(), calls(u"GetDocInfo"_s, DocInfo::SalesTotal, index));
    QStringList values(index - DocInfo::SalesTotal, u"7"_s);
    values << u"-1"_s;
    QCOMPARE(column(list(window, u"lvDocument"_s), 1), values);
    QCOMPARE(list(window, u"lvSession"_s)->topLevelItemCount(), 0);
    QCOMPARE(list(window, u"lvTotal"_s)->topLevelItemCount(), 0);
    QCOMPARE(harness::text(&window, u"StatusText"_s), u"Ошибка: "_s + message);
}

void TestDlgExtraInfo2::failingDriverStopsLoading()
{
    auto fake = std::make_shared<FakeDriver>();
    fake->answerAt(u"GetDoubleDeviceInfo"_s, DoubleInfo::shiftCounter(DeviceCounter::Payment1),
                   DoubleInfo::NotSupported);
    fake->answerAt(u"GetDoubleDeviceInfo"_s, DoubleInfo::shiftCounter(DeviceCounter::Payment2),
                   150.75);
    WindowHarness harness(fake);
    MainForm main(std::make_shared<FailingDriver>(fake, u"GetDoubleDeviceInfo"_s,
                                                  DoubleInfo::shiftCounter(DeviceCounter::Payment5),
                                                  "device gone"));
    main.m_MajorVersion = 5;
    dlgExtraInfo2 window(main);
    harness.watch(&window);

    QCOMPARE(column(list(window, u"lvSession"_s), 1),
             (QStringList{u"Не поддерживается"_s, u"150.75"_s, u"0"_s, u"0"_s}));
    QCOMPARE(list(window, u"lvTotal"_s)->topLevelItemCount(), 0);
    QCOMPARE(harness::text(&window, u"StatusText"_s), u"Ошибка: device gone"_s);
}

QTEST_MAIN(TestDlgExtraInfo2)
#include "tst_dlgextrainfo2.moc"
