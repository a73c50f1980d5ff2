// The built-in device's reports and printer tests as printed: headed as receipts are, in the
// words of the device's message table, the X report's figures as the counters hold them, every
// print attribute on the print test and every sensor on the self-test.

#include "DeviceMessages.h"
#include "DeviceNumbers.h"
#include "DeviceSteering.h"
#include "EmulatorFixture.h"
#include "Printout.h"

#include <QRegularExpression>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

using Call = std::function<Driver::Result(Driver&)>;

const QString kHeader = u"МАГАЗИН У ДОМА"_s;
const QString kBoldHeader = u"ул. Ленина, 1"_s;
const QString kCashier = u"Петрова"_s;

QStringList plain(const QStringList& printed)
{
    QStringList lines;
    for (const QString& line : printed)
        lines << tapeText(line).text;
    return lines;
}

// The one line that starts with `caption` and a space; empty when there is none or several.
QString rowOf(const QStringList& lines, const QString& caption)
{
    const QStringList found =
        lines.filter(QRegularExpression(u"^"_s + QRegularExpression::escape(caption) + u"( |$)"_s));
    return found.size() == 1 ? found.constFirst() : QString();
}

// "ОТДЕЛ 2": a word of the device and a number, as its printouts put them.
QString numbered(Word caption, qint64 number)
{
    return word(caption) + u' ' + QString::number(number);
}

QString amount(double kopecks)
{
    return u'=' + formatMoney(static_cast<Kopecks>(kopecks));
}

