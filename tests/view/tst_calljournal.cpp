#include "CallHub.h"
#include "CallJournal.h"
#include "DeviceNumbers.h"
#include "FakeDriver.h"
#include "JournalModel.h"
#include "JournalRows.h"
#include "JournalTable.h"
#include "ResultCodes.h"
#include "TracingDriver.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include <random>

using namespace Qt::StringLiterals;
using namespace view;

namespace {

constexpr int kInvalid = static_cast<int>(ErrorCode::InvalidValue);

// A traced fake whose failures carry extended code 7 and whose comments name the code.
struct TracedFake
{
    std::shared_ptr<FakeDriver> fake = std::make_shared<FakeDriver>();
    std::shared_ptr<TracingDriver> driver;
    CallHub* hub = nullptr;
    int extendedReads = 0;

    explicit TracedFake(qsizetype capacity = 100)
    {
        DriverContext context;
        context.extendedCode = [this] {
            ++extendedReads;
            return 7;
        };
        context.comment = [](int code) { return FakeDriver::comment(code); };
        driver = CallHub::trace(fake, context, capacity);
        hub = CallHub::of(driver.get());
    }
};

JournalEntry entryOf(const QString& member, std::optional<int> code)
{
    JournalEntry entry;
    entry.call.member = member;
    entry.code = code;
    return entry;
}

} // namespace

class TestCallJournal : public QObject
{
    Q_OBJECT

private slots:
    void everyCallIsJournalledOnceWithItsResult_data();
    void everyCallIsJournalledOnceWithItsResult();
    void ringKeepsTheLatestCalls_data();
    void ringKeepsTheLatestCalls();
    void filterChoosesMemberAndFailures_data();
    void filterChoosesMemberAndFailures();
    void modelCatchesUpInOneChange_data();
    void modelCatchesUpInOneChange();
    void fullRingNumbersGetRoomAsTheyGrow();
    void hubGoesWithItsDriver();
    void rowsKeepTheirNumbersInEitherForm();
};

void TestCallJournal::everyCallIsJournalledOnceWithItsResult_data()
{
    QTest::addColumn<QString>("member");
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("extended");
    QTest::addColumn<bool>("failed");

    QTest::newRow("command that succeeds")
        << u"Item"_s << QVariant() << u"int32:1000, int32:100, text:\"Хлеб\", int32:0"_s
        << u"0: comment(0)"_s << QString() << false;
    QTest::newRow("command that fails: extended code read")
        << u"Item"_s << QVariant::fromValue(static_cast<std::int16_t>(kInvalid))
        << u"int32:1000, int32:100, text:\"Хлеб\", int32:0"_s << u"%1: comment(%1)"_s.arg(kInvalid)
        << u"7"_s << true;
    QTest::newRow("query answers its value, never a failure")
        << u"GetDeviceInfo"_s << QVariant(40) << u"int16:4"_s << u"40"_s << QString() << false;
    QTest::newRow("text query is quoted")
        << u"GetTextDeviceInfo"_s << QVariant(u"00000001"_s) << u"int32:1"_s << u"\"00000001\""_s
        << QString() << false;
    QTest::newRow("double query keeps its digits")
        << u"GetDoubleDeviceInfo"_s << QVariant(1234.5) << u"int16:1"_s << u"1234.5"_s << QString()
        << false;
    QTest::newRow("payment with general kinds")
        << u"Tender2"_s << QVariant()
        << u"double:5000, general<int16>:8, general<text>:\"\", text:\"\""_s << u"0: comment(0)"_s
        << QString() << false;
}

