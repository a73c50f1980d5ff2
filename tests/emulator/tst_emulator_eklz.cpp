// The control tape (EKLZ) of the built-in device: every fiscal document and Z report on it under
// its KPK number, and its reports in print and as text read line by line.

#include "DeviceNumbers.h"
#include "EmulatorFixture.h"
#include "EmulatorTest.h"
#include "Printout.h"
#include "ResultCodes.h"

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

const int kNoData = resultCode(ErrorCode::EklzNoData);
const int kUnknown = resultCode(ErrorCode::UnknownIndex);
const int kValue = resultCode(ErrorCode::InvalidValue);
const int kDate = resultCode(ErrorCode::InvalidDate);

QStringList plain(const QStringList& printed)
{
    QStringList lines;
    for (const QString& line : printed)
        lines << tapeText(line).text;
    return lines;
}

// The text of the last electronic report, up to the empty line that ends it.
QStringList readReport(Driver& d)
{
    QStringList lines;
    for (std::int32_t i = 1; i < 100'000; ++i) {
        const QString line = d.GetTextDeviceInfo(TextInfo::eklzReportLine(i));
        if (line.isEmpty())
            return lines;
        lines << line;
    }
    return {u"no end"_s};
}

struct Request
{
    bool byDate = false;
    std::int16_t kind = 0;
    std::int32_t first = 0;
    std::int32_t last = 0;
    QDate firstDate;
    QDate lastDate;
};

Request byNum(std::int16_t kind, std::int32_t first = 0, std::int32_t last = 0)
{
    Request r;
    r.kind = kind;
    r.first = first;
    r.last = last;
    return r;
}

Request byDate(std::int16_t kind, QDate first, QDate last)
{
    Request r;
    r.byDate = true;
    r.kind = kind;
    r.firstDate = first;
    r.lastDate = last;
    return r;
}

Driver::Result ask(Driver& d, const Request& r, bool electronic)
{
    const std::int16_t kind = electronic ? EklzReport::electronic(r.kind) : r.kind;
    return r.byDate
               ? d.EKLZPrintReportByDate(kind, EklzReport::ByDateReserved, r.firstDate, r.lastDate)
               : d.EKLZPrintReportByNum(kind, r.first, r.last, 0);
}

} // namespace

Q_DECLARE_METATYPE(Request)

class TestEmulatorEklz : public EmulatorTest
{
    Q_OBJECT

public:
    TestEmulatorEklz() : EmulatorTest(Start::NewDevice) {}

private:
    QStringList m_shiftOneDocuments; // the paper tape of shift 1 from its first receipt to its Z

    void sale(Driver& d, std::int32_t price)
    {
        QCOMPARE(d.StartDocument(::DocumentType::Sale, 1, u""_s, u""_s), 0);
        QCOMPARE(d.Item(1000, price, u"Товар"_s, 0), 0);
        QCOMPARE(d.Tender2(price, kCash, kNoCard, QString()), 0);
    }

private slots:
    // Shift 1: three receipts, a cash-in and its Z report; shift 2 open with one receipt.
    void init()
    {
        startTest();
        if (QTest::currentTestFailed())
            return;
        m_driver = connectDriver(folder());
        QVERIFY(m_driver);
        Driver& d = *m_driver;
        const qsizetype before = tape(folder()).size();
        sale(d, 1000);
        sale(d, 2550);
        const qsizetype textStart = tape(folder()).size();
        QCOMPARE(d.StartDocument(::DocumentType::Text, 1, u""_s, u""_s), 0);
        QCOMPARE(d.TextLine(u"Текст"_s), 0);
        QCOMPARE(d.EndDocument(), 0);
        const qsizetype textEnd = tape(folder()).size();
        sale(d, 300);
        QCOMPARE(d.StartDocument(::DocumentType::CashIn, 1, u""_s, u""_s), 0);
        QCOMPARE(d.Tender2(10000, kCash, kNoCard, QString()), 0);
        if (d.GetDeviceInfo(DeviceInfo::DocumentOpen) != 0)
            QCOMPARE(d.EndDocument(), 0);
        QCOMPARE(d.EndSession(), 0);
        // The text document is not fiscal: it stays off the control tape.
        const QStringList all = tape(folder());
        m_shiftOneDocuments = all.mid(before, textStart - before) + all.mid(textEnd);
        QCOMPARE(d.StartSession(u"Кассир2"_s, 1), 0);
        sale(d, 777);
    }

