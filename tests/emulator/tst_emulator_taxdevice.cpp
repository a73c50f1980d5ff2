// Programming the device's taxes: rates and chains, tax options that wait for the shift to
// close, the reports of chains, and descriptors.

#include "DeviceNumbers.h"
#include "EmulatorFixture.h"
#include "EmulatorTest.h"
#include "TaxDeviceRig.h"

#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

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
    void taxOptionsWaitForTheShiftToClose_data();
    void taxOptionsWaitForTheShiftToClose();
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

// Chains and the rounding of taxes change the shift's taxes as the rates do: only between shifts.
void TestEmulatorTaxDevice::taxOptionsWaitForTheShiftToClose_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("value");
    QTest::newRow("chains on") << int(DeviceOption::UseTaxChains) << 1;
    QTest::newRow("shares rounded down") << int(DeviceOption::TaxBaseRounding) << 0;
    QTest::newRow("taxes rounded up") << int(DeviceOption::TaxRounding) << 2;
}

void TestEmulatorTaxDevice::taxOptionsWaitForTheShiftToClose()
{
    QFETCH(int, option);
    QFETCH(int, value);
    createTaxDevice(folder(), 6, {});
    auto driver = connectDriver(folder());
    QVERIFY(driver);
    const int before = driver->GetDeviceOpt(std::int16_t(option));

    QCOMPARE(driver->SetDeviceOpt(std::int16_t(option), std::int16_t(value)),
             codeOf(ErrorCode::ShiftAlreadyOpen));
    QCOMPARE(driver->GetDeviceOpt(std::int16_t(option)), before);
    QCOMPARE(driver->EndSession(), 0);
    QCOMPARE(driver->SetDeviceOpt(std::int16_t(option), std::int16_t(value)), 0);
    QCOMPARE(driver->GetDeviceOpt(std::int16_t(option)), value);
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
    // A tax comes before the taxes nested under it, whatever their numbers.
    QCOMPARE(driver->SetTaxChain(4, u"D000000000000000C000"_s), 0);
    QCOMPARE(driver->TaxChainReport(4, 10000), 0);
    const QStringList nested = tape(folder(), kPort, 20);
    const qsizetype d = nested.indexOf(QRegularExpression(u"НАЛОГ D .*"_s));
    QVERIFY2(d >= 0 && d < nested.indexOf(QRegularExpression(u"НАЛОГ C .*"_s)),
             qPrintable(nested.join(u'\n')));
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
    QTest::addColumn<QString>("readBack"); // GetTextDeviceInfo(TextInfo::DescriptorBase + number)

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
