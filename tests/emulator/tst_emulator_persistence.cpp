// A device survives the death of the program that drives it: the test runs a session in a child
// process (this same executable), kills it without warning in the middle of a receipt, and then
// finds the shift, the open receipt and the printed tape intact. A save that fails at any of its
// writes leaves the device as it was, a damaged database is refused and left as it is, and the
// moments the device records stay what they were across a reload; a device that must exist is
// never made anew. The tests run in a time zone away from UTC (Moscow).

#include "DeviceNumbers.h"
#include "DeviceSession.h"
#include "EmulatorFixture.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstdio>
#include <thread>

#include <time.h>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

constexpr auto kChildFlag = "--drive-and-wait";

// The child: opens a shift and half a receipt, reports that it is done, and waits to be killed.
int driveAndWait(const QString& folder)
{
    std::unique_ptr<EmulatedDriver> d = connectDriver(folder);
    if (!d)
        return 2;
    const bool ok = d->StartDocument(::DocumentType::Sale, 1, u"5"_s, u"Кассир2"_s) == 0 &&
                    d->Item(2000, 1250, u"Кофе"_s, 0) == 0 &&
                    d->ItemEx(1000, 300, u"Сахар"_s, 0, 3) == 0 && d->PercentCorrection(-10) == 0;
    std::puts(ok ? "ready" : "failed");
    std::fflush(stdout);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

QByteArray checksum(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

void execute(const QString& path, const QString& sql)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"damage"_s);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY2(query.exec(sql), qPrintable(sql));
    }
    QSqlDatabase::removeDatabase(u"damage"_s);
}

QVariant query(const QString& path, const QString& sql)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"look"_s);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                value = q.value(0);
        }
    }
    QSqlDatabase::removeDatabase(u"look"_s);
    return value;
}

struct ToolRun
{
    int exitCode = -1;
    QString output;
};

ToolRun runTool(const QString& folder, const QStringList& arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(QUOLT_DEVICE_TOOL), QStringList{u"--dir"_s, folder} + arguments);
    if (!tool.waitForFinished(30000))
        return {};
    return {tool.exitCode(),
            QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError())};
}

using Command = std::function<Failure(Device&)>;

Failure sell(Device& d)
{
    if (Failure f = d.startDocument(::DocumentType::Sale, 1, {}, {}); !f.ok())
        return f;
    if (Failure f = d.registerPosition({EntryKind::Goods, 1000, 700, u"Соль"_s, 0, 0}, false);
        !f.ok())
        return f;
    if (Failure f = d.registerPosition({EntryKind::Goods, 2000, 350, u"Хлеб"_s, 0, 3}, true);
        !f.ok())
        return f;
    return d.tender(1400, QVariant(PaymentType::Cash), QVariant(QString()), {}, TenderMode{});
}

} // namespace

