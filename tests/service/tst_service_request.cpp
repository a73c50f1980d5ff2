// Reading what a client of the served device sends: every request is checked whole, and each kind
// of fault is refused with its own status and word, before anything of it runs.

#include "ServiceRequest.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace service;

class TestServiceRequest : public QObject
{
    Q_OBJECT

private slots:
    void refusedCalls_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("names"); // a word the message must hold

        QTest::newRow("not JSON") << QByteArray("{\"member\":") << 400 << u"bad-json"_s
                                  << u"not JSON"_s;
        QTest::newRow("a list") << QByteArray("[]") << 400 << u"bad-json"_s << u"object"_s;
        QTest::newRow("misspelt key") << QByteArray(R"({"member":"InitDevice","argz":[]})") << 400
                                      << u"bad-json"_s << u"argz"_s;
        QTest::newRow("member not a text")
            << QByteArray(R"({"member":7})") << 400 << u"bad-json"_s << u"member"_s;
        QTest::newRow("unknown member") << QByteArray(R"({"member":"PrintMoney","args":[]})") << 404
                                        << u"unknown-member"_s << u"PrintMoney"_s;
        QTest::newRow("too few arguments")
            << QByteArray(R"({"member":"Item","args":[{"int32":1000}]})") << 422
            << u"bad-arguments"_s << u"takes 4 arguments, not 1"_s;
        QTest::newRow("wrong kind")
            << QByteArray(R"({"member":"SetDriverOpt","args":[{"int32":1},{"int32":3}]})") << 422
            << u"bad-arguments"_s << u"argument 1"_s;
        QTest::newRow("out of its kind's range")
            << QByteArray(R"({"member":"GetDeviceInfo","args":[{"int16":40000}]})") << 422
            << u"bad-arguments"_s << u"int16"_s;
        QTest::newRow("a fraction for an integer")
            << QByteArray(R"({"member":"GetDeviceInfo","args":[{"int16":1.5}]})") << 422
            << u"bad-arguments"_s << u"int16"_s;
        QTest::newRow("a bad call late in a batch")
            << QByteArray(R"({"calls":[{"member":"InitDevice"},{"member":"Nope"}]})") << 404
            << u"unknown-member"_s << u"call 2"_s;
        QTest::newRow("stopOnFailure not a flag")
            << QByteArray(R"({"calls":[],"stopOnFailure":"yes"})") << 400 << u"bad-json"_s
            << u"stopOnFailure"_s;
        QTest::newRow("body over the limit")
            << QByteArray(kMaxBodyBytes + 1, ' ') << 413 << u"too-large"_s << u"bytes"_s;
        QByteArray many = "{\"calls\":[";
        for (qsizetype i = 0; i <= kMaxBatchCalls; ++i)
            many += i == 0 ? "{\"member\":\"InitDevice\"}" : ",{\"member\":\"InitDevice\"}";
        QTest::newRow("too many calls") << many + "]}" << 413 << u"too-large"_s << u"calls"_s;
    }

    void refusedCalls()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, error);
        QFETCH(QString, names);
        RequestError refused;
        QVERIFY(!readCalls(body, &refused));
        QCOMPARE(refused.status, status);
        QCOMPARE(refused.error, error);
        QVERIFY2(refused.message.contains(names), qPrintable(refused.message));
    }

    // The arguments come as scripts of driver calls write them, with their kinds kept.
    void oneCallAndABatch()
    {
        RequestError error;
        const std::optional<CallRequest> one =
            readCalls(R"({"member":"Tender2","args":[{"double":5000},{"general":{"int16":8}},)"
                      R"({"general":{}},{"text":""}]})",
                      &error);
        QVERIFY2(one, qPrintable(error.message));
        QVERIFY(!one->batch);
        QCOMPARE(one->calls.size(), 1);
        QCOMPARE(one->calls[0].toString(),
                 uR"(Tender2(double:5000, general<int16>:8, general<empty>:, text:""))"_s);

        const std::optional<CallRequest> batch = readCalls(
            R"({"calls":[{"member":"InitDevice"},{"member":"GetDeviceInfo","args":[{"int16":4}]}],)"
            R"("stopOnFailure":true})",
            &error);
        QVERIFY2(batch, qPrintable(error.message));
        QVERIFY(batch->batch);
        QVERIFY(batch->stopOnFailure);
        QCOMPARE(batch->calls.size(), 2);
        QCOMPARE(batch->calls[1].arguments[0].kind(), DriverArgument::Kind::Int16);
    }

    void steeringBodies_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("accepted");

        QTest::newRow("sensor on") << u"sensors"_s << QByteArray(R"({"paper-out":true})") << true;
        QTest::newRow("unknown sensor") << u"sensors"_s << QByteArray(R"({"paper":true})") << false;
        QTest::newRow("sensor by number") << u"sensors"_s << QByteArray(R"({"slip":1})") << false;
        QTest::newRow("fault") << u"fault"_s << QByteArray(R"({"member":"Tender2","code":41})")
                               << true;
        QTest::newRow("fault code 0")
            << u"fault"_s << QByteArray(R"({"member":"Tender2","code":0})") << false;
        QTest::newRow("fault without member") << u"fault"_s << QByteArray(R"({"code":5})") << false;
        QTest::newRow("clock forward") << u"clock"_s << QByteArray(R"({"forward":25})") << true;
        QTest::newRow("clock reset") << u"clock"_s << QByteArray(R"({"reset":true})") << true;
        QTest::newRow("clock back") << u"clock"_s << QByteArray(R"({"forward":-1})") << false;
        QTest::newRow("clock both")
            << u"clock"_s << QByteArray(R"({"forward":1,"reset":true})") << false;
        QTest::newRow("session on a port") << u"session"_s << QByteArray(R"({"port":3})") << true;
        QTest::newRow("session, empty body") << u"session"_s << QByteArray() << true;
        QTest::newRow("session on port 0") << u"session"_s << QByteArray(R"({"port":0})") << false;
    }

    void steeringBodies()
    {
        QFETCH(QString, what);
        QFETCH(QByteArray, body);
        QFETCH(bool, accepted);
        RequestError error;
        bool read = false;
        if (what == u"sensors")
            read = readSensors(body, &error).has_value();
        else if (what == u"fault")
            read = readFault(body, &error).has_value();
        else if (what == u"clock")
            read = readClock(body, &error).has_value();
        else
            read = readSession(body, &error).has_value();
        QCOMPARE(read, accepted);
        if (!accepted)
            QVERIFY(error.status >= 400 && error.status < 500 && !error.message.isEmpty());
    }

    // A served device's logs stay in its folder: only the driver's Windows form is let through.
    void logPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("refused");
        QTest::newRow("drive path") << uR"(c:\ll_quolt.log)"_s << false;
        QTest::newRow("drive path, slashes") << u"D:/logs/hl.log"_s << false;
        QTest::newRow("absolute") << u"/home/user/.bashrc"_s << true;
        QTest::newRow("relative") << u"../quolt.log"_s << true;
        QTest::newRow("bare name") << u"quolt.log"_s << true;
    }

    void logPaths()
    {
        QFETCH(QString, path);
        QFETCH(bool, refused);
        const DriverCall call{u"SetLogFile"_s, {std::int16_t(1), path}, {}, {}};
        const std::optional<RequestError> error = refusedPath(call);
        QCOMPARE(error.has_value(), refused);
        if (refused)
            QCOMPARE(error->status, 403);
    }
};

QTEST_GUILESS_MAIN(TestServiceRequest)
#include "tst_service_request.moc"