// The rows under the heading of `department` on an X2 report, up to the next rule.
QStringList departmentRows(const QStringList& report, int department)
{
    QStringList rows;
    const qsizetype heading = report.indexOf(numbered(Word::Department, department));
    for (qsizetype i = heading + 1; heading >= 0 && i < report.size(); ++i) {
        if (report.at(i).startsWith(u'-'))
            break;
        rows << report.at(i);
    }
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(Call)
Q_DECLARE_METATYPE(emulator::Word)

class TestEmulatorReports : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<EmulatedDriver> m_driver;
    QStringList m_x1;
    QStringList m_x2;

    QString folder() const { return m_dir.path(); }

    // What `call` printed, with the style marks of bold and tall lines.
    QStringList printedBy(const Call& call)
    {
        const qsizetype before = tape(folder()).size();
        const Driver::Result result = call(*m_driver);
        if (result != 0)
            return {u"refused with %1"_s.arg(result)};
        return tape(folder()).mid(before);
    }

    void document(std::int32_t type, const std::function<void(Driver&)>& body, double paid,
                  std::int16_t payment = PaymentType::Cash, const QString& card = QString(),
                  std::int16_t department = 1)
    {
        Driver& d = *m_driver;
        QCOMPARE(d.StartDocument(type, department, u""_s, u""_s), 0);
        body(d);
        QCOMPARE(d.Tender2(paid, QVariant::fromValue(payment), QVariant(card), QString()), 0);
        if (d.GetDeviceInfo(DeviceInfo::DocumentOpen) != 0)
            QCOMPARE(d.EndDocument(), 0);
    }

    // Switches a sensor by the name the device tool knows it by.
    void setSensor(const QString& name, bool on)
    {
        const auto sensor =
            std::find_if(std::begin(kSensorSwitches), std::end(kSensorSwitches),
                         [&](const SensorSwitch& s) { return QString::fromUtf16(s.name) == name; });
        QVERIFY(sensor != std::end(kSensorSwitches));
        auto session = DeviceSession::open(folder(), 1, OpenMode::ExistingOnly);
        QVERIFY(session);
        QVERIFY(steer(**session, [&](DeviceState& s) { s.sensors.*(sensor->flag) = on; }));
    }

private slots:
    // A programmed header, a date order and a tax, then a shift with every kind of document, in
    // departments 1 and 3.
    void initTestCase()
    {
        createDevice(folder(), 1, 6, 1);
        m_driver = connectDriver(folder(), {}, false);
        QVERIFY(m_driver);
        Driver& d = *m_driver;
        QCOMPARE(d.SetOrderHeader(1, kHeader, 0), 0);
        QCOMPARE(d.SetOrderHeader(2, kBoldHeader, 1), 0);
        QCOMPARE(d.SetDeviceOpt(DeviceOption::CentreHeader, 1), 0);
        QCOMPARE(d.SetDeviceOpt(DeviceOption::DateFormat, DateOrder::YearMonthDay), 0);
        QCOMPARE(d.SetTaxRate(1, 2000), 0);
        QCOMPARE(d.StartSession(u"Иванова"_s, 3), 0);

        document(
            ::DocumentType::CashIn, [](Driver&) {}, 20000);
        document(
            ::DocumentType::Sale,
            [](Driver& d) {
                QCOMPARE(d.Item(1000, 5000, u"A"_s, 1), 0);
                QCOMPARE(d.ItemEx(2000, 1500, u"B"_s, 0, 3), 0);
                QCOMPARE(d.VoidItemEx(1000, 1500, u"B"_s, 0, 3), 0);
                QCOMPARE(d.ItemEx(1000, 999, u"E"_s, 0, 3), 0);
                QCOMPARE(d.CorrectLastItem(), 0);
                QCOMPARE(d.AbsoluteCorrection(-300), 0);
                QCOMPARE(d.AbsoluteCorrection(200), 0);
            },
            10000);
        document(
            ::DocumentType::Sale, [](Driver& d) { QCOMPARE(d.Item(1000, 2500, u"C"_s, 0), 0); },
            2500, 1, u"4276000011112222"_s);
        document(
            ::DocumentType::SaleAnnulment,
            [](Driver& d) { QCOMPARE(d.Item(1000, 1000, u"A"_s, 0), 0); }, 1000);
        document(
            ::DocumentType::ReturnPayout, [](Driver&) {}, 800, PaymentType::Cash, QString(), 3);
        document(
            ::DocumentType::CashOut, [](Driver&) {}, 1500);
        document(
            ::DocumentType::Purchase,
            [](Driver& d) { QCOMPARE(d.ItemPurchase(1000, 700, u"P"_s, 1), 0); }, 700);
        QCOMPARE(d.PrintDuplicate(), 0);
        QCOMPARE(d.StartDocument(::DocumentType::Sale, 1, u""_s, u""_s), 0);
        QCOMPARE(d.Item(1000, 4321, u"D"_s, 0), 0);
        QCOMPARE(d.CancelDocument(), 0);

        QCOMPARE(d.SetClerk(kCashier), 0);
        m_x1 = plain(printedBy([](Driver& d) { return d.PrintReport(ReportKind::X1); }));
        m_x2 = plain(printedBy([](Driver& d) { return d.PrintReport(ReportKind::X2); }));
    }

    void xReportAgreesWithTheCounters_data()
    {
        QTest::addColumn<Word>("caption");
        QTest::addColumn<std::int16_t>("count");
        QTest::addColumn<std::int16_t>("sum");
        using namespace DeviceCounter;
        const auto row = [](const char* name, Word caption, std::int16_t count, std::int16_t sum) {
            QTest::newRow(name) << caption << count << sum;
        };
        row("sales", Word::Sales, SaleCount, SalesTotal);
        row("annulments", Word::Annulments, AnnulmentCount, AnnulmentSum);
        row("returns", Word::Returns, RefundCount, RefundSum);
        row("purchases", Word::Purchases, PurchaseCount, PurchaseSum);
        row("purchase returns", Word::PurchaseReturns, PurchaseReturnCount, PurchaseReturnSum);
        row("cash-ins", Word::CashIns, CashInCount, CashInSum);
        row("cash-outs", Word::CashOuts, CashOutCount, CashOutSum);
        row("discounts", Word::Discounts, DiscountCount, DiscountSum);
        row("surcharges", Word::Surcharges, SurchargeCount, SurchargeSum);
        row("voids", Word::Void, VoidCount, VoidSum);
        row("corrections", Word::Corrections, CorrectionCount, CorrectionSum);
        row("cancelled receipts", Word::Cancellations, CancelledCount, CancelledSum);
        row("duplicates", Word::Duplicates, DuplicateCount, DuplicateSum);
    }

    void xReportAgreesWithTheCounters()
    {
        QFETCH(Word, caption);
        QFETCH(std::int16_t, count);
        QFETCH(std::int16_t, sum);
        Driver& d = *m_driver;
        const QString expected = numbered(caption, qint64(shiftCounter(d, count)));
        // The shift's rows on X2 come before its departments' rows of the same captions.
        const QStringList x2Shift = m_x2.mid(0, m_x2.indexOf(numbered(Word::Department, 1)));
        for (const QStringList& report : {m_x1, x2Shift}) {
            const QString line = rowOf(report, expected);
            QVERIFY2(line.endsWith(amount(shiftCounter(d, sum))), qPrintable(report.join(u'\n')));
        }
    }

    // The money of the shift: by payment type, in the drawer, the taxes, the running total and,
    // on the X2 report, by department.
    void xReportAccountsForTheMoney()
    {
        Driver& d = *m_driver;
        for (std::int16_t type = PaymentType::First; type <= PaymentType::Last; ++type) {
            const double sum = shiftCounter(d, type);
            const QString name = d.GetTextDeviceInfo(TextInfo::PaymentMeanNameBase + type);
            QCOMPARE(rowOf(m_x1, name).endsWith(amount(sum)), sum != 0);
        }
        QVERIFY(shiftCounter(d, PaymentType::First) != 0); // the card receipt
        const double drawer =
            shiftCounter(d, DeviceCounter::CashAtShiftStart) + shiftCounter(d, PaymentType::Cash);
        QVERIFY(rowOf(m_x1, word(Word::CashInDrawer)).endsWith(amount(drawer)));
        QVERIFY(rowOf(m_x1, word(Word::RunningTotal))
                    .endsWith(u'=' + d.GetTextDeviceInfo(TextInfo::SalesTotal)));
        const double tax = shiftCounter(d, DeviceCounter::Tax1);
        QVERIFY(tax > 0);
        QVERIFY(rowOf(m_x1, word(Word::Tax) + u" A"_s).endsWith(amount(tax)));
        QVERIFY(rowOf(m_x1, numbered(Word::Department, 1)).isEmpty());
    }

    // The X2 report gives each department that had goods its own rows: its part of the receipts'
    // totals, the corrections on a whole receipt in the receipt's department, a void or a
    // correction in the department of its position, a refund in its document's. The first sale's
    // -1.00 of corrections is shared by 50.00 in department 1 and 15.00 in 3: 0.77 and 0.23.
    void x2ReportListsEachDepartment_data()
    {
        QTest::addColumn<int>("department");
        QTest::addColumn<Word>("caption");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("sum");
        const auto row = [](const char* name, int department, Word caption, int count, double sum) {
            QTest::newRow(name) << department << caption << count << sum;
        };
        row("1: sales", 1, Word::Sales, 2, 7423);
        row("1: annulments", 1, Word::Annulments, 1, 1000);
        row("1: no returns", 1, Word::Returns, 0, 0);
        row("1: purchases", 1, Word::Purchases, 1, 700);
        row("1: discounts", 1, Word::Discounts, 1, 300);
        row("1: surcharges", 1, Word::Surcharges, 1, 200);
        row("1: no voids", 1, Word::Void, 0, 0);
        row("3: sales", 3, Word::Sales, 1, 1477);
        row("3: returns", 3, Word::Returns, 1, 800);
        row("3: voids", 3, Word::Void, 1, 1500);
        row("3: corrections", 3, Word::Corrections, 1, 999);
        row("3: no discounts", 3, Word::Discounts, 0, 0);
    }

    void x2ReportListsEachDepartment()
    {
        QFETCH(int, department);
        QFETCH(Word, caption);
        QFETCH(int, count);
        QFETCH(double, sum);
        const QStringList rows = departmentRows(m_x2, department);
        QVERIFY2(rowOf(rows, numbered(caption, count)).endsWith(amount(sum)),
                 qPrintable(m_x2.join(u'\n')));
        // Only departments that had goods, in their order, and no money that is not for goods.
        QCOMPARE(m_x2.filter(QRegularExpression(u"^"_s + word(Word::Department) + u" \\d+$"_s)),
                 QStringList({numbered(Word::Department, 1), numbered(Word::Department, 3)}));
        for (Word other : {Word::CashIns, Word::CashOuts, Word::Cancellations, Word::Duplicates})
            QVERIFY(rows.filter(word(other)).isEmpty());
    }

    // The departments' rows of documents mean what the shift's rows mean, so they add up to them;
    // the report says so above them.
    void x2DepartmentsAddUpToTheShift()
    {
        const qsizetype first = m_x2.indexOf(numbered(Word::Department, 1));
        QVERIFY(first > 0);
        QCOMPARE(m_x2.at(first - 1).trimmed(), u"С УЧЕТОМ СКИДОК И НАДБАВОК"_s);
        const QStringList x2Shift = m_x2.mid(0, first);
        using namespace DeviceCounter;
        const std::pair<Word, std::int16_t> rows[] = {{Word::Sales, SalesTotal},
                                                      {Word::Annulments, AnnulmentSum},
                                                      {Word::Returns, RefundSum},
                                                      {Word::Purchases, PurchaseSum},
                                                      {Word::PurchaseReturns, PurchaseReturnSum}};
        for (const auto& [caption, sum] : rows) {
            Kopecks departments = 0;
            for (int department : {1, 3}) {
                const QString row =
                    departmentRows(m_x2, department)
                        .filter(QRegularExpression(u"^"_s + word(caption) + u" \\d"_s))
                        .value(0);
                departments += qRound64(row.section(u'=', -1).toDouble() * 100);
            }
            QCOMPARE(departments, Kopecks(shiftCounter(*m_driver, sum)));
        }
    }

    void printTestShowsEveryAttribute()
    {
        const qsizetype before = tape(folder()).size();
        QCOMPARE(m_driver->TestPrinter(TestKind::PrintTest), 0);
        const qsizetype printed = tape(folder()).size() - before;
        auto store = DeviceStore::open(folder(), 1, OpenMode::ExistingOnly);
        QVERIFY(store);
        const TapeSpan span = *(*store)->tapeSpan();
        const QList<TapeLine> lines = *(*store)->tapeLines(span.last - printed + 1, span.last);
        QCOMPARE(lines.size(), printed);
        QSet<int> styles;
        QStringList texts;
        for (const TapeLine& line : lines) {
            const TapeText text = tapeText(line.text);
            styles.insert(line.style | (text.bold ? TapeStyle::Bold : 0));
            texts << text.text;
        }
        using namespace TapeStyle;
        for (int style : {Bold, DoubleWidth, DoubleHeight, DoubleHeight | LowerHalf, Underline})
            QVERIFY2(styles.contains(style), qPrintable(QString::number(style)));
        for (const QString& set :
             {u"0123456789"_s, u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s,
              u"АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"_s, u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя"_s})
            QVERIFY2(!texts.filter(set).isEmpty(), qPrintable(set));
    }

    void selfTestShowsTheSensors_data()
    {
        QTest::addColumn<QString>("sensor");
        QTest::addColumn<Word>("caption");
        QTest::addColumn<QString>("state");
        const auto row = [](const char* sensor, Word caption, Word state) {
            QTest::newRow(sensor) << QString::fromLatin1(sensor) << caption << u' ' + word(state);
        };
        row("paper-near-end", Word::Paper, Word::Low);
        row("drawer-open", Word::Drawer, Word::IsOpen);
        row("battery-low", Word::Battery, Word::Discharged);
        row("eklz-near-full", Word::Eklz, Word::NearlyFull);
        row("eklz-full", Word::Eklz, Word::Full);
        row("slip", Word::Slip, Word::Yes);
    }

    void selfTestShowsTheSensors()
    {
        QFETCH(QString, sensor);
        QFETCH(Word, caption);
        QFETCH(QString, state);
        const auto selfTest = [](Driver& d) { return d.TestPrinter(TestKind::PrinterTest); };
        setSensor(sensor, false);
        const QStringList sound = plain(printedBy(selfTest));
        QVERIFY(rowOf(sound, word(Word::Version)).endsWith(u" 6.1"_s));
        QVERIFY(rowOf(sound, word(Word::SerialNumber)).endsWith(u" 00000001"_s));
        QVERIFY2(!rowOf(sound, word(caption)).isEmpty(), qPrintable(sound.join(u'\n')));
        QVERIFY(!rowOf(sound, word(caption)).endsWith(state));
        setSensor(sensor, true);
        const QStringList faulty = plain(printedBy(selfTest));
        setSensor(sensor, false);
        QVERIFY2(rowOf(faulty, word(caption)).endsWith(state), qPrintable(faulty.join(u'\n')));
    }

    // Every report and test starts with the programmed header (centred and bold as programmed),
    // names the time in the programmed date order and the cashier, and is titled in the device's
    // own words; only the Z report changes anything the device counts. The X and Z reports close
    // with a rule as receipts do, the Z report's control tape stamp and closing words below it.
    void printoutsAreHeadedLikeReceipts_data()
    {
        QTest::addColumn<Call>("call");
        QTest::addColumn<Word>("title");
        QTest::addColumn<bool>("countsNowhere");
        QTest::addColumn<int>("linesAfterRule"); // -1: not a shift report
        const auto report = [](std::int16_t kind) {
            return Call([kind](Driver& d) { return d.PrintReport(kind); });
        };
        const auto test = [](std::int16_t kind) {
            return Call([kind](Driver& d) { return d.TestPrinter(kind); });
        };
        QTest::newRow("X1") << report(ReportKind::X1) << Word::XReport << true << 0;
        QTest::newRow("X2") << report(ReportKind::X2) << Word::X2Report << true << 0;
        QTest::newRow("programming")
            << report(ReportKind::Programming) << Word::ProgrammingReport << true << -1;
        QTest::newRow("trial receipt")
            << test(TestKind::TrialReceipt) << Word::TrialReceipt << true << -1;
        QTest::newRow("print test") << test(TestKind::PrintTest) << Word::PrintTest << true << -1;
        QTest::newRow("self-test")
            << test(TestKind::PrinterTest) << Word::PrinterTest << true << -1;
        // Last: it closes the shift.
        QTest::newRow("Z1") << report(ReportKind::Z1) << Word::ZReport << false << 2;
    }

    void printoutsAreHeadedLikeReceipts()
    {
        QFETCH(Call, call);
        QFETCH(Word, title);
        QFETCH(bool, countsNowhere);
        QFETCH(int, linesAfterRule);
        Driver& d = *m_driver;
        const auto counted = [&d] {
            QList<double> values;
            for (std::int16_t counter = 1; counter <= DeviceCounter::Count; ++counter)
                values << shiftCounter(d, counter) << totalCounter(d, counter);
            return values << d.GetDeviceInfo(DeviceInfo::AllDocuments)
                          << d.GetTextDeviceInfo(TextInfo::LastKpk).toDouble();
        };
        const QList<double> before = counted();
        const QStringList printed = printedBy(call);
        QVERIFY(printed.size() > 5);
        QCOMPARE(printed.at(0).trimmed(), kHeader);
        QVERIFY(printed.at(0).startsWith(u"    "_s)); // centred
        QCOMPARE(tapeText(printed.at(1)).text.trimmed(), kBoldHeader);
        QVERIFY(tapeText(printed.at(1)).bold);
        const QStringList lines = plain(printed);
        const QString today = QDate::currentDate().toString(u"yyyy.MM.dd"_s);
        QVERIFY2(
            !lines.filter(QRegularExpression(u"^"_s + QRegularExpression::escape(today))).isEmpty(),
            qPrintable(lines.join(u'\n')));
        QVERIFY(!rowOf(lines, word(Word::Cashier) + u' ' + kCashier).isEmpty());
        const QString titled = d.GetTextDeviceInfo(TextInfo::MessageBase + int(title));
        QVERIFY(!lines
                     .filter(QRegularExpression(u"^ *"_s + QRegularExpression::escape(titled) +
                                                u"( \\d+)?$"_s))
                     .isEmpty());
        if (linesAfterRule >= 0) {
            const qsizetype rule = lines.lastIndexOf(QString(40, u'-'));
            QCOMPARE(lines.size() - 1 - rule, linesAfterRule);
            QVERIFY(rule > lines.indexOf(rowOf(lines, word(Word::RunningTotal))));
        }
        if (countsNowhere)
            QCOMPARE(counted(), before);
        else
            QCOMPARE(d.GetDeviceInfo(DeviceInfo::ShiftOpen), 0);
    }

    void cleanupTestCase() { m_driver.reset(); }
};

QTEST_GUILESS_MAIN(TestEmulatorReports)
#include "tst_emulator_reports.moc"
