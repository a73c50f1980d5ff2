// A device survives the death of the program that drives it: the test runs a session in a child
// process (this same executable), kills it without warning in the middle of a receipt, and then
// finds the shift, the open receipt and the printed tape intact.

#include "EmulatorFixture.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>
#include <thread>

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
    const bool ok = d->StartDocument(1, 1, u"5"_s, u"Кассир2"_s) == 0 &&
                    d->Item(2000, 1250, u"Кофе"_s, 0) == 0 &&
                    d->ItemEx(1000, 300, u"Сахар"_s, 0, 3) == 0 && d->PercentCorrection(-10) == 0;
    std::puts(ok ? "ready" : "failed");
    std::fflush(stdout);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
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
        QCOMPARE(d->GetDeviceInfo(4), 1);
        QCOMPARE(d->GetDeviceInfo(102), 1);
        QCOMPARE(d->GetDocInfo(3), 2);
        QCOMPARE(d->GetDocInfo(4), 2520); // (25.00 + 3.00) less 10 %
        QVERIFY(tape(dir.path()).contains(u"Сахар"_s));

        // The receipt goes on where it stopped, undo included.
        QCOMPARE(d->CorrectLastItem(), 0);
        QCOMPARE(d->GetDocInfo(4), 2800);
        QCOMPARE(d->Tender2(3000, QVariant(8), QVariant(QString()), {}), 0);
        QCOMPARE(d->GetDeviceInfo(102), 0);
        QCOMPARE(d->GetDoubleDeviceInfo(310), 2800.0);
        QCOMPARE(d->EndSession(), 0);
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kChildFlag) == 0)
        return driveAndWait(QString::fromLocal8Bit(argv[2]));
    TestEmulatorPersistence test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_emulator_persistence.moc"
