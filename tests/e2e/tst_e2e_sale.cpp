#include "DeviceNumbers.h"
#include "OperatorDesk.h"

#include "Emulator.h"
#include "FormSale.h"
#include "dlgExtraInfo2.h"
#include "dlgStatus.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace e2e;

namespace {

// The value column of a statistics row, found by the row's name.
QString rowValue(QObject* window, const QString& list, const QString& name)
{
    auto* tree = harness::control<QTreeWidget>(window, list);
    const auto found = tree->findItems(name, Qt::MatchExactly, 0);
    return found.isEmpty() ? u"<no row>"_s : found.first()->text(1);
}

} // namespace

// A sale receipt worked through the sale window on the built-in device, from the shift's opening
// to the counters, the statistics and the paper tape that follow.
class TestSaleOnDevice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void saleWithChange();
    void cancelledReceipt();
    void saleOnEachGeneration_data();
    void saleOnEachGeneration();

private:
    QTemporaryDir m_data;
};

void TestSaleOnDevice::initTestCase()
{
    QVERIFY(m_data.isValid());
    emulator::registerEmulator(m_data.path());
}

void TestSaleOnDevice::saleWithChange()
{
    constexpr int port = 1;
    WindowHarness harness;
    QString status;
    std::unique_ptr<MainForm> main = startProgram(port, false, &status);
    QVERIFY2(main, qPrintable(status));
    openShift(harness, *main);
    const MainCounters before = refreshCounters(*main);
    const qsizetype tapeBefore = tape(m_data.path(), port).size();

    struct Seen
    {
        QString itemStatus;
        QStringList afterItems; // unique positions, all quantities, total
        QString totalAfterDiscount;
        QString openTotal; // the statistics window's figure for the open receipt
        QString openType;
        QStringList printerRows;
        QList<bool> printerFlags;
        bool closedItself = false;
    } seen;

    harness.onModal<dlgStatus>([&](dlgStatus& w) {
        auto* list = harness::control<QListWidget>(&w, u"lvStatus"_s);
        for (int i = 0; i < list->count(); ++i) {
            seen.printerRows << list->item(i)->text();
            seen.printerFlags << (list->item(i)->checkState() == Qt::Checked);
        }
    });
    harness.onModal<dlgExtraInfo2>([&](dlgExtraInfo2& w) {
        seen.openTotal = rowValue(&w, u"lvDocument"_s, u"Итог продаж незакрытого чека"_s);
        seen.openType = rowValue(&w, u"lvDocument"_s, u"Тип документа"_s);
    });
    harness.onModal<FormSale>([&](FormSale& w) {
        harness::setText(&w, u"TxtText"_s, u"Молоко"_s);
        harness::setText(&w, u"TxtQuantity"_s, u"2000"_s);
        harness::setText(&w, u"TxtAmount"_s, u"4550"_s);
        harness::click(&w, u"CmdItem"_s);
        seen.itemStatus = harness::text(&w, u"StatusText"_s);
        harness::setText(&w, u"TxtText"_s, u"Хлеб"_s);
        harness::setText(&w, u"TxtQuantity"_s, u"1000"_s);
        harness::setText(&w, u"TxtAmount"_s, u"3200"_s);
        harness::click(&w, u"CmdItem"_s);
        seen.afterItems =
            QStringList{harness::text(&w, u"TxtUnicalItems"_s), harness::text(&w, u"TxtAllItems"_s),
                        harness::text(&w, u"TxtAllAmount"_s)};

        harness::setText(&w, u"TxtAbsCh"_s, u"-300"_s);
        harness::click(&w, u"CmdItemChange"_s);
        seen.totalAfterDiscount = harness::text(&w, u"TxtAllAmount"_s);
        harness::click(&w, u"CmdExtraInfo"_s);

        // The thermal printer runs out of paper for a moment: the status window must show it.
        changeDevice(m_data.path(), port,
                     [](emulator::DeviceState& s) { s.sensors.paperOut = true; });
        harness::click(&w, u"CmdStatus"_s);
        changeDevice(m_data.path(), port,
                     [](emulator::DeviceState& s) { s.sensors.paperOut = false; });

        harness::setText(&w, u"TxtTenderAmount"_s, u"15000"_s);
        harness::click(&w, u"CmdTender"_s);
        seen.closedItself = !w.isVisible();
    });
    openDocument(*main, 1);

    QCOMPARE(harness.modalsShown(),
             (QStringList{u"FormSale"_s, u"dlgExtraInfo2"_s, u"dlgStatus"_s}));
    QCOMPARE(seen.itemStatus, u"Статус: Нет ошибок"_s);
    QCOMPARE(seen.afterItems, (QStringList{u"2"_s, u"3000"_s, u"12300"_s}));
    QCOMPARE(seen.totalAfterDiscount, u"12000"_s);
    QCOMPARE(seen.openTotal, u"12000"_s);
    QCOMPARE(seen.openType, u"1"_s);
    // From the sale window only the paper-end conditions of the two printers.
    QCOMPARE(seen.printerRows, (QStringList{u"Конец бумаги в подкладном принтере"_s,
                                            u"Конец бумаги в термо-принтере"_s}));
    QCOMPARE(seen.printerFlags, (QList<bool>{false, true}));
    // Cash above the total ends the receipt on the device, and the window with it.
    QVERIFY(seen.closedItself);
    QCOMPARE(main->GetQuolt()->GetDeviceInfo(DeviceInfo::DocumentOpen), 0);

    const MainCounters after = refreshCounters(*main);
    QCOMPARE(after.fiscal, before.fiscal + 1);
    QCOMPARE(after.all, before.all + 1);
    QCOMPARE(after.nonFiscal, before.nonFiscal);
    QCOMPARE(after.salesTotal, u"120.00"_s);

    const QStringList receipt = tape(m_data.path(), port).mid(tapeBefore);
    const QStringList expected{
        u"ПРОДАЖА"_s,
        u"Молоко"_s,
        amountLine(u"  2.000 x 45.50"_s, u"=91.00"_s),
        u"Хлеб"_s,
        amountLine(u"  1.000 x 32.00"_s, u"=32.00"_s),
        amountLine(u"ИТОГ"_s, u"=120.00"_s),
        amountLine(u"НАЛИЧНЫЕ РУБ."_s, u"=150.00"_s),
        amountLine(u"СДАЧА"_s, u"=30.00"_s),
    };
    for (const QString& line : expected)
        QVERIFY2(printed(receipt, line),
                 qPrintable(line + u"\n--- not in ---\n"_s + receipt.join(u'\n')));
    QVERIFY(std::any_of(receipt.cbegin(), receipt.cend(),
                        [](const QString& line) { return line.startsWith(u"СКИДКА"_s); }));

    // The shift's statistics as the statistics window shows them after the receipt.
    QStringList shift;
    harness.onModal<dlgExtraInfo2>([&](dlgExtraInfo2& w) {
        for (const QString& name :
             {u"Итог продаж"_s, u"Количество продаж"_s, u"Количество скидок"_s, u"Сумма скидок"_s,
              u"Итог по платежному средству №8"_s})
            shift << rowValue(&w, u"lvSession"_s, name);
    });
    harness::click(main.get(), u"CmdExtraInfo"_s);
    QCOMPARE(shift, (QStringList{u"12000"_s, u"1"_s, u"1"_s, u"300"_s, u"12000"_s}));
}