void TestCallJournal::everyCallIsJournalledOnceWithItsResult()
{
    QFETCH(QString, member);
    QFETCH(QVariant, answer);
    QFETCH(QString, arguments);
    QFETCH(QString, result);
    QFETCH(QString, extended);
    QFETCH(bool, failed);

    TracedFake traced;
    QVERIFY(traced.hub);
    if (answer.isValid())
        traced.fake->answer(member, answer);
    QList<JournalEntry> seen;
    connect(traced.hub, &CallHub::recorded, this,
            [&seen](const JournalEntry& entry) { seen << entry; });

    Driver& driver = *traced.driver;
    if (member == u"Item")
        driver.Item(1000, 100, u"Хлеб"_s, 0);
    else if (member == u"GetDeviceInfo")
        driver.GetDeviceInfo(DeviceInfo::ShiftOpen);
    else if (member == u"GetTextDeviceInfo")
        driver.GetTextDeviceInfo(TextInfo::PaymentMeanNameBase + 1);
    else if (member == u"GetDoubleDeviceInfo")
        driver.GetDoubleDeviceInfo(1);
    else if (member == u"Tender2")
        driver.Tender2(5000.0, QVariant::fromValue<std::int16_t>(PaymentType::Cash),
                       QVariant(u""_s), u""_s);

    // The fake saw the call once and nothing else: the hub asks nothing through the driver.
    QCOMPARE(traced.fake->members(), QStringList{member});
    QCOMPARE(seen.size(), 1);
    QCOMPARE(traced.hub->journal().size(), 1);
    const JournalEntry& entry = traced.hub->journal().at(0);
    QCOMPARE(entry.sequence, 1);
    QCOMPARE(entry.call.member, member);
    QCOMPARE(journal::cellText(entry, journal::Arguments), arguments);
    QCOMPARE(journal::cellText(entry, journal::Result), result);
    QCOMPARE(journal::cellText(entry, journal::ExtendedCode), extended);
    QCOMPARE(entry.failed(), failed);
    QCOMPARE(traced.extendedReads, failed ? 1 : 0);
    QVERIFY(entry.atMs > 0);
    const QStringList row = journal::rowText(entry).split(u'\t');
    QCOMPARE(row.size(), int(journal::ColumnCount));
    QCOMPARE(row.at(journal::Member), member);
}

void TestCallJournal::ringKeepsTheLatestCalls_data()
{
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("calls");
    QTest::addColumn<int>("clearedAfter"); // the call after which the ring was cleared, or 0
    QTest::addColumn<int>("firstKept");

    QTest::newRow("not full") << 5 << 3 << 0 << 1;
    QTest::newRow("exactly full") << 3 << 3 << 0 << 1;
    QTest::newRow("wrapped once") << 3 << 4 << 0 << 2;
    QTest::newRow("wrapped many times") << 3 << 10 << 0 << 8;
    QTest::newRow("one slot") << 1 << 4 << 0 << 4;
    QTest::newRow("cleared when wrapped, a few calls after") << 3 << 6 << 4 << 5;
    QTest::newRow("cleared when wrapped, wrapped again") << 3 << 9 << 4 << 7;
}

void TestCallJournal::ringKeepsTheLatestCalls()
{
    QFETCH(int, capacity);
    QFETCH(int, calls);
    QFETCH(int, clearedAfter);
    QFETCH(int, firstKept);

    CallJournal ring(capacity);
    for (int i = 1; i <= calls; ++i) {
        ring.append(entryOf(u"M%1"_s.arg(i), 0));
        if (i == clearedAfter)
            ring.clear();
    }
    QCOMPARE(ring.size(), calls - firstKept + 1);
    QCOMPARE(ring.firstSequence(), firstKept);
    for (qsizetype i = 0; i < ring.size(); ++i) {
        QCOMPARE(ring.at(i).sequence, firstKept + i);
        QCOMPARE(ring.at(i).call.member, u"M%1"_s.arg(firstKept + i));
        QCOMPARE(ring.find(firstKept + i), &ring.at(i));
    }
    QCOMPARE(ring.find(firstKept - 1), nullptr);
    QCOMPARE(ring.find(calls + 1), nullptr);
}

void TestCallJournal::filterChoosesMemberAndFailures_data()
{
    QTest::addColumn<QString>("member");
    QTest::addColumn<bool>("failuresOnly");
    QTest::addColumn<QList<qint64>>("shown");

    // Calls: 1 Item ok, 2 Item failed, 3 GetDeviceInfo (query), 4 Tender2 failed, 5 Tender2 ok.
    QTest::newRow("everything") << QString() << false << QList<qint64>{1, 2, 3, 4, 5};
    QTest::newRow("failures") << QString() << true << QList<qint64>{2, 4};
    QTest::newRow("one member") << u"Tender2"_s << false << QList<qint64>{4, 5};
    QTest::newRow("one member's failures") << u"Item"_s << true << QList<qint64>{2};
    QTest::newRow("a query never fails") << u"GetDeviceInfo"_s << true << QList<qint64>{};
    QTest::newRow("a member not called") << u"EndSession"_s << false << QList<qint64>{};
}

