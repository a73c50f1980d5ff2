#include "DriverFactory.h"
#include "ExpectedCall.h"
#include "MainForm.h"
#include "ResultCodes.h"
#include "StartForm.h"
#include "WindowHarness.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

using Languages = QList<FakeDriver::Language>;

const Languages kTwoLanguages = {{u"Русский"_s, u"ru"_s, 25, 1}, {u"English"_s, u"en"_s, 9, 0}};

// What the defaults send before InitDevice, in order.
const QStringList kDefaultSettings = {
    u"SetPassword(text:\"735102\")"_s,
    callText(u"SetDriverOpt"_s, {DriverOption::Port, 1}),
    callText(u"SetLanguage"_s, {kTwoLanguages.constFirst().id}),
    callText(u"SetDriverOpt"_s, {DriverOption::Speed, 1}),
    callText(u"SetLogOpt"_s, {LogOption::Enabled, 1}),
    callText(u"SetLogOpt"_s, {LogOption::HighLevelLimit, 100000}),
    callText(u"SetLogOpt"_s, {LogOption::LowLevelLimit, 10000000}),
    callText(u"SetLogFile"_s, {LogFile::LowLevel, u"c:\\ll_quolt.log"_s}),
    callText(u"SetLogFile"_s, {LogFile::HighLevel, u"c:\\hl_quolt.log"_s})};

QList<MainForm*> mainWindows()
{
    QList<MainForm*> found;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows)
        if (auto* main = qobject_cast<MainForm*>(window); main && main->isVisible())
            found << main;
    return found;
}

} // namespace

Q_DECLARE_METATYPE(Languages)

class TestStartForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { qDeleteAll(mainWindows()); }

    void loadSelectsTheFlaggedLanguage_data();
    void loadSelectsTheFlaggedLanguage();
    void driverThatCannotBeCreatedEndsTheProgram();
    void initSendsTheSettingsInOrder_data();
    void initSendsTheSettingsInOrder();
    void refusedSettingStopsTheSequence_data();
    void refusedSettingStopsTheSequence();
    void unreadablePortStopsAfterThePassword_data();
    void unreadablePortStopsAfterThePassword();
    void initFailureShowsTheExtendedError();
    void tooLongShiftDialogue_data();
    void tooLongShiftDialogue();
    void browseWritesTheChosenLog_data();
    void browseWritesTheChosenLog();
    void runGoesOnFromStartToMainWindow();

private:
    std::shared_ptr<FakeDriver> m_fake;
};

void TestStartForm::init()
{
    m_fake = std::make_shared<FakeDriver>();
    m_fake->setLanguages(kTwoLanguages);
    registerDriver(kQuoltProgId, [fake = m_fake] { return fake; });
    StartForm::m_bCashPay = false;
}

void TestStartForm::loadSelectsTheFlaggedLanguage_data()
{
    QTest::addColumn<Languages>("languages");
    QTest::addColumn<int>("selected");
    QTest::newRow("no language") << Languages{} << -1;
    QTest::newRow("none flagged") << Languages{{u"A"_s, {}, 1, 0}, {u"B"_s, {}, 2, 2}} << -1;
    QTest::newRow("later flag wins")
        << Languages{{u"A"_s, {}, 1, 1}, {u"B"_s, {}, 2, 0}, {u"C"_s, {}, 3, 1}} << 2;
}

void TestStartForm::loadSelectsTheFlaggedLanguage()
{
    QFETCH(Languages, languages);
    m_fake->setLanguages(languages);
    WindowHarness harness(m_fake);
    StartForm window;
    harness.watch(&window);
    auto* list = harness::control<QComboBox>(&window, u"cbLanguages"_s);
    QCOMPARE(list->count(), languages.size());
    if (!languages.isEmpty())
        QCOMPARE(list->itemData(list->count() - 1).toInt(), languages.constLast().id);
    QTEST(list->currentIndex(), "selected");

    // Without a selected language the language step is left out.
    harness::click(&window, u"InitCommand"_s);
    QCOMPARE(m_fake->members().contains(u"SetLanguage"_s), list->currentIndex() >= 0);
}

