#include "EmulatorFixture.h"
#include "ExpectedCall.h"
#include "MainForm.h"
#include "PaymentMeans.h"
#include "StatusLine.h"
#include "WindowHarness.h"
#include "dlgPaymentMeans.h"

#include <QCheckBox>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = dlgPaymentMeans::kRows;
// The card column's control name has a Cyrillic "с" in fifth place.
const QString kCard = u"Che\u0441kIsCard"_s;
const QStringList kFlagColumns{kCard, u"CheckDoCheckTotal"_s, u"CheckDrawer"_s, u"CheckChange"_s};
const std::array<std::int16_t, 4> kFlagBases{
    DeviceInfo::PaymentMeanCardBase, DeviceInfo::PaymentMeanCashBase,
    DeviceInfo::PaymentMeanDrawerBase, DeviceInfo::PaymentMeanChangeBase};
// The device's flags, one string of rows 1 to 8 per column, each a digit the device answers; "-"
// answers -1, a read the device refused.
const QStringList kDeviceFlags{u"10100021"_s, u"00000001"_s, u"01000011"_s, u"00000101"_s};
const QStringList kCardsUnread{u"--------"_s, u"00000001"_s, u"01000011"_s, u"00000101"_s};

QString statusOf(int code)
{
    return forms::statusText(FakeDriver::comment(code));
}

QStringList deviceNames()
{
    QStringList names;
    for (int n = 1; n <= kRows; ++n)
        names << u"СРЕДСТВО %1"_s.arg(n);
    return names;
}

// The window opened over a device of major version `major` with the table above.
struct Opened
{
    Opened(int major, bool shiftOpen, const QStringList& deviceFlags = kDeviceFlags)
        : fake(std::make_shared<FakeDriver>())
    {
        fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::ShiftOpen, shiftOpen ? 1 : 0);
        const QStringList names = deviceNames();
        for (int n = 1; n <= kRows; ++n) {
            fake->answerAt(u"GetTextDeviceInfo"_s, TextInfo::PaymentMeanNameBase + n, names[n - 1]);
            for (int column = 0; column < 4; ++column)
                fake->answerAt(u"GetDeviceInfo"_s, kFlagBases[column] + n,
                               deviceFlags[column][n - 1].digitValue());
        }
        main.m_MajorVersion = major;
        harness.watch(&window);
    }

    QString name(int row) { return harness::text(&window, u"txtPMName_%1"_s.arg(row)); }
    QStringList names()
    {
        QStringList texts;
        for (int i = 0; i < kRows; ++i)
            texts << name(i);
        return texts;
    }
    // One string per column: "1" for a checked row, "0" for an unchecked one, "-" for a box
    // that shows its flag as not known.
    QStringList flags()
    {
        QStringList columns;
        for (const QString& column : kFlagColumns) {
            QString marks;
            for (int i = 0; i < kRows; ++i) {
                const auto* box = harness::control<QCheckBox>(&window, column + u"_%1"_s.arg(i));
                marks += box->checkState() == Qt::PartiallyChecked ? u'-'
                         : box->isChecked()                        ? u'1'
                                                                   : u'0';
            }
            columns << marks;
        }
        return columns;
    }
    // The columns whose boxes are enabled in every row.
    QStringList enabledColumns()
    {
        QStringList enabled;
        for (const QString& column : QStringList{u"txtPMName"_s} + kFlagColumns) {
            bool all = true;
            for (int i = 0; i < kRows; ++i)
                all = all && harness::isEnabled(&window, column + u"_%1"_s.arg(i));
            if (all)
                enabled << column;
        }
        return enabled;
    }

    std::shared_ptr<FakeDriver> fake;
    WindowHarness harness{fake};
    MainForm main{fake};
    dlgPaymentMeans window{main};
};

QString rowCall(int n, const QString& name, const QString& flags)
{
    return callText(u"SetPaymentMean"_s,
                    {std::int32_t(n), name, std::int32_t(flags[0].digitValue()),
                     std::int32_t(flags[1].digitValue()), std::int32_t(flags[2].digitValue()),
                     std::int32_t(flags[3].digitValue())});
}

