// A device's saved state whose list counts were damaged is refused as damaged: the reader never
// trusts a count beyond what the record could hold, so a huge count can neither exhaust memory
// nor end the program. A record saved by an older version still reads, and a damaged one that
// reads writes back to what it read.

#include "DeviceState.h"

#include <QtEndian>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace emulator;

namespace {

// Each list below gets one element that starts with a marker no other part of the record holds;
// the element count stands right before it.
constexpr qint32 kMarkerNumber = 0x5eadbeef;
const QString kMarkerText = u"\u2603MARK"_s;

QByteArray markerBytes(bool text)
{
    QByteArray bytes(4, '\0');
    if (!text) {
        qToBigEndian<qint32>(kMarkerNumber, bytes.data());
        return bytes;
    }
    qToBigEndian<quint32>(quint32(kMarkerText.size() * 2), bytes.data());
    for (QChar c : kMarkerText) {
        char unit[2];
        qToBigEndian<quint16>(c.unicode(), unit);
        bytes.append(unit, 2);
    }
    return bytes;
}

QByteArray momentBytes(const QDateTime& at)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << at;
    return bytes;
}

using Place = std::function<void(DeviceState&)>;

Document openDocument()
{
    Document document;
    document.number = 1;
    return document;
}

} // namespace

class TestGateRecords : public QObject
{
    Q_OBJECT

private slots:
    void aDamagedCountIsRefused_data()
    {
        QTest::addColumn<Place>("place");
        QTest::addColumn<bool>("text");
        QTest::addColumn<quint32>("count");

        const QList<std::pair<const char*, std::pair<Place, bool>>> places{
            {"last receipt", {[](DeviceState& s) { s.lastReceipt = {kMarkerText}; }, true}},
            {"extra strings", {[](DeviceState& s) { s.extraStrings = {kMarkerText}; }, true}},
            {"pending data", {[](DeviceState& s) { s.pendingExtraData = {kMarkerText}; }, true}},
            {"header lines",
             {[](DeviceState& s) { s.headerLines[0] = kMarkerText; }, true}}, // 8 lines
            {"document lines",
             {[](DeviceState& s) {
                  s.document = openDocument();
                  s.document->lines = {kMarkerText};
              },
              true}},
            {"entries",
             {[](DeviceState& s) {
                  s.document = openDocument();
                  Entry entry;
                  entry.kind = static_cast<EntryKind>(kMarkerNumber);
                  s.document->body.entries = {entry};
              },
              false}},
            {"payments",
             {[](DeviceState& s) {
                  s.document = openDocument();
                  Payment payment;
                  payment.type = kMarkerNumber;
                  s.document->payments = {payment};
              },
              false}},
        };
        for (const auto& [name, place] : places) {
            for (const quint32 count : {0xffffffefu, 0x7fffffffu, 100000u})
                QTest::addRow("%s, count %u", name, count) << place.first << place.second << count;
        }
    }

    void aDamagedCountIsRefused()
    {
        QFETCH(Place, place);
        QFETCH(bool, text);
        QFETCH(quint32, count);

        DeviceState state;
        place(state);
        QByteArray record = state.serialize();
        QVERIFY(DeviceState::deserialize(record)); // the record reads before it is damaged
        const qsizetype at = record.indexOf(markerBytes(text));
        QVERIFY(at >= 4);
        QCOMPARE(record.indexOf(markerBytes(text), at + 1), -1);
        qToBigEndian<quint32>(count, record.data() + at - 4);

        QVERIFY(!DeviceState::deserialize(record));
    }

    // Saved when the device kept only the sales by department, a record ends before the counters
    // by department: its sales become the departments' sales, and what an open document counted
    // belongs to its own department. Departments are numbered from 1.
    void aRecordWithOnlyTheSalesByDepartmentReads_data()
    {
        QTest::addColumn<QList<int>>("departments");
        QTest::addColumn<std::optional<int>>("document"); // the open document's department
        QTest::addColumn<bool>("reads");
        QTest::newRow("departments 1 and 3") << QList<int>{1, 3} << std::optional<int>() << true;
        QTest::newRow("a department 0: damaged")
            << QList<int>{0, 3} << std::optional<int>() << false;
        QTest::newRow("a document open in department 3")
            << QList<int>{1, 3} << std::optional<int>(3) << true;
        QTest::newRow("a document open in department 0: damaged")
            << QList<int>{1, 3} << std::optional<int>(0) << false;
    }

