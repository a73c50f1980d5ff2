// Real clients of the served device: the curl and Python receipts of docs/service.md, run as they
// stand there; and four clients at once on one device, whose books must still agree.

#include "ServeProcess.h"

#include "DeviceLedger.h"
#include "DeviceNumbers.h"
#include "EmulatorFixture.h"
#include "RemoteDriver.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>

using namespace Qt::StringLiterals;
using namespace servicetest;

namespace {

// The block of docs/service.md fenced as `language` whose first line is `title`.
QString documentedBlock(const QString& language, const QString& title)
{
    QFile file(QStringLiteral(QUOLT_SOURCE_ROOT) + u"/docs/service.md"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    const QString opening = u"```"_s + language + u'\n' + title + u'\n';
    const qsizetype start = text.indexOf(opening);
    if (start < 0)
        return {};
    const qsizetype body = start + opening.size() - title.size() - 1;
    return text.mid(body, text.indexOf(u"\n```"_s, body) - body + 1);
}

constexpr int kPrice = 100;
constexpr int kSeconds = 3;

// One client: receipts of one position on the shared device for the given time. Closing is left
// to EndDocument, so that each closed receipt is one success to count.
struct Client
{
    qint64 items = 0;
    qint64 closed = 0;
    QString error;

    void work(const remote::Endpoint& endpoint)
    {
        std::unique_ptr<remote::RemoteDriver> d = remote::RemoteDriver::open(endpoint, 1, &error);
        if (!d)
            return;
        if (d->SetPassword(u"735102"_s) != 0 || d->InitDevice() != 0 ||
            d->SetDriverOpt(DriverOption::AutoClose, 0) != 0) {
            error = u"cannot connect"_s;
            return;
        }
        const QDeadlineTimer deadline(kSeconds * 1000);
        while (!deadline.hasExpired()) {
            d->StartDocument(DocumentType::Sale, 1, {}, {}); // another's receipt may be open
            if (d->Item(1000, kPrice, u"Чай"_s, 0) == 0)
                ++items;
            d->Tender2(1'000'000, QVariant(PaymentType::Cash), QVariant(QString()), {});
            const Driver::Result end = d->EndDocument();
            if (end == 0)
                ++closed;
            else if (end == int(ErrorCode::ZeroTotal))
                d->CancelDocument(); // paid before any position: nothing to close
            else if (end == int(ErrorCode::NoConnection))
                error = u"a call did not reach the server"_s;
        }
    }
};

} // namespace

class TestServiceClients : public QObject
{
    Q_OBJECT

private:
    std::optional<QTemporaryDir> m_dir;
    std::optional<ServeProcess> m_server;

    QString folder() const { return m_dir->path(); }

    void runClient(const QString& program, const QString& language, const QString& title)
    {
        if (QStandardPaths::findExecutable(program).isEmpty())
            QSKIP(qPrintable(program + u" is not installed"_s));
        const QString block = documentedBlock(language, title);
        QVERIFY2(!block.isEmpty(), qPrintable(title + u" is not in docs/service.md"_s));
        const QString script = folder() + u"/client"_s;
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(block.toUtf8()) > 0);
        file.close();
        QProcess client;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"URL"_s, m_server->url());
        environment.insert(u"TOKEN"_s, QString::fromLatin1(m_server->token()));
        client.setProcessEnvironment(environment);
        client.start(program, {script});
        QVERIFY(client.waitForFinished(120000));
        QVERIFY2(client.exitCode() == 0, client.readAll().constData());
    }

private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(createDevice(folder()));
        m_server.emplace();
        QVERIFY2(m_server->start(folder()), qPrintable(m_server->output()));
    }

    void cleanup()
    {
        if (m_server)
            QCOMPARE(m_server->stop(), 0);
        m_server.reset();
        m_dir.reset();
    }

    void theDocumentedClientsIssueTheirReceipts_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("printed");
        QTest::newRow("curl") << u"bash"_s << u"sh"_s << u"# A receipt with curl"_s
                              << QStringList{u"Хлеб"_s, u"Молоко"_s, u"=180.00"_s, u"=20.00"_s};
        QTest::newRow("python") << u"python3"_s << u"python"_s << u"# A receipt with Python"_s
                                << QStringList{u"Сыр"_s, u"=129.90"_s};
    }

    void theDocumentedClientsIssueTheirReceipts()
    {
        QFETCH(QString, program);
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(QStringList, printed);
        runClient(program, language, title);
        const QString tape = emulator::testing::tape(folder()).join(u'\n');
        for (const QString& text : printed)
            QVERIFY2(tape.contains(text), qPrintable(text + u" is not on the tape:\n"_s + tape));
        QCOMPARE(emulator::testing::stateOf(folder()).fiscalDocuments, 1);
    }

    // Four clients at once on one device: every success counts once, no document number is used
    // twice, and the books agree.
    void fourClientsKeepTheBooks()
    {
        auto watcher = emulator::testing::connectDriver(folder()); // opens the shift
        QVERIFY(watcher);
        std::array<Client, 4> clients;
        std::vector<std::unique_ptr<QThread>> threads;
        const remote::Endpoint endpoint = m_server->endpoint();
        for (Client& client : clients) {
            threads.emplace_back(QThread::create([&client, endpoint] { client.work(endpoint); }));
            threads.back()->start();
        }
        for (const auto& thread : threads)
            QVERIFY(thread->wait(120000));
        qint64 items = 0;
        qint64 closed = 0;
        for (const Client& client : clients) {
            QVERIFY2(client.error.isEmpty(), qPrintable(client.error));
            items += client.items;
            closed += client.closed;
        }
        QVERIFY(closed > 0);

        const QStringList disagreements = ledger::disagreements(folder(), 1);
        QVERIFY2(disagreements.isEmpty(), qPrintable(disagreements.join(u'\n')));
        using emulator::testing::shiftCounter;
        QCOMPARE(shiftCounter(*watcher, DeviceCounter::SaleCount), double(closed));
        // Every position that answered success is in a closed, cancelled or still open receipt.
        QCOMPARE(shiftCounter(*watcher, DeviceCounter::SalesTotal) +
                     shiftCounter(*watcher, DeviceCounter::CancelledSum) +
                     watcher->GetDocInfo(DocInfo::Amount),
                 double(items * kPrice));
    }
};

QTEST_GUILESS_MAIN(TestServiceClients)
#include "tst_service_clients.moc"
