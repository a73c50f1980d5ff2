#include "DeviceNumbers.h"
#include "EmulatorFixture.h"
#include "EmulatorTest.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

constexpr int kPort = 1;

// A device with the tax printing options set as a test needs them.
void createTaxDevice(const QString& folder, int major, QMap<int, int> options)
{
    Expected<std::unique_ptr<DeviceStore>> store =
        DeviceStore::open(folder, kPort, OpenMode::Replace);
    QVERIFY2(store, qPrintable(store.detail()));
    DeviceState state;
    state.major = major;
    state.options = std::move(options);
    QVERIFY((*store)->reset(state));
}

// The amount printed on the tape after `caption` ("НАЛОГ A 20.00%   =18.00" gives "18.00"),
// the last such line; empty when there is none.
QString printed(const QStringList& tape, const QString& caption)
{
    for (auto it = tape.crbegin(); it != tape.crend(); ++it) {
        if (it->startsWith(caption + u' ') && it->contains(u'=')) {
            const QString rest = it->mid(caption.size());
            if (rest.trimmed().startsWith(u'='))
                return rest.trimmed().mid(1);
        }
    }
    return QString();
}

// The extended code of a refusal, as GetErrorCode2 answers it.
int code2(ErrorCode code, Reason reason)
{
    return Failure{code, reason}.extendedCode();
}

const QString kEmpty = u"00000000000000000000"_s;

} // namespace

class TestEmulatorTaxDevice : public EmulatorTest
{
    Q_OBJECT

public:
    TestEmulatorTaxDevice() : EmulatorTest(Start::EmptyFolder) {}

private slots:
    void rates_data();
    void rates();
    void chains_data();
    void chains();
    void receiptTaxesPrintedAndCounted();
    void annulmentTakesItsTaxesBack();
    void taxesThatWouldOverflowAreRefused();
    void chainReports();
    void descriptors_data();
    void descriptors();
};

void TestEmulatorTaxDevice::rates_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("rate");
    QTest::addColumn<bool>("shiftOpen");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("after"); // GetTaxRate(number) afterwards

    QTest::newRow("20.00 %") << 1 << 2000 << false << 0 << 2000;
    QTest::newRow("highest") << 4 << 9999 << false << 0 << 9999;
    QTest::newRow("zero") << 2 << 0 << false << 0 << 0;
    QTest::newRow("100.00 % is too much")
        << 1 << 10000 << false << int(ErrorCode::InvalidValue) << 1000;
    QTest::newRow("negative") << 3 << -1 << false << int(ErrorCode::InvalidValue) << 1000;
    QTest::newRow("rate 5") << 5 << 100 << false << int(ErrorCode::UnknownIndex) << 0;
    QTest::newRow("rate 0") << 0 << 100 << false << int(ErrorCode::UnknownIndex) << 0;
    QTest::newRow("not within a fiscal day")
        << 1 << 2000 << true << int(ErrorCode::ShiftAlreadyOpen) << 1000;
}

void TestEmulatorTaxDevice::rates()
{
    QFETCH(int, number);
    QFETCH(int, rate);
    QFETCH(bool, shiftOpen);
    createTaxDevice(folder(), 2, {});
    auto driver = connectDriver(folder(), {}, false);
    QVERIFY(driver);
    for (std::int16_t i = 1; i <= 4; ++i)
        QCOMPARE(driver->SetTaxRate(i, 1000), 0);
    if (shiftOpen)
        QCOMPARE(driver->StartSession(u"Кассир"_s, 1), 0);

    QTEST(int(driver->SetTaxRate(std::int16_t(number), std::int16_t(rate))), "code");
    QTEST(int(driver->GetTaxRate(std::int16_t(number))), "after");
}

