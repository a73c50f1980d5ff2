#include "CallDispatch.h"
#include "CallScript.h"
#include "DeviceNumbers.h"
#include "ExpectedCall.h"
#include "FakeDriver.h"

#include <QBuffer>
#include <QJsonArray>
#include <QSet>
#include <QtTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using Kind = DriverArgument::Kind;

// Scripts of driver calls: what the journal writes reads back as the same calls, every member of
// the contract runs from its recording, and a faulty script is refused whole with its line.
// The count of the contract's members: a member dropped from the table must not go unnoticed.
constexpr qsizetype kMemberCount = 80;

class TestCallScript : public QObject
{
    Q_OBJECT

private slots:
    void everyMemberRunsFromItsRecording();
    void theQueriesAreTheGetMembers();
    void outParametersReplayAsRecorded();
    void faultyScriptsAreRefusedWhole_data();
    void faultyScriptsAreRefusedWhole();
    void aSourceThatFailsIsRefused();
    void replayStopsAtTheFirstDifferentResult();
};

namespace {

// A value of the kind that differs at every position, so that arguments passed in another order
// do not read as the same call.
DriverArgument sample(Kind kind, int position)
{
    switch (kind) {
    case Kind::Int16:
        return std::int16_t(-7 - position);
    case Kind::Int32:
        return std::int32_t(2'000'000'000 + position);
    case Kind::Double:
        return 5000.25 + position;
    case Kind::Text:
        return u"Чай \"зелёный\"\t№"_s + QString::number(position);
    case Kind::Date:
        return QDate(2026, 12, 8).addDays(position);
    case Kind::Bool:
        return position % 2 == 0;
    case Kind::General:
        break;
    }
    return QVariant::fromValue(std::int16_t(8 + position));
}

std::optional<QList<callscript::ScriptCall>> readScript(const QByteArray& text, QString* error)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    return callscript::read(buffer, error);
}

// A source that gives its first bytes and then fails, as a pipe or a vanished file can.
class FailingSource : public QIODevice
{
public:
    explicit FailingSource(QByteArray first) : m_first(std::move(first)) { open(ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 1 + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        if (m_first.isEmpty())
            return -1;
        const qint64 n = std::min<qint64>(max, m_first.size());
        std::copy_n(m_first.constData(), n, data);
        m_first.remove(0, n);
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_first;
};

} // namespace

void TestCallScript::everyMemberRunsFromItsRecording()
{
    const QStringList members = dispatch::memberNames();
    QCOMPARE(members.size(), kMemberCount);
    QCOMPARE(QSet<QString>(members.cbegin(), members.cend()).size(), kMemberCount);
    for (const QString& member : members) {
        DriverCall call{member, {}, {}, {}};
        // Kept in a variable: a range-for over *signature(...) would outlive the optional.
        const std::optional<QList<Kind>> kinds = dispatch::signature(member);
        QVERIFY(kinds);
        for (const Kind kind : *kinds)
            call.arguments << sample(kind, int(call.arguments.size()));
        // Written and read back, the call is the same call...
        QString error;
        const auto script = readScript(callscript::header() + callscript::line(call), &error);
        QVERIFY2(script, qPrintable(member + u": "_s + error));
        QCOMPARE(script->size(), 1);
        QCOMPARE(script->at(0).call.member, member);
        QVERIFY2(script->at(0).call.arguments == call.arguments, qPrintable(member));
        // ...and run, it reaches the driver as the member it names, with the same arguments in
        // the same places, and the driver's answer comes back.
        FakeDriver fake;
        fake.answer(member, 9);
        const QVariant answered = dispatch::run(fake, script->at(0).call);
        QCOMPARE(fake.records().size(), 1);
        QCOMPARE(fake.records().at(0).call.toString(), call.toString());
        const bool withOuts = answered.metaType().id() == QMetaType::QVariantList;
        QCOMPARE((withOuts ? answered.toList().value(0) : answered).toInt(), 9);
    }
}

void TestCallScript::theQueriesAreTheGetMembers()
{
    // GetLanguageInfo answers a result code and passes its values out through its parameters.
    for (const QString& member : dispatch::memberNames()) {
        const bool query = member.startsWith(u"Get"_s) && member != u"GetLanguageInfo";
        QVERIFY2(DriverCall::isQuery(member) == query, qPrintable(member));
        DriverCall call{member, {}, QVariant::fromValue(std::int16_t(22)), {}};
        QCOMPARE(call.resultCode(), query ? std::nullopt : std::optional<int>(22));
    }
}

void TestCallScript::outParametersReplayAsRecorded()
{
    QString error;
    const auto script = readScript(
        callscript::header() +
            R"({"member":"GetLanguageInfo","args":[{"int32":2}],"result":[0,"English","en",1033,0]})",
        &error);
    QVERIFY2(script, qPrintable(error));
    FakeDriver fake;
    fake.setLanguages({{u"Русский"_s, u"ru"_s, 1049, 1}, {u"English"_s, u"en"_s, 1033, 0}});
    QVERIFY(!dispatch::replay(fake, *script));
    QCOMPARE(fake.calls(), QStringList{callText(u"GetLanguageInfo"_s, {2})});

    // The values passed out are compared too, not only the result code.
    fake.setLanguages({{u"Русский"_s, u"ru"_s, 1049, 1}, {u"English"_s, u"en"_s, 1033, 1}});
    const std::optional<dispatch::Divergence> divergence = dispatch::replay(fake, *script);
    QVERIFY(divergence);
    QCOMPARE(divergence->replayed, QJsonValue(QJsonArray{0, u"English"_s, u"en"_s, 1033, 1}));
}

void TestCallScript::faultyScriptsAreRefusedWhole_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("error");