void TestStartForm::driverThatCannotBeCreatedEndsTheProgram()
{
    registerDriver(kQuoltProgId, {});
    WindowHarness harness;
    StartForm window;
    harness.watch(&window);

    QCOMPARE(harness.messages().size(), 1);
    QVERIFY(harness.messages().constFirst().text.contains(kQuoltProgId));
    QCOMPARE(harness.endRequests(), QList<int>{1});
    QVERIFY(!harness::isEnabled(&window, u"InitCommand"_s));
    // It never reaches the screen and goes away by itself.
    QVERIFY(window.testAttribute(Qt::WA_DontShowOnScreen));
    QTRY_VERIFY(!window.isVisible());
}

void TestStartForm::initSendsTheSettingsInOrder_data()
{
    QTest::addColumn<bool>("logging");
    QTest::addColumn<bool>("cash");
    QTest::addColumn<Languages>("languages");
    QTest::addColumn<int>("speedRow");
    QTest::addColumn<QStringList>("settings");

    const QStringList connection = kDefaultSettings.mid(0, 4);
    QTest::newRow("defaults") << true << false << kTwoLanguages << 1 << kDefaultSettings;
    QTest::newRow("caching, no log")
        << false << true << kTwoLanguages << 1
        << (QStringList(connection)
            << callText(u"SetDriverOpt"_s, {DriverOption::CachePayments, 1}));
    QTest::newRow("no language, 1M is position 9")
        << false << false << Languages{} << 9
        << QStringList{connection.at(0), connection.at(1),
                       callText(u"SetDriverOpt"_s, {DriverOption::Speed, 9})};
}

void TestStartForm::initSendsTheSettingsInOrder()
{
    QFETCH(bool, logging);
    QFETCH(bool, cash);
    QFETCH(Languages, languages);
    QFETCH(QStringList, settings);
    m_fake->setLanguages(languages);
    WindowHarness harness(m_fake);
    StartForm window;
    harness.watch(&window);
    harness::control<QCheckBox>(&window, u"CheckEnableLog"_s)->setChecked(logging);
    harness::control<QCheckBox>(&window, u"CheckCash"_s)->setChecked(cash);
    QFETCH(int, speedRow);
    harness::control<QComboBox>(&window, u"cbBaudRate"_s)->setCurrentIndex(speedRow);
    m_fake->clearRecords();

    harness::click(&window, u"InitCommand"_s);

    QCOMPARE(m_fake->commands(), settings << u"InitDevice()"_s);
    QCOMPARE(m_fake->last(u"InitDevice"_s)->status, u"Инициализация..."_s);
    QCOMPARE(StartForm::m_bCashPay, cash);
    // The main window takes over the same driver object and the start window goes.
    QCOMPARE(harness::text(&window, u"StatusText"_s), FakeDriver::comment(ErrorCode::NoError));
    const QList<MainForm*> opened = mainWindows();
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.constFirst()->GetQuolt(), std::static_pointer_cast<Driver>(m_fake));
    QVERIFY(!window.isVisible());
}

void TestStartForm::refusedSettingStopsTheSequence_data()
{
    QTest::addColumn<QString>("member");
    QTest::addColumn<int>("index"); // the first argument refused, -1 for any
    QTest::addColumn<int>("sent");  // how many of the default settings went out
    QTest::addColumn<QString>("status");

    const QString logFailure = u"Ошибка при задании log-файла: "_s + FakeDriver::comment(3);
    QTest::newRow("password") << u"SetPassword"_s << -1 << 1 << FakeDriver::comment(3);
    QTest::newRow("port") << u"SetDriverOpt"_s << int(DriverOption::Port) << 2
                          << FakeDriver::comment(3);
    QTest::newRow("language") << u"SetLanguage"_s << -1 << 3 << FakeDriver::comment(3);
    QTest::newRow("low-level log, before the high-level one")
        << u"SetLogFile"_s << int(LogFile::LowLevel) << 8 << logFailure;
    QTest::newRow("high-level log")
        << u"SetLogFile"_s << int(LogFile::HighLevel) << 9 << logFailure;
}