void TestEmulatorTaxDevice::chains_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("chain");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("code2");
    QTest::addColumn<QString>("after");

    QTest::newRow("nested") << 3 << 1 << u"A000b000000000000000"_s << 0 << 0
                            << u"A000b000000000000000"_s;
    QTest::newRow("chain 8") << 6 << 8 << u"dcba0000000000000000"_s << 0 << 0
                             << u"dcba0000000000000000"_s;
    QTest::newRow("short") << 6 << 1 << u"A000"_s << int(ErrorCode::InvalidTaxChain)
                           << code2(ErrorCode::InvalidTaxChain, Reason::ChainLength) << kEmpty;
    QTest::newRow("digits") << 6 << 1 << u"10000000000000000000"_s
                            << int(ErrorCode::InvalidTaxChain)
                            << code2(ErrorCode::InvalidTaxChain, Reason::ChainCharacter) << kEmpty;
    QTest::newRow("gap") << 6 << 1 << u"0A000000000000000000"_s << int(ErrorCode::InvalidTaxChain)
                         << code2(ErrorCode::InvalidTaxChain, Reason::ChainGap) << kEmpty;
    QTest::newRow("under itself") << 6 << 1 << u"A000A000000000000000"_s
                                  << int(ErrorCode::InvalidTaxChain)
                                  << code2(ErrorCode::InvalidTaxChain, Reason::ChainRepeat)
                                  << kEmpty;
    QTest::newRow("absent tax's group")
        << 6 << 1 << u"0000a000000000000000"_s << int(ErrorCode::InvalidTaxChain)
        << code2(ErrorCode::InvalidTaxChain, Reason::ChainOrphan) << kEmpty;
    QTest::newRow("chain 9") << 6 << 9 << u"A0000000000000000000"_s << int(ErrorCode::UnknownIndex)
                             << code2(ErrorCode::UnknownIndex, Reason::General) << QString();
    QTest::newRow("generation 2") << 2 << 1 << u"A0000000000000000000"_s
                                  << int(ErrorCode::NotSupportedByGeneration)
                                  << code2(ErrorCode::NotSupportedByGeneration, Reason::General)
                                  << QString();
}

void TestEmulatorTaxDevice::chains()
{
    QFETCH(int, major);
    QFETCH(int, number);
    QFETCH(QString, chain);
    createTaxDevice(folder(), major, {});
    auto driver = connectDriver(folder(), {}, false);
    QVERIFY(driver);

    QTEST(int(driver->SetTaxChain(std::int16_t(number), chain)), "code");
    QTEST(int(driver->GetErrorCode2()), "code2");
    QTEST(driver->GetTaxChain(std::int16_t(number)), "after");
}

void TestEmulatorTaxDevice::receiptTaxesPrintedAndCounted()
{
    // Each tax on its own line with its rate, "в т.ч. НДС", chains on.
    createTaxDevice(folder(), 6,
                    {{DeviceOption::PrintTaxes, 1},
                     {DeviceOption::PrintVatIncluded, 1},
                     {DeviceOption::PrintTaxRates, 1},
                     {DeviceOption::PrintTaxRatesInReports, 1},
                     {DeviceOption::UseTaxChains, 1}});
    auto driver = connectDriver(folder(), {}, false);
    QVERIFY(driver);
    QCOMPARE(driver->SetTaxRate(1, 2000), 0);
    QCOMPARE(driver->SetTaxRate(2, 1000), 0);
    QCOMPARE(driver->SetTaxRate(3, 500), 0);
    QCOMPARE(driver->SetTaxChain(1, u"A000b000000000000000"_s), 0);
    QCOMPARE(driver->SetTaxChain(2, u"c0000000000000000000"_s), 0);
    QCOMPARE(driver->StartSession(u"Кассир"_s, 1), 0);

    QCOMPARE(driver->StartDocument(::DocumentType::Sale, 1, QString(), u"Кассир"_s), 0);
    QCOMPARE(driver->Item(1000, 10000, u"Товар 1"_s, 1), 0);
    QCOMPARE(driver->Item(1000, 5000, u"Товар 2"_s, 2), 0);
    QCOMPARE(driver->PercentCorrection(-10), 0);
    // 15000 less 1500; group 1 keeps 9000, group 2 4500. Chain 1: A 20 % of 9000 = 1800 on top,
    // b 10 % included in 10800: 981.82 -> 982. Chain 2: c 5 % included in 4500: 214.29 -> 214.
    QCOMPARE(driver->GetDocInfo(DocInfo::Amount), 13500 + 1800);
    QCOMPARE(driver->Tender2(15300.0, QVariant::fromValue<std::int16_t>(8), QVariant(u""_s), u""_s),
             0);
    QCOMPARE(driver->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);

    const QStringList lines = tape(folder());
    QCOMPARE(printed(lines, u"НАЛОГ A 20.00%"_s), u"18.00"_s);
    QCOMPARE(printed(lines, u"НАЛОГ B 10.00%"_s), u"9.82"_s);
    QCOMPARE(printed(lines, u"НАЛОГ C 5.00%"_s), u"2.14"_s);
    QCOMPARE(printed(lines, u"В Т.Ч. НДС"_s), u"11.96"_s);
    QCOMPARE(printed(lines, u"ИТОГ"_s), u"153.00"_s);
    for (const auto& counter : {shiftCounter, totalCounter}) {
        QCOMPARE(counter(*driver, DeviceCounter::Tax1), 1800.0);
        QCOMPARE(counter(*driver, DeviceCounter::Tax2), 982.0);
        QCOMPARE(counter(*driver, DeviceCounter::Tax3), 214.0);
        QCOMPARE(counter(*driver, DeviceCounter::Tax4), 0.0);
    }

    QCOMPARE(driver->PrintReport(ReportKind::X1), 0);
    const QStringList report = tape(folder(), kPort, 40);
    QCOMPARE(printed(report, u"НАЛОГ A 20.00%"_s), u"18.00"_s);
    QCOMPARE(printed(report, u"НАЛОГ C 5.00%"_s), u"2.14"_s);
    // A zero total is left out unless its option says otherwise.
    QVERIFY(printed(report, u"НАЛОГ D 0.00%"_s).isEmpty());
}

