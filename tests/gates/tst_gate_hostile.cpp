// A hostile operator at every window of the program over the built-in device. Each window is
// reached on purpose, the way an operator reaches it, with the device made ready for it (a shift
// open, a document of its type open, the sensors clear), and then worked at random for a fixed
// seed; the main window is worked last, opening windows in whatever state the steps left. Nothing
// may crash or hang, a read that failed must not be followed by a driver call in the same
// command, every window class of the program must have been worked, and every device's database
// must stay intact with its books in balance.
// QUOLT_HOSTILE_STEPS sets the steps per window (default 60).

#include "../e2e/OperatorDesk.h"
#include "HostileOperator.h"

#include "DeviceLedger.h"
#include "DeviceNumbers.h"
#include "DeviceStore.h"
#include "TracedEmulator.h"

#include <QDir>
#include <QDirIterator>
#include <QMenu>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using hostile::HostileOperator;

namespace {

constexpr int kPort = 7;
constexpr int kOlderPort = 8; // a generation with the customer display instead of the EKLZ
constexpr int kStartPort = 9; // where a start window that got through connects
constexpr int kRounds = 3;

// The way to a window from the main window: the document opened for it (0 none), then the
// controls clicked, the first in the main window and each next in the window the last opened.
struct Route
{
    QString window;
    int documentType = DocumentType::None;
    QStringList controls;
    bool olderDevice = false;
};

QList<Route> routes()
{
    const auto document = [](const QString& window, int type) {
        return Route{window, type, {u"CmdOpenDoc"_s}};
    };
    return {
        {u"dlgBaudRate"_s, 0, {u"mnBaudRate"_s}},
        document(u"FormSale"_s, DocumentType::Sale),
        document(u"FormVoidItem"_s, DocumentType::SaleAnnulment),
        document(u"FormTextDoc"_s, DocumentType::Text),
        document(u"FormPay"_s, DocumentType::CashIn),
        document(u"FormPay"_s, DocumentType::CashOut),
        document(u"FormPay"_s, DocumentType::ReturnPayout),
        document(u"FormTextDoc"_s, DocumentType::UnnumberedText),
        document(u"FormPurchase"_s, DocumentType::Purchase),
        document(u"FormVoidPurchase"_s, DocumentType::PurchaseReturn),
        {u"dlgStatus"_s, 0, {u"CmdStatus"_s}},
        {u"dlgExtraInfo2"_s, 0, {u"CmdExtraInfo"_s}},
        {u"FormOptions"_s, 0, {u"CmdSettings"_s}},
        {u"FormTaxes"_s, 0, {u"CmdTaxes"_s}},
        {u"dlgEditChain"_s, 0, {u"CmdTaxes"_s, u"CmdEditChain_2"_s}},
        {u"FormReports"_s, 0, {u"CmdReports"_s}},
        {u"dlgInfo"_s, 0, {u"cmdInfo"_s}},
        {u"dlgEKLZ"_s, 0, {u"CmdEKLZ"_s}},
        {u"FormExtraDocData"_s, 0, {u"CmdExtraDocData"_s}},
        {u"dlgPaymentMeans"_s, 0, {u"CmdPaymentMeans"_s}},
        {u"dlgPrintDocumentMode"_s, 0, {u"CmdPrintDocumentCopyMode"_s}},
        {u"dlgLineDisplay"_s, 0, {u"CmdLineDisplay"_s}, true},
        {u"TapeWindow"_s, 0, {u"mnTape"_s}},
        {u"PanelWindow"_s, 0, {u"mnDevicePanel"_s}},
        {u"JournalWindow"_s, 0, {u"mnJournal"_s}},
    };
}

// Every window class of the program, read from its sources: the classes built on the loadable
// window template, directly or through a base of their own, less those bases.
QSet<QString> programWindows()
{
    static const QRegularExpression declaration(
        u"^class\\s+(\\w+)\\s*(?:final\\s*)?:\\s*public\\s+([\\w:]+)"_s,
        QRegularExpression::MultilineOption);
    QMap<QString, QString> baseOf;
    QSet<QString> inWindowFolders;
    const QDir root(QStringLiteral(QUOLT_SOURCE_ROOT));
    for (const QString& folder :
         {u"app"_s, u"documents"_s, u"reports"_s, u"settings"_s, u"taxes"_s, u"view"_s, u"ui"_s}) {
        QDirIterator headers(root.filePath(folder), {u"*.h"_s}, QDir::Files);
        while (headers.hasNext()) {
            QFile header(headers.next());
            if (!header.open(QIODevice::ReadOnly))
                qFatal("%s cannot be read", qPrintable(header.fileName()));
            auto found = declaration.globalMatch(QString::fromUtf8(header.readAll()));
            while (found.hasNext()) {
                const QRegularExpressionMatch m = found.next();
                baseOf.insert(m.captured(1), m.captured(2).section(u"::"_s, -1));
                if (folder != u"ui"_s)
                    inWindowFolders.insert(m.captured(1));
            }
        }
    }
    QSet<QString> windows;
    for (qsizetype before = -1; before != windows.size();) {
        before = windows.size();
        for (auto it = baseOf.cbegin(); it != baseOf.cend(); ++it) {
            if (it.value() == u"Loadable"_s || windows.contains(it.value()))
                windows.insert(it.key());
        }
    }
    QSet<QString> program;
    for (const QString& window : std::as_const(windows)) {
        if (inWindowFolders.contains(window) && !baseOf.values().contains(window))
            program.insert(window);
    }
    return program;
}

int stepsPerWindow()
{
    bool ok = false;
    const int steps = qEnvironmentVariableIntValue("QUOLT_HOSTILE_STEPS", &ok);
    return ok && steps > 0 ? steps : 60;
}

// A program at work on one device.
struct Desk
{
    int port = 0;
    std::unique_ptr<MainForm> main;
    std::shared_ptr<Driver> driver;
};

// The device as an operator would want it before opening a window: no document left open by
// the steps before, no sensor or injected fault in the way; and where asked, the shift open (a
// fresh one if it ran too long) with the main window knowing it.
void makeReady(const QString& folder, Desk& desk, bool shift)
{
    e2e::changeDevice(folder, desk.port, [](emulator::DeviceState& s) {
        s.sensors = emulator::Sensors{};
        s.sensors.slipInserted = true; // in case the steps switched slip printing on
        s.faultMember.clear();
        s.faultCode = 0;
    });
    Driver& d = *desk.driver;
    MainForm& main = *desk.main;
    main.show();
    if (d.GetDeviceInfo(DeviceInfo::DocumentOpen) != 0)
        d.CancelDocument();
    if (!shift)
        return;
    harness::setText(&main, u"TxtSessClerkID"_s, u"Кассир"_s);
    harness::setText(&main, u"TxtSessPosIS"_s, u"1"_s);
    const bool mainKnowsShift = harness::isEnabled(&main, u"CmdOpenDoc"_s);
    bool open = d.GetDeviceInfo(DeviceInfo::ShiftOpen) != 0;
    if (open && (!mainKnowsShift || d.GetDeviceInfo(DeviceInfo::ShiftTimeExceeded) != 0))
        open = d.EndSession() != 0;
    if (!open && mainKnowsShift)
        d.StartSession(u"Кассир"_s, 1);
    else if (!open)
        harness::click(&main, u"CmdOpenSession"_s);
}

// The document type chosen in the main window, with an ordinary department, cashier and order.
void chooseDocument(MainForm& main, int type)
{
    harness::click(&main, u"Option1_%1"_s.arg(type));
    harness::setText(&main, u"TxtSection"_s, u"1"_s);
    harness::setText(&main, u"TxtClerkID"_s, QString());
    harness::setText(&main, u"TXTCustomerID"_s, QString());
}

} // namespace

