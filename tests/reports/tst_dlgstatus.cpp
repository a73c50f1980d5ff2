#include "ExpectedCall.h"
#include "FailingDriver.h"
#include "MainForm.h"
#include "WindowHarness.h"
#include "dlgStatus.h"

#include <QListWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct Row
{
    QString caption;
    bool checked = false;
};

QList<Row> rowsOf(dlgStatus& window)
{
    auto* list = harness::control<QListWidget>(&window, u"lvStatus"_s);
    QList<Row> rows;
    for (int i = 0; i < list->count(); ++i)
        rows.append({list->item(i)->text(), list->item(i)->checkState() == Qt::Checked});
    return rows;
}

QStringList captionsOf(const QList<Row>& rows)
{
    QStringList captions;
    for (const Row& row : rows)
        captions << row.caption;
    return captions;
}

QStringList deviceInfoCalls(std::initializer_list<std::int16_t> indexes)
{
    QStringList calls;
    for (std::int16_t index : indexes)
        calls << callText(u"GetDeviceInfo"_s, {index});
    return calls;
}

QStringList basicFlagCalls()
{
    QStringList calls;
    for (int index = DeviceInfo::FirstStatusFlag; index <= DeviceInfo::LastStatusFlag; ++index)
        calls << callText(u"GetDeviceInfo"_s, {std::int16_t(index)});
    return calls;
}

const QStringList kBasic = basicFlagCalls();

} // namespace

class TestDlgStatus : public QObject
{
    Q_OBJECT

private slots:
    void rowsByGenerationAndMode_data();
    void rowsByGenerationAndMode();
    void onlyOneMarksAFlag_data();
    void onlyOneMarksAFlag();
    void failingDriverKeepsTheRowsReadSoFar();
};

void TestDlgStatus::rowsByGenerationAndMode_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<bool>("printerOnly");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("lastCaption");

    const QStringList paperEnds =
        deviceInfoCalls({DeviceInfo::SlipPaperOut, DeviceInfo::ThermalPaperOut});
    QTest::newRow("4, full: the fourteen basic flags")
        << 4 << false << kBasic << u"Превышение лимита времени смены"_s;
    QTest::newRow("5, full: business day")
        << 5 << false << kBasic + deviceInfoCalls({DeviceInfo::BusinessDayOpen})
        << u"Бизнес-день открыт"_s;
    QTest::newRow("6, full: all eighteen")
        << 6 << false
        << kBasic + deviceInfoCalls({DeviceInfo::BusinessDayOpen}) + paperEnds +
               QStringList{callText(u"GetDeviceOpt"_s, {DeviceOption::PurchaseMode})}
        << u"Режим покупки"_s;
    QTest::newRow("5, printer only: empty") << 5 << true << QStringList{} << QString();
    QTest::newRow("6, printer only: the paper ends")
        << 6 << true << paperEnds << u"Конец бумаги в термо-принтере"_s;
}

void TestDlgStatus::rowsByGenerationAndMode()
{
    QFETCH(int, major);
    QFETCH(bool, printerOnly);
    QFETCH(QStringList, calls);
    QFETCH(QString, lastCaption);

    auto fake = std::make_shared<FakeDriver>();
    WindowHarness harness(fake);
    MainForm main(fake);
    main.m_MajorVersion = major;
    dlgStatus window(main);
    window.m_bPrinterOnly = printerOnly;
    harness.watch(&window);

    QCOMPARE(fake->calls(), calls);
    const QList<Row> rows = rowsOf(window);
    QCOMPARE(rows.size(), calls.size());
    QCOMPARE(rows.isEmpty() ? QString() : rows.constLast().caption, lastCaption);
    QCOMPARE(window.windowTitle(), u"Статус устройства"_s);
    QCOMPARE(harness::text(&window, u"StatusText"_s), QString());

    harness::click(&window, u"CancelButton"_s);
    QVERIFY(!window.isVisible());
}

void TestDlgStatus::onlyOneMarksAFlag_data()
{
    QTest::addColumn<QString>("member");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("checked");

    for (const auto& [member, index, caption] :
         {std::tuple{u"GetDeviceInfo"_s, 4, u"Смена открыта"_s},
          std::tuple{u"GetDeviceInfo"_s, 43, u"Конец бумаги в подкладном принтере"_s},
          std::tuple{u"GetDeviceOpt"_s, 46, u"Режим покупки"_s}}) {
        for (const auto& [value, checked] :
             {std::pair{1, true}, std::pair{0, false}, std::pair{2, false}, std::pair{-1, false}}) {
            const QByteArray name = (caption + u" = "_s + QString::number(value)).toUtf8();
            QTest::newRow(name.constData()) << member << index << caption << value << checked;
        }
    }
}

void TestDlgStatus::onlyOneMarksAFlag()
{
    QFETCH(QString, member);
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(int, value);

    auto fake = std::make_shared<FakeDriver>();
    // Every other flag holds, so a wrong row would show as a wrong mark.
    fake->answer(u"GetDeviceInfo"_s, 1);
    fake->answer(u"GetDeviceOpt"_s, 1);
    fake->answerAt(member, index, value);
    WindowHarness harness(fake);
    MainForm main(fake);
    main.m_MajorVersion = 6;
    dlgStatus window(main);
    harness.watch(&window);

    const QList<Row> rows = rowsOf(window);
    QCOMPARE(rows.size(), 18);
    for (const Row& row : rows) {
        if (row.caption == caption)
            QTEST(row.checked, "checked");
        else
            QVERIFY2(row.checked, qPrintable(row.caption));
    }
}

void TestDlgStatus::failingDriverKeepsTheRowsReadSoFar()
{
    auto fake = std::make_shared<FakeDriver>();
    fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::FiscalMode, 1);
    WindowHarness harness(fake);
    MainForm main(std::make_shared<FailingDriver>(fake, u"GetDeviceInfo"_s, 5, "port closed"));
    main.m_MajorVersion = 6;
    dlgStatus window(main);
    harness.watch(&window);

    const QList<Row> rows = rowsOf(window);
    QCOMPARE(captionsOf(rows),
             (QStringList{u"Приближение конца бумаги"_s, u"Фискальный режим"_s,
                          u"Приближение заполнения фискальной памяти"_s, u"Смена открыта"_s}));
    QVERIFY(rows.at(1).checked);
    QCOMPARE(harness::text(&window, u"StatusText"_s), u"Ошибка: port closed"_s);
}

QTEST_MAIN(TestDlgStatus)
#include "tst_dlgstatus.moc"
