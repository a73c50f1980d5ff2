#include "DeviceNumbers.h"
#include "EmulatorFixture.h"
#include "EmulatorTest.h"
#include "ResultCodes.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

constexpr int kOk = 0;
const int kValue = codeOf(ErrorCode::InvalidValue);

// The two display lines without their trailing blanks.
QStringList displayOf(const QString& folder)
{
    QStringList lines;
    for (const QString& line : stateOf(folder).peripherals.display.lines) {
        QString text = line;
        while (text.endsWith(u' '))
            text.chop(1);
        lines << text;
    }
    return lines;
}

void insertSlip(const QString& folder, bool inserted)
{
    Expected<std::unique_ptr<DeviceStore>> store =
        DeviceStore::open(folder, 1, OpenMode::ExistingOnly);
    QVERIFY(store);
    QVERIFY((*store)->beginWrite());
    Expected<DeviceState> state = (*store)->load();
    QVERIFY(state);
    state->sensors.slipInserted = inserted;
    QVERIFY((*store)->save(*state, Effects{}));
    QVERIFY((*store)->commit());
}

QStringList slips(const QString& folder)
{
    Expected<std::unique_ptr<DeviceStore>> store =
        DeviceStore::open(folder, 1, OpenMode::ExistingOnly);
    if (!store)
        return {};
    const Expected<QStringList> lines = (*store)->tape(0, Paper::Slip);
    return lines ? *lines : QStringList();
}

bool containsLine(const QStringList& lines, const QString& start)
{
    return std::any_of(lines.cbegin(), lines.cend(),
                       [&](const QString& line) { return line.trimmed().startsWith(start); });
}

} // namespace

class TestEmulatorPeripherals : public EmulatorTest
{
    Q_OBJECT

public:
    TestEmulatorPeripherals() : EmulatorTest(Start::NewDevice) {}

private slots:
    void displayText_data();
    void displayText();
    void rawData_data();
    void rawData();
    void lockedDisplayShowsTheReceipt();
    void slipModeChecks_data();
    void slipModeChecks();
    void documentPrintedOnThreeSlips();
    void paymentMeanChecks_data();
    void paymentMeanChecks();
    void paymentMeansReadBack_data();
    void paymentMeansReadBack();
    void renamedMeanMarkedChangeIsOverpaid();
    void meansDecideDrawerAndCash();
};

void TestEmulatorPeripherals::displayText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("lines");

    const QStringList before{u"ПРЕЖНИЙ ТЕКСТ"_s, QString()};
    QTest::newRow("one line") << u"ДОБРО ПОЖАЛОВАТЬ"_s << kOk
                              << QStringList{u"ДОБРО ПОЖАЛОВАТЬ"_s, QString()};
    QTest::newRow("broken after a blank")
        << u"СПАСИБО ЗА ПОКУПКУ, ЖДЕМ ВАС СНОВА"_s << kOk
        << QStringList{u"СПАСИБО ЗА ПОКУПКУ,"_s, u"ЖДЕМ ВАС СНОВА"_s};
    QTest::newRow("broken at the blank before a full second line")
        << u"АААААААААА ББББББББББББББББББББ"_s << kOk
        << QStringList{u"АААААААААА"_s, u"ББББББББББББББББББББ"_s};
    QTest::newRow("cut without a blank that fits")
        << u"0123456789012345678901234567890123456789"_s << kOk
        << QStringList{u"01234567890123456789"_s, u"01234567890123456789"_s};
    QTest::newRow("empty clears") << QString() << kOk << QStringList{QString(), QString()};
    QTest::newRow("41 characters refused")
        << QString(41, u'Ж') << codeOf(ErrorCode::TextTooLong) << before;
    QTest::newRow("a line break refused") << u"ДОБРО\nПОЖАЛОВАТЬ"_s << kValue << before;
    QTest::newRow("an escape refused") << u"\x1b@"_s << kValue << before;
}

