#include "EmulatorFixture.h"

#include "DeviceSession.h"
#include "Snapshots.h"

#include <QProcess>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

class TestSnapshots : public QObject
{
    Q_OBJECT

private slots:
    void unsafeNamesAreRefused_data();
    void unsafeNamesAreRefused();
    void restoreGivesBackTheSavedDevice();
};

void TestSnapshots::unsafeNamesAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");

    QTest::newRow("plain") << u"shift-200_receipts.v2"_s << true;
    QTest::newRow("parent folder") << u"../device"_s << false;
    QTest::newRow("path separator") << u"a/b"_s << false;
    QTest::newRow("backslash") << u"a\\b"_s << false;
    QTest::newRow("hidden") << u".hidden"_s << false;
    QTest::newRow("blank inside") << u"a b"_s << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("too long") << QString(65, u'a') << false;
    QTest::newRow("longest") << QString(64, u'a') << true;
    QTest::newRow("not Latin") << u"смена"_s << false;
}

void TestSnapshots::unsafeNamesAreRefused()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(snapshots::isSafeName(name), safe);
    if (safe)
        return;
    // The tool refuses the name as a wrong command line and writes nothing.
    QTemporaryDir dir;
    createDevice(dir.path(), 1, 6, 1);
    QProcess tool;
    tool.start(QStringLiteral(QUOLT_DEVICE_TOOL),
               {u"--dir"_s, dir.path(), u"snapshot"_s, u"save"_s, name});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), 2);
    QVERIFY(!QDir(dir.filePath(u"snapshots"_s)).exists());
}

void TestSnapshots::restoreGivesBackTheSavedDevice()
{
    QTemporaryDir dir;
    createDevice(dir.path(), 1, 6, 1);
    auto driver = connectDriver(dir.path());
    QVERIFY(driver);
    const QVariant cash = QVariant::fromValue(PaymentType::Cash);
    QCOMPARE(driver->StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(driver->Item(1000, 500, u"Хлеб"_s, 0), 0);
    QCOMPARE(driver->Tender2(500.0, cash, QVariant(u""_s), QString()), 0);
    // Saved with a document open: a sale with one position.
    QCOMPARE(driver->StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(driver->Item(2000, 300, u"Молоко"_s, 0), 0);
    const QStringList savedTape = tape(dir.path());
    const std::int32_t savedDocuments = driver->GetDeviceInfo(DeviceInfo::AllDocuments);

    auto session = DeviceSession::open(dir.path(), 1, OpenMode::ExistingOnly);
    QVERIFY(session);
    QVERIFY(snapshots::save((*session)->store(), dir.path(), 1, u"open-sale"_s));
    QCOMPARE(*snapshots::list(dir.path(), 1), QStringList{u"open-sale"_s});

    // The device moves on: the sale closes, another one follows.
    QCOMPARE(driver->Tender2(600.0, cash, QVariant(u""_s), QString()), 0);
    QCOMPARE(driver->StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(driver->Item(1000, 100, u"Соль"_s, 0), 0);
    QCOMPARE(driver->Tender2(100.0, cash, QVariant(u""_s), QString()), 0);
    QVERIFY(tape(dir.path()) != savedTape);

    QVERIFY(snapshots::restore(**session, dir.path(), 1, u"open-sale"_s));
    // The running driver takes the restored device in at its next call.
    QCOMPARE(tape(dir.path()), savedTape);
    QCOMPARE(driver->GetDeviceInfo(DeviceInfo::AllDocuments), savedDocuments);
    QCOMPARE(driver->GetDeviceInfo(DeviceInfo::FiscalTransaction), 1);
    QCOMPARE(driver->Tender2(600.0, cash, QVariant(u""_s), QString()), 0);
    QCOMPARE(driver->GetDeviceInfo(DeviceInfo::FiscalTransaction), 0);

    QVERIFY(!snapshots::restore(**session, dir.path(), 1, u"missing"_s));
    QVERIFY(snapshots::remove(dir.path(), 1, u"open-sale"_s));
    QVERIFY(snapshots::list(dir.path(), 1)->isEmpty());
}

QTEST_MAIN(TestSnapshots)
#include "tst_emulator_snapshots.moc"
