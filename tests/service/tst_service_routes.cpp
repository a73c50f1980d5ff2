// What the device service answers, past its transport: sessions that keep their own driver, batches
// that stop at a failure, refusals that change nothing, the views and the steering of a device.

#include "DeviceService.h"
#include "EmulatorFixture.h"
#include "EmulatorTest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QUrlQuery>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;
using namespace service;

namespace {

QByteArray json(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonObject callOf(const QString& member, const QJsonArray& args = {})
{
    return {{u"member"_s, member}, {u"args"_s, args}};
}

QJsonObject text(const QString& value)
{
    return {{u"text"_s, value}};
}

QJsonObject int32(int value)
{
    return {{u"int32"_s, value}};
}

QJsonObject int16(int value)
{
    return {{u"int16"_s, value}};
}

} // namespace

class TestServiceRoutes : public EmulatorTest
{
    Q_OBJECT

public:
    TestServiceRoutes() : EmulatorTest(Start::NewDevice) {}

private:
    Reply request(const QByteArray& method, const QString& path, const QByteArray& body = {})
    {
        const QUrl url(path);
        return m_service->answer(method, url.path(), QUrlQuery(url), body);
    }

    QString openSession()
    {
        return request("POST", u"/v1/sessions"_s).body.value(u"session"_s).toString();
    }

    QJsonObject call(const QString& session, const QJsonObject& call)
    {
        return request("POST", u"/v1/sessions/%1/calls"_s.arg(session), json(call)).body;
    }

    // A session connected to the device with the shift open.
    QString workingSession()
    {
        const QString session = openSession();
        call(session, callOf(u"SetPassword"_s, {text(u"735102"_s)}));
        call(session, callOf(u"InitDevice"_s));
        call(session, callOf(u"StartSession"_s, {text(u"Кассир"_s), int32(1)}));
        return session;
    }

    std::unique_ptr<ServedDevices> m_devices;
    std::unique_ptr<DeviceService> m_service;

private slots:
    void init()
    {
        startTest();
        QString error;
        m_devices = ServedDevices::take(folder(), {1}, &error);
        QVERIFY2(m_devices, qPrintable(error));
        m_service = std::make_unique<DeviceService>(*m_devices, QList<int>{1},
                                                    DeviceService::Settings{"secret", {}});
    }

    void cleanup()
    {
        m_service.reset();
        m_devices.reset();
    }

    // Password, language and the extended code of the last failure belong to the client that set
    // them; the device is one.
    void sessionsKeepTheirOwnDriver()
    {
        const QString english = openSession();
        const QString russian = workingSession();
        QCOMPARE(call(english, callOf(u"SetLanguage"_s, {int32(1033)})).value(u"result"_s), 0);
        call(english, callOf(u"SetPassword"_s, {text(u"1"_s)}));
        const QJsonObject refused = call(english, callOf(u"InitDevice"_s));
        QCOMPARE(refused.value(u"result"_s).toInt(), codeOf(ErrorCode::WrongPassword));
        QCOMPARE(refused.value(u"comment"_s).toString(), u"Wrong access password"_s);
        QCOMPARE(refused.value(u"code2"_s).toInt(), codeOf(ErrorCode::WrongPassword) * 100);
        QVERIFY(refused.value(u"port"_s).isNull());

        const QJsonObject shift = call(russian, callOf(u"GetDeviceInfo"_s, {int16(4)}));
        QCOMPARE(shift.value(u"result"_s).toInt(), 1);
        QCOMPARE(shift.value(u"code2"_s).toInt(), 0);
        QCOMPARE(shift.value(u"port"_s).toInt(), 1);
        QCOMPARE(call(russian, callOf(u"GetErrorComment"_s, {int16(2)})).value(u"result"_s),
                 u"Неверный пароль доступа"_s);
        // The values passed out come with their kinds.
        const QJsonObject language = call(russian, callOf(u"GetLanguageInfo"_s, {int32(2)}));
        QCOMPARE(language.value(u"out"_s).toArray(),
                 (QJsonArray{text(u"English"_s), text(u"Английский"_s), int32(1033), int32(0)}));
    }