void TestEmulatorPeripherals::displayText()
{
    QFETCH(QString, text);
    auto d = connectDriver(folder(), {}, false);
    QVERIFY(d);
    QCOMPARE(d->StringToLineDisplay(u"ПРЕЖНИЙ ТЕКСТ"_s), 0);
    QTEST(int(d->StringToLineDisplay(text)), "code");
    QTEST(displayOf(folder()), "lines");
}

void TestEmulatorPeripherals::rawData_data()
{
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("data");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("lines");

    const int unknown = codeOf(ErrorCode::UnknownDisplayCommand);
    const QStringList before{u"СТАРОЕ"_s, QString()};
    const int epson = DisplayProtocol::Epson;
    const int birch = DisplayProtocol::Birch;
    QTest::newRow("Epson: reset, then text")
        << epson << u"\x1b@ЦЕНА"_s << kOk << QStringList{u"ЦЕНА"_s, QString()};
    QTest::newRow("Epson: cursor to column 5 of line 2")
        << epson << u"\x0c\x1f$\x05\x02АБ"_s << kOk << QStringList{QString(), u"    АБ"_s};
    QTest::newRow("Epson: both lines replaced")
        << epson << u"\x1bQAВЕРХ\r\x1bQBНИЗ\r"_s << kOk << QStringList{u"ВЕРХ"_s, u"НИЗ"_s};
    QTest::newRow("Epson: home writes over")
        << epson << u"\x0bН"_s << kOk << QStringList{u"НТАРОЕ"_s, QString()};
    QTest::newRow("Epson: the second line scrolls up")
        << epson << u"\n\nХ"_s << kOk << QStringList{QString(), u"Х"_s};
    QTest::newRow("Epson: column 21 refused") << epson << u"\x1f$\x15\x01X"_s << unknown << before;
    QTest::newRow("Epson: no Birch position") << epson << u"\x10\x05X"_s << unknown << before;
    QTest::newRow("Epson: a line without its CR refused")
        << epson << u"\x1bQAВЕРХ"_s << unknown << before;
    QTest::newRow("Birch: place 21 is line 2, column 2")
        << birch << u"\x0c\x10\x15Х"_s << kOk << QStringList{QString(), u" Х"_s};
    QTest::newRow("Birch: the second line selected") << birch
                                                     << u"\x1b"
                                                        "BНИЗ"_s
                                                     << kOk << QStringList{u"СТАРОЕ"_s, u"НИЗ"_s};
    QTest::newRow("Birch: place 40 refused") << birch << u"\x10\x28X"_s << unknown << before;
    QTest::newRow("Birch: no Epson position") << birch << u"\x1f$\x01\x01X"_s << unknown << before;
    QTest::newRow("a bell is no command") << birch << u"A\x07"_s << unknown << before;
    QTest::newRow("an escape cut short") << epson << u"AB\x1b"_s << unknown << before;
}

void TestEmulatorPeripherals::rawData()
{
    QFETCH(int, protocol);
    QFETCH(QString, data);
    auto d = connectDriver(folder(), {}, false);
    QVERIFY(d);
    QCOMPARE(d->SetDeviceOpt(DeviceOption::LineDisplayProtocol, std::int16_t(protocol)), 0);
    QCOMPARE(d->StringToLineDisplay(u"СТАРОЕ"_s), 0);
    QTEST(int(d->StringToLineDisplayDirect(data)), "code");
    QTEST(displayOf(folder()), "lines");
}

