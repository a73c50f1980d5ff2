// The served device over real HTTP, as other programs meet it: the token, the driver of a served
// device, a recorded script replayed through the server, a second server, a body without end and
// the stop by SIGTERM.

#include "ServeProcess.h"

#include "ChosenDevice.h"
#include "DeviceNumbers.h"
#include "EmulatorFixture.h"
#include "HttpConnection.h"
#include "NetworkPlugin.h"
#include "RemoteDriver.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTcpSocket>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace servicetest;

class TestServiceHttp : public QObject
{
    Q_OBJECT

private:
    std::optional<QTemporaryDir> m_dir;
    std::optional<ServeProcess> m_server;

    QString folder() const { return m_dir->path(); }

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
        if (m_server && !QTest::currentTestFailed()) {
            QCOMPARE(m_server->stop(), 0);
            QVERIFY2(m_server->output().contains(u"Stopped"_s), qPrintable(m_server->output()));
        }
        m_server.reset();
        m_dir.reset();
    }

    // Every request needs the token, which only the server's user can read and which goes with
    // the server.
    void theTokenGuardsEveryRequest()
    {
        const remote::Endpoint endpoint = m_server->endpoint();
        for (const QByteArray& token :
             {QByteArray(), QByteArray("0123"), m_server->token() + '0'}) {
            remote::HttpConnection http(endpoint.host, endpoint.port, token);
            const auto reply = http.send("POST", "/v1/sessions", "{}");
            QCOMPARE(reply.status, 401);
            QVERIFY(reply.body.contains("\"unauthorized\""));
        }
        remote::HttpConnection http(endpoint.host, endpoint.port, m_server->token());
        QCOMPARE(http.send("GET", "/v1").status, 200);

        QFile file(m_server->tokenFile());
        QCOMPARE(file.permissions() &
                     ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
                 QFile::Permissions());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().trimmed(), m_server->token());
        QCOMPARE(m_server->stop(), 0);
        QVERIFY(!QFileInfo::exists(m_server->tokenFile()));
        m_server.reset();
    }

    // The driver of a served device works as the built-in one, and a call that cannot reach the
    // server fails with a result code instead of answering success.
    void aRemoteDriverIssuesAReceipt()
    {
        QString error;
        std::unique_ptr<remote::RemoteDriver> d =
            remote::RemoteDriver::open(m_server->endpoint(), 1, &error);
        QVERIFY2(d, qPrintable(error));
        QCOMPARE(d->InitDevice(), int(ErrorCode::WrongPassword));
        QCOMPARE(d->GetErrorCode2(), int(ErrorCode::WrongPassword) * 100);
        QCOMPARE(d->lastErrorCode2(), int(ErrorCode::WrongPassword) * 100);
        QVERIFY(!d->connectedPort());
        QCOMPARE(d->SetPassword(u"735102"_s), 0);
        QCOMPARE(d->InitDevice(), 0);
        QCOMPARE(d->connectedPort(), std::optional<int>(1));
        QCOMPARE(QDir(d->deviceFolder()), QDir(folder()));
        QCOMPARE(d->StartSession(u"Кассир"_s, 1), 0);
        QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
        QCOMPARE(d->Item(1500, 2000, u"Сахар"_s, 0), 0);
        QCOMPARE(d->GetDocInfo(DocInfo::Amount), 3000);
        QCOMPARE(d->Tender2(5000, QVariant(PaymentType::Cash), QVariant(QString()), {}), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);
        QCOMPARE(d->GetDoubleDeviceInfo(DoubleInfo::shiftCounter(DeviceCounter::SalesTotal)),
                 3000.0);
        QString name;
        QString text2;
        std::int32_t id = 0;
        std::int32_t current = 0;
        QCOMPARE(d->GetLanguageInfo(1, name, text2, id, current), 0);
        QCOMPARE(name, u"Русский"_s);
        QCOMPARE(id, 1049);
        QCOMPARE(current, 1);
        QVERIFY(emulator::testing::tape(folder()).join(u'\n').contains(u"Сахар"_s));

        QCOMPARE(m_server->stop(), 0);
        m_server.reset();
        QCOMPARE(d->PrintReport(ReportKind::X1), int(ErrorCode::NoConnection));
        QCOMPARE(d->GetErrorCode2(), int(ErrorCode::NoConnection) * 100);
        QVERIFY(d->GetErrorComment(std::int16_t(ErrorCode::NoConnection))
                    .startsWith(u"Нет связи с устройством"_s));
    }

    // The network is a plugin. One that cannot be found or loaded is said, with where it was looked
    // for or its path and why it did not load: the driver gives no session and the program's
    // command line ends with the code of a server out of reach, though the server is there.
    void aMissingNetworkPluginIsSaid_data()
    {
        QTest::addColumn<QByteArray>("file"); // what lies where the plugin is looked for
        QTest::addColumn<QString>("reason");
        QTest::newRow("no plugin") << QByteArray() << u"there is no "_s;
        QTest::newRow("not a library") << QByteArray("not a plugin") << u"cannot be loaded: "_s;
    }

    void aMissingNetworkPluginIsSaid()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, reason);
        QTemporaryDir elsewhere;
        const QString path = QDir(elsewhere.path()).filePath(remote::networkPluginFileName());
        if (!file.isNull()) {
            QFile plugin(path);
            QVERIFY(plugin.open(QIODevice::WriteOnly) && plugin.write(file) == file.size());
        }
        remote::searchNetworkPluginIn({elsewhere.path()});
        const auto usual = qScopeGuard([] { remote::searchNetworkPluginIn({}); });

        QString error;
        QVERIFY(!remote::RemoteDriver::open(m_server->endpoint(), 1, &error));
        QVERIFY2(error.contains(reason) && error.contains(path), qPrintable(error));
        QCOMPARE(view::registerChosenDevice({u"TestQuolt"_s, u"--device-server"_s, m_server->url(),
                                             u"--device-token-file"_s, m_server->tokenFile()}),
                 1);
        QVERIFY(!m_server->endpoint().onThisMachine());

        remote::searchNetworkPluginIn({});
        QVERIFY2(remote::RemoteDriver::open(m_server->endpoint(), 1, &error), qPrintable(error));
        QVERIFY(m_server->endpoint().onThisMachine());
    }

    // A recorded session runs through the server exactly as on the device itself.
    void aScriptReplaysOnAServedDevice()
    {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(remote::kTokenVariable),
                           QString::fromLatin1(m_server->token()));
        tool.setProcessEnvironment(environment);
        tool.start(deviceTool(),
                   {u"replay"_s, QStringLiteral(QUOLT_SESSIONS) + u"/shift-of-sales.jsonl"_s,
                    u"--server"_s, m_server->url()});
        QVERIFY(tool.waitForFinished(120000));
        QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
        QVERIFY(tool.readAllStandardOutput().contains("every result as recorded"));
    }

    // A device or an address already served is refused, with who holds it.
    void aSecondServerIsTold()
    {
        ServeProcess second;
        QVERIFY(!second.start(folder()));
        QVERIFY2(second.output().contains(u"already served by process"_s) &&
                     second.output().contains(m_server->url()),
                 qPrintable(second.output()));

        QTemporaryDir other;
        QVERIFY(createDevice(other.path()));
        ServeProcess third;
        const QUrl taken(m_server->url());
        QVERIFY(!third.start(other.path(), {}, u"127.0.0.1:%1"_s.arg(taken.port())));
        QVERIFY2(third.output().contains(u"another quolt-device serve listens there"_s),
                 qPrintable(third.output()));
    }

    // A body far past the limit is cut off while it arrives, and the server goes on.
    void aBodyWithoutEndIsCutOff()
    {
        const remote::Endpoint endpoint = m_server->endpoint();
        QTcpSocket socket;
        socket.connectToHost(endpoint.host, endpoint.port);
        QVERIFY(socket.waitForConnected(10000));
        socket.write("POST /v1/sessions HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer " +
                     endpoint.token + "\r\nContent-Length: 100000000\r\n\r\n");
        const QByteArray chunk(64 * 1024, ' ');
        qint64 sent = 0;
        while (socket.state() == QAbstractSocket::ConnectedState && sent < 100'000'000) {
            if (socket.write(chunk) < 0 || !socket.waitForBytesWritten(10000))
                break;
            sent += chunk.size();
        }
        QVERIFY2(sent < 16 * 1024 * 1024, qPrintable(QString::number(sent)));
        remote::HttpConnection http(endpoint.host, endpoint.port, endpoint.token);
        QCOMPARE(http.send("GET", "/v1").status, 200);
    }
};

QTEST_GUILESS_MAIN(TestServiceHttp)
#include "tst_service_http.moc"