void TestCallJournal::filterChoosesMemberAndFailures()
{
    QFETCH(QString, member);
    QFETCH(bool, failuresOnly);
    QFETCH(QList<qint64>, shown);

    CallJournal ring;
    ring.append(entryOf(u"Item"_s, 0));
    ring.append(entryOf(u"Item"_s, kInvalid));
    ring.append(entryOf(u"GetDeviceInfo"_s, std::nullopt));
    ring.append(entryOf(u"Tender2"_s, kInvalid));
    ring.append(entryOf(u"Tender2"_s, 0));
    QCOMPARE(ring.members(), (QStringList{u"GetDeviceInfo"_s, u"Item"_s, u"Tender2"_s}));

    JournalModel model(ring);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setFilter(JournalFilter{member, failuresOnly});
    QList<qint64> rows;
    for (int row = 0; row < model.rowCount(); ++row)
        rows << model.entry(row)->sequence;
    QCOMPARE(rows, shown);
}

void TestCallJournal::modelCatchesUpInOneChange_data()
{
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("seen");  // calls the model has taken in
    QTest::addColumn<int>("burst"); // calls made before it catches up
    QTest::addColumn<QString>("member");
    QTest::addColumn<QList<qint64>>("shown");
    QTest::addColumn<QList<int>>("changes"); // removals, insertions, resets, changes of data

    // The calls alternate: EndSession (1, 3, 5 ...), then OpenDrawer (2, 4, 6 ...).
    QTest::newRow("a burst goes in at once")
        << 100 << 4 << 6 << u"EndSession"_s << QList<qint64>{1, 3, 5, 7, 9}
        << QList<int>{0, 1, 0, 0};
    // A full ring takes a call for each it forgets: the rows show other calls in place.
    QTest::newRow("forgotten calls go at once")
        << 4 << 4 << 4 << u"EndSession"_s << QList<qint64>{5, 7} << QList<int>{0, 0, 0, 1};
    QTest::newRow("every member") << 4 << 2 << 3 << QString() << QList<qint64>{2, 3, 4, 5}
                                  << QList<int>{0, 1, 0, 1};
    QTest::newRow("more forgotten than taken")
        << 3 << 3 << 3 << u"EndSession"_s << QList<qint64>{5} << QList<int>{1, 1, 0, 0};
    QTest::newRow("the ring turned past all rows")
        << 4 << 4 << 10 << u"EndSession"_s << QList<qint64>{11, 13} << QList<int>{0, 0, 1, 0};
    QTest::newRow("every member, the ring turned past all rows")
        << 4 << 4 << 10 << QString() << QList<qint64>{11, 12, 13, 14} << QList<int>{0, 0, 1, 0};
    QTest::newRow("nothing that the filter shows")
        << 100 << 4 << 6 << u"GetDeviceInfo"_s << QList<qint64>{} << QList<int>{0, 0, 0, 0};
}

void TestCallJournal::modelCatchesUpInOneChange()
{
    QFETCH(int, capacity);
    QFETCH(int, seen);
    QFETCH(int, burst);
    QFETCH(QString, member);
    QFETCH(QList<qint64>, shown);
    QFETCH(QList<int>, changes);

    TracedFake traced(capacity);
    int made = 0;
    const auto call = [&traced, &made] {
        if (made++ % 2 == 0)
            traced.driver->EndSession();
        else
            traced.driver->OpenDrawer();
    };
    for (int i = 0; i < seen; ++i)
        call();
    JournalModel model(traced.hub->journal());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setFilter(JournalFilter{member, false});
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    // What a view holds on to (its current row) stays with its call while the ring keeps it.
    std::vector<std::pair<QPersistentModelIndex, qint64>> held;
    for (int row = 0; row < model.rowCount(); ++row)
        held.emplace_back(model.index(row, 1), model.entry(row)->sequence);
    for (int i = 0; i < burst; ++i)
        call();
    model.catchUp();
    for (const auto& [index, sequence] : held) {
        if (index.isValid())
            QCOMPARE(model.entry(index.row())->sequence, sequence);
        else
            QVERIFY(!shown.contains(sequence));
    }

    QList<qint64> rows;
    for (int row = 0; row < model.rowCount(); ++row)
        rows << model.entry(row)->sequence;
    QCOMPARE(rows, shown);
    const auto counts = [&] {
        return QList<int>{int(removed.size()), int(inserted.size()), int(reset.size()),
                          int(changed.size())};
    };
    QCOMPARE(counts(), changes);
    // Caught up, it has nothing more to do.
    model.catchUp();
    QCOMPARE(counts(), changes);
}