void TestSaleOnDevice::cancelledReceipt()
{
    constexpr int port = 2;
    WindowHarness harness;
    QString status;
    std::unique_ptr<MainForm> main = startProgram(port, false, &status);
    QVERIFY2(main, qPrintable(status));
    openShift(harness, *main);
    const MainCounters before = refreshCounters(*main);

    QString totalBeforeCancel;
    bool closedItself = false;
    harness.onModal<FormSale>([&](FormSale& w) {
        harness::click(&w, u"CmdItem"_s);
        harness::click(&w, u"CmdItem"_s);
        totalBeforeCancel = harness::text(&w, u"TxtAllAmount"_s);
        harness::click(&w, u"CmdCancel"_s);
        closedItself = !w.isVisible();
    });
    openDocument(*main, 1);

    QCOMPARE(totalBeforeCancel, u"200"_s);
    QVERIFY(closedItself);
    Driver& device = *main->GetQuolt();
    QCOMPARE(device.GetDeviceInfo(DeviceInfo::DocumentOpen), 0);

    // A cancelled receipt is a document, but neither a fiscal one nor a sale.
    const MainCounters after = refreshCounters(*main);
    QCOMPARE(after.all, before.all + 1);
    QCOMPARE(after.fiscal, before.fiscal);
    QCOMPARE(after.salesTotal, before.salesTotal);
    QCOMPARE(device.GetDoubleDeviceInfo(DoubleInfo::shiftCounter(DeviceCounter::CancelledCount)),
             1.0);
    QCOMPARE(device.GetDoubleDeviceInfo(DoubleInfo::shiftCounter(DeviceCounter::CancelledSum)),
             200.0);
    QCOMPARE(device.GetDoubleDeviceInfo(DoubleInfo::shiftCounter(DeviceCounter::SalesTotal)), 0.0);
    QCOMPARE(device.GetDoubleDeviceInfo(DoubleInfo::shiftCounter(DeviceCounter::SaleCount)), 0.0);
    QCOMPARE(tape(m_data.path(), port).last().trimmed(), u"ДОКУМЕНТ АННУЛИРОВАН"_s);

    // The next receipt opens normally: nothing was left behind.
    harness.onModal<FormSale>([](FormSale& w) {
        harness::click(&w, u"CmdItem"_s);
        harness::click(&w, u"CmdTender"_s);
    });
    openDocument(*main, 1);
    QCOMPARE(harness::text(main.get(), u"StatusText"_s), u"Статус: Нет ошибок"_s);
    QCOMPARE(device.GetDoubleDeviceInfo(DoubleInfo::shiftCounter(DeviceCounter::SaleCount)), 1.0);
}

