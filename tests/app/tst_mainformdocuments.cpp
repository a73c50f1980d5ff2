// The main window's documents: what opening one asks of the device by generation, which window
// each type opens, and a document that a refusal or the operator leaves open.

#include "FormPay.h"
#include "FormTextDoc.h"
#include "MainFormRig.h"
#include "ResultCodes.h"
#include "Seams.h"

#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(forms::Answer)

class TestMainFormDocuments : public QObject
{
    Q_OBJECT

private slots:
    void documentExtraDataByGeneration_data();
    void documentExtraDataByGeneration();
    void documentWindowByType_data();
    void documentWindowByType();
    void departmentRead_data();
    void departmentRead();
    void refusedDocumentOpensNoWindow();
    void documentLeftOpenCanBeCancelled_data();
    void documentLeftOpenCanBeCancelled();
};

void TestMainFormDocuments::documentExtraDataByGeneration_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<QString>("extraData");

    QTest::newRow("2") << 2 << QString();
    QTest::newRow("3") << 3 << u"SetExtraDocData(int32:42, int32:81, int32:82, text:\"v80\")"_s;
    QTest::newRow("4")
        << 4 << u"SetExtraDocData2(text:\"s42\", text:\"s81\", text:\"s82\", text:\"v80\")"_s;
}

void TestMainFormDocuments::documentExtraDataByGeneration()
{
    QFETCH(int, major);
    QFETCH(QString, extraData);
    Loaded loaded(major);
    MainForm& w = loaded.window;
    w.m_lValDesc42 = 42;
    w.m_lValDesc81 = 81;
    w.m_lValDesc82 = 82;
    w.m_sValDesc42 = u"s42"_s;
    w.m_sValDesc81 = u"s81"_s;
    w.m_sValDesc82 = u"s82"_s;
    w.m_sValDesc80 = u"v80"_s;
    // A refused extra data call does not stop the opening.
    loaded.fake->answer(u"SetExtraDocData"_s, 5);
    loaded.fake->answer(u"SetExtraDocData2"_s, 5);

    harness::click(&w, u"CmdOpenDoc"_s);

    const QStringList expected =
        extraData.isEmpty() ? QStringList{kStartSale} : QStringList{extraData, kStartSale};
    // What the sale window sends once it has opened is its own business.
    QCOMPARE(loaded.fake->commands().mid(0, expected.size()), expected);
    QCOMPARE(loaded.fake->calls().constFirst(),
             callText(u"GetDeviceInfo"_s, {DeviceInfo::MajorVersion}));
    if (!extraData.isEmpty())
        QCOMPARE(loaded.fake->records().at(1).status, u"Дополнительные данные документа..."_s);
    QCOMPARE(loaded.fake->last(u"StartDocument"_s)->status, u"Открытие документа..."_s);
    QCOMPARE(loaded.status(), statusOf(0));
    QCOMPARE(loaded.harness.modalsShown(), QStringList{u"FormSale"_s});
}

void TestMainFormDocuments::documentWindowByType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("windowClass");
    QTest::addColumn<QString>("caption");  // FormPay's caption
    QTest::addColumn<int>("documentType"); // FormTextDoc's m_DocumentType

    QTest::newRow("1 sale") << DocumentType::Sale << u"FormSale"_s << QString() << 0;
    QTest::newRow("2 sale annulment")
        << DocumentType::SaleAnnulment << u"FormVoidItem"_s << QString() << 0;
    QTest::newRow("3 text") << DocumentType::Text << u"FormTextDoc"_s << QString()
                            << DocumentType::Text;
    QTest::newRow("4 cash-in") << DocumentType::CashIn << u"FormPay"_s << u"Внесение"_s << 0;
    QTest::newRow("5 cash-out") << DocumentType::CashOut << u"FormPay"_s << u"Выплата"_s << 0;
    QTest::newRow("6 returned goods")
        << DocumentType::ReturnPayout << u"FormPay"_s << u"Возврат"_s << 0;
    QTest::newRow("7 text without number") << DocumentType::UnnumberedText << u"FormTextDoc"_s
                                           << QString() << DocumentType::UnnumberedText;
    QTest::newRow("8 purchase") << DocumentType::Purchase << u"FormPurchase"_s << QString() << 0;
    QTest::newRow("9 purchase return")
        << DocumentType::PurchaseReturn << u"FormVoidPurchase"_s << QString() << 0;
}

void TestMainFormDocuments::documentWindowByType()
{
    QFETCH(int, type);
    QFETCH(QString, windowClass);
    Loaded loaded;
    QString caption;
    int documentType = 0;
    loaded.harness.onModal<FormPay>([&](FormPay& w) { caption = w.windowTitle(); });
    loaded.harness.onModal<FormTextDoc>([&](FormTextDoc& w) { documentType = w.m_DocumentType; });
    harness::click(&loaded.window, u"Option1_%1"_s.arg(type));

    harness::click(&loaded.window, u"CmdOpenDoc"_s);

    QCOMPARE(loaded.fake->last(u"StartDocument"_s)->call.toString(),
             callText(u"StartDocument"_s, {type, std::int16_t(1), u"1"_s, u"Кассир2"_s}));
    QCOMPARE(loaded.harness.modalsShown(), QStringList{windowClass});
    QCOMPARE(loaded.harness.ownersOfModals(), QStringList{u"MainForm"_s});
    QTEST(caption, "caption");
    QTEST(documentType, "documentType");
}