    void aRecordWithOnlyTheSalesByDepartmentReads()
    {
        QFETCH(QList<int>, departments);
        QFETCH(std::optional<int>, document);
        QFETCH(bool, reads);
        DeviceState state;
        state.shiftOpen = true;
        const QList<std::pair<int, qint64>> sales{{departments.at(0), 7500},
                                                  {departments.at(1), 1500}};
        for (const auto& [department, sum] : sales)
            state.departmentCounters[department][Counter::SalesTotal] = sum;
        if (document) {
            state.document = Document{};
            state.document->department = *document;
            state.document->body.departmentDelta[*document] = Counters();
            state.document->body.lastOperationDepartment = *document;
        }
        QByteArray record = state.serialize();
        // The sections the older record lacks: per department its number and its counters that
        // are not zero, each by its number; then the open document's, its one department with no
        // counters and the department of its last operation.
        QByteArray section;
        QDataStream out(&section, QIODevice::WriteOnly);
        out << quint32(sales.size());
        for (const auto& [department, sum] : sales)
            out << qint32(department) << quint32(1) << qint32(Counter::SalesTotal) << sum;
        if (document)
            out << quint32(1) << qint32(*document) << quint32(0) << qint32(*document);
        // The sections added after it, which the older record lacks too.
        QByteArray later;
        QDataStream after(&later, QIODevice::WriteOnly);
        after.setVersion(QDataStream::Qt_6_4);
        after << state.drawerKicks << state.clockStoppedAt;
        QVERIFY(record.endsWith(section + later));
        record.chop(section.size() + later.size());

        const std::optional<DeviceState> read = DeviceState::deserialize(record);
        QCOMPARE(bool(read), reads);
        if (!reads)
            return;
        QCOMPARE(read->departmentCounters.keys(), departments);
        QCOMPARE(read->serialize(), state.serialize());
    }

    // Damaged moments that Qt reads in one way and, written again, in another: an invalid one of
    // the kind "offset from UTC", a valid one of that kind with an offset of 0, one of an unknown
    // kind. Each moment of the record in turn is damaged; the record must write back to what it
    // read.
    void aDamagedMomentWritesBackAsItReads_data()
    {
        QTest::addColumn<QByteArray>("damaged"); // a date, a time, a kind and an offset, in hex
        QTest::addColumn<bool>("none");          // read as no moment at all
        QTest::newRow("invalid, offset 0")
            << QByteArray("8000000000000000 ffffffff 02 00000000") << true;
        QTest::newRow("valid, offset 0")
            << QByteArray("0000000000000000 00000000 02 00000000") << false;
        QTest::newRow("unknown kind") << QByteArray("0000000000000000 00000000 22") << false;
    }

    void aDamagedMomentWritesBackAsItReads()
    {
        QFETCH(QByteArray, damaged);
        QFETCH(bool, none);
        const QByteArray noMoment = momentBytes(QDateTime());
        const QByteArray fresh = DeviceState().serialize();
        QVERIFY(fresh.count(noMoment) >= 5);
        for (qsizetype at = fresh.indexOf(noMoment); at >= 0;
             at = fresh.indexOf(noMoment, at + 1)) {
            QByteArray record = fresh;
            record.replace(at, noMoment.size(), QByteArray::fromHex(damaged));
            const std::optional<DeviceState> read = DeviceState::deserialize(record);
            QVERIFY2(read, qPrintable(u"moment at byte %1"_s.arg(at)));
            const QByteArray written = read->serialize();
            if (none)
                QCOMPARE(written, fresh);
            const std::optional<DeviceState> again = DeviceState::deserialize(written);
            QVERIFY(again);
            QCOMPARE(again->serialize(), written);
        }
    }
};

QTEST_GUILESS_MAIN(TestGateRecords)
#include "tst_gate_records.moc"
