// The device as a whole: its indices, errors and languages, the shift and its limit, generations,
// reports, options, sensors and steering from outside.

#include "DeviceNumbers.h"
#include "DeviceSession.h"
#include "EmulatorFixture.h"
#include "EmulatorTest.h"

#include <functional>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

class TestEmulatorDevice : public EmulatorTest
{
    Q_OBJECT

public:
    TestEmulatorDevice() : EmulatorTest(Start::EmptyFolder) {}

private slots:
    // The device's own queries take 32-bit indices: those at the ends of the range are unknown,
    // and choosing among the columns of payment means and descriptors does not overflow on them.
    void indicesAtTheEndsOfTheRangeAreUnknown_data()
    {
        QTest::addColumn<std::int32_t>("index");
        for (const std::int32_t index :
             {INT32_MIN, INT32_MIN + 1, INT32_MIN + 50, INT32_MIN + 1000, INT32_MAX - 1, INT32_MAX})
            QTest::addRow("%d", index) << index;
    }

    void indicesAtTheEndsOfTheRangeAreUnknown()
    {
        QFETCH(std::int32_t, index);
        const Device device{DeviceState()};
        Failure failure;
        QCOMPARE(device.deviceInfo(index, failure), -1);
        QCOMPARE(failure.code, ErrorCode::UnknownIndex);
        failure = {};
        QCOMPARE(device.textInfo(index, failure), QString());
        QCOMPARE(failure.code, ErrorCode::UnknownIndex);
        failure = {};
        QCOMPARE(device.doubleInfo(index, failure), -1.0);
        QCOMPARE(failure.code, ErrorCode::UnknownIndex);
    }

    void everyCommentExistsInBothLanguages()
    {
        EmulatedDriver driver(folder());
        QCOMPARE(driver.GetLanguageCount(), 2);
        QString name, text2;
        std::int32_t id = 0, current = 0;
        QCOMPARE(driver.GetLanguageInfo(1, name, text2, id, current), 0);
        QCOMPARE(name, u"Русский"_s);
        QCOMPARE(current, 1);
        QCOMPARE(driver.GetLanguageInfo(2, name, text2, id, current), 0);
        QCOMPARE(current, 0);
        QCOMPARE(driver.GetLanguageInfo(3, name, text2, id, current), int(ErrorCode::UnknownIndex));

        QCOMPARE(driver.GetErrorComment(0), u"Нет ошибок"_s);
        std::size_t count = 0;
        const ErrorCodeInfo* table = errorCodeTable(count);
        QSet<QString> russian;
        for (std::size_t i = 0; i < count; ++i) {
            const auto code = static_cast<std::int16_t>(table[i].code);
            QCOMPARE(driver.SetLanguage(EmulatedDriver::kRussian), 0);
            const QString ru = driver.GetErrorComment(code);
            QCOMPARE(driver.SetLanguage(EmulatedDriver::kEnglish), 0);
            const QString en = driver.GetErrorComment(code);
            QVERIFY(!ru.isEmpty() && !en.isEmpty() && ru != en);
            QVERIFY2(!russian.contains(ru), qPrintable(ru));
            russian.insert(ru);
        }
        QCOMPARE(driver.GetErrorComment(0), u"No errors"_s);
        QVERIFY(driver.GetErrorComment(999).contains(u"999"_s));
        // The extended text names the reason after the comment of the code.
        QVERIFY(driver.GetErrorComment2(1001).startsWith(u"Invalid quantity: "_s));
    }

