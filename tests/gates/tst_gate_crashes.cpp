// A device survives the death of its program at any moment: a child process (this executable) runs
// a scripted session that issues every kind of document and is killed without warning at a
// random moment (fixed seed) of a random call. After every kill the database must be intact,
// hold every call that returned and nothing else but the call in flight, keep its books in
// balance, and take the next call.

#include "EmulatorFixture.h"

#include "DeviceLedger.h"
#include "DeviceNumbers.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <csignal>
#include <cstdio>
#include <functional>
#include <thread>

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

constexpr auto kChildFlag = "--run-until-killed";
constexpr int kKills = 100;

using Step = std::function<Driver::Result(Driver&)>;

const QVariant kCash(PaymentType::Cash);
const QVariant kNoCard{QString()};

// A shift in which every kind of document is issued, with positions, corrections, payments and
// reports between them. Every step succeeds when the session runs without interruption.
QList<Step> session()
{
    const auto start = [](std::int32_t type) {
        return [type](Driver& d) { return d.StartDocument(type, 1, u"5"_s, u"Кассир2"_s); };
    };
    const auto pay = [](double amount) {
        return [amount](Driver& d) { return d.Tender2(amount, kCash, kNoCard, {}); };
    };
    const Step end = [](Driver& d) { return d.EndDocument(); };
    return {
        [](Driver& d) { return d.StartSession(u"Кассир1"_s, 1); },
        start(::DocumentType::CashIn),
        pay(100000),
        end,
        start(::DocumentType::Sale),
        [](Driver& d) { return d.Item(2000, 1250, u"Кофе"_s, 0); },
        [](Driver& d) { return d.ItemEx(1000, 300, u"Сахар"_s, 0, 3); },
        [](Driver& d) { return d.ItemTare(1000, 500, u"Бутылка"_s, 0); },
        [](Driver& d) { return d.ReturnTare(500, 1000); },
        [](Driver& d) { return d.RepeatItem(); },
        [](Driver& d) { return d.PercentCorrection(-10); },
        [](Driver& d) { return d.CorrectLastItem(); },
        [](Driver& d) { return d.AbsoluteCorrection(100); },
        pay(1000),
        pay(10000),
        start(::DocumentType::SaleAnnulment),
        [](Driver& d) { return d.Item(1000, 700, u"Хлеб"_s, 0); },
        pay(700),
        start(::DocumentType::Text),
        [](Driver& d) { return d.TextLine(u"Строка текста"_s); },
        end,
        start(::DocumentType::CashOut),
        pay(5000),
        end,
        start(::DocumentType::ReturnPayout),
        pay(1200),
        end,
        start(::DocumentType::UnnumberedText),
        [](Driver& d) { return d.TextLine(u"АКЦИЯ"_s); },
        end,
        start(::DocumentType::Purchase),
        [](Driver& d) { return d.ItemPurchase(1000, 1250, u"Товар"_s, 1); },
        pay(1250),
        start(::DocumentType::PurchaseReturn),
        [](Driver& d) { return d.ItemPurchase(1000, 1250, u"Товар"_s, 1); },
        pay(1250),
        start(::DocumentType::Sale),
        [](Driver& d) { return d.Item(1000, 990, u"Чай"_s, 0); },
        [](Driver& d) { return d.CancelDocument(); },
        [](Driver& d) { return d.PrintDuplicate(); },
        [](Driver& d) { return d.PrintReport(ReportKind::X1); },
        [](Driver& d) { return d.PrintReport(ReportKind::Z1); },
        [](Driver& d) { return d.StartSession(u"Кассир1"_s, 1); },
        start(::DocumentType::Sale),
        [](Driver& d) { return d.Item(3000, 100, u"Спички"_s, 0); },
        pay(300),
    };
}

// What a device holds, apart from the moments things happened (the child and the reference run
// at different times): its state with every time and printed text left out, and the number of
// lines on the tape and of records on the control tape.
QByteArray fingerprint(const QString& folder)
{
    Expected<std::unique_ptr<DeviceStore>> store =
        DeviceStore::open(folder, 1, OpenMode::ExistingOnly);
    if (!store)
        return "no device: " + store.detail().toUtf8();
    Expected<DeviceState> state = (*store)->load();
    const Expected<qint64> lines = (*store)->tapeLineCount();
    const Expected<qint64> documents = (*store)->documentCount();
    if (!state || !lines || !documents)
        return "unreadable";
    DeviceState s = *state;
    s.shiftOpenedAt = s.lastDocumentAt = s.eklzActivatedAt = s.eklzLastAt = QDateTime();
    s.lastReceipt = QStringList(s.lastReceipt.size());
    if (s.document) {
        s.document->openedAt = QDateTime();
        s.document->lines = QStringList(s.document->lines.size());
    }
    return s.serialize().toHex() + ' ' + QByteArray::number(*lines) + ' ' +
           QByteArray::number(*documents);
}