void TestStartForm::refusedSettingStopsTheSequence()
{
    QFETCH(QString, member);
    QFETCH(int, index);
    QFETCH(int, sent);
    if (index < 0)
        m_fake->answer(member, 3);
    else
        m_fake->answerAt(member, index, 3);
    // Refusals of the unchecked settings go unnoticed.
    m_fake->answerAt(u"SetDriverOpt"_s, DriverOption::Speed, 7);
    m_fake->answer(u"SetLogOpt"_s, 7);
    WindowHarness harness(m_fake);
    StartForm window;
    harness.watch(&window);
    m_fake->clearRecords();

    harness::click(&window, u"InitCommand"_s);

    QCOMPARE(m_fake->commands(), kDefaultSettings.mid(0, sent));
    QTEST(harness::text(&window, u"StatusText"_s), "status");
    QVERIFY(window.isVisible());
    QVERIFY(mainWindows().isEmpty());
}

void TestStartForm::unreadablePortStopsAfterThePassword_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("status");
    QTest::newRow("text") << u"COM1"_s << u"COM - порт: не число"_s;
    QTest::newRow("beyond 32 bits")
        << u"2147483648"_s << u"COM - порт: допустимо от -2147483648 до 2147483647"_s;
}

void TestStartForm::unreadablePortStopsAfterThePassword()
{
    QFETCH(QString, port);
    WindowHarness harness(m_fake);
    StartForm window;
    harness.watch(&window);
    harness::setText(&window, u"TxtComPort"_s, port);
    m_fake->clearRecords();

    harness::click(&window, u"InitCommand"_s);

    QCOMPARE(m_fake->calls(), QStringList{u"SetPassword(text:\"735102\")"_s});
    QTEST(harness::text(&window, u"StatusText"_s), "status");
    QCOMPARE(harness::control<QLineEdit>(&window, u"TxtComPort"_s)->selectedText(), port);
}

void TestStartForm::initFailureShowsTheExtendedError()
{
    m_fake->answer(u"InitDevice"_s, 7);
    m_fake->answer(u"GetErrorCode2"_s, 4321);
    WindowHarness harness(m_fake);
    StartForm window;
    harness.watch(&window);

    harness::click(&window, u"InitCommand"_s);

    QCOMPARE(m_fake->last(u"GetErrorComment2"_s)->call.toString(),
             callText(u"GetErrorComment2"_s, {4321}));
    QCOMPARE(harness::text(&window, u"StatusText"_s), FakeDriver::comment(7));
    QCOMPARE(harness::text(&window, u"ExtendedErrorText"_s), FakeDriver::comment2(4321));
    QVERIFY(window.isVisible());
    QVERIFY(mainWindows().isEmpty());
    QVERIFY(harness.messages().isEmpty());

    // The next attempt fails earlier: the description of the last one no longer applies.
    m_fake->answer(u"SetPassword"_s, resultCode(ErrorCode::WrongPassword));
    harness::click(&window, u"InitCommand"_s);
    QCOMPARE(harness::text(&window, u"StatusText"_s),
             FakeDriver::comment(ErrorCode::WrongPassword));
    QCOMPARE(harness::text(&window, u"ExtendedErrorText"_s), QString());
}

void TestStartForm::tooLongShiftDialogue_data()
{
    QTest::addColumn<forms::Answer>("answer");
    QTest::addColumn<int>("endSession"); // EndSession's answer, -1 when it must not be called
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("ends");

    QTest::newRow("no")
        << forms::Answer::No << -1
        << u"Необходимо закрыть смену для продолжения работы. Приложение будет закрыто."_s << true;
    QTest::newRow("yes, closing fails")
        << forms::Answer::Yes << 8
        << u"Ошибка при закрытии смены: comment(8). Возможно, требуется ручное вмешательство в работу устройства. Приложение будет закрыто."_s
        << true;
    QTest::newRow("yes, shift closed")
        << forms::Answer::Yes << 0
        << u"Смена закрыта. Необходимо заново подать команду инициализации устройства."_s << false;
}