class TestEmulatorPersistence : public QObject
{
    Q_OBJECT

private slots:
    void killedMidReceiptLosesNothing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kChildFlag), dir.path()});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("ready"));
        child.kill(); // SIGKILL: no destructor, no close, no flush
        QVERIFY(child.waitForFinished());

        std::unique_ptr<EmulatedDriver> d = connectDriver(dir.path(), {}, false);
        QVERIFY(d);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::ShiftOpen), 1);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), 1);
        QCOMPARE(d->GetDocInfo(DocInfo::DistinctItems), 2);
        QCOMPARE(d->GetDocInfo(DocInfo::Amount), 2520); // (25.00 + 3.00) less 10 %
        QVERIFY(tape(dir.path()).contains(u"Сахар"_s));

        // The receipt goes on where it stopped, undo included.
        QCOMPARE(d->CorrectLastItem(), 0);
        QCOMPARE(d->GetDocInfo(DocInfo::Amount), 2800);
        QCOMPARE(d->Tender2(3000, QVariant(PaymentType::Cash), QVariant(QString()), {}), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
        QCOMPARE(shiftCounter(*d, DeviceCounter::SalesTotal), 2800.0);
        QCOMPARE(d->EndSession(), 0);
    }

    // A command whose changes cannot be saved answers the storage code and leaves the device
    // exactly as it was, in memory and on disk; once the cause is gone the next call succeeds.
    void aFailedSaveLeavesTheDeviceAsItWas()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::unique_ptr<EmulatedDriver> d = connectDriver(dir.path());
        QVERIFY(d);
        QCOMPARE(d->SetDriverOpt(DriverOption::AutoClose, 1), 0);
        QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
        QCOMPARE(d->Item(1000, 700, u"Соль"_s, 0), 0);
        const QString path = DeviceStore::databasePath(dir.path(), 1);
        const auto stored = [&path] {
            return query(path, u"SELECT hex(state) || (SELECT count(*) FROM documents) || "
                               u"(SELECT count(*) FROM tape) FROM device"_s);
        };
        const QVariant before = stored();
        const int documents = d->GetDeviceInfo(DeviceInfo::AllDocuments);

        // The device state is written first and the printed lines after it: a failure of the
        // second write must take back the first.
        execute(path, u"CREATE TRIGGER refuse BEFORE INSERT ON tape "
                      u"BEGIN SELECT RAISE(ABORT, 'the tape is full'); END"_s);
        const QVariant cash(PaymentType::Cash);
        QCOMPARE(d->Tender2(700, cash, QVariant(QString()), {}), int(ErrorCode::StorageError));
        QCOMPARE(d->GetDocInfo(DocInfo::Payments), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), int(DocumentType::Sale));
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::AllDocuments), documents);
        QCOMPARE(stored(), before);

        execute(path, u"DROP TRIGGER refuse"_s);
        QCOMPARE(d->Tender2(700, cash, QVariant(QString()), {}), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::AllDocuments), documents + 1);
        QCOMPARE(tape(dir.path()).join(u'\n').count(u"ИТОГ"_s), 1);
    }

    // A save fails at its first write, then at its second, and so on through its commit, as a
    // failing disk would make it fail: after each failure the device is exactly as before the
    // call, in memory and on disk, and the same call then succeeds.
    void aSaveFailingAtAnyWriteLeavesTheDeviceAsItWas_data()
    {
        QTest::addColumn<Command>("prepare");
        QTest::addColumn<Command>("command");
        const Command openShift = [](Device& d) { return d.startSession(u"Кассир1"_s, 1); };
        QTest::newRow("a receipt closed") << openShift << Command(sell);
        QTest::newRow("the shift closed") << Command([openShift](Device& d) {
            const Failure f = openShift(d);
            return f.ok() ? sell(d) : f;
        }) << Command([](Device& d) { return d.printReport(ReportKind::Z1); });
        QTest::newRow("a picture loaded")
            << Command([](Device&) { return Failure{}; })
            << Command([](Device& d) { return d.loadPicture(1, Raster(64, 16)); });
    }

    void aSaveFailingAtAnyWriteLeavesTheDeviceAsItWas()
    {
        QFETCH(Command, prepare);
        QFETCH(Command, command);
        int failed = 0;
        for (int write = 1; write < 100; ++write) {
            QTemporaryDir dir;
            auto session = DeviceSession::open(dir.path(), 1);
            QVERIFY(session);
            DeviceSession& s = **session;
            QVERIFY(s.perform(prepare));
            const QString path = DeviceStore::databasePath(dir.path(), 1);
            const QByteArray state = s.device().state().serialize();
            const QString stored = deviceContents(path);

            s.store().failWrite(write);
            const Status done = s.perform(command);
            if (done) // the call has fewer writes than this
                break;
            ++failed;
            QCOMPARE(done.failure().code, ErrorCode::StorageError);
            QCOMPARE(s.device().state().serialize(), state);
            QCOMPARE(deviceContents(path), stored);

            QVERIFY(s.perform(command));
            QVERIFY(deviceContents(path) != stored);
        }
        // The state, what was printed and the records it made, and the commit.
        QVERIFY2(failed >= 3, qPrintable(QString::number(failed)));
    }

    // A device whose database is damaged is refused with the damage code and left exactly as it
    // is: by the driver and by every command of the tool but create, which replaces it.
    void aDamagedDeviceIsRefusedAndKept_data()
    {
        QTest::addColumn<std::function<void(const QString&)>>("damage");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("deleted"); // what create says it deleted
        const auto sql = [](const QString& statement) {
            return std::function<void(const QString&)>(
                [statement](const QString& path) { execute(path, statement); });
        };
        // %1: the tape lines the device printed.
        const QString all = u"deleted %1 tape lines, 20 documents and 1 closed shifts"_s;
        QTest::newRow("state removed") << sql(u"DELETE FROM device"_s) << u"state"_s << all;
        QTest::newRow("state unreadable")
            << sql(u"UPDATE device SET state = x'00ff'"_s) << u"state"_s << all;
        QTest::newRow("tape dropped")
            << sql(u"DROP TABLE tape"_s) << u"table tape"_s
            << u"deleted 0 tape lines, 20 documents and 1 closed shifts"_s;
        QTest::newRow("control tape dropped")
            << sql(u"DROP TABLE eklz"_s) << u"table eklz"_s << all;
        // Garbage over a page in the middle of the file: the file still opens, its pages do not.
        QTest::newRow("garbage in the middle")
            << std::function<void(const QString&)>([](const QString& path) {
                   QFile file(path);
                   QVERIFY(file.open(QIODevice::ReadWrite));
                   const qint64 pages = file.size() / 4096;
                   QVERIFY(pages > 4);
                   QVERIFY(file.seek(pages / 2 * 4096));
                   QCOMPARE(file.write(QByteArray(4096, '\xa5')), 4096);
               })
            << u"damaged"_s << u"the damaged database was emptied"_s;
    }

    void aDamagedDeviceIsRefusedAndKept()
    {
        QFETCH(std::function<void(const QString&)>, damage);
        QFETCH(QString, said);
        QFETCH(QString, deleted);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        {
            std::unique_ptr<EmulatedDriver> d = connectDriver(dir.path());
            QVERIFY(d);
            for (int i = 0; i < 20; ++i) {
                QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
                QCOMPARE(d->Item(1000, 700, u"Соль"_s, 0), 0);
                QCOMPARE(d->Tender2(700, QVariant(PaymentType::Cash), QVariant(QString()), {}), 0);
            }
            QCOMPARE(d->EndSession(), 0);
        }
        const qint64 lines = tape(dir.path()).size();
        QVERIFY(lines > 0);
        const QString path = DeviceStore::databasePath(dir.path(), 1);
        damage(path);
        const QByteArray before = checksum(path);

        {
            EmulatedDriver d(dir.path());
            QCOMPARE(d.SetPassword(u"735102"_s), 0);
            QCOMPARE(d.InitDevice(), int(ErrorCode::DeviceDamaged));
            QCOMPARE(d.GetDeviceInfo(DeviceInfo::ShiftOpen), -1);
        }
        for (const QString& command : {u"show"_s, u"sensors"_s, u"tape"_s}) {
            const ToolRun run = runTool(dir.path(), {command});
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.output.contains(said), qPrintable(run.output));
        }
        QCOMPARE(checksum(path), before);

        // Only create replaces the device, and it says what it deleted.
        const ToolRun created = runTool(dir.path(), {u"create"_s});
        QCOMPARE(created.exitCode, 0);
        QVERIFY2(created.output.contains(deleted.contains(u"%1"_s) ? deleted.arg(lines) : deleted),
                 qPrintable(created.output));
        std::unique_ptr<EmulatedDriver> d = connectDriver(dir.path());
        QVERIFY(d);
        QVERIFY(!tape(dir.path()).join(u'\n').contains(u"Соль"_s));
    }

    // The tool and the view windows open a device that must exist already: where there is none,
    // they are refused and leave no new, empty device in its place.
    void anExistingDeviceIsNeverMadeAnew_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("the tool") << int(OpenMode::ExistingOnly);
        QTest::newRow("a view") << int(OpenMode::InUse);
    }

    void anExistingDeviceIsNeverMadeAnew()
    {
        QFETCH(int, mode);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(!DeviceSession::open(dir.path(), 1, static_cast<OpenMode>(mode)));
        QVERIFY(!QFileInfo::exists(DeviceStore::databasePath(dir.path(), 1)));
    }

    // With the clock standing, the moments the device records are the local times it shows, and
    // they stay so when the device is loaded again: its record reads back byte for byte.
    void momentsStayTheSameAcrossAReload()
    {
        QCOMPARE(QDateTime(QDate(2026, 12, 9), QTime(22, 17)).offsetFromUtc(), 3 * 3600);
        QTemporaryDir dir;
        TestClock clock;
        *clock.frozenAt = QDateTime(QDate(2026, 12, 9), QTime(22, 17), Qt::LocalTime);
        const auto moments = [](Driver& d) {
            return QStringList{d.GetTextDeviceInfo(TextInfo::EklzLastDocumentDate),
                               d.GetTextDeviceInfo(TextInfo::EklzLastDocumentTime),
                               QString::number(d.GetDeviceInfo(DeviceInfo::Date)),
                               QString::number(d.GetDeviceInfo(DeviceInfo::Time))};
        };
        const QStringList expected{u"09.12.2026"_s, u"22:17"_s, u"91226"_s, u"221700"_s};
        {
            std::unique_ptr<EmulatedDriver> d = connectDriver(dir.path(), clock, false);
            QVERIFY(d);
            QCOMPARE(d->SetDeviceOpt(DeviceOption::ClockOn, 0), 0);
            QCOMPARE(d->StartSession(u"Кассир1"_s, 1), 0);
            QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
            QCOMPARE(d->Item(1000, 700, u"Соль"_s, 0), 0);
            QCOMPARE(d->Tender2(700, kCash, kNoCard, {}), 0);
            QCOMPARE(moments(*d), expected);
        }
        const QString path = DeviceStore::databasePath(dir.path(), 1);
        const QByteArray record = query(path, u"SELECT state FROM device"_s).toByteArray();
        // Loaded again, on the host's own clock: the device's clock still stands where it stood.
        std::unique_ptr<EmulatedDriver> d = connectDriver(dir.path(), {}, false);
        QVERIFY(d);
        QCOMPARE(moments(*d), expected);
        const std::optional<DeviceState> read = DeviceState::deserialize(record);
        QVERIFY(read);
        QCOMPARE(read->shiftOpenedAt.toString(u"HH:mm"_s), u"22:17"_s);
        QCOMPARE(read->serialize(), record);
        QCOMPARE(query(path, u"SELECT state FROM device"_s).toByteArray(), record);
    }
};

int main(int argc, char* argv[])
{
    // Away from UTC, before anything reads the time.
    qputenv("TZ", "Europe/Moscow");
    tzset();
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kChildFlag) == 0)
        return driveAndWait(QString::fromLocal8Bit(argv[2]));
    TestEmulatorPersistence test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_emulator_persistence.moc"
