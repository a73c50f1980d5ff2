// The device's saved record. A record whose list counts were damaged is refused as damaged: the
// reader never trusts a count beyond what the record could hold, so a huge count can neither
// exhaust memory nor end the program. A record of every format the device ever wrote still reads
// (the samples in records/, written by the versions that wrote each format), and a damaged one
// that reads writes back to what it read.

#include "DeviceState.h"
#include "RecordCodec.h"
#include "RecordSamples.h"

#include <QFile>
#include <QtEndian>
#include <QtTest>

#include <time.h>

using namespace Qt::StringLiterals;
using namespace emulator;

namespace {

// Each list below gets one element that starts with a marker no other part of the record holds;
// the element count stands right before it.
constexpr qint32 kMarkerNumber = 0x5eadbeef;
const QString kMarkerText = u"\u2603MARK"_s;

QByteArray markerBytes(bool text)
{
    QByteArray bytes;
    RecordWriter out(bytes);
    if (text)
        out << kMarkerText;
    else
        out << kMarkerNumber;
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
        qToLittleEndian<quint32>(count, record.data() + at - 4);

        QVERIFY(!DeviceState::deserialize(record));
    }

    // Every sample reads back to the state it was written from, and the newest format is the one
    // the device writes: a section that changes without a new format number fails here.
    void everyFormatReadsBack_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<DeviceState>("expected");
        QTest::addColumn<bool>("newest");
        QTest::newRow("format 1, new device")
            << samples::record("record-1-new-device.bin") << DeviceState() << false;
        QTest::newRow("format 1, working device")
            << samples::record("record-1-working-device.bin") << samples::workingDevice() << false;
        QTest::newRow("format 2, working device")
            << samples::record("record-2-working-device.bin") << samples::workingDevice() << true;
    }

    void everyFormatReadsBack()
    {
        QFETCH(QByteArray, record);
        QFETCH(DeviceState, expected);
        QFETCH(bool, newest);
        QVERIFY(!record.isEmpty());
        const std::optional<DeviceState> read = DeviceState::deserialize(record);
        QVERIFY(read);
        QCOMPARE(read->serialize(), expected.serialize());
        if (newest)
            QCOMPARE(expected.serialize(), record);
    }

    // Format 1 grew by blocks appended at its end: a record saved before a block was added ends
    // before it, and reads that block's values as a device without them had them.
    void aFormat1RecordEndingEarlierReads_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<DeviceState>("expected");
        const QByteArray whole = samples::record("record-1-working-device.bin");
        QVERIFY(whole.size() == 3840);
        const DeviceState fresh;
        // Where each block of the working device's record begins, the last one first.
        const QList<std::tuple<const char*, qsizetype, std::function<void(DeviceState&)>>> blocks{
            {"the stopped clock", 3827, [](DeviceState& s) { s.clockStoppedAt = {}; }},
            {"the drawer's kicks", 3819, [](DeviceState& s) { s.drawerKicks = 0; }},
            {"the counters by department", 3655,
             [](DeviceState& s) {
                 // Only the sales were kept by department; an open document counted in its own.
                 for (Counters& counters : s.departmentCounters) {
                     const Kopecks sales = counters[Counter::SalesTotal];
                     counters.clear();
                     counters[Counter::SalesTotal] = sales;
                 }
                 for (DocumentBody* body : {&s.document->body, &*s.document->undo}) {
                     body->departmentDelta = {{s.document->department, body->delta}};
                     body->lastOperationDepartment = s.document->department;
                 }
             }},
            {"the clock's correction", 3642, [](DeviceState& s) { s.clockCorrectedSince = {}; }},
            {"the activation total", 3634, [](DeviceState& s) { s.eklzActivationTotal = 0; }},
            {"the graphics", 3561,
             [](DeviceState& s) {
                 s.chosenPicture = 0;
                 s.barCode.reset();
             }},
            {"the peripherals", 3261,
             [fresh](DeviceState& s) {
                 s.peripherals = fresh.peripherals;
                 s.sensors.slipInserted = false;
             }},
            {"the control tape", 3230,
             [](DeviceState& s) {
                 // Its numbers were the fiscal documents' and its last record the last document.
                 s.lastKpk = s.fiscalDocuments;
                 s.eklzActivatedAt = {};
                 s.eklzLastAt = s.lastDocumentAt;
                 s.sensors.eklzFull = false;
             }},
            {"the taxes", 2830,
             [fresh](DeviceState& s) {
                 s.taxRates = fresh.taxRates;
                 s.taxChains = fresh.taxChains;
                 s.descriptors.clear();
             }},
            {"the header", 2738,
             [fresh](DeviceState& s) {
                 s.headerLines = fresh.headerLines;
                 s.headerBold = fresh.headerBold;
                 s.paperType = 0;
             }},
        };
        DeviceState expected = samples::workingDevice();
        for (const auto& [name, start, lacks] : blocks) {
            lacks(expected);
            QTest::addRow("ends before %s", name) << whole.left(start) << expected;
        }
    }

    void aFormat1RecordEndingEarlierReads()
    {
        QFETCH(QByteArray, record);
        QFETCH(DeviceState, expected);
        const std::optional<DeviceState> read = DeviceState::deserialize(record);
        QVERIFY(read);
        QCOMPARE(read->serialize(), expected.serialize());
    }

    // Departments are numbered from 1: a format 1 record that ends before the counters by
    // department and names a department 0 for its sales or its open document is damaged.
    void aFormat1RecordWithDepartment0IsDamaged_data()
    {
        QTest::addColumn<QByteArray>("found");
        QTest::addColumn<QByteArray>("damaged");
        const auto bytes = [](qint32 a, qint64 b) {
            QByteArray out;
            QDataStream(&out, QIODevice::WriteOnly) << a << b;
            return out;
        };
        QTest::newRow("sales of department 0") << bytes(1, 7500) << bytes(0, 7500);
        // The open sale's type and number are one number, its number and department the next.
        QTest::newRow("a document open in department 0")
            << bytes(int(DocumentType::Sale), (qint64(121) << 32) | 3)
            << bytes(int(DocumentType::Sale), qint64(121) << 32);
    }

    void aFormat1RecordWithDepartment0IsDamaged()
    {
        QFETCH(QByteArray, found);
        QFETCH(QByteArray, damaged);
        QByteArray record = samples::record("record-1-working-device.bin").left(3655);
        QVERIFY(DeviceState::deserialize(record));
        QCOMPARE(record.count(found), 1);
        record.replace(found, damaged);
        QVERIFY(!DeviceState::deserialize(record));
    }

    // Damaged moments that Qt reads in one way and, written again, in another: an invalid one of
    // the kind "offset from UTC", a valid one of that kind with an offset of 0, one of an unknown
    // kind. Each moment of a format 1 record in turn is damaged; the record must write back to
    // what it read.
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
        const QByteArray fresh = samples::record("record-1-new-device.bin");
        QVERIFY(fresh.count(noMoment) >= 5);
        for (qsizetype at = fresh.indexOf(noMoment); at >= 0;
             at = fresh.indexOf(noMoment, at + 1)) {
            QByteArray record = fresh;
            record.replace(at, noMoment.size(), QByteArray::fromHex(damaged));
            const std::optional<DeviceState> read = DeviceState::deserialize(record);
            QVERIFY2(read, qPrintable(u"moment at byte %1"_s.arg(at)));
            const QByteArray written = read->serialize();
            if (none)
                QCOMPARE(written, DeviceState().serialize());
            const std::optional<DeviceState> again = DeviceState::deserialize(written);
            QVERIFY(again);
            QCOMPARE(again->serialize(), written);
        }
    }

    // While its clock stood, the device kept its moments with the host's time zone. They are the
    // local times they were when the device shows them (the test runs in Moscow, 3 hours from
    // UTC), and a record that has them writes back, and again, the same.
    void momentsKeptWithTheirZoneAreTheLocalTimes()
    {
        QCOMPARE(QDateTime(QDate(2026, 12, 9), QTime(22, 17)).offsetFromUtc(), 3 * 3600);
        const std::optional<DeviceState> read =
            DeviceState::deserialize(samples::record("record-1-clock-stood.bin"));
        QVERIFY(read);
        QCOMPARE(read->lastDocumentAt.toString(u"dd.MM.yyyy HH:mm:ss"_s), u"09.12.2026 22:16:40"_s);
        QCOMPARE(read->serialize(), samples::workingDevice().serialize());
    }

    // A moment of the newest format that no device could have written is damage.
    void aDamagedMomentIsRefused_data()
    {
        QTest::addColumn<quint8>("kind");
        QTest::addColumn<qint32>("ms");
        QTest::newRow("unknown kind") << quint8(3) << 0;
        QTest::newRow("milliseconds past the day") << quint8(1) << 24 * 3600 * 1000;
        QTest::newRow("negative milliseconds") << quint8(2) << -1;
    }

    void aDamagedMomentIsRefused()
    {
        QFETCH(quint8, kind);
        QFETCH(qint32, ms);
        const auto moment = [](quint8 kind, qint32 ms) {
            QByteArray bytes;
            RecordWriter(bytes) << kind << QDate(2026, 12, 9).toJulianDay() << ms;
            return bytes;
        };
        QByteArray record = samples::workingDevice().serialize();
        // The working device's last document, 09.12.2026 22:16:40 local time.
        const QByteArray lastDocument = moment(1, (22 * 3600 + 16 * 60 + 40) * 1000);
        QCOMPARE(record.count(lastDocument), 1);
        QVERIFY(DeviceState::deserialize(record));
        record.replace(lastDocument, moment(kind, ms));
        QVERIFY(!DeviceState::deserialize(record));
    }
};

int main(int argc, char* argv[])
{
    // Away from UTC, before anything reads the time.
    qputenv("TZ", "Europe/Moscow");
    tzset();
    QCoreApplication app(argc, argv);
    TestGateRecords test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_gate_records.moc"
