#include "DeviceNumbers.h"
#include "DriverFactory.h"
#include "ExpectedCall.h"
#include "FakeDriver.h"
#include "TracingDriver.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestDriver : public QObject
{
    Q_OBJECT

private slots:
    void callsAreWrittenWithTheirKinds_data();
    void callsAreWrittenWithTheirKinds();
    void tracerForwardsRecordsAndNotifies();
    void tracerPassesOutParametersThrough();
    void tracerJournalKeepsTheLatestCalls();
    void fakeAnswersInOrderOfPrecedence();
    void factoryCreatesRegisteredDriversOnly();
};

void TestDriver::callsAreWrittenWithTheirKinds_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("expected");

    auto fake = std::make_shared<FakeDriver>();
    fake->Item(1000, 100, u"Item1"_s, 0);
    fake->ItemEx(1, 2, u"x"_s, 3, std::int16_t(4));
    fake->VoidItem(QVariant(u"1000"_s), 100, u"Item1"_s, 0);
    fake->Tender2(5000.0, QVariant::fromValue<std::int16_t>(PaymentType::Cash), QVariant(u""_s),
                  u""_s);
    fake->EKLZPrintReportByDate(EklzReport::ShortByDates, EklzReport::ByDateReserved,
                                QDate(2026, 12, 1), QDate(2026, 12, 8));
    fake->SetDeviceOpt(DeviceOption::Speed, -1);
    const QStringList calls = fake->calls();

    QTest::newRow("int32 and text")
        << calls.at(0) << u"Item(int32:1000, int32:100, text:\"Item1\", int32:0)"_s;
    QTest::newRow("int16 department")
        << calls.at(1) << u"ItemEx(int32:1, int32:2, text:\"x\", int32:3, int16:4)"_s;
    QTest::newRow("quantity as general text")
        << calls.at(2) << u"VoidItem(general<text>:\"1000\", int32:100, text:\"Item1\", int32:0)"_s;
    QTest::newRow("double and general int16")
        << calls.at(3)
        << u"Tender2(double:5000, general<int16>:8, general<text>:\"\", text:\"\")"_s;
    QTest::newRow("dates")
        << calls.at(4)
        << u"EKLZPrintReportByDate(int16:9, int32:-1, date:2026-12-01, date:2026-12-08)"_s;
    QTest::newRow("negative int16") << calls.at(5) << u"SetDeviceOpt(int16:101, int16:-1)"_s;
}

void TestDriver::callsAreWrittenWithTheirKinds()
{
    QFETCH(QString, written);
    QFETCH(QString, expected);
    QCOMPARE(written, expected);
}

void TestDriver::tracerForwardsRecordsAndNotifies()
{
    auto inner = std::make_shared<FakeDriver>();
    inner->answer(u"StartSession"_s, QVariant::fromValue<std::int16_t>(7));
    inner->answerAt(u"GetDeviceInfo"_s, DeviceInfo::MajorVersion, 6);
    inner->answerAt(u"GetTextDeviceInfo"_s, TextInfo::SalesTotal, u"123.45"_s);
    TracingDriver tracer(inner);
    QStringList seen;
    tracer.addObserver([&](const DriverCall& call) { seen << call.member; });

    QCOMPARE(tracer.StartSession(u"Кассир1"_s, 1), std::int16_t(7));
    QCOMPARE(tracer.GetDeviceInfo(DeviceInfo::MajorVersion), 6);
    QCOMPARE(tracer.GetTextDeviceInfo(TextInfo::SalesTotal), u"123.45"_s);
    QCOMPARE(tracer.GetErrorComment(7), FakeDriver::comment(7));

    QCOMPARE(inner->calls(), QStringList({callText(u"StartSession"_s, {u"Кассир1"_s, 1}),
                                          callText(u"GetDeviceInfo"_s, {DeviceInfo::MajorVersion}),
                                          callText(u"GetTextDeviceInfo"_s, {TextInfo::SalesTotal}),
                                          commentCall(7)}));
    QCOMPARE(seen, inner->members());
    QCOMPARE(tracer.journal().size(), 4);
    QCOMPARE(tracer.journal().at(0).result.toInt(), 7);
    QCOMPARE(tracer.journal().at(2).result.toString(), u"123.45"_s);
    QVERIFY(tracer.journal().at(0).duration.count() >= 0);
}