void TestStartForm::tooLongShiftDialogue()
{
    QFETCH(forms::Answer, answer);
    QFETCH(int, endSession);
    QFETCH(bool, ends);
    m_fake->answer(u"InitDevice"_s, resultCode(ErrorCode::ShiftTooLong));
    m_fake->answer(u"EndSession"_s, endSession);
    WindowHarness harness(m_fake);
    StartForm window;
    harness.watch(&window);
    harness.answerMessages({answer});
    m_fake->clearRecords();

    harness::click(&window, u"InitCommand"_s);

    QCOMPARE(m_fake->commands().contains(u"EndSession()"_s), endSession >= 0);
    QCOMPARE(
        harness::text(&window, u"StatusText"_s),
        FakeDriver::comment(endSession >= 0 ? endSession : resultCode(ErrorCode::ShiftTooLong)));
    QCOMPARE(harness.messages().size(), 2);
    const WindowHarness::Message question = harness.messages().at(0);
    QCOMPARE(question.text, u"Превышена продолжительность смены. Закрыть смену?"_s);
    QCOMPARE(question.title, u"Информация"_s);
    QVERIFY(question.yesNo);
    QTEST(harness.messages().at(1).text, "message");
    QCOMPARE(harness.messages().at(1).title, forms::programTitle());
    QCOMPARE(harness.endRequests(), ends ? QList<int>{0} : QList<int>{});
    QVERIFY(mainWindows().isEmpty());
}

void TestStartForm::browseWritesTheChosenLog_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("title");
    QTest::addColumn<std::optional<QString>>("chosen");
    QTest::addColumn<QString>("expected");

    QTest::newRow("low level, OK")
        << u"CmdLLLog"_s << u"TxtLLLog"_s << u"Low level log file"_s
        << std::optional<QString>(u"/var/log/q.log"_s) << u"/var/log/q.log"_s;
    QTest::newRow("high level, cancel")
        << u"CmdHLLog"_s << u"TxtHLLog"_s << u"High level log file"_s << std::optional<QString>()
        << u"c:\\hl_quolt.log"_s;
}

void TestStartForm::browseWritesTheChosenLog()
{
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(std::optional<QString>, chosen);
    WindowHarness harness(m_fake);
    StartForm window;
    harness.watch(&window);
    harness.answerOpenFile(chosen);

    harness::click(&window, button);

    QCOMPARE(harness.fileRequests().size(), 1);
    const forms::OpenFileRequest request = harness.fileRequests().constFirst();
    QCOMPARE(request.filter, u"Log Files(*.log)|*.log|All Files (*.*)|*.*"_s);
    QCOMPARE(request.filterIndex, 1);
    QTEST(request.title, "title");
    QCOMPARE(request.initialDirectory, u"."_s);
    QCOMPARE(request.defaultExtension, u"log"_s);
    QVERIFY(request.pathMustExist);
    QTEST(harness::text(&window, box), "expected");
    QVERIFY(harness.messages().isEmpty());
}

void TestStartForm::runGoesOnFromStartToMainWindow()
{
    // Through the real event loop, as the program runs: the start window handing over to the
    // main window must not end the run; closing the main window must.
    auto* start = new StartForm;
    start->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<StartForm> startGone = start;
    bool mainShown = false;
    QTimer::singleShot(0, start, &QWidget::show);
    QTimer::singleShot(0, start, [&] {
        harness::click(start, u"InitCommand"_s);
        QTimer::singleShot(10, qApp, [&] {
            const QList<MainForm*> opened = mainWindows();
            mainShown = opened.size() == 1;
            if (mainShown)
                harness::click(opened.constFirst(), u"CmdClose"_s);
            else
                QCoreApplication::exit(5);
        });
    });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(6); });

    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(mainShown);
    QVERIFY(!startGone);
    QCOMPARE(m_fake->commands().mid(m_fake->commands().size() - 2),
             QStringList({u"InitDevice()"_s, u"DeinitDevice()"_s}));
}

QTEST_MAIN(TestStartForm)
#include "tst_startform.moc"