    void batchStopsAtTheFirstFailure()
    {
        const QString session = workingSession();
        const QJsonObject batch{
            {u"calls"_s,
             QJsonArray{callOf(u"StartDocument"_s, {int32(1), int16(1), text({}), text({})}),
                        callOf(u"Item"_s, {int32(1000), int32(-5), text(u"Чай"_s), int32(0)}),
                        callOf(u"Item"_s, {int32(1000), int32(500), text(u"Чай"_s), int32(0)})}},
            {u"stopOnFailure"_s, true}};
        const QJsonObject answer =
            request("POST", u"/v1/sessions/%1/calls"_s.arg(session), json(batch)).body;
        const QJsonArray answers = answer.value(u"answers"_s).toArray();
        QCOMPARE(answers.size(), 2);
        QCOMPARE(answers[1].toObject().value(u"result"_s).toInt(), codeOf(ErrorCode::InvalidPrice));
        QVERIFY(answer.value(u"stopped"_s).toBool());
        QCOMPARE(call(session, callOf(u"GetDocInfo"_s, {int16(3)})).value(u"result"_s).toInt(), 0);
    }

    // Each refused request answers its own status and changes neither the device nor the
    // sessions' drivers.
    void refusalsChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("path"); // SESSION stands for a working session
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");

        const QByteArray item = json(callOf(u"Item"_s, {int32(1000), int32(100), text(u"Чай"_s)}));
        QTest::newRow("unknown session") << QByteArray("POST") << u"/v1/sessions/00/calls"_s
                                         << json(callOf(u"EndSession"_s)) << 404 << u"no-session"_s;
        QTest::newRow("bad JSON") << QByteArray("POST") << u"/v1/sessions/SESSION/calls"_s
                                  << QByteArray("{\"member\":\"EndSession\"") << 400
                                  << u"bad-json"_s;
        QTest::newRow("wrong arguments") << QByteArray("POST") << u"/v1/sessions/SESSION/calls"_s
                                         << item << 422 << u"bad-arguments"_s;
        QTest::newRow("a bad call after a good one")
            << QByteArray("POST") << u"/v1/sessions/SESSION/calls"_s
            << json({{u"calls"_s, QJsonArray{callOf(u"EndSession"_s), callOf(u"Nope"_s)}}}) << 404
            << u"unknown-member"_s;
        QTest::newRow("a log outside the folder")
            << QByteArray("POST") << u"/v1/sessions/SESSION/calls"_s
            << json({{u"calls"_s,
                      QJsonArray{callOf(u"EndSession"_s),
                                 callOf(u"SetLogFile"_s, {int16(1), text(u"/tmp/x.log"_s)})}}})
            << 403 << u"path-refused"_s;
        QTest::newRow("unserved device") << QByteArray("GET") << u"/v1/devices/2/state"_s
                                         << QByteArray() << 404 << u"no-device"_s;
        QTest::newRow("fault on a query")
            << QByteArray("POST") << u"/v1/devices/1/fault"_s
            << json({{u"member"_s, u"GetDeviceInfo"_s}}) << 422 << u"bad-value"_s;
        QTest::newRow("wrong method") << QByteArray("GET") << u"/v1/sessions/SESSION/calls"_s
                                      << QByteArray() << 405 << u"method-not-allowed"_s;
        QTest::newRow("another version")
            << QByteArray("GET") << u"/v2"_s << QByteArray() << 404 << u"no-route"_s;
    }

    void refusalsChangeNothing()
    {
        QFETCH(QByteArray, method);
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, error);
        const QString session = workingSession();
        const QByteArray before = stateOf(folder()).serialize();
        const qsizetype printed = tape(folder()).size();