void TestEmulatorPeripherals::lockedDisplayShowsTheReceipt()
{
    auto d = connectDriver(folder());
    QVERIFY(d);
    QCOMPARE(d->StringToLineDisplay(u"ДОБРО ПОЖАЛОВАТЬ"_s), 0);
    QCOMPARE(d->SetDeviceOpt(DeviceOption::LineDisplayLocked, DisplayLock::Locked), 0);
    const int locked = codeOf(ErrorCode::LineDisplayLocked);
    QCOMPARE(int(d->InitLineDisplay()), locked);
    QCOMPARE(int(d->StringToLineDisplay(u"ЧУЖОЙ"_s)), locked);
    QCOMPARE(int(d->StringToLineDisplayDirect(u"\x0c"_s)), locked);
    QCOMPARE(displayOf(folder()), (QStringList{u"ДОБРО ПОЖАЛОВАТЬ"_s, QString()}));

    QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    QCOMPARE(d->Item(1000, 1250, u"Хлеб"_s, 1), 0);
    QCOMPARE(displayOf(folder()),
             (QStringList{u"Хлеб           12.50"_s, u"ИТОГ           12.50"_s}));
    QCOMPARE(d->Item(2000, 4000, u"Молоко пастеризованное"_s, 1), 0);
    QCOMPARE(displayOf(folder()),
             (QStringList{u"Молоко пастери 80.00"_s, u"ИТОГ           92.50"_s}));
    QCOMPARE(d->Tender2(10000, PaymentType::Cash, QString(), QString()), 0);
    QCOMPARE(displayOf(folder()),
             (QStringList{u"ИТОГ           92.50"_s, u"СДАЧА           7.50"_s}));

    // Unlocked, the display is the driver's again and the device leaves it alone.
    QCOMPARE(d->SetDeviceOpt(DeviceOption::LineDisplayLocked, DisplayLock::Unlocked), 0);
    QCOMPARE(d->InitLineDisplay(), 0);
    QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    QCOMPARE(d->Item(1000, 1250, u"Хлеб"_s, 1), 0);
    QCOMPARE(displayOf(folder()), (QStringList{QString(), QString()}));
}

void TestEmulatorPeripherals::slipModeChecks_data()
{
    QTest::addColumn<QList<int>>("mode"); // mode, side, copies, fiscal copy, rows before, between
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("packed");

    QTest::newRow("left, three copies") << QList<int>{2, 2, 3, 1, 5, 2} << kOk << 2310502;
    QTest::newRow("right, the largest") << QList<int>{2, 1, 9, 9, 99, 99} << kOk << 1999999;
    QTest::newRow("roll ignores the rest") << QList<int>{1, 0, 0, 0, 0, 0} << kOk << 0;
    QTest::newRow("mode 3") << QList<int>{3, 2, 1, 1, 0, 0} << kValue << 0;
    QTest::newRow("side 0") << QList<int>{2, 0, 1, 1, 0, 0} << kValue << 0;
    QTest::newRow("side 3") << QList<int>{2, 3, 1, 1, 0, 0} << kValue << 0;
    QTest::newRow("no copies") << QList<int>{2, 1, 0, 1, 0, 0} << kValue << 0;
    QTest::newRow("ten copies") << QList<int>{2, 1, 10, 1, 0, 0} << kValue << 0;
    QTest::newRow("fiscal copy 0") << QList<int>{2, 1, 3, 0, 0, 0} << kValue << 0;
    QTest::newRow("fiscal copy past the copies") << QList<int>{2, 1, 3, 4, 0, 0} << kValue << 0;
    QTest::newRow("rows before -1") << QList<int>{2, 1, 1, 1, -1, 0} << kValue << 0;
    QTest::newRow("rows between 100") << QList<int>{2, 1, 1, 1, 0, 100} << kValue << 0;
}

void TestEmulatorPeripherals::slipModeChecks()
{
    QFETCH(QList<int>, mode);
    auto d = connectDriver(folder());
    QVERIFY(d);
    QTEST(int(d->SetPrintDocumentMode(mode[0], mode[1], mode[2], mode[3], mode[4], mode[5])),
          "code");
    QTEST(d->GetDeviceInfo(DeviceInfo::SlipMode), "packed");
}