    void controlTapeOfAShiftHoldsItsDocuments()
    {
        Driver& d = *m_driver;
        QCOMPARE(d.EKLZPrintReportByNum(EklzReport::electronic(EklzReport::ControlTape), 1, 0, 0),
                 0);
        const QStringList text = readReport(d);
        // The fiscal documents and the Z report, in the order printed.
        QStringList expected;
        for (const QString& line : plain(m_shiftOneDocuments))
            expected << (line.isEmpty() ? u" "_s : line);
        QVERIFY(text.size() > expected.size());
        QCOMPARE(text.mid(text.size() - expected.size()), expected);
        QVERIFY(text.constFirst().contains(u"КОНТРОЛЬНАЯ ЛЕНТА"_s));
        QCOMPARE(text.filter(u"КПК 0000000"_s).size(), 5);
    }

    // A cancelled fiscal document takes its KPK number and is on the control tape as cancelled; a
    // cancelled text document is not.
    void cancelledDocumentsAreOnTheControlTape_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("onTape");
        QTest::newRow("sale") << int(::DocumentType::Sale) << true;
        QTest::newRow("cash-in") << int(::DocumentType::CashIn) << true;
        QTest::newRow("text") << int(::DocumentType::Text) << false;
    }

    void cancelledDocumentsAreOnTheControlTape()
    {
        QFETCH(int, type);
        QFETCH(bool, onTape);
        Driver& d = *m_driver;
        const int before = d.GetTextDeviceInfo(TextInfo::LastKpk).toInt();
        QCOMPARE(d.StartDocument(type, 1, u""_s, u""_s), 0);
        if (type == ::DocumentType::Sale)
            QCOMPARE(d.Item(1000, 4321, u"Отменен"_s, 0), 0);
        if (type == ::DocumentType::Text)
            QCOMPARE(d.TextLine(u"Отменен"_s), 0);
        QCOMPARE(d.CancelDocument(), 0);
        const int kpk = before + (onTape ? 1 : 0);
        QCOMPARE(d.GetTextDeviceInfo(TextInfo::LastKpk).toInt(), kpk);

        QCOMPARE(d.EKLZPrintReportByNum(EklzReport::electronic(EklzReport::ControlTape), 2, 0, 0),
                 0);
        const QStringList shift = readReport(d);
        QCOMPARE(shift.filter(u"ДОКУМЕНТ АННУЛИРОВАН"_s).size(), onTape ? 1 : 0);
        QCOMPARE(
            d.EKLZPrintReportByNum(EklzReport::electronic(EklzReport::DocumentByKpk), kpk, 0, 0),
            0);
        const QString found = readReport(d).join(u'\n');
        QCOMPARE(found.contains(u"ДОКУМЕНТ АННУЛИРОВАН"_s), onTape);
        QVERIFY(found.contains(u"КПК %1"_s.arg(kpk, 8, 10, QChar(u'0'))));
        // The next receipt follows on the next number.
        sale(d, 100);
        QCOMPARE(d.GetTextDeviceInfo(TextInfo::LastKpk).toInt(), kpk + 1);
    }

    void reports_data()
    {
        QTest::addColumn<Request>("request");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("contains");

        using namespace EklzReport;
        const QDate today = QDate::currentDate();
        QTest::newRow("activation") << byNum(Activation) << 0 << u"ИТОГ АКТИВИЗАЦИИ ЭКЛЗ"_s;
        QTest::newRow("tape of the open shift") << byNum(ControlTape, 2) << 0 << u"=7.77"_s;
        QTest::newRow("tape of shift 0") << byNum(ControlTape, 0) << kValue << QString();
        QTest::newRow("tape beyond the last shift")
            << byNum(ControlTape, 3) << kNoData << QString();
        QTest::newRow("totals of a closed shift") << byNum(ShiftTotals, 1) << 0 << u"ПРОДАЖИ 3"_s;
        QTest::newRow("totals of the open shift")
            << byNum(ShiftTotals, 2) << 0 << u"СМЕНА НЕ ЗАКРЫТА"_s;
        QTest::newRow("document by KPK") << byNum(DocumentByKpk, 2) << 0 << u"КПК 00000002"_s;
        QTest::newRow("Z report by KPK") << byNum(DocumentByKpk, 5) << 0 << u"Z-ОТЧЕТ 1"_s;
        QTest::newRow("KPK that does not exist")
            << byNum(DocumentByKpk, 99) << kNoData << QString();
        QTest::newRow("KPK 0") << byNum(DocumentByKpk, 0) << kValue << QString();
        QTest::newRow("short by shifts") << byNum(ShortByShifts, 1, 2) << 0 << u"ПРОДАЖИ =38.50"_s;
        QTest::newRow("full by shifts")
            << byNum(FullByShifts, 1, 1) << 0 << u"ПОЛНЫЙ ОТЧЕТ ПО ЗАКРЫТИЯМ СМЕН"_s;
        QTest::newRow("first shift after the last")
            << byNum(ShortByShifts, 2, 1) << kNoData << QString();
        QTest::newRow("no shift closed in the range")
            << byNum(FullByShifts, 2, 9) << kNoData << QString();
        QTest::newRow("shifts from -5") << byNum(ShortByShifts, -5, 2) << kValue << QString();
        QTest::newRow("short by dates") << byDate(ShortByDates, today, today) << 0 << u"СМЕНА 1"_s;
        QTest::newRow("full by dates")
            << byDate(FullByDates, today.addDays(-3), today.addDays(3)) << 0 << u"ПРОДАЖИ 3"_s;
        QTest::newRow("dates before the tape")
            << byDate(ShortByDates, QDate(2000, 1, 1), QDate(2000, 12, 31)) << kNoData << QString();
        QTest::newRow("dates from 1900")
            << byDate(ShortByDates, QDate(1900, 1, 1), today) << kDate << QString();
        QTest::newRow("dates to 2100")
            << byDate(FullByDates, today, QDate(2100, 1, 1)) << kDate << QString();
        QTest::newRow("dates reversed")
            << byDate(FullByDates, today, today.addDays(-1)) << kNoData << QString();
        QTest::newRow("kind 7 does not exist") << byNum(7) << kUnknown << QString();
        QTest::newRow("a date kind asked by number")
            << byNum(ShortByDates, 1, 1) << kUnknown << QString();
        QTest::newRow("a number kind asked by date")
            << byDate(ShortByShifts, today, today) << kUnknown << QString();
    }

    void reports()
    {
        QFETCH(Request, request);
        QFETCH(int, code);
        QFETCH(QString, contains);
        Driver& d = *m_driver;

        // As text: ready line by line, nothing printed.
        const qsizetype tapeBefore = tape(folder()).size();
        QCOMPARE(ask(d, request, true), code);
        const QStringList text = readReport(d);
        QCOMPARE(tape(folder()).size(), tapeBefore);
        if (code != 0) {
            QVERIFY(text.isEmpty());
        } else {
            QVERIFY2(text.join(u'\n').contains(contains), qPrintable(text.join(u'\n')));
            // Past the end the lines stay empty.
            QCOMPARE(d.GetTextDeviceInfo(TextInfo::eklzReportLine(text.size() + 5)), QString());
        }

        // In print: the same lines on the paper tape, and no text left over from before.
        QCOMPARE(ask(d, request, false), code);
        QCOMPARE(d.GetTextDeviceInfo(TextInfo::eklzReportLine(1)), QString());
        const QStringList printed = plain(tape(folder()).mid(tapeBefore));
        if (code == 0) {
            QStringList withSpaces;
            for (const QString& line : printed)
                withSpaces << (line.isEmpty() ? u" "_s : line);
            QCOMPARE(withSpaces, text);
        } else {
            QVERIFY(printed.isEmpty());
        }
    }

    void failedRequestLeavesNoStaleText()
    {
        Driver& d = *m_driver;
        QCOMPARE(d.GetTextDeviceInfo(TextInfo::eklzReportLine(1)), QString());
        QCOMPARE(d.EKLZPrintReportByNum(EklzReport::electronic(EklzReport::Activation), 0, 0, 0),
                 0);
        QVERIFY(!d.GetTextDeviceInfo(TextInfo::eklzReportLine(1)).isEmpty());
        QCOMPARE(
            d.EKLZPrintReportByNum(EklzReport::electronic(EklzReport::DocumentByKpk), 99, 0, 0),
            kNoData);
        QCOMPARE(d.GetTextDeviceInfo(TextInfo::eklzReportLine(1)), QString());
        QCOMPARE(d.GetErrorCode2(), kNoData * 100 + int(Reason::NoSuchKpk));
    }

    void kpkNumbersAndIdentification()
    {
        Driver& d = *m_driver;
        // Four fiscal documents and the Z report of shift 1, then the receipt of shift 2.
        QCOMPARE(d.GetTextDeviceInfo(TextInfo::LastKpk), u"00000006"_s);
        QCOMPARE(d.GetTextDeviceInfo(TextInfo::EklzLastDocumentDate),
                 QDate::currentDate().toString(u"dd.MM.yyyy"_s));
        QCOMPARE(d.GetTextDeviceInfo(TextInfo::MessageBase + 0), u"ИТОГ"_s);
        QCOMPARE(d.GetTextDeviceInfo(TextInfo::MessageBase + 1), u"СДАЧА"_s);
        QCOMPARE(d.GetTextDeviceInfo(TextInfo::MessageBase + 2), u"НАЛИЧНЫМИ"_s);
        // Every message has its own words.
        QSet<QString> messages;
        for (int n = 0; n <= TextInfo::LastMessageNumber; ++n)
            messages.insert(d.GetTextDeviceInfo(TextInfo::MessageBase + n));
        QCOMPARE(messages.size(), TextInfo::LastMessageNumber + 1);
        QVERIFY(!messages.contains(QString()));
        QCOMPARE(d.GetErrorCode2(), 0);
        d.GetTextDeviceInfo(TextInfo::MessageBase + TextInfo::LastMessageNumber + 1);
        QCOMPARE(d.GetErrorCode2() / 100, kUnknown);
    }

    void refusals_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<bool>("documentOpen");
        QTest::addColumn<bool>("electronic");
        QTest::addColumn<int>("code");
        QTest::newRow("generation 3")
            << 3 << false << true << int(resultCode(ErrorCode::NotSupportedByGeneration));
        QTest::newRow("printed with a document open")
            << 6 << true << false << int(resultCode(ErrorCode::DocumentAlreadyOpen));
        QTest::newRow("as text with a document open") << 6 << true << true << 0;
    }

    void refusals()
    {
        QFETCH(int, major);
        QFETCH(bool, documentOpen);
        QFETCH(bool, electronic);
        QFETCH(int, code);
        m_driver.reset();
        createDevice(folder(), 1, major);
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder());
        QVERIFY(d);
        if (documentOpen)
            QCOMPARE(d->StartDocument(::DocumentType::Sale, 1, u""_s, u""_s), 0);
        QCOMPARE(ask(*d, byNum(EklzReport::Activation), electronic), code);
    }

    void fullTapeRefusesFiscalDocuments()
    {
        m_driver.reset();
        {
            auto session = DeviceSession::open(folder(), 1, OpenMode::ExistingOnly);
            QVERIFY(session);
            QVERIFY((*session)->perform([](Device& device) {
                DeviceState s = device.state();
                s.sensors.eklzFull = true;
                device.replaceState(s);
                return Failure{};
            }));
        }
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder(), {}, false);
        QVERIFY(d);
        QCOMPARE(d->StartDocument(::DocumentType::Sale, 1, u""_s, u""_s),
                 resultCode(ErrorCode::EklzFull));
        QCOMPARE(d->StartDocument(::DocumentType::Text, 1, u""_s, u""_s), 0);
        QCOMPARE(d->CancelDocument(), 0);
        QCOMPARE(d->EndSession(), 0);
    }

    void zReportPrintsTheShiftTapeWhenAsked_data()
    {
        QTest::addColumn<int>("option");
        QTest::newRow("option 24 on") << 1;
        QTest::newRow("option 24 off") << 0;
    }

    void zReportPrintsTheShiftTapeWhenAsked()
    {
        QFETCH(int, option);
        Driver& d = *m_driver;
        QCOMPARE(d.SetDeviceOpt(DeviceOption::PrintEklzTapeOnZReport, std::int16_t(option)), 0);
        const qsizetype before = tape(folder()).size();
        QCOMPARE(d.PrintReport(ReportKind::Z1), 0);
        const QStringList printed = plain(tape(folder()).mid(before));
        QCOMPARE(printed.filter(u"КОНТРОЛЬНАЯ ЛЕНТА СМЕНЫ 2"_s).size(), option);
        QCOMPARE(printed.filter(u"Товар"_s).size(), option); // the receipt of the shift
    }

    void xReportAgreesWithTheCounters()
    {
        Driver& d = *m_driver;
        sale(d, 1223);
        const qsizetype before = tape(folder()).size();
        QCOMPARE(d.PrintReport(ReportKind::X1), 0);
        const QStringList printed = plain(tape(folder()).mid(before));
        const auto row = [&](const QString& caption, std::int16_t count, std::int16_t sum) {
            const QString expected = u"%1 %2"_s.arg(caption).arg(qint64(shiftCounter(d, count)));
            const QStringList found = printed.filter(expected);
            QVERIFY2(found.size() == 1, qPrintable(expected));
            QVERIFY(found.constFirst().endsWith(
                u'=' + formatMoney(static_cast<Kopecks>(shiftCounter(d, sum)))));
        };
        row(u"ПРОДАЖИ"_s, DeviceCounter::SaleCount, DeviceCounter::SalesTotal);
        row(u"ВНЕСЕНИЯ"_s, DeviceCounter::CashInCount, DeviceCounter::CashInSum);
        QCOMPARE(shiftCounter(d, DeviceCounter::SaleCount), 2.0);
        QCOMPARE(shiftCounter(d, DeviceCounter::SalesTotal), 2000.0);
    }
};

QTEST_GUILESS_MAIN(TestEmulatorEklz)
#include "tst_emulator_eklz.moc"
