// The quolt-device tool steers a device that a driver is connected to; the driver sees each
// change at its next call.

#include "DeviceNumbers.h"
#include "EmulatorFixture.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

class TestEmulatorTool : public QObject
{
    Q_OBJECT

private:
    QString m_tool;
    std::optional<QTemporaryDir> m_dir;

    struct Run
    {
        int exitCode = -1;
        QString output;
    };

    Run tool(QStringList arguments)
    {
        QProcess process;
        process.start(m_tool, QStringList{u"--dir"_s, m_dir->path()} + arguments);
        if (!process.waitForFinished(30000))
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput() +
                                                      process.readAllStandardError())};
    }

private slots:
    void initTestCase()
    {
        // The build tells where it put the tool; a missing tool is a failure, not a skip.
        m_tool = QStringLiteral(QUOLT_DEVICE_TOOL);
        QVERIFY2(QFileInfo(m_tool).isExecutable(), qPrintable(m_tool));
    }

    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
    }

    void identificationIsGivenAtCreation_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        // Serial, INN, registration, EKLZ number, and the running sales total the control tape
        // was activated with.
        QTest::addColumn<QStringList>("identity");

        QTest::newRow("defaults") << QStringList{} << 0
                                  << QStringList{u"00000001"_s, u"7701234567"_s, u"0000000001"_s,
                                                 u"1234567890"_s, u"0.00"_s};
        QTest::newRow("all given")
            << QStringList{u"--serial"_s,       u"12345"_s,   u"--inn"_s,  u"500100732259"_s,
                           u"--registration"_s, u"77"_s,      u"--eklz"_s, u"9876543210"_s,
                           u"--sales-total"_s,  u"125000.5"_s}
            << 0
            << QStringList{u"12345"_s, u"500100732259"_s, u"77"_s, u"9876543210"_s, u"125000.50"_s};
        QTest::newRow("sales total in whole roubles")
            << QStringList{u"--sales-total"_s, u"7"_s} << 0
            << QStringList{u"00000001"_s, u"7701234567"_s, u"0000000001"_s, u"1234567890"_s,
                           u"7.00"_s};
        QTest::newRow("sales total with a comma")
            << QStringList{u"--sales-total"_s, u"3,50"_s} << 2 << QStringList{};
        QTest::newRow("sales total with three decimals")
            << QStringList{u"--sales-total"_s, u"3.505"_s} << 2 << QStringList{};
        QTest::newRow("sales total negative")
            << QStringList{u"--sales-total"_s, u"-1"_s} << 2 << QStringList{};
        QTest::newRow("INN of 11 digits")
            << QStringList{u"--inn"_s, u"12345678901"_s} << 2 << QStringList{};
        QTest::newRow("serial with letters")
            << QStringList{u"--serial"_s, u"12A"_s} << 2 << QStringList{};
        QTest::newRow("EKLZ number too long")
            << QStringList{u"--eklz"_s, u"12345678901"_s} << 2 << QStringList{};
    }

    void identificationIsGivenAtCreation()
    {
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QStringList, identity);
        QCOMPARE(tool(QStringList{u"create"_s} + options).exitCode, exitCode);
        if (exitCode != 0) {
            QVERIFY(!QFileInfo::exists(DeviceStore::databasePath(m_dir->path(), 1)));
            return;
        }
        std::unique_ptr<EmulatedDriver> d = connectDriver(m_dir->path());
        QVERIFY(d);
        const QStringList read{d->GetTextDeviceInfo(TextInfo::SerialNumber),
                               d->GetTextDeviceInfo(TextInfo::TaxpayerNumber),
                               d->GetTextDeviceInfo(TextInfo::RegistrationNumber),
                               d->GetTextDeviceInfo(TextInfo::EklzNumber),
                               d->GetTextDeviceInfo(TextInfo::SalesTotal)};
        QCOMPARE(read, identity);
        // The activation report names the total the tape started from.
        QCOMPARE(d->EKLZPrintReportByNum(EklzReport::electronic(EklzReport::Activation), 0, 0, 0),
                 0);
        QStringList report;
        for (std::int32_t i = 1; i < 100 && (report.isEmpty() || !report.constLast().isEmpty());
             ++i)
            report << d->GetTextDeviceInfo(TextInfo::eklzReportLine(i));
        QVERIFY2(report.filter(u"ИТОГ"_s).constLast().endsWith(u'=' + identity.constLast()),
                 qPrintable(report.join(u'\n')));
        const QString shown = tool({u"show"_s}).output;
        for (const QString& value : identity)
            QVERIFY2(shown.contains(value), qPrintable(shown));
        QVERIFY(tool({u"show"_s, u"--inn"_s, u"7701234567"_s}).exitCode == 2);
    }

    void steersARunningDevice()
    {
        QCOMPARE(tool({u"create"_s, u"--version"_s, u"4.1"_s}).exitCode, 0);
        std::unique_ptr<EmulatedDriver> d = connectDriver(m_dir->path());
        QVERIFY(d);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::MajorVersion), 4);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::MinorVersion), 1);

        QCOMPARE(
            tool({u"sensors"_s, u"paper-near-end"_s, u"on"_s, u"drawer-open"_s, u"on"_s}).exitCode,
            0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::PaperNearEnd), 1);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DrawerOpen), 1);

        QCOMPARE(tool({u"fault"_s, u"StartDocument"_s, u"41"_s}).exitCode, 0);
        QCOMPARE(d->StartDocument(::DocumentType::Sale, 1, {}, {}), int(ErrorCode::PrinterError));
        QCOMPARE(d->StartDocument(::DocumentType::Sale, 1, {}, {}), 0);
        QCOMPARE(d->Item(1000, 100, u"Забытый"_s, 0), 0);

        // The window that owned the document was closed: the tool cancels it.
        QCOMPARE(tool({u"cancel-document"_s}).exitCode, 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
        const Run tape = tool({u"tape"_s, u"--last"_s, u"1"_s});
        QCOMPARE(tape.exitCode, 0);
        QVERIFY(tape.output.contains(u"ДОКУМЕНТ АННУЛИРОВАН"_s));
        QCOMPARE(tape.output.count(u'\n'), 1);

        QCOMPARE(tool({u"clock"_s, u"forward"_s, u"25"_s}).exitCode, 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::ShiftTimeExceeded), 1);
        QCOMPARE(d->InitDevice(), int(ErrorCode::ShiftTooLong));

        const Run show = tool({u"show"_s});
        QCOMPARE(show.exitCode, 0);
        QVERIFY(show.output.contains(u"Generation:      4.1"_s));
        QVERIFY(show.output.contains(u"TOO LONG"_s));
        // Back to the host's time, the shift is within its hours again.
        QCOMPARE(tool({u"clock"_s, u"reset"_s}).exitCode, 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::ShiftTimeExceeded), 0);
    }

    void showsTheDisplayAndTheSlips()
    {
        QCOMPARE(tool({u"create"_s}).exitCode, 0);
        std::unique_ptr<EmulatedDriver> d = connectDriver(m_dir->path());
        QVERIFY(d);
        QCOMPARE(d->StringToLineDisplay(u"ДОБРО ПОЖАЛОВАТЬ"_s), 0);
        const Run display = tool({u"display"_s});
        QCOMPARE(display.exitCode, 0);
        QVERIFY2(display.output.contains(u"|ДОБРО ПОЖАЛОВАТЬ    |"_s), qPrintable(display.output));
        QVERIFY(display.output.contains(u"Locked:          no"_s));

        QCOMPARE(d->SetPrintDocumentMode(PrintMode::Slip, SlipSide::Right, 1, 1, 0, 0), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::SlipPaperOut), 1);
        QCOMPARE(tool({u"sensors"_s, u"slip"_s, u"on"_s}).exitCode, 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::SlipPaperOut), 0);
        QCOMPARE(d->StartDocument(::DocumentType::Text, 1, {}, {}), 0);
        QCOMPARE(d->TextLine(u"НА ПОДКЛАДНОМ"_s), 0);
        QCOMPARE(d->EndDocument(), 0);
        const Run slips = tool({u"tape"_s, u"--slips"_s});
        QCOMPARE(slips.exitCode, 0);
        QVERIFY(slips.output.contains(u"СПРАВА"_s));
        QVERIFY(slips.output.contains(u"НА ПОДКЛАДНОМ"_s));
        QVERIFY(!tool({u"tape"_s}).output.contains(u"НА ПОДКЛАДНОМ"_s));
    }

    void refusesWhatItDoesNotUnderstand_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("deviceExists");
        QTest::addColumn<int>("exitCode");
        const auto row = [](const char* name, QStringList arguments, bool exists, int code = 2) {
            QTest::newRow(name) << arguments << exists << code;
        };
        row("no command", {}, false);
        row("unknown command", {u"explode"_s}, false);
        row("show without a device", {u"show"_s}, false);
        row("sensors without a device", {u"sensors"_s, u"paper-out"_s, u"on"_s}, false);
        row("extra word after show", {u"show"_s, u"all"_s}, true);
        row("extra word after codes", {u"codes"_s, u"now"_s}, false);
        row("extra word after cancel", {u"cancel-document"_s, u"please"_s}, true);
        row("extra word after clock", {u"clock"_s, u"reset"_s, u"now"_s}, true);
        row("extra word after fault", {u"fault"_s, u"Item"_s, u"41"_s, u"x"_s}, true);
        row("last without tape", {u"show"_s, u"--last"_s, u"3"_s}, true);
        row("slips without tape", {u"display"_s, u"--slips"_s}, true);
        row("extra word after display", {u"display"_s, u"now"_s}, true);
        row("unknown option", {u"show"_s, u"--colour"_s}, true);
        row("version 7.0", {u"create"_s, u"--version"_s, u"7.0"_s}, false);
        row("version text", {u"create"_s, u"--version"_s, u"new"_s}, false);
        row("version with signs", {u"create"_s, u"--version"_s, u"+6.-0"_s}, false);
        row("version after a blank", {u"create"_s, u"--version"_s, u" 6.1"_s}, false);
        row("version without its minor", {u"create"_s, u"--version"_s, u"6"_s}, false);
        row("unknown sensor", {u"sensors"_s, u"smoke"_s, u"on"_s}, true);
        row("sensor value", {u"sensors"_s, u"paper-out"_s, u"yes"_s}, true);
        row("clock backwards", {u"clock"_s, u"forward"_s, u"-3"_s}, true);
        row("fault code", {u"fault"_s, u"Item"_s, u"0"_s}, true);
        row("fault on a query", {u"fault"_s, u"GetDeviceInfo"_s}, true);
        row("fault on a setting", {u"fault"_s, u"SetPassword"_s}, true);
        row("fault on no member", {u"fault"_s, u"Explode"_s}, true);
        row("port 0", {u"--port"_s, u"0"_s, u"show"_s}, true);
        row("no document", {u"cancel-document"_s}, true, 1);
    }

    void refusesWhatItDoesNotUnderstand()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, deviceExists);
        QFETCH(int, exitCode);
        const QString folder = m_dir->filePath(u"devices"_s);
        const QString database = DeviceStore::databasePath(folder, 1);
        std::optional<QByteArray> before;
        if (deviceExists) {
            createDevice(folder, 1, 6, 1);
            Expected<std::unique_ptr<DeviceStore>> store = DeviceStore::open(folder, 1);
            QVERIFY(store);
            before = (*store)->load()->serialize();
        }
        QProcess process;
        process.start(m_tool, QStringList{u"--dir"_s, folder} + arguments);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), exitCode);
        const QString message = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(message.startsWith(u"quolt-device: "_s), qPrintable(message));
        if (!deviceExists) {
            QVERIFY(!QFileInfo::exists(folder)); // nothing was created
        } else {
            Expected<std::unique_ptr<DeviceStore>> store = DeviceStore::open(folder, 1);
            QVERIFY(store);
            QCOMPARE((*store)->load()->serialize(), *before); // nothing was changed
        }
    }

    // Every command the help lists is one the tool runs: each is answered as a known command
    // (refused for the missing device, or carried out by create), never as an unknown one; so a
    // command renamed or dropped on one side shows.
    void helpListsTheCommandsTheToolRuns()
    {
        const Run help = tool({u"--help"_s});
        QCOMPARE(help.exitCode, 0);
        const QString commands = help.output.section(u"Commands:\n"_s, 1).section(u"\n\n"_s, 0, 0);
        QStringList listed;
        for (const QString& line : commands.split(u'\n'))
            if (line.startsWith(u"  "_s) && !line.startsWith(u"   "_s))
                listed << line.simplified().section(u' ', 0, 0);
        QVERIFY2(listed.size() >= 10, qPrintable(listed.join(u' ')));

        const QString missing = m_dir->filePath(u"no-such-folder"_s);
        const auto answer = [&](const QString& command) {
            QProcess process;
            process.start(m_tool, {u"--dir"_s, missing, command});
            process.waitForFinished(30000);
            return QString::fromUtf8(process.readAllStandardError());
        };
        for (const QString& command : listed)
            QVERIFY2(!answer(command).contains(u"unknown command"_s), qPrintable(command));
        QVERIFY(answer(u"no-such-command"_s).contains(u"unknown command"_s));
    }
};

QTEST_GUILESS_MAIN(TestEmulatorTool)
#include "tst_emulator_tool.moc"