void TestEmulatorPeripherals::documentPrintedOnThreeSlips()
{
    auto d = connectDriver(folder());
    QVERIFY(d);
    // A document is open: the mode waits.
    QCOMPARE(d->StartDocument(DocumentType::Text, 1, {}, {}), 0);
    QCOMPARE(int(d->SetPrintDocumentMode(PrintMode::Slip, SlipSide::Left, 3, 2, 1, 2)),
             codeOf(ErrorCode::DocumentAlreadyOpen));
    QCOMPARE(d->EndDocument(), 0);

    QCOMPARE(d->SetClerk(u"Кассир 7"_s), 0);
    QCOMPARE(d->SetPrintDocumentMode(PrintMode::Slip, SlipSide::Left, 3, 2, 1, 2), 0);
    QCOMPARE(d->GetDeviceInfo(DeviceInfo::SlipMode), 2320102);
    QCOMPARE(d->GetDeviceInfo(DeviceInfo::SlipPaperOut), 1);
    QCOMPARE(int(d->StartDocument(DocumentType::Sale, 1, {}, {})),
             codeOf(ErrorCode::NoSlipInserted));

    insertSlip(folder(), true);
    QCOMPARE(d->GetDeviceInfo(DeviceInfo::SlipPaperOut), 0);
    const QStringList rollBefore = tape(folder());
    QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    QCOMPARE(d->Item(1000, 1250, u"Хлеб"_s, 1), 0);
    QCOMPARE(d->Tender2(1250, PaymentType::Cash, QString(), QString()), 0);
    QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);

    QCOMPARE(tape(folder()), rollBefore);
    const QStringList printed = slips(folder());
    QVERIFY(printed.constFirst().contains(u"СЛЕВА"_s));
    QCOMPARE(printed.filter(u"ФИСКАЛЬНАЯ КОПИЯ"_s).size(), 1);
    QCOMPARE(printed.filter(u"Хлеб"_s).size(), 3);
    QCOMPARE(printed.filter(u"ИТОГ"_s).size(), 3);
    const qsizetype first = printed.indexOf(printed.filter(u"КОПИЯ 1"_s).constFirst());
    const qsizetype fiscal = printed.indexOf(printed.filter(u"ФИСКАЛЬНАЯ КОПИЯ"_s).constFirst());
    const qsizetype third = printed.indexOf(printed.filter(u"КОПИЯ 3"_s).constFirst());
    QVERIFY(first < fiscal && fiscal < third);
    // Two rows between the copies and one before each: three blank lines before each copy after
    // the first, one before the first.
    QCOMPARE(printed.mid(fiscal - 3, 3), QStringList(3, QString()));
    QCOMPARE(printed.mid(first - 1, 1), QStringList{QString()});
    // Each copy starts right after its rows: copy 1 after the slip's line and its one row, the
    // next ones a copy's length and three rows after the one before. The slip ends with copy 3.
    const qsizetype copyLength = printed.size() - third;
    QCOMPARE(first, 1 + 1);
    QCOMPARE(fiscal, first + copyLength + 3);
    QCOMPARE(third, fiscal + copyLength + 3);

    // Back to the roll.
    QCOMPARE(d->SetPrintDocumentMode(PrintMode::Roll, 0, 0, 0, 0, 0), 0);
    QCOMPARE(d->GetDeviceInfo(DeviceInfo::SlipMode), 0);
    QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    QCOMPARE(d->Item(1000, 1250, u"Сыр"_s, 1), 0);
    QCOMPARE(d->Tender2(1250, PaymentType::Cash, QString(), QString()), 0);
    QVERIFY(containsLine(tape(folder()), u"Сыр"_s));
    QCOMPARE(slips(folder()), printed);
}