void TestDriver::tracerPassesOutParametersThrough()
{
    auto inner = std::make_shared<FakeDriver>();
    inner->setLanguages({{u"Русский"_s, u"ru"_s, 1049, 1}, {u"English"_s, u"en"_s, 1033, 0}});
    TracingDriver tracer(inner);

    QCOMPARE(tracer.GetLanguageCount(), 2);
    QString name;
    QString text2;
    std::int32_t id = 0;
    std::int32_t current = 0;
    QCOMPARE(tracer.GetLanguageInfo(2, name, text2, id, current), std::int16_t(0));
    QCOMPARE(name, u"English"_s);
    QCOMPARE(text2, u"en"_s);
    QCOMPARE(id, 1033);
    QCOMPARE(current, 0);
    QCOMPARE(tracer.journal().last().toString(), callText(u"GetLanguageInfo"_s, {2}));
}

void TestDriver::tracerJournalKeepsTheLatestCalls()
{
    TracingDriver tracer(std::make_shared<FakeDriver>(), 3);
    for (std::int16_t i = 1; i <= 5; ++i)
        tracer.PrintReport(i);
    QCOMPARE(tracer.journal().size(), 3);
    // The calls differ in their argument only: the journal keeps the third to the fifth.
    QCOMPARE(tracer.journal().first().toString(), callText(u"PrintReport"_s, {std::int16_t(3)}));
    QCOMPARE(tracer.journal().last().toString(), callText(u"PrintReport"_s, {std::int16_t(5)}));
}

void TestDriver::fakeAnswersInOrderOfPrecedence()
{
    FakeDriver fake;
    fake.answer(u"GetDeviceInfo"_s, 1);
    fake.answerAt(u"GetDeviceInfo"_s, DeviceInfo::DocumentOpen, 5);
    fake.queue(u"GetDeviceInfo"_s, {20});
    fake.queueAt(u"GetDeviceInfo"_s, DeviceInfo::DocumentOpen, {30, 31});

    QCOMPARE(fake.GetDeviceInfo(DeviceInfo::DocumentOpen), 30); // queue for the index first
    QCOMPARE(fake.GetDeviceInfo(DeviceInfo::DocumentOpen), 31);
    QCOMPARE(fake.GetDeviceInfo(DeviceInfo::DocumentOpen), 20); // then the member's queue
    QCOMPARE(fake.GetDeviceInfo(DeviceInfo::DocumentOpen),
             5);                                            // then the fixed answer for the index
    QCOMPARE(fake.GetDeviceInfo(DeviceInfo::ShiftOpen), 1); // then the member's fixed answer
    QCOMPARE(fake.GetDocInfo(DocInfo::Amount), 0);          // and the default
    QCOMPARE(fake.EndDocument(), std::int16_t(0));
    QCOMPARE(fake.GetTextDeviceInfo(TextInfo::PaymentMeanNameBase + 1), QString());
    QCOMPARE(fake.GetErrorComment2(-3), FakeDriver::comment2(-3));
}

void TestDriver::factoryCreatesRegisteredDriversOnly()
{
    const QString progId = u"Test.Driver.1"_s;
    QVERIFY(!createDriver(progId).driver);
    QVERIFY(createDriver(progId).error.contains(progId));

    registerDriver(progId, [] { return std::make_shared<FakeDriver>(); });
    const DriverCreation created = createDriver(progId);
    QVERIFY(created.driver);
    QVERIFY(created.error.isEmpty());
    QVERIFY(createDriver(progId).driver != created.driver); // a new object every time

    registerDriver(progId, [] { return std::shared_ptr<Driver>(); });
    QVERIFY(!createDriver(progId).driver);
    QVERIFY(!createDriver(progId).error.isEmpty());

    registerDriver(progId, {});
    QVERIFY(!createDriver(progId).driver);
}

QTEST_APPLESS_MAIN(TestDriver)
#include "tst_driver.moc"