void TestMainFormDocuments::departmentRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("department");
    QTest::addColumn<QString>("refusal"); // empty: the document is opened

    const QString notANumber = u"N Отдела: не число"_s;
    const QString outOfRange = u"N Отдела: допустимо от -32768 до 32767"_s;
    QTest::newRow("whole number") << u"12"_s << 12 << QString();
    QTest::newRow("blanks around") << u" 7 "_s << 7 << QString();
    QTest::newRow("half to even, down") << u"2.5"_s << 2 << QString();
    QTest::newRow("half to even, up") << u"3.5"_s << 4 << QString();
    QTest::newRow("16-bit minimum") << u"-32768"_s << -32768 << QString();
    QTest::newRow("text after the number") << u"12abc"_s << 0 << notANumber;
    QTest::newRow("no number") << u"abc"_s << 0 << notANumber;
    QTest::newRow("empty") << QString() << 0 << notANumber;
    QTest::newRow("blank inside") << u"1 2"_s << 0 << notANumber;
    QTest::newRow("beyond 16 bits") << u"40000"_s << 0 << outOfRange;
}

void TestMainFormDocuments::departmentRead()
{
    QFETCH(QString, text);
    QFETCH(int, department);
    QFETCH(QString, refusal);
    Loaded loaded;
    loaded.window.m_nSection = 99;
    harness::setText(&loaded.window, u"TxtSection"_s, text);

    harness::click(&loaded.window, u"CmdOpenDoc"_s);

    if (!refusal.isEmpty()) {
        QVERIFY(loaded.fake->calls().isEmpty());
        QCOMPARE(loaded.status(), refusal);
        QCOMPARE(loaded.window.m_nSection, std::int16_t(99));
        QVERIFY(loaded.harness.modalsShown().isEmpty());
    } else {
        QCOMPARE(loaded.fake->last(u"StartDocument"_s)->call.arguments.at(1),
                 DriverArgument(std::int16_t(department)));
        QCOMPARE(loaded.window.m_nSection, std::int16_t(department));
    }
}

void TestMainFormDocuments::refusedDocumentOpensNoWindow()
{
    // The first sale window is closed by its frame and leaves the document open on the device,
    // which refuses the next opening: its words stay in the status line.
    Loaded loaded(2);
    loaded.fake->queue(u"StartDocument"_s, {0, 33});
    harness::click(&loaded.window, u"CmdOpenDoc"_s);
    harness::setText(&loaded.window, u"TxtSection"_s, u"3"_s);
    harness::click(&loaded.window, u"CmdOpenDoc"_s);

    QCOMPARE(loaded.fake->members().count(u"StartDocument"_s), 2);
    QCOMPARE(loaded.harness.modalsShown(), QStringList{u"FormSale"_s});
    QCOMPARE(loaded.status(), statusOf(33));
    QCOMPARE(loaded.window.m_nSection, std::int16_t(3)); // kept all the same
}

void TestMainFormDocuments::documentLeftOpenCanBeCancelled_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("documentOpen"); // the device's open-document indicator after the refusal
    QTest::addColumn<forms::Answer>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("status");

    const QString start = kStartSale;
    const QString end = u"EndSession()"_s;
    const QString cancel = u"CancelDocument()"_s;
    const QString refused = statusOf(int(ErrorCode::DocumentAlreadyOpen));
    const QString cancelled = statusOf(7);
    QTest::newRow("opening, yes") << u"CmdOpenDoc"_s << 1 << forms::Answer::Yes << 1
                                  << QStringList{start, cancel} << cancelled;
    QTest::newRow("opening, no") << u"CmdOpenDoc"_s << 1 << forms::Answer::No << 1
                                 << QStringList{start} << refused;
    QTest::newRow("opening, no document open")
        << u"CmdOpenDoc"_s << 0 << forms::Answer::Yes << 0 << QStringList{start} << refused;
    QTest::newRow("closing the shift, yes") << u"CmdCloseSession"_s << 1 << forms::Answer::Yes << 1
                                            << QStringList{end, cancel} << cancelled;
    QTest::newRow("closing the shift, no")
        << u"CmdCloseSession"_s << 1 << forms::Answer::No << 1 << QStringList{end} << refused;
    QTest::newRow("closing the shift, no document open")
        << u"CmdCloseSession"_s << 0 << forms::Answer::Yes << 0 << QStringList{end} << refused;
}

void TestMainFormDocuments::documentLeftOpenCanBeCancelled()
{
    QFETCH(QString, button);
    QFETCH(int, documentOpen);
    QFETCH(forms::Answer, answer);
    QFETCH(int, questions);
    QFETCH(QStringList, commands);
    Loaded loaded(2);
    const int refusal = int(ErrorCode::DocumentAlreadyOpen);
    loaded.fake->answer(u"StartDocument"_s, refusal);
    loaded.fake->answer(u"EndSession"_s, refusal);
    loaded.fake->answer(u"CancelDocument"_s, 7);
    loaded.fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::DocumentOpen, documentOpen);
    loaded.harness.answerMessages({answer});
    const QList<bool> buttons = loaded.shiftButtons();

    harness::click(&loaded.window, button);

    QCOMPARE(loaded.fake->commands(), commands);
    QCOMPARE(loaded.harness.messages().size(), questions);
    if (questions > 0) {
        const auto& question = loaded.harness.messages().constFirst();
        QCOMPARE(question.text, u"На устройстве открыт документ. Отменить его?"_s);
        QCOMPARE(question.title, forms::programTitle());
        QVERIFY(question.yesNo);
    }
    if (commands.size() > 1)
        QCOMPARE(loaded.fake->last(u"CancelDocument"_s)->status, u"Отмена документа..."_s);
    QTEST(loaded.status(), "status");
    QVERIFY(loaded.harness.modalsShown().isEmpty());
    QCOMPARE(loaded.shiftButtons(), buttons);
    QVERIFY(loaded.window.bSessionOpen);
}

QTEST_MAIN(TestMainFormDocuments)
#include "tst_mainformdocuments.moc"