// The eight calls for the device's table with `names`, with row `changed` given `flags`.
QStringList tableCalls(const QStringList& names, int changed = 0, const QString& flags = {})
{
    QStringList calls;
    for (int n = 1; n <= kRows; ++n) {
        QString rowFlags;
        for (int column = 0; column < 4; ++column)
            rowFlags += kDeviceFlags[column][n - 1] == u'1' ? u'1' : u'0';
        calls << rowCall(n, names[n - 1], n == changed ? flags : rowFlags);
    }
    return calls;
}

} // namespace

class TestDlgPaymentMeans : public QObject
{
    Q_OBJECT

private slots:
    void loading_data();
    void loading();
    void applying_data();
    void applying();
    void unreadFlagsAreNotWritten_data();
    void unreadFlagsAreNotWritten();
    void cardFlagsSurviveAnApplyOnTheDevice_data();
    void cardFlagsSurviveAnApplyOnTheDevice();
};

void TestDlgPaymentMeans::loading_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<bool>("shiftOpen");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("infoShown");
    QTest::addColumn<QStringList>("enabled");

    const QStringList all = QStringList{u"txtPMName"_s} + kFlagColumns;
    QTest::newRow("5 reads the names") << 5 << false << deviceNames() << false << all;
    QTest::newRow("4 shows the defaults and the note")
        << 4 << false << defaultPaymentMeanNames() << true << all;
    QTest::newRow("shift open: cash and change fixed")
        << 6 << true << deviceNames() << false
        << QStringList{u"txtPMName"_s, kCard, u"CheckDrawer"_s};
    QTest::newRow("4 with the shift open") << 4 << true << defaultPaymentMeanNames() << true
                                           << QStringList{u"txtPMName"_s, kCard, u"CheckDrawer"_s};
}

void TestDlgPaymentMeans::loading()
{
    QFETCH(int, major);
    QFETCH(bool, shiftOpen);
    Opened opened(major, shiftOpen);

    QTEST(opened.names(), "names");
    // The flags are the device's in every generation; only 1 checks a box.
    QCOMPARE(opened.flags(),
             (QStringList{u"10100001"_s, u"00000001"_s, u"01000011"_s, u"00000101"_s}));
    QTEST(harness::isShown(&opened.window, u"lblInfo"_s), "infoShown");
    QTEST(opened.enabledColumns(), "enabled");
    QVERIFY(opened.fake->commands().isEmpty());
    for (int i = 0; i < kRows; ++i)
        QCOMPARE(harness::text(&opened.window, u"lblPMNun_%1"_s.arg(i)), QString::number(i + 1));
    QCOMPARE(opened.window.windowTitle(), u"Платежные средства"_s);
}

void TestDlgPaymentMeans::applying_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<bool>("shiftOpen");
    QTest::addColumn<QString>("edits");      // "control=text; ..."; a bare name is clicked
    QTest::addColumn<QList<int>>("answers"); // per row
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("status");

    const QList<int> accepted(kRows, 0);
    QTest::newRow("nothing changed: all eight rows sent")
        << 5 << false << QString() << accepted << tableCalls(deviceNames()) << statusOf(0);
    QTest::newRow("4 sends the default names")
        << 4 << false << QString() << accepted << tableCalls(defaultPaymentMeanNames())
        << statusOf(0);
    QStringList renamed = deviceNames();
    renamed[5] = u"ПОДАРОЧНАЯ КАРТА"_s;
    QTest::newRow("mean 6 renamed, marked a card, change cleared")
        << 5 << false << u"txtPMName_5=ПОДАРОЧНАЯ КАРТА; %1_5; CheckChange_5"_s.arg(kCard)
        << accepted << tableCalls(renamed, 6, u"1000"_s) << statusOf(0);
    QTest::newRow("shift open: the fixed flags sent as read")
        << 6 << true << u"CheckDrawer_7"_s << accepted << tableCalls(deviceNames(), 8, u"1101"_s)
        << statusOf(0);
    QTest::newRow("a refused row does not stop the rest")
        << 5 << false << QString() << QList<int>{0, 0, 17, 0, 0, 0, 0, 0}
        << tableCalls(deviceNames()) << statusOf(0);
    QTest::newRow("the last row's outcome stays")
        << 5 << false << QString() << QList<int>{0, 0, 0, 0, 0, 0, 0, 13}
        << tableCalls(deviceNames()) << statusOf(13);
}