    void shiftLifecycle()
    {
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder(), {}, false);
        QVERIFY(d);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::ShiftOpen), 0);
        QCOMPARE(d->StartDocument(::DocumentType::Sale, 1, {}, {}), int(ErrorCode::ShiftNotOpen));
        QCOMPARE(d->EndSession(), int(ErrorCode::ShiftNotOpen));
        QCOMPARE(d->PrintReport(ReportKind::X1), int(ErrorCode::ShiftNotOpen));
        QCOMPARE(d->StartSession(QString(), 1), int(ErrorCode::InvalidValue));
        QCOMPARE(d->StartSession(u"Кассир1"_s, 0), int(ErrorCode::InvalidValue));
        QCOMPARE(d->StartSession(u"Кассир1"_s, 1), 0);
        QCOMPARE(d->StartSession(u"Кассир1"_s, 1), int(ErrorCode::ShiftAlreadyOpen));
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::ShiftOpen), 1);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::CashierSet), 1);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::Shifts), 1);

        QCOMPARE(d->StartDocument(::DocumentType::Sale, 1, {}, {}), 0);
        QCOMPARE(d->Item(1000, 1000, u"A"_s, 0), 0);
        QCOMPARE(d->Tender2(1000, QVariant(PaymentType::Cash), QVariant(QString()), {}), 0);
        QCOMPARE(d->PrintReport(ReportKind::X1), 0);
        QCOMPARE(d->PrintReport(ReportKind::X2), 0);
        const QStringList x2 = tape(folder());
        const qsizetype department = x2.lastIndexOf(u"ОТДЕЛ 1"_s);
        QVERIFY(department > 0);
        QCOMPARE(x2.value(department + 1),
                 u"ПРОДАЖИ 1"_s + QString(40 - 9 - 6, u' ') + u"=10.00"_s);
        QCOMPARE(d->PrintReport(5), int(ErrorCode::UnknownIndex));
        QCOMPARE(d->PrintReport(ReportKind::Z1), 0); // the Z report closes the shift
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::ShiftOpen), 0);
        QCOMPARE(shiftCounter(*d, DeviceCounter::LastZNumber), 1.0);
        // The shift's totals start again.
        QCOMPARE(shiftCounter(*d, DeviceCounter::SalesTotal), 0.0);
        // The general ones carry on.
        QCOMPARE(totalCounter(*d, DeviceCounter::SalesTotal), 1000.0);
        // What is in the drawer for the next one.
        QCOMPARE(shiftCounter(*d, DeviceCounter::CashAtShiftStart), 1000.0);
        QCOMPARE(d->StartSession(u"Кассир1"_s, 1), 0);
        QCOMPARE(d->EndSession(), 0);
        QCOMPARE(totalCounter(*d, DeviceCounter::LastZNumber), 2.0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::Shifts), 2);
        QCOMPARE(d->PrintReport(ReportKind::Programming), 0);
        for (int kind = TestKind::TrialReceipt; kind <= TestKind::PrinterTest; ++kind)
            QCOMPARE(d->TestPrinter(std::int16_t(kind)), 0);
        QCOMPARE(d->TestPrinter(TestKind::PrinterTest + 1), int(ErrorCode::UnknownIndex));
        QCOMPARE(d->SetClerk(QString(25, u'x')), int(ErrorCode::TextTooLong));
        QCOMPARE(d->OpenDrawer(), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DrawerOpen), 1);
    }

    void tooLongShiftMustBeClosed()
    {
        TestClock clock;
        {
            std::unique_ptr<EmulatedDriver> d = connectDriver(folder(), clock, false);
            QVERIFY(d);
            QCOMPARE(d->SetDeviceOpt(DeviceOption::ShiftTimeLimit, 25),
                     int(ErrorCode::InvalidValue));
            QCOMPARE(d->SetDeviceOpt(DeviceOption::ShiftTimeLimit, 2), 0);
            QCOMPARE(d->StartSession(u"Кассир1"_s, 1), 0);
            QCOMPARE(d->SetDeviceOpt(DeviceOption::ShiftTimeLimit, 3),
                     int(ErrorCode::ShiftAlreadyOpen));
        }
        clock.advanceHours(3);
        EmulatedDriver d(folder(), clock.clock());
        QCOMPARE(d.SetPassword(u"735102"_s), 0);
        QCOMPARE(d.InitDevice(), int(ErrorCode::ShiftTooLong));
        QCOMPARE(d.GetDeviceInfo(DeviceInfo::ShiftTimeExceeded), 1);
        QCOMPARE(d.StartDocument(::DocumentType::Sale, 1, {}, {}), int(ErrorCode::ShiftTooLong));
        QCOMPARE(d.EndSession(), 0);
        QCOMPARE(d.InitDevice(), 0);
        QCOMPARE(d.GetDeviceInfo(DeviceInfo::ShiftTimeExceeded), 0);
    }

    // The limit is inclusive: a document at exactly the limit is taken, one second later not.
    void theShiftLimitHoldsToTheSecond()
    {
        TestClock clock;
        clock.freeze();
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder(), clock, false);
        QVERIFY(d);
        QCOMPARE(d->SetDeviceOpt(DeviceOption::ShiftTimeLimit, 1), 0);
        QCOMPARE(d->StartSession(u"Кассир1"_s, 1), 0);
        clock.advanceHours(1);
        QCOMPARE(d->StartDocument(::DocumentType::Sale, 1, {}, {}), 0);
        QCOMPARE(d->CancelDocument(), 0);
        clock.advanceSeconds(1);
        QCOMPARE(d->StartDocument(::DocumentType::Sale, 1, {}, {}), int(ErrorCode::ShiftTooLong));
    }

    void generationsDecideWhatExists_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<bool>("unnumberedText"); // DocumentType::UnnumberedText
        QTest::addColumn<bool>("correctionText");
        QTest::addColumn<bool>("extraData");  // SetExtraDocData
        QTest::addColumn<bool>("extraData2"); // SetExtraDocData2
        QTest::addColumn<bool>("textLineInSale");
        QTest::addColumn<bool>("extraStrings2");
        QTest::addColumn<bool>("autoCloseSwitch"); // DriverOption::AutoClose set to 0
        QTest::addColumn<int>("counters");         // statistics counters available

        QTest::newRow("1.0") << 1 << 0 << false << false << false << false << false << false
                             << false << 0;
        QTest::newRow("2.5") << 2 << 5 << false << false << false << false << false << false
                             << false << 0;
        QTest::newRow("3.0") << 3 << 0 << false << true << true << false << false << false << false
                             << 0;
        QTest::newRow("4.3") << 4 << 3 << true << true << false << true << false << false << false
                             << 38;
        QTest::newRow("5.0") << 5 << 0 << true << true << false << true << true << false << false
                             << 40;
        QTest::newRow("6.1") << 6 << 1 << true << true << false << true << true << true << true
                             << 56;
    }

    void generationsDecideWhatExists()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(bool, unnumberedText);
        QFETCH(bool, correctionText);
        QFETCH(bool, extraData);
        QFETCH(bool, extraData2);
        QFETCH(bool, textLineInSale);
        QFETCH(bool, extraStrings2);
        QFETCH(bool, autoCloseSwitch);
        QFETCH(int, counters);

        createDevice(folder(), 1, major, minor);
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder());
        QVERIFY(d);
        const int unsupported = int(ErrorCode::NotSupportedByGeneration);
        const auto expect = [&](bool supported) { return supported ? 0 : unsupported; };

        QCOMPARE(d->GetDeviceInfo(DeviceInfo::MajorVersion), major);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::MinorVersion), minor);
        QCOMPARE(d->GetTextDeviceInfo(TextInfo::Version), u"%1.%2"_s.arg(major).arg(minor));
        QCOMPARE(d->GetTextDeviceInfo(TextInfo::EklzNumber).isEmpty(), major < 4);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::BusinessDayOpen) == -1, major < 5);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::ThermalPaperOut) == -1, major < 6);
        QCOMPARE(d->GetDeviceOpt(DeviceOption::PurchaseMode) == -1, major < 6);
        QCOMPARE(d->SetDriverOpt(DriverOption::AutoClose, 0), expect(autoCloseSwitch));
        QCOMPARE(d->GetDriverOpt(DriverOption::AutoClose), autoCloseSwitch ? 0 : 1);
        QCOMPARE(d->SetExtraDocData(42, 0, 0, u"80"_s), expect(extraData));
        QCOMPARE(d->SetExtraDocData2(u"42"_s, {}, {}, {}), expect(extraData2));
        QCOMPARE(d->AddExtraString2(u"Спасибо"_s, u"1"_s), expect(extraStrings2));

        QCOMPARE(d->StartDocument(::DocumentType::UnnumberedText, 1, {}, {}),
                 expect(unnumberedText));
        if (unnumberedText)
            QCOMPARE(d->EndDocument(), 0);
        QCOMPARE(d->StartDocument(::DocumentType::Sale, 1, {}, {}), 0);
        QCOMPARE(d->Item(1000, 1000, u"A"_s, 0), 0);
        QCOMPARE(d->ItemEx(1000, 1000, u"B"_s, 0, 2), expect(major >= 3));
        QCOMPARE(d->AbsoluteCorrectionText(-10, u"Скидка"_s), expect(correctionText));
        QCOMPARE(d->TextLine(u"Строка"_s), expect(textLineInSale));
        QCOMPARE(d->GetDocInfo(DocInfo::FreeMemory) == -1, major < 3);
        QCOMPARE(d->GetDocInfo(DocInfo::DocumentType) == -1, major < 4);
        QCOMPARE(d->Tender2(5000, QVariant(PaymentType::Cash), QVariant(QString()), {}), 0);
        if (autoCloseSwitch)
            QCOMPARE(d->EndDocument(), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
        for (std::int16_t i = 1; i <= DeviceCounter::Count; ++i) {
            const double shift = d->GetDoubleDeviceInfo(DoubleInfo::shiftCounter(i));
            const double total = d->GetDoubleDeviceInfo(DoubleInfo::totalCounter(i));
            QCOMPARE(shift == DoubleInfo::NotSupported, i > counters);
            QCOMPARE(total == DoubleInfo::NotSupported, i > counters);
        }
    }

    void unknownIndexesAreReported_data()
    {
        QTest::addColumn<std::function<void(Driver&)>>("call");
        using F = std::function<void(Driver&)>;
        QTest::newRow("device info 15")
            << F([](Driver& d) { QCOMPARE(d.GetDeviceInfo(DeviceInfo::LastStatusFlag + 1), -1); });
        QTest::newRow("text info 29") << F([](Driver& d) {
            QCOMPARE(d.GetTextDeviceInfo(TextInfo::EklzLastDocumentTime + 1), QString());
        });
        QTest::newRow("counter 357") << F([](Driver& d) {
            QCOMPARE(d.GetDoubleDeviceInfo(DoubleInfo::shiftCounter(DeviceCounter::Count + 1)),
                     -1.0);
        });
        QTest::newRow("document info 1") << F([](Driver& d) { QCOMPARE(d.GetDocInfo(1), -1); });
        QTest::newRow("device option 52")
            << F([](Driver& d) { QCOMPARE(d.GetDeviceOpt(DeviceOption::Last + 1), -1); });
        QTest::newRow("setting option 200")
            << F([](Driver& d) { QCOMPARE(d.SetDeviceOpt(200, 1), int(ErrorCode::UnknownIndex)); });
    }

    void unknownIndexesAreReported()
    {
        QFETCH(std::function<void(Driver&)>, call);
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder());
        QVERIFY(d);
        call(*d);
        QCOMPARE(d->GetErrorCode2() / 100, int(ErrorCode::UnknownIndex));
    }

    void unsetOptionsReadAsTheirDefaults()
    {
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder());
        QVERIFY(d);
        QCOMPARE(d->GetDeviceOpt(DeviceOption::PrintTaxes), 0);
        QCOMPARE(d->GetDeviceOpt(DeviceOption::ShiftTimeLimit), 24);
        QCOMPARE(d->GetTextDeviceInfo(TextInfo::DescriptorBase + Descriptor::Row42), QString());
    }

    // A payment that would close the receipt but cannot print it takes nothing: the payment is
    // not recorded, in memory or on disk, and the receipt waits for the paper.
    void aPaymentThatCannotPrintTheReceiptTakesNothing()
    {
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder());
        QVERIFY(d);
        QCOMPARE(d->SetDriverOpt(DriverOption::AutoClose, 1), 0);
        QCOMPARE(d->StartDocument(::DocumentType::Sale, 1, {}, {}), 0);
        QCOMPARE(d->Item(1000, 700, u"Соль"_s, 0), 0);
        const auto setPaperOut = [this](bool out) {
            Expected<std::unique_ptr<DeviceSession>> tool = DeviceSession::open(folder(), 1);
            QVERIFY2(tool, qPrintable(tool.detail()));
            QVERIFY((*tool)
                        ->perform([out](Device& device) {
                            DeviceState s = device.state();
                            s.sensors.paperOut = out;
                            device.replaceState(std::move(s));
                            return Failure{};
                        })
                        .ok());
        };
        setPaperOut(true);
        const QVariant cash(PaymentType::Cash);
        QCOMPARE(d->Tender2(700, cash, QVariant(QString()), {}), int(ErrorCode::PaperOut));
        QCOMPARE(d->GetDocInfo(DocInfo::Payments), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), int(::DocumentType::Sale));
        {
            std::unique_ptr<EmulatedDriver> other = connectDriver(folder(), {}, false);
            QVERIFY(other);
            QCOMPARE(other->GetDocInfo(DocInfo::Payments), 0);
            QCOMPARE(other->GetDeviceInfo(DeviceInfo::DocumentOpen), int(::DocumentType::Sale));
        }
        setPaperOut(false);
        QCOMPARE(d->Tender2(700, cash, QVariant(QString()), {}), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
    }

    void sensorsAndSteeringFromOutside()
    {
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder());
        QVERIFY(d);
        QCOMPARE(d->StartDocument(::DocumentType::Sale, 1, {}, {}), 0);

        // The device tool works on the same database from another connection.
        Expected<std::unique_ptr<DeviceSession>> opened = DeviceSession::open(folder(), 1);
        QVERIFY2(opened, qPrintable(opened.detail()));
        DeviceSession* tool = opened->get();
        QVERIFY(tool->perform([](Device& device) {
                        DeviceState s = device.state();
                        s.sensors.paperOut = true;
                        s.sensors.paperNearEnd = true;
                        s.sensors.batteryLow = true;
                        device.replaceState(std::move(s));
                        return Failure{};
                    })
                    .ok());
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::PaperOut), 1);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::PaperNearEnd), 1);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::BatteryLow), 1);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::FirstPrinterReady), 0);
        QCOMPARE(d->Item(1000, 100, u"A"_s, 0), int(ErrorCode::PaperOut));
        QCOMPARE(d->GetDocInfo(DocInfo::Entries), 0);

        QVERIFY(tool->perform([](Device& device) {
                        DeviceState s = device.state();
                        s.sensors.paperOut = false;
                        s.faultMember = u"Item"_s;
                        s.faultCode = int(ErrorCode::InjectedFault);
                        device.replaceState(std::move(s));
                        return Failure{};
                    })
                    .ok());
        QCOMPARE(d->Item(1000, 100, u"A"_s, 0), int(ErrorCode::InjectedFault));
        QCOMPARE(d->Item(1000, 100, u"A"_s, 0), 0); // only the next call fails
        QCOMPARE(d->GetDocInfo(DocInfo::Entries), 1);
    }
};

QTEST_GUILESS_MAIN(TestEmulatorDevice)
#include "tst_emulator_device.moc"