// With a full ring the rows stay and show newer calls: the numbers down the side follow, and the
// side widens when they grow a digit.
void TestCallJournal::fullRingNumbersGetRoomAsTheyGrow()
{
    TracedFake traced(5);
    for (int i = 0; i < 99; ++i)
        traced.driver->OpenDrawer();
    JournalModel model(traced.hub->journal());
    QTableView table;
    auto* numbers = new SequenceHeader(&table);
    table.setVerticalHeader(numbers);
    table.setModel(&model);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    const int twoDigits = numbers->width();

    traced.driver->OpenDrawer();
    traced.driver->OpenDrawer();
    model.catchUp();
    QCOMPARE(model.rowCount(), 5);
    QCOMPARE(model.headerData(4, Qt::Vertical, Qt::DisplayRole).toLongLong(), 101);
    QTRY_VERIFY(numbers->width() > twoDigits);
}

void TestCallJournal::hubGoesWithItsDriver()
{
    auto traced = std::make_unique<TracedFake>();
    const Driver* driver = traced->driver.get();
    QPointer<CallHub> hub = traced->hub;
    QVERIFY(hub);
    QCOMPARE(CallHub::of(traced->fake.get()), nullptr); // only the traced driver has one
    traced.reset();
    QVERIFY(!hub);
    QCOMPARE(CallHub::of(driver), nullptr);
}

// The rows are a run of numbers until one does not continue it, then a list: whichever form
// they take, they must answer as a plain list of the same numbers would.
void TestCallJournal::rowsKeepTheirNumbersInEitherForm()
{
    std::mt19937 random(29);
    for (int round = 0; round < 200; ++round) {
        JournalRows rows;
        std::vector<qint64> expected;
        qint64 next = 1;
        for (int step = 0; step < 40; ++step) {
            const auto pick = [&](int n) { return static_cast<int>(random() % unsigned(n)); };
            switch (pick(4)) {
            case 0: // the next call, or one after a gap that a filter left
                next += pick(3) == 0 ? 1 + pick(3) : 0;
                rows.pushBack(next);
                expected.push_back(next++);
                break;
            case 1: { // calls taken in a batch, a run of them or a list with gaps
                const qint64 first = next + (pick(3) == 0 ? 2 : 0);
                const int count = 1 + pick(4);
                JournalRows added = JournalRows::run(first, first + count - 1);
                if (pick(2) == 0) {
                    added = {};
                    for (int i = 0; i < count; ++i)
                        added.pushBack(first + 2 * i);
                }
                const std::size_t from = static_cast<std::size_t>(pick(int(added.size()) + 1));
                rows.append(added, from, added.size());
                for (std::size_t i = from; i < added.size(); ++i)
                    expected.push_back(added.at(i));
                next = added.at(added.size() - 1) + 1;
                break;
            }
            case 2: { // the ring forgot the oldest
                const std::size_t dropped =
                    static_cast<std::size_t>(pick(int(expected.size()) + 1));
                rows.dropFront(dropped);
                expected.erase(expected.begin(), expected.begin() + std::ptrdiff_t(dropped));
                break;
            }
            default: { // how many rows show calls below a number
                const qint64 sequence = pick(int(next) + 2);
                QCOMPARE(rows.countBefore(sequence),
                         std::size_t(std::lower_bound(expected.begin(), expected.end(), sequence) -
                                     expected.begin()));
            }
            }
            QCOMPARE(rows.size(), expected.size());
            for (std::size_t row = 0; row < expected.size(); ++row)
                QCOMPARE(rows.at(row), expected[row]);
        }
    }
}

QTEST_MAIN(TestCallJournal)
#include "tst_calljournal.moc"
