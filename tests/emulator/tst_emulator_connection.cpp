// Connecting to the device: the connection's settings, its password and speed, one device per
// port, a damaged or recreated database, and the logs of the exchange.

#include "DeviceNumbers.h"
#include "EmulatorFixture.h"
#include "EmulatorTest.h"
#include "ExpectedCall.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <functional>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

class TestEmulatorConnection : public EmulatorTest
{
    Q_OBJECT

public:
    TestEmulatorConnection() : EmulatorTest(Start::EmptyFolder) {}

private slots:
    void connectionSettingsAreChecked_data()
    {
        QTest::addColumn<std::function<int(Driver&)>>("call");
        QTest::addColumn<int>("expected");
        using F = std::function<int(Driver&)>;
        const auto row = [](const char* name, F call, ErrorCode code) {
            QTest::newRow(name) << call << int(code);
        };
        row(
            "port 0", [](Driver& d) { return d.SetDriverOpt(DriverOption::Port, 0); },
            ErrorCode::InvalidPort);
        row(
            "port 256", [](Driver& d) { return d.SetDriverOpt(DriverOption::Port, 256); },
            ErrorCode::InvalidPort);
        row(
            "speed -1", [](Driver& d) { return d.SetDriverOpt(DriverOption::Speed, -1); },
            ErrorCode::InvalidSpeed);
        row(
            "speed 10", [](Driver& d) { return d.SetDriverOpt(DriverOption::Speed, 10); },
            ErrorCode::InvalidSpeed);
        row(
            "unknown driver option", [](Driver& d) { return d.SetDriverOpt(3, 1); },
            ErrorCode::UnknownIndex);
        row(
            "caching value 2",
            [](Driver& d) { return d.SetDriverOpt(DriverOption::CachePayments, 2); },
            ErrorCode::InvalidValue);
        row(
            "password with letters", [](Driver& d) { return d.SetPassword(u"73a102"_s); },
            ErrorCode::WrongPassword);
        row(
            "empty password", [](Driver& d) { return d.SetPassword(QString()); },
            ErrorCode::WrongPassword);
        row(
            "unknown language", [](Driver& d) { return d.SetLanguage(1031); },
            ErrorCode::InvalidLanguage);
        row(
            "unknown log option",
            [](Driver& d) { return d.SetLogOpt(LogOption::HighLevelLimit + 1, 1); },
            ErrorCode::UnknownIndex);
        row(
            "unknown log",
            [](Driver& d) { return d.SetLogFile(LogFile::HighLevel + 1, u"x.log"_s); },
            ErrorCode::UnknownIndex);
        row(
            "shift before init", [](Driver& d) { return d.StartSession(u"К"_s, 1); },
            ErrorCode::NotInitialised);
        row(
            "not yet supported before init", [](Driver& d) { return d.SetTaxRate(1, 1800); },
            ErrorCode::NotInitialised);
    }

    void connectionSettingsAreChecked()
    {
        QFETCH(std::function<int(Driver&)>, call);
        QFETCH(int, expected);
        EmulatedDriver driver(folder());
        QCOMPARE(call(driver), expected);
        QCOMPARE(driver.GetErrorCode2() / 100, expected);
    }

    void initialisationNeedsTheRightPasswordAndSpeed()
    {
        EmulatedDriver driver(folder());
        QCOMPARE(driver.SetPassword(u"111111"_s), 0);
        QCOMPARE(driver.InitDevice(), int(ErrorCode::WrongPassword));
        QCOMPARE(driver.GetDeviceInfo(DeviceInfo::ShiftOpen), -1);
        QCOMPARE(driver.SetPassword(u"735102"_s), 0);
        // The driver takes it, the device does not.
        QCOMPARE(driver.SetDriverOpt(DriverOption::Speed, 9), 0);
        QCOMPARE(driver.InitDevice(), int(ErrorCode::InvalidSpeed));
        QCOMPARE(driver.SetDriverOpt(DriverOption::Speed, 6), 0);
        QCOMPARE(driver.InitDevice(), 0);
        QCOMPARE(driver.SetDeviceOpt(DeviceOption::Speed, 3), 0);
        QCOMPARE(driver.GetDriverOpt(DriverOption::Speed), 3);
        QCOMPARE(driver.GetDeviceOpt(DeviceOption::Speed), 3);
        // A refused speed or password leaves the connection's own setting as it was.
        for (const std::int16_t refused : {-1, 7}) {
            QCOMPARE(driver.SetDeviceOpt(DeviceOption::Speed, refused),
                     int(ErrorCode::InvalidSpeed));
            QCOMPARE(driver.GetDriverOpt(DriverOption::Speed), 3);
        }
        QCOMPARE(driver.SetPassword(u"73a102"_s), int(ErrorCode::WrongPassword));
        QCOMPARE(driver.DeinitDevice(), 0);
        QCOMPARE(driver.InitDevice(), 0);
        QCOMPARE(driver.DeinitDevice(), 0);
        QCOMPARE(driver.OpenDrawer(), int(ErrorCode::NotInitialised));
    }