        const Reply reply = request(method, path.replace(u"SESSION"_s, session), body);
        QCOMPARE(reply.status, status);
        QCOMPARE(reply.body.value(u"error"_s).toString(), error);
        QVERIFY(!reply.body.value(u"message"_s).toString().isEmpty());
        QCOMPARE(stateOf(folder()).serialize(), before);
        QCOMPARE(tape(folder()).size(), printed);
        QCOMPARE(call(session, callOf(u"GetErrorCode2"_s)).value(u"result"_s).toInt(), 0);
    }

    // A client reaches only the devices served: another port is the driver's own refusal.
    void onlyServedPorts()
    {
        QCOMPARE(request("POST", u"/v1/sessions"_s, R"({"port":2})").status, 404);
        const QString session = openSession();
        const QJsonObject moved = call(session, callOf(u"SetDriverOpt"_s, {int16(1), int32(2)}));
        QCOMPARE(moved.value(u"result"_s).toInt(), codeOf(ErrorCode::InvalidPort));
        QCOMPARE(call(session, callOf(u"GetDriverOpt"_s, {int16(1)})).value(u"result"_s), 1);
        QVERIFY(!QFile::exists(DeviceStore::databasePath(folder(), 2)));
    }

    // The views read what the calls did; the steering reaches the next call.
    void viewsAndSteering()
    {
        const QString session = workingSession();
        const QJsonObject tapeStart = request("GET", u"/v1/devices/1/tape"_s).body;
        const qint64 next = tapeStart.value(u"next"_s).toInteger();

        QCOMPARE(request("POST", u"/v1/devices/1/fault"_s, R"({"member":"Tender2","code":41})")
                     .body.value(u"pendingFault"_s)
                     .toObject()
                     .value(u"code"_s),
                 41);
        call(session, callOf(u"StartDocument"_s, {int32(1), int16(1), text({}), text({})}));
        call(session, callOf(u"Item"_s, {int32(1000), int32(2500), text(u"Чай"_s), int32(0)}));
        const QJsonArray cash{QJsonObject{{u"double"_s, 2500}},
                              QJsonObject{{u"general"_s, int16(8)}},
                              QJsonObject{{u"general"_s, text({})}}, text({})};
        QCOMPARE(call(session, callOf(u"Tender2"_s, cash)).value(u"result"_s).toInt(), 41);
        QCOMPARE(call(session, callOf(u"Tender2"_s, cash)).value(u"result"_s).toInt(), 0);

        const QJsonObject state = request("GET", u"/v1/devices/1/state"_s).body;
        QVERIFY(state.value(u"document"_s).isNull());
        QCOMPARE(state.value(u"documents"_s).toObject().value(u"fiscal"_s).toInt(), 1);
        QCOMPARE(state.value(u"cashInDrawer"_s).toInteger(), 2500);
        QVERIFY(state.value(u"pendingFault"_s).isNull());

        const QJsonObject printed =
            request("GET", u"/v1/devices/1/tape?from=%1&limit=1000"_s.arg(next)).body;
        QStringList lines;
        for (const QJsonValue& line : printed.value(u"lines"_s).toArray())
            lines << line.toObject().value(u"text"_s).toString();
        QVERIFY2(lines.join(u'\n').contains(u"Чай"_s), qPrintable(lines.join(u'\n')));
        QCOMPARE(printed.value(u"next"_s).toInteger(), printed.value(u"last"_s).toInteger() + 1);

        const QJsonObject sensors =
            request("POST", u"/v1/devices/1/sensors"_s, R"({"paper-out":true})").body;
        QVERIFY(sensors.value(u"sensors"_s).toObject().value(u"paper-out"_s).toBool());
        const int started =
            call(session, callOf(u"StartDocument"_s, {int32(1), int16(1), text({}), text({})}))
                .value(u"result"_s)
                .toInt();
        const int item =
            call(session, callOf(u"Item"_s, {int32(1000), int32(100), text(u"Чай"_s), int32(0)}))
                .value(u"result"_s)
                .toInt();
        QVERIFY(started == codeOf(ErrorCode::PaperOut) || item == codeOf(ErrorCode::PaperOut));
    }

    // A session unused past the idle limit makes room for a new client; one in use does not.
    void sessionTableIsBounded()
    {
        auto now = std::chrono::steady_clock::time_point{};
        SessionTable table(folder(), {1}, {2, std::chrono::seconds(60)}, [&] { return now; });
        QString error;
        const auto first = table.open(std::nullopt, &error);
        QVERIFY(first && table.open(1, &error));
        now += std::chrono::seconds(30);
        QVERIFY(table.use(first->id));
        QVERIFY(!table.open(std::nullopt, &error));
        QVERIFY(error.contains(u"sessions"_s));
        now += std::chrono::seconds(45); // the second is idle 75 s, the first 45 s
        QVERIFY(table.open(std::nullopt, &error));
        QVERIFY(table.use(first->id));
        QCOMPARE(table.size(), 2);
    }

    // A second server on a device is told who serves it.
    void aServedDeviceIsHeld()
    {
        m_devices->announce(u"http://127.0.0.1:9/v1"_s);
        QString error;
        QVERIFY(!ServedDevices::take(folder(), {1}, &error));
        QVERIFY2(error.contains(u"COM1"_s) && error.contains(u"http://127.0.0.1:9/v1"_s) &&
                     error.contains(QString::number(QCoreApplication::applicationPid())),
                 qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestServiceRoutes)
#include "tst_service_routes.moc"