void TestEmulatorTaxDevice::annulmentTakesItsTaxesBack()
{
    // Chains off: group n includes rate n.
    createTaxDevice(folder(), 6, {{DeviceOption::PrintTaxes, 1}});
    auto driver = connectDriver(folder(), {}, false);
    QVERIFY(driver);
    QCOMPARE(driver->SetTaxRate(1, 2000), 0);
    QCOMPARE(driver->SetTaxRate(2, 1000), 0);
    QCOMPARE(driver->StartSession(u"Кассир"_s, 1), 0);
    const QVariant cash = QVariant::fromValue<std::int16_t>(8);

    // 12000 includes 2000 at 20 %; 1100 includes 100 at 10 %.
    QCOMPARE(driver->StartDocument(::DocumentType::Sale, 1, QString(), u"Кассир"_s), 0);
    QCOMPARE(driver->Item(1000, 12000, u"Товар 1"_s, 1), 0);
    QCOMPARE(driver->Item(1000, 1100, u"Товар 2"_s, 2), 0);
    QCOMPARE(driver->Tender2(13100.0, cash, QVariant(u""_s), u""_s), 0);
    QCOMPARE(printed(tape(folder()), u"НАЛОГ A"_s), u"20.00"_s);
    // Returned: 6000 includes 1000.
    QCOMPARE(driver->StartDocument(::DocumentType::SaleAnnulment, 1, QString(), u"Кассир"_s), 0);
    QCOMPARE(driver->Item(500, 12000, u"Товар 1"_s, 1), 0);
    QCOMPARE(driver->Tender2(6000.0, cash, QVariant(u""_s), u""_s), 0);
    // A cancelled sale counts nothing.
    QCOMPARE(driver->StartDocument(::DocumentType::Sale, 1, QString(), u"Кассир"_s), 0);
    QCOMPARE(driver->Item(1000, 12000, u"Товар 1"_s, 1), 0);
    QCOMPARE(driver->CancelDocument(), 0);

    QCOMPARE(shiftCounter(*driver, DeviceCounter::Tax1), 1000.0);
    QCOMPARE(shiftCounter(*driver, DeviceCounter::Tax2), 100.0);
    QCOMPARE(totalCounter(*driver, DeviceCounter::Tax1), 1000.0);
    QCOMPARE(driver->EndSession(), 0);
    QCOMPARE(shiftCounter(*driver, DeviceCounter::Tax1), 0.0);
    QCOMPARE(totalCounter(*driver, DeviceCounter::Tax2), 100.0);
}