void TestEmulatorPeripherals::paymentMeanChecks_data()
{
    QTest::addColumn<bool>("shiftOpen");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("flags"); // card, cash, drawer, change
    QTest::addColumn<int>("code");

    // Mean 8 is cash, drawer and change by default; mean 6 none of them.
    QTest::newRow("rename and mark")
        << false << 6 << u"ПОДАРОЧНАЯ КАРТА"_s << QList<int>{1, 0, 1, 1} << kOk;
    QTest::newRow("20 characters")
        << false << 1 << QString(20, u'К') << QList<int>{1, 0, 0, 0} << kOk;
    QTest::newRow("21 characters") << false << 1 << QString(21, u'К') << QList<int>{1, 0, 0, 0}
                                   << codeOf(ErrorCode::TextTooLong);
    QTest::newRow("a tab") << false << 1 << u"КАРТА\t1"_s << QList<int>{1, 0, 0, 0} << kValue;
    QTest::newRow("no name") << false << 1 << u"  "_s << QList<int>{1, 0, 0, 0} << kValue;
    QTest::newRow("flag 2") << false << 1 << u"КАРТА"_s << QList<int>{2, 0, 0, 0} << kValue;
    QTest::newRow("flag -1") << false << 1 << u"КАРТА"_s << QList<int>{0, 0, 0, -1} << kValue;
    QTest::newRow("mean 0") << false << 0 << u"КАРТА"_s << QList<int>{0, 0, 0, 0}
                            << codeOf(ErrorCode::UnknownPaymentType);
    QTest::newRow("mean 9") << false << 9 << u"КАРТА"_s << QList<int>{0, 0, 0, 0}
                            << codeOf(ErrorCode::UnknownPaymentType);
    QTest::newRow("open shift: name, card and drawer change")
        << true << 8 << u"РУБЛИ"_s << QList<int>{1, 1, 0, 1} << kOk;
    QTest::newRow("open shift: cash cannot change")
        << true << 8 << u"РУБЛИ"_s << QList<int>{0, 0, 1, 1} << codeOf(ErrorCode::ShiftAlreadyOpen);
    QTest::newRow("open shift: change cannot change")
        << true << 6 << u"ЧЕК"_s << QList<int>{0, 0, 0, 1} << codeOf(ErrorCode::ShiftAlreadyOpen);
}

void TestEmulatorPeripherals::paymentMeanChecks()
{
    QFETCH(bool, shiftOpen);
    QFETCH(int, number);
    QFETCH(QString, name);
    QFETCH(QList<int>, flags);
    QFETCH(int, code);

    auto d = connectDriver(folder(), {}, shiftOpen);
    QVERIFY(d);
    const QString nameBefore = d->GetTextDeviceInfo(TextInfo::PaymentMeanNameBase + number);
    QCOMPARE(int(d->SetPaymentMean(number, name, flags[0], flags[1], flags[2], flags[3])), code);
    if (code != kOk) {
        QCOMPARE(d->GetTextDeviceInfo(TextInfo::PaymentMeanNameBase + number), nameBefore);
        return;
    }
    QCOMPARE(d->GetTextDeviceInfo(TextInfo::PaymentMeanNameBase + number), name);
    const std::array<std::int16_t, 4> bases{
        DeviceInfo::PaymentMeanCardBase, DeviceInfo::PaymentMeanCashBase,
        DeviceInfo::PaymentMeanDrawerBase, DeviceInfo::PaymentMeanChangeBase};
    for (std::size_t i = 0; i < bases.size(); ++i)
        QCOMPARE(d->GetDeviceInfo(std::int16_t(bases[i] + number)), flags[int(i)]);
}

void TestEmulatorPeripherals::paymentMeansReadBack_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<QString>("name6");
    QTest::addColumn<int>("card1");
    QTest::addColumn<int>("cash8");

    QTest::newRow("5 reports names and cards") << 5 << u"ЧЕК"_s << 1 << 1;
    QTest::newRow("4 keeps the names, not the flags") << 4 << QString() << 1 << 1;
}

void TestEmulatorPeripherals::paymentMeansReadBack()
{
    QFETCH(int, major);
    createDevice(folder(), 1, major, 0);
    auto d = connectDriver(folder(), {}, false);
    QVERIFY(d);
    QTEST(d->GetTextDeviceInfo(TextInfo::PaymentMeanNameBase + PaymentType::Cheque), "name6");
    QTEST(d->GetDeviceInfo(DeviceInfo::PaymentMeanCardBase + PaymentType::Card1), "card1");
    QTEST(d->GetDeviceInfo(DeviceInfo::PaymentMeanCashBase + PaymentType::Cash), "cash8");
    QCOMPARE(d->GetDeviceInfo(DeviceInfo::PaymentMeanChangeBase + PaymentType::Card1), 0);
}