void TestDlgPaymentMeans::applying()
{
    QFETCH(int, major);
    QFETCH(bool, shiftOpen);
    QFETCH(QString, edits);
    QFETCH(QList<int>, answers);

    Opened opened(major, shiftOpen);
    for (int n = 1; n <= kRows; ++n)
        opened.fake->answerAt(u"SetPaymentMean"_s, n, answers[n - 1]);
    for (const QString& edit : edits.split(u"; "_s, Qt::SkipEmptyParts)) {
        if (edit.contains(u'='))
            harness::setText(&opened.window, edit.section(u'=', 0, 0), edit.section(u'=', 1));
        else
            harness::click(&opened.window, edit);
    }
    opened.fake->clearRecords();

    harness::click(&opened.window, u"CmdApply"_s);
    QTEST(opened.fake->commands(), "commands");
    for (const FakeDriver::Record& record : opened.fake->records()) {
        if (record.call.member == u"SetPaymentMean"_s)
            QCOMPARE(record.status, u"Программирование..."_s);
    }
    QTEST(harness::text(&opened.window, u"StatusText"_s), "status");
    QVERIFY(opened.window.isVisible());

    harness::click(&opened.window, u"CmdClose"_s);
    QVERIFY(!opened.window.isVisible());
    QCOMPARE(opened.fake->commands().size(), kRows);
}

// A flag the device would not tell shows as not known, and its row is not written until the
// operator sets the box; the status line names the rows left out.
void TestDlgPaymentMeans::unreadFlagsAreNotWritten_data()
{
    QTest::addColumn<QString>("clicks"); // boxes clicked, "; "-separated
    QTest::addColumn<QString>("cards");  // the card column after the clicks
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("status");

    const QStringList names = deviceNames();
    QTest::newRow("nothing set: no row written")
        << QString() << u"--------"_s << QStringList{}
        << u"Не записаны платежные средства 1, 2, 3, 4, 5, 6, 7, 8: их признаки не прочитаны с "
           u"устройства"_s;
    QTest::newRow("rows set by the operator are written")
        << u"%1_0; %1_6; %1_6"_s.arg(kCard) << u"1-----0-"_s
        << QStringList{rowCall(1, names[0], u"1000"_s), rowCall(7, names[6], u"0010"_s)}
        << u"Не записаны платежные средства 2, 3, 4, 5, 6, 8: их признаки не прочитаны с "
           u"устройства"_s;
}

void TestDlgPaymentMeans::unreadFlagsAreNotWritten()
{
    QFETCH(QString, clicks);
    Opened opened(6, false, kCardsUnread);
    for (const QString& name : clicks.split(u"; "_s, Qt::SkipEmptyParts))
        harness::click(&opened.window, name);
    QTEST(opened.flags().constFirst(), "cards");
    opened.fake->clearRecords();
    harness::click(&opened.window, u"CmdApply"_s);
    QTEST(opened.fake->commands(), "commands");
    QTEST(harness::text(&opened.window, u"StatusText"_s), "status");
}

// Over the built-in device: an apply with nothing changed leaves the card flags as they were, on
// the generations that do not report the names as well.
void TestDlgPaymentMeans::cardFlagsSurviveAnApplyOnTheDevice_data()
{
    QTest::addColumn<int>("major");
    QTest::newRow("3") << 3;
    QTest::newRow("4") << 4;
    QTest::newRow("6") << 6;
}

void TestDlgPaymentMeans::cardFlagsSurviveAnApplyOnTheDevice()
{
    QFETCH(int, major);
    QTemporaryDir dir;
    emulator::testing::createDevice(dir.path(), 1, major);
    std::shared_ptr<Driver> device = emulator::testing::connectDriver(dir.path(), {}, false);
    QVERIFY(device);
    auto cards = [&device] {
        QString marks;
        for (int n = 1; n <= kRows; ++n)
            marks += QString::number(
                device->GetDeviceInfo(std::int16_t(DeviceInfo::PaymentMeanCardBase + n)));
        return marks;
    };
    QCOMPARE(cards(), u"11111000"_s); // as a new device has them

    WindowHarness harness;
    MainForm main(device);
    main.m_MajorVersion = major;
    dlgPaymentMeans window(main);
    harness.watch(&window);
    harness::click(&window, u"CmdApply"_s);
    QCOMPARE(harness::text(&window, u"StatusText"_s),
             forms::statusText(device->GetErrorComment(0)));
    QCOMPARE(cards(), u"11111000"_s);
}

QTEST_MAIN(TestDlgPaymentMeans)
#include "tst_dlgpaymentmeans.moc"