void TestEmulatorTaxDevice::taxesThatWouldOverflowAreRefused()
{
    createTaxDevice(folder(), 6, {{DeviceOption::UseTaxChains, 1}});
    auto driver = connectDriver(folder(), {}, false);
    QVERIFY(driver);
    QCOMPARE(driver->SetTaxRate(4, 9999), 0);
    QCOMPARE(driver->SetTaxChain(1, u"D0000000000000000000"_s), 0);
    QCOMPARE(driver->StartSession(u"Кассир"_s, 1), 0);
    QCOMPARE(driver->StartDocument(::DocumentType::Sale, 1, QString(), u"Кассир"_s), 0);
    // 600 x 10 000 000.00 is within the device's limit, its 99.99 % on top is not.
    QCOMPARE(driver->Item(600000, 1'000'000'000, u"Товар"_s, 1), 18);
    QCOMPARE(driver->Item(600000, 1'000'000'000, u"Товар"_s, 0), 0);
    QCOMPARE(driver->GetDocInfo(DocInfo::Entries), 1);
}

void TestEmulatorTaxDevice::chainReports()
{
    createTaxDevice(folder(), 5, {});
    auto driver = connectDriver(folder(), {}, false);
    QVERIFY(driver);
    QCOMPARE(driver->SetTaxRate(1, 2000), 0);
    QCOMPARE(driver->SetTaxRate(2, 1000), 0);
    QCOMPARE(driver->SetTaxChain(3, u"A000b000000000000000"_s), 0);

    QCOMPARE(driver->TaxChainReport(3, 10000), 0);
    const QStringList lines = tape(folder(), kPort, 20);
    QVERIFY(lines.contains(u"A000b000000000000000"_s));
    QCOMPARE(printed(lines, u"  НАЛОГ"_s), u"10.91"_s); // the last tax: b on 120.00
    QCOMPARE(printed(lines, u"ИТОГ"_s), u"120.00"_s);
    QCOMPARE(driver->TaxChainReport(9, 100), 16);
    QCOMPARE(driver->TaxChainReport(1, 0), 12);
    QCOMPARE(driver->TaxChainsReport(), 0);
    QVERIFY(tape(folder(), kPort, 10)
                .contains(u"ЦЕПОЧКА 3"_s + QString(40 - 9 - 20, u' ') + u"A000b000000000000000"_s));
}

void TestEmulatorTaxDevice::descriptors_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("readBack"); // GetTextDeviceInfo(1000 + number)

    QTest::newRow("42 on generation 5") << 5 << 42 << u"Карта"_s << 0 << u"Карта"_s;
    QTest::newRow("82 on generation 6") << 6 << 82 << u"Заказ"_s << 0 << u"Заказ"_s;
    QTest::newRow("not read back on 4") << 4 << 80 << u"Счёт"_s << 0 << u""_s;
    QTest::newRow("80 needs generation 3")
        << 2 << 80 << u"Счёт"_s << int(ErrorCode::NotSupportedByGeneration) << u""_s;
    QTest::newRow("42 on generation 2") << 2 << 42 << u"Карта"_s << 0 << u""_s;
    QTest::newRow("too long") << 6 << 81 << u"x"_s.repeated(41) << int(ErrorCode::TextTooLong)
                              << u""_s;
    QTest::newRow("line break") << 6 << 81 << u"a\nb"_s << int(ErrorCode::InvalidValue) << u""_s;
    QTest::newRow("no such descriptor")
        << 6 << 43 << u"x"_s << int(ErrorCode::UnknownIndex) << u""_s;
}

void TestEmulatorTaxDevice::descriptors()
{
    QFETCH(int, major);
    QFETCH(int, number);
    QFETCH(QString, text);
    QFETCH(int, code);
    createTaxDevice(folder(), major, {});
    auto driver = connectDriver(folder());
    QVERIFY(driver);

    QTEST(int(driver->SetDescriptorText(std::int16_t(number), text)), "code");
    QTEST(driver->GetTextDeviceInfo(TextInfo::DescriptorBase + number), "readBack");
    // A stored descriptor is printed on the next document.
    QCOMPARE(driver->StartDocument(::DocumentType::Text, 1, QString(), u"Кассир"_s), 0);
    QCOMPARE(tape(folder(), kPort, 12).contains(text), code == 0);
    // Not while a document is open.
    if (code == 0)
        QCOMPARE(driver->SetDescriptorText(std::int16_t(number), u"x"_s), 23);
}

QTEST_MAIN(TestEmulatorTaxDevice)
#include "tst_emulator_taxdevice.moc"