// The disagreements of the device's books, one a line; empty when they balance.
QString unbalanced(const QString& folder)
{
    return ledger::disagreements(folder, 1).join(u'\n');
}

// The child: runs the session, telling after each call that it returned; before call `kill` it
// arms a timer that kills the process `delayMicros` later, wherever it then is.
int runUntilKilled(const QString& folder, int kill, int delayMicros)
{
    std::unique_ptr<EmulatedDriver> d = connectDriver(folder, {}, false);
    if (!d)
        return 2;
    const QList<Step> steps = session();
    for (int i = 0; i < steps.size(); ++i) {
        if (i == kill) {
            std::thread([delayMicros] {
                std::this_thread::sleep_for(std::chrono::microseconds(delayMicros));
                ::kill(::getpid(), SIGKILL);
            }).detach();
        }
        if (steps[i](*d) != 0)
            return 3;
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

} // namespace

class TestGateCrashes : public QObject
{
    Q_OBJECT

private slots:
    void killedAnywhereLosesOnlyTheCallInFlight()
    {
        // The reference: the whole session uninterrupted, the device's fingerprint after each call
        // (the first one before any call).
        QTemporaryDir reference;
        QVERIFY(reference.isValid());
        const QList<Step> steps = session();
        QList<QByteArray> after;
        {
            std::unique_ptr<EmulatedDriver> d = connectDriver(reference.path(), {}, false);
            QVERIFY(d);
            after.append(fingerprint(reference.path()));
            for (int i = 0; i < steps.size(); ++i) {
                const Driver::Result result = steps[i](*d);
                QVERIFY2(result == 0, qPrintable(u"step %1 answered %2"_s.arg(i).arg(result)));
                after.append(fingerprint(reference.path()));
                const QString books = unbalanced(reference.path());
                QVERIFY2(books.isEmpty(), qPrintable(u"after step %1: "_s.arg(i) + books));
            }
        }

        QRandomGenerator random(20261209);
        for (int round = 0; round < kKills; ++round) {
            const int kill = random.bounded(int(steps.size()));
            const int delay = random.bounded(3000);
            QTemporaryDir dir;
            QVERIFY(dir.isValid());
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {QString::fromLatin1(kChildFlag), dir.path(), QString::number(kill),
                         QString::number(delay)});
            QVERIFY(child.waitForStarted());
            QVERIFY(child.waitForFinished(60000));
            const QString where =
                u"kill %1 in call %2 after %3 µs"_s.arg(round).arg(kill).arg(delay);
            QVERIFY2(child.exitStatus() == QProcess::CrashExit, qPrintable(where));

            // Calls 0 .. returned - 1 returned; the call in flight may or may not have committed.
            const QList<QByteArray> reported = child.readAllStandardOutput().trimmed().split('\n');
            const int returned = reported.first().isEmpty() ? 0 : int(reported.size());
            QVERIFY2(returned >= kill, qPrintable(where));
            QCOMPARE(ledger::integrity(DeviceStore::databasePath(dir.path(), 1)), u"ok"_s);
            const QString books = unbalanced(dir.path());
            QVERIFY2(books.isEmpty(), qPrintable(where + u": "_s + books));
            const QByteArray seen = fingerprint(dir.path());
            const bool before = seen == after[returned];
            const bool inFlightCommitted = returned < steps.size() && seen == after[returned + 1];
            QVERIFY2(before || inFlightCommitted,
                     qPrintable(where + u", %1 calls returned"_s.arg(returned)));

            // The device goes on with the next call of the session.
            const int next = before ? returned : returned + 1;
            if (next < steps.size()) {
                std::unique_ptr<EmulatedDriver> d = connectDriver(dir.path(), {}, false);
                QVERIFY2(d, qPrintable(where));
                QVERIFY2(steps[next](*d) == 0, qPrintable(where));
                d.reset();
                QVERIFY2(fingerprint(dir.path()) == after[next + 1], qPrintable(where));
            }
        }
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], kChildFlag) == 0)
        return runUntilKilled(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt(),
                              QByteArray(argv[4]).toInt());
    TestGateCrashes test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_gate_crashes.moc"
