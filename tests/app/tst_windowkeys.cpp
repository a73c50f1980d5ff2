#include "DeviceNumbers.h"
#include "DriverFactory.h"
#include "FormPay.h"
#include "FormPurchase.h"
#include "FormSale.h"
#include "FormTextDoc.h"
#include "FormVoidItem.h"
#include "FormVoidPurchase.h"
#include "MainForm.h"
#include "StartForm.h"
#include "WindowHarness.h"
#include "dlgBaudRate.h"
#include "dlgExtraInfo2.h"
#include "dlgLineDisplay.h"
#include "dlgPaymentMeans.h"
#include "dlgPrintDocumentMode.h"
#include "dlgStatus.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Every window of the program over the fake, a fourth-generation device with a document open.
struct Desk
{
    Desk()
    {
        fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::MajorVersion, 4);
        fake->answerAt(u"GetDeviceInfo"_s, DeviceInfo::DocumentOpen, 1);
        registerDriver(kQuoltProgId, [fake = fake] { return fake; });
        main.m_MajorVersion = 4;
        main.m_nSection = 1;
    }

    std::unique_ptr<QWidget> open(const QString& name)
    {
        const std::map<QString, std::function<QWidget*()>> windows{
            {u"StartForm"_s, [] { return new StartForm; }},
            {u"MainForm"_s, [this] { return new MainForm(fake); }},
            {u"dlgBaudRate"_s, [] { return new dlgBaudRate; }},
            {u"FormSale"_s, [this] { return new FormSale(main); }},
            {u"FormPay"_s, [this] { return new FormPay(main); }},
            {u"FormVoidItem"_s, [this] { return new FormVoidItem(main); }},
            {u"FormPurchase"_s, [this] { return new FormPurchase(main); }},
            {u"FormVoidPurchase"_s, [this] { return new FormVoidPurchase(main); }},
            {u"FormTextDoc"_s, [this] { return new FormTextDoc(main); }},
            {u"dlgStatus"_s, [this] { return new dlgStatus(main); }},
            {u"dlgExtraInfo2"_s, [this] { return new dlgExtraInfo2(main); }},
            {u"dlgLineDisplay"_s, [this] { return new dlgLineDisplay(main); }},
            {u"dlgPrintDocumentMode"_s, [this] { return new dlgPrintDocumentMode(main); }},
            {u"dlgPaymentMeans"_s, [this] { return new dlgPaymentMeans(main); }},
        };
        std::unique_ptr<QWidget> window(windows.at(name)());
        harness.watch(window.get());
        fake->clearRecords();
        return window;
    }

    std::shared_ptr<FakeDriver> fake = std::make_shared<FakeDriver>();
    WindowHarness harness{fake};
    MainForm main{fake};
};

// The controls the operator types into, where Enter is most likely pressed.
QList<QWidget*> inputs(QWidget* window)
{
    QList<QWidget*> found;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if ((qobject_cast<QLineEdit*>(child) || qobject_cast<QComboBox*>(child) ||
             qobject_cast<QAbstractSpinBox*>(child)) &&
            child->isEnabled() && child->isVisible() &&
            child->objectName() != u"qt_spinbox_lineedit"_s)
            found << child;
    }
    return found;
}

} // namespace

class TestWindowKeys : public QObject
{
    Q_OBJECT

private slots:
    void enterPressesNothingAndEscClosesOnlyWhereNothingIsLost_data();
    void enterPressesNothingAndEscClosesOnlyWhereNothingIsLost();
};

void TestWindowKeys::enterPressesNothingAndEscClosesOnlyWhereNothingIsLost_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("escCloses");

    // The start window would lose the settings typed in and end the program.
    QTest::newRow("start") << u"StartForm"_s << false;
    QTest::newRow("main") << u"MainForm"_s << false;
    QTest::newRow("exchange speed: confirms nothing") << u"dlgBaudRate"_s << true;
    // A document window closed by Esc would leave its document open on the device.
    QTest::newRow("sale") << u"FormSale"_s << false;
    QTest::newRow("payment") << u"FormPay"_s << false;
    QTest::newRow("annulment") << u"FormVoidItem"_s << false;
    QTest::newRow("purchase") << u"FormPurchase"_s << false;
    QTest::newRow("purchase return") << u"FormVoidPurchase"_s << false;
    QTest::newRow("text document") << u"FormTextDoc"_s << false;
    QTest::newRow("status: shows only") << u"dlgStatus"_s << true;
    QTest::newRow("statistics: shows only") << u"dlgExtraInfo2"_s << true;
    // Their texts and settings are sent only by their buttons: Esc would lose them.
    QTest::newRow("customer display") << u"dlgLineDisplay"_s << false;
    QTest::newRow("slip mode") << u"dlgPrintDocumentMode"_s << false;
    QTest::newRow("payment means") << u"dlgPaymentMeans"_s << false;
}

void TestWindowKeys::enterPressesNothingAndEscClosesOnlyWhereNothingIsLost()
{
    QFETCH(QString, window);
    QFETCH(bool, escCloses);
    Desk desk;
    const std::unique_ptr<QWidget> shown = desk.open(window);
    QVERIFY(shown->isVisible());

    const QList<QWidget*> boxes = inputs(shown.get());
    const QList<QPushButton*> buttons = shown->findChildren<QPushButton*>();
    for (QPushButton* button : buttons)
        QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->objectName()));
    for (QWidget* box : boxes) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY2(desk.fake->commands().isEmpty(),
                 qPrintable(box->objectName() + u": "_s + desk.fake->commands().join(u", ")));
        QVERIFY2(shown->isVisible(), qPrintable(box->objectName()));
    }
    QWidget* focus = boxes.isEmpty() ? shown.get() : boxes.constFirst();
    focus->setFocus();
    QTest::keyClick(focus, Qt::Key_Escape);
    QCOMPARE(!shown->isVisible(), escCloses);
    QVERIFY(desk.fake->commands().isEmpty());
    QVERIFY(desk.harness.endRequests().isEmpty());
}

QTEST_MAIN(TestWindowKeys)
#include "tst_windowkeys.moc"