class TestGateHostile : public QObject
{
    Q_OBJECT

private slots:
    void everyWindowSurvivesAHostileOperator()
    {
        QTemporaryDir data;
        QVERIFY(data.isValid());
        // Log files named by hostile texts land here, not in the build tree.
        const auto restore = qScopeGuard([home = QDir::currentPath()] { QDir::setCurrent(home); });
        QDir::setCurrent(data.path());
        view::registerTracedEmulator(data.path());
        e2e::createDevice(data.path(), kOlderPort, 4, 3);
        HostileOperator hostile(20261209, stepsPerWindow(), data.path());
        hostile.spare(u"MainForm"_s, u"CmdClose"_s); // it ends the program

        std::map<int, Desk> desks;
        for (int port : {kPort, kOlderPort}) {
            QString status;
            Desk desk{port, e2e::startProgram(port, false, &status), nullptr};
            QVERIFY2(desk.main, qPrintable(status));
            desk.driver = desk.main->GetQuolt();
            auto* traced = dynamic_cast<TracingDriver*>(desk.driver.get());
            QVERIFY(traced);
            hostile.watchCalls(*traced);
            desks[port] = std::move(desk);
        }

        // Every window in turn, and again in the states the first rounds left the device in.
        QStringList missed;
        QList<Route> rounds;
        for (int round = 0; round < kRounds; ++round)
            rounds += routes();
        for (const Route& route : std::as_const(rounds)) {
            Desk& desk = desks[route.olderDevice ? kOlderPort : kPort];
            makeReady(data.path(), desk, route.documentType != DocumentType::None);
            if (route.documentType != DocumentType::None)
                chooseDocument(*desk.main, route.documentType);
            const QString& first = route.controls.first();
            if (!harness::isEnabled(desk.main.get(), first) ||
                !harness::isShown(desk.main.get(), first)) {
                missed << route.window + u": "_s + first + u" cannot be pressed"_s;
                continue;
            }
            const int before = hostile.timesWorked(route.window);
            hostile.follow(desk.main.get(), route.controls);
            // A window of the menu "Вид" stays open beside the main window.
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->isVisible() && hostile::className(window) == route.window)
                    hostile.work(window, hostile.steps());
            }
            if (hostile.timesWorked(route.window) == before)
                missed << route.window + u": "_s + harness::text(desk.main.get(), u"StatusText"_s);
        }

        // The start window, which connects to a device of its own when it gets through.
        {
            const auto earlier = QApplication::topLevelWidgets();
            StartForm start;
            start.show();
            harness::setText(&start, u"TxtComPort"_s, QString::number(kStartPort));
            hostile.work(&start, hostile.steps());
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (!earlier.contains(window) && qobject_cast<MainForm*>(window))
                    window->close();
            }
        }

        // The main window last, from an open shift on into whatever states its own steps lead to,
        // opening the other windows on the way.
        makeReady(data.path(), desks[kPort], true);
        hostile.work(desks[kPort].main.get(), hostile.steps() * 4);
        for (auto& [port, desk] : desks) {
            harness::click(desk.main.get(), u"CmdClose"_s);
            desk.main.reset();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        qInfo("windows worked: %s; %d failed reads",
              qPrintable(QStringList(hostile.seen().values()).join(u", ")), hostile.failedReads());
        QVERIFY2(missed.isEmpty(), qPrintable(u"not reached: "_s + missed.join(u"; "_s)));
        // A window added to the program without a way to it here fails the gate.
        const QSet<QString> windows = programWindows();
        QVERIFY2(hostile.seen() == windows,
                 qPrintable(u"never worked: "_s +
                            QStringList((windows - hostile.seen()).values()).join(u", "_s) +
                            u"; worked but not in the sources: "_s +
                            QStringList((hostile.seen() - windows).values()).join(u", "_s)));
        QVERIFY(hostile.failedReads() > 0); // the hostile texts did reach the readers
        QVERIFY2(hostile.faults().isEmpty(), qPrintable(hostile.faults().join(u'\n')));
        for (int port : {kPort, kOlderPort, kStartPort}) {
            const QString database = emulator::DeviceStore::databasePath(data.path(), port);
            if (port == kStartPort && !QFile::exists(database))
                continue;
            QCOMPARE(ledger::integrity(database), u"ok"_s);
            const QStringList books = ledger::disagreements(data.path(), port);
            QVERIFY2(books.isEmpty(), qPrintable(u"port %1: "_s.arg(port) + books.join(u'\n')));
        }
    }
};

QTEST_MAIN(TestGateHostile)
#include "tst_gate_hostile.moc"