void TestSaleOnDevice::saleOnEachGeneration_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    for (const auto& [major, minor] : {std::pair{2, 0}, {3, 0}, {4, 3}, {5, 0}, {6, 1}})
        QTest::addRow("%d.%d", major, minor) << major << minor;
}

// Every generation's sale window issues a receipt with what that generation offers: the
// correction with text from 3 on, the text line from 5 on; older devices close a paid receipt
// themselves.
void TestSaleOnDevice::saleOnEachGeneration()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    const int port = 100 + major;
    createDevice(m_data.path(), port, major, minor);
    WindowHarness harness;
    QString status;
    std::unique_ptr<MainForm> main = startProgram(port, false, &status);
    QVERIFY2(main, qPrintable(status));
    harness.watch(main.get());
    QCOMPARE(main->m_MajorVersion, major);
    harness::click(main.get(), u"CmdOpenSession"_s);
    const MainCounters before = refreshCounters(*main);
    const qsizetype tapeBefore = tape(m_data.path(), port).size();

    QStringList statuses;
    bool closedItself = false;
    harness.onModal<FormSale>([&](FormSale& w) {
        QVERIFY(harness::isChecked(&w, u"CheckAutoCloseReceipt"_s));
        harness::setText(&w, u"TxtAmount"_s, u"1000"_s);
        harness::click(&w, u"CmdItem"_s);
        statuses << harness::text(&w, u"StatusText"_s);
        QCOMPARE(harness::isEnabled(&w, u"CmdAbsoluteChangeText"_s), major >= 3);
        if (major >= 3) {
            harness::setText(&w, u"TxtAbsoluteChangeText"_s, u"Скидка постоянного"_s);
            harness::click(&w, u"CmdAbsoluteChangeText"_s);
            statuses << harness::text(&w, u"StatusText"_s);
        }
        QCOMPARE(harness::isEnabled(&w, u"CmdText"_s), major >= 5);
        if (major >= 5) {
            harness::setText(&w, u"TxtTextLine"_s, u"Спасибо за покупку"_s);
            harness::setText(&w, u"TxtNumTextLine"_s, u"1"_s);
            harness::click(&w, u"CmdText"_s);
            statuses << harness::text(&w, u"StatusText"_s);
        }
        harness::click(&w, u"CmdTender"_s);
        closedItself = !w.isVisible();
    });
    openDocument(*main, 1);

    QCOMPARE(harness::text(main.get(), u"StatusText"_s), u"Статус: Нет ошибок"_s);
    for (const QString& seen : statuses)
        QCOMPARE(seen, u"Статус: Нет ошибок"_s);
    QVERIFY(closedItself);
    QCOMPARE(refreshCounters(*main).fiscal, before.fiscal + 1);
    const QStringList receipt = tape(m_data.path(), port).mid(tapeBefore);
    const QString total = major >= 3 ? u"=9.00"_s : u"=10.00"_s;
    QVERIFY2(printed(receipt, amountLine(u"ИТОГ"_s, total)), qPrintable(receipt.join(u'\n')));
    if (major >= 5)
        QVERIFY2(printed(receipt, u"Спасибо за покупку"_s), qPrintable(receipt.join(u'\n')));
}

QTEST_MAIN(TestSaleOnDevice)
#include "tst_e2e_sale.moc"