    void portsAreSeparateDevices()
    {
        std::unique_ptr<EmulatedDriver> first = connectDriver(folder());
        QVERIFY(first);
        EmulatedDriver second(folder());
        QCOMPARE(second.SetPassword(u"735102"_s), 0);
        QCOMPARE(second.SetDriverOpt(DriverOption::Port, 2), 0);
        QCOMPARE(second.InitDevice(), 0);
        QCOMPARE(first->GetDeviceInfo(DeviceInfo::ShiftOpen), 1);
        QCOMPARE(second.GetDeviceInfo(DeviceInfo::ShiftOpen), 0);
        QVERIFY(QFile::exists(DeviceStore::databasePath(folder(), 2)));
    }

    void damagedDatabaseIsReportedNotTrusted()
    {
        QFile file(DeviceStore::databasePath(folder(), 1));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
        file.close();
        EmulatedDriver d(folder());
        QCOMPARE(d.SetPassword(u"735102"_s), 0);
        QCOMPARE(d.InitDevice(), int(ErrorCode::DeviceDamaged));
        QCOMPARE(d.GetDeviceInfo(DeviceInfo::ShiftOpen), -1);
    }

    void deviceRecreatedWhileConnectedIsTakenIn()
    {
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder());
        QVERIFY(d);
        QCOMPARE(d->StartDocument(::DocumentType::Sale, 1, {}, {}), 0);
        createDevice(folder(), 1, 3, 2);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::MajorVersion), 3);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::ShiftOpen), 0);
        QCOMPARE(d->StartSession(u"Кассир1"_s, 1), 0);
    }

    void logsRecordTheExchangeAndTheFailures()
    {
        EmulatedDriver d(folder());
        QCOMPARE(d.SetPassword(u"735102"_s), 0);
        QCOMPARE(d.SetLogOpt(LogOption::Enabled, 1), 0);
        QCOMPARE(d.SetLogOpt(LogOption::HighLevelLimit, 100000), 0);
        QCOMPARE(d.SetLogOpt(LogOption::LowLevelLimit, 2000), 0);
        QCOMPARE(d.SetLogFile(LogFile::LowLevel, u"c:\\ll_quolt.log"_s), 0);
        QCOMPARE(d.SetLogFile(LogFile::HighLevel, u"c:\\hl_quolt.log"_s), 0);
        QCOMPARE(d.SetLogFile(LogFile::HighLevel, folder() + u"/missing/dir/hl.log"_s),
                 int(ErrorCode::LogFileError));
        QCOMPARE(d.SetLogFile(LogFile::HighLevel, u"c:\\hl_quolt.log"_s), 0);
        QCOMPARE(d.InitDevice(), 0);
        QCOMPARE(d.StartSession(u"Кассир1"_s, 1), 0);
        QCOMPARE(d.StartSession(u"Кассир1"_s, 1), int(ErrorCode::ShiftAlreadyOpen));
        for (int i = 0; i < 30; ++i)
            d.GetDeviceInfo(DeviceInfo::ShiftOpen);

        QFile low(QDir(folder()).filePath(u"ll_quolt.log"_s));
        QFile high(QDir(folder()).filePath(u"hl_quolt.log"_s));
        QVERIFY(low.open(QIODevice::ReadOnly));
        QVERIFY(high.open(QIODevice::ReadOnly));
        const QString highText = QString::fromUtf8(high.readAll());
        QVERIFY(highText.contains(u"StartSession: 22 Смена уже открыта"_s));
        const QRegularExpression stamped(u"^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "_s);
        QVERIFY(stamped.match(highText).hasMatch());
        // The low-level log is bounded: the older part moved aside once it grew past 2000 bytes.
        QVERIFY(low.size() <= 2000);
        QVERIFY(QFile::exists(low.fileName() + u".1"_s));
        const QString lowText = QString::fromUtf8(low.readAll());
        QVERIFY(lowText.contains(u"> "_s + callText(u"GetDeviceInfo"_s, {DeviceInfo::ShiftOpen})));
        QVERIFY(lowText.contains(u"< 1"_s));
    }
};

QTEST_GUILESS_MAIN(TestEmulatorConnection)
#include "tst_emulator_connection.moc"