    const QByteArray head = callscript::header();
    const QByteArray good = R"({"member":"InitDevice","args":[],"result":0})"
                            "\n";
    QTest::newRow("empty") << QByteArray() << u"line 1: the script is empty"_s;
    QTest::newRow("not the format") << QByteArray(R"({"format":"other","version":1})")
                                    << u"line 1: not a script of driver calls"_s;
    QTest::newRow("newer version") << QByteArray(R"({"format":"quolt-calls","version":2})")
                                   << u"line 1: format version 2 is newer"_s;
    QTest::newRow("not JSON") << head + good + "{member" << u"line 3: not a JSON object"_s;
    QTest::newRow("unknown member") << head + R"({"member":"Format","args":[]})"
                                    << u"line 2: no driver member is called \"Format\""_s;
    QTest::newRow("unknown key") << head + R"({"member":"InitDevice","args":[],"when":1})"
                                 << u"line 2: unknown key when"_s;
    QTest::newRow("too few arguments") << head + R"({"member":"SetClerk","args":[]})"
                                       << u"line 2: SetClerk takes 1 arguments, not 0"_s;
    QTest::newRow("wrong kind")
        << head + good + R"({"member":"SetClerk","args":[{"int32":1}]})"
        << u"line 3: argument 1 of SetClerk: the member takes text here, not int32"_s;
    QTest::newRow("int16 out of range")
        << head + R"({"member":"PrintReport","args":[{"int16":40000}]})"
        << u"line 2: argument 1 of PrintReport: not a value of kind int16"_s;
    QTest::newRow("a fraction for a whole number")
        << head + R"({"member":"PrintReport","args":[{"int16":1.5}]})"
        << u"line 2: argument 1 of PrintReport: not a value of kind int16"_s;
    QTest::newRow("not a date")
        << head + R"({"member":"EKLZPrintReportByDate","args":[{"int16":9},{"int32":0},)"
                  R"({"date":"2026-02-30"},{"date":"2026-03-01"}]})"
        << u"line 2: argument 3 of EKLZPrintReportByDate: not a value of kind date"_s;
    QTest::newRow("a general value of two kinds")
        << head + R"({"member":"VoidReturnTare","args":[{"int32":1},)"
                  R"({"general":{"int16":1,"text":"1"}}]})"
        << u"line 2: argument 2 of VoidReturnTare: a general value is {} or an object"_s;
    QTest::newRow("a line too long")
        << head + R"({"member":"SetClerk","args":[{"text":")" + QByteArray(70'000, 'x') + "\"}]}"
        << u"line 2: longer than 65536 bytes"_s;
}

void TestCallScript::faultyScriptsAreRefusedWhole()
{
    QFETCH(QByteArray, script);
    QFETCH(QString, error);
    QString said;
    QVERIFY(!readScript(script, &said));
    QVERIFY2(said.startsWith(error), qPrintable(said));
}

void TestCallScript::aSourceThatFailsIsRefused()
{
    FailingSource source(callscript::header());
    QString said;
    QVERIFY(!callscript::read(source, &said));
    QCOMPARE(said, u"line 2: cannot be read"_s);
}

void TestCallScript::replayStopsAtTheFirstDifferentResult()
{
    QString error;
    const auto script =
        readScript(callscript::header() + R"({"member":"InitDevice","args":[],"result":0})"
                                          "\n"
                                          R"({"member":"GetDeviceInfo","args":[{"int16":4}]})"
                                          "\n"
                                          R"({"member":"OpenDrawer","args":[],"result":0})"
                                          "\n"
                                          R"({"member":"EndSession","args":[],"result":0})"
                                          "\n"
                                          R"({"member":"PrintDuplicate","args":[],"result":0})",
                   &error);
    QVERIFY2(script, qPrintable(error));
    FakeDriver fake;
    fake.answerAt(u"GetDeviceInfo"_s, DeviceInfo::ShiftOpen, 1); // not compared: no result
    fake.answer(u"EndSession"_s, 22);
    const std::optional<dispatch::Divergence> divergence = dispatch::replay(fake, *script);
    QVERIFY(divergence);
    QCOMPARE(divergence->line, 5);
    QCOMPARE(divergence->member, u"EndSession"_s);
    QCOMPARE(divergence->recorded, QJsonValue(0));
    QCOMPARE(divergence->replayed, QJsonValue(22));
    QCOMPARE(fake.members().constLast(), u"EndSession"_s); // nothing ran after it
}

QTEST_GUILESS_MAIN(TestCallScript)
#include "tst_callscript.moc"
