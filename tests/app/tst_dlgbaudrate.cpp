#include "WindowHarness.h"
#include "dlgBaudRate.h"

#include <QListWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestDlgBaudRate : public QObject
{
    Q_OBJECT

private slots:
    void listsTheSevenRunningSpeedsWithTheirPositions();
    void closingReportsConfirmationAndPosition_data();
    void closingReportsConfirmationAndPosition();
};

void TestDlgBaudRate::listsTheSevenRunningSpeedsWithTheirPositions()
{
    WindowHarness harness;
    dlgBaudRate dialog;
    harness.watch(&dialog);
    auto* list = harness::control<QListWidget>(&dialog, u"lbBaudRate"_s);
    QStringList names;
    for (int row = 0; row < list->count(); ++row) {
        names << list->item(row)->text();
        QCOMPARE(list->item(row)->data(Qt::UserRole).toInt(), row);
    }
    QCOMPARE(names, QStringList({u"4800"_s, u"9600"_s, u"19200"_s, u"38400"_s, u"57600"_s,
                                 u"76800"_s, u"115200"_s}));
    QCOMPARE(list->currentRow(), -1);
    QCOMPARE(dialog.windowTitle(), u"Скорость обмена"_s);
}

void TestDlgBaudRate::closingReportsConfirmationAndPosition_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("selected"); // false: the row is only made current, as the focus does
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("index");

    QTest::newRow("ok with 57600") << 4 << true << u"OKButton"_s << true << 4;
    QTest::newRow("ok without a selection") << -1 << true << u"OKButton"_s << true << -1;
    QTest::newRow("ok, first row current but not selected")
        << 0 << false << u"OKButton"_s << true << -1;
    QTest::newRow("ok, another row current but not selected")
        << 3 << false << u"OKButton"_s << true << -1;
    QTest::newRow("cancel") << 2 << true << u"CancelButton"_s << false << -1;
}

void TestDlgBaudRate::closingReportsConfirmationAndPosition()
{
    QFETCH(int, row);
    QFETCH(bool, selected);
    QFETCH(QString, button);
    WindowHarness harness;
    dlgBaudRate dialog;
    harness.watch(&dialog);
    auto* list = harness::control<QListWidget>(&dialog, u"lbBaudRate"_s);
    list->setCurrentRow(row, selected ? QItemSelectionModel::ClearAndSelect
                                      : QItemSelectionModel::NoUpdate);
    QCOMPARE(list->currentRow(), row);
    harness::click(&dialog, button);
    QTEST(dialog.bOk, "ok");
    QTEST(int(dialog.Index), "index");
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(TestDlgBaudRate)
#include "tst_dlgbaudrate.moc"