void TestEmulatorPeripherals::renamedMeanMarkedChangeIsOverpaid()
{
    auto d = connectDriver(folder(), {}, false);
    QVERIFY(d);
    QCOMPARE(d->SetPaymentMean(PaymentType::Cheque, u"ПОДАРОЧНАЯ КАРТА"_s, 1, 0, 0, 1), 0);
    QCOMPARE(d->StartSession(u"Кассир1"_s, 1), 0);
    QCOMPARE(d->StartDocument(DocumentType::CashIn, 1, {}, {}), 0);
    QCOMPARE(d->Tender2(1000, PaymentType::Cash, QString(), QString()), 0);
    QCOMPARE(d->EndDocument(), 0);

    // A card without change cannot be overpaid.
    QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    QCOMPARE(d->Item(1000, 1250, u"Хлеб"_s, 1), 0);
    QCOMPARE(int(d->Tender2(2000, PaymentType::Card1, u"4111"_s, QString())),
             codeOf(ErrorCode::NonCashExceedsTotal));
    QCOMPARE(d->Tender2(2000, PaymentType::Cheque, u"777001"_s, QString()), 0);
    QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);

    const QStringList receipt = tape(folder(), 1, 12);
    QVERIFY2(containsLine(receipt, u"ПОДАРОЧНАЯ КАРТА"_s), qPrintable(receipt.join(u'\n')));
    QVERIFY(containsLine(receipt, u"КАРТА 777001"_s));
    QVERIFY(receipt.filter(u"СДАЧА"_s).constFirst().endsWith(u"7.50"_s));
    // The mean kept what stayed: paid less the change.
    QCOMPARE(shiftCounter(*d, DeviceCounter::Payment6), 1250.0);
    // Not cash: the drawer gave the change and took nothing.
    QCOMPARE(totalCounter(*d, DeviceCounter::CashAtShiftStart), 250.0);
}

void TestEmulatorPeripherals::meansDecideDrawerAndCash()
{
    auto d = connectDriver(folder(), {}, false);
    QVERIFY(d);
    // Mean 7 counts as cash, opens no drawer and records no card.
    QCOMPARE(d->SetPaymentMean(PaymentType::Credit, u"КРЕДИТ"_s, 0, 1, 0, 0), 0);
    QCOMPARE(d->StartSession(u"Кассир1"_s, 1), 0);
    QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    QCOMPARE(d->Item(1000, 1000, u"Хлеб"_s, 1), 0);
    QCOMPARE(d->Tender2(1000, PaymentType::Credit, u"4111"_s, QString()), 0);
    QCOMPARE(d->GetDeviceInfo(DeviceInfo::DrawerOpen), 0);
    QCOMPARE(totalCounter(*d, DeviceCounter::CashAtShiftStart), 1000.0);
    QVERIFY(!containsLine(tape(folder(), 1, 12), u"КАРТА 4111"_s));

    // Cash opens the drawer.
    QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    QCOMPARE(d->Item(1000, 1000, u"Хлеб"_s, 1), 0);
    QCOMPARE(d->Tender2(1000, PaymentType::Cash, QString(), QString()), 0);
    QCOMPARE(d->GetDeviceInfo(DeviceInfo::DrawerOpen), 1);
    QCOMPARE(totalCounter(*d, DeviceCounter::CashAtShiftStart), 2000.0);
    QVERIFY(containsLine(tape(folder(), 1, 12), u"НАЛИЧНЫЕ РУБ."_s));
}

QTEST_MAIN(TestEmulatorPeripherals)
#include "tst_emulator_peripherals.moc"
