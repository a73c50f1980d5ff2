// What the device refuses inside an open document: every refusal leaves the document, its total
// and the tape as they were, and positions stop once a payment reached the device.

#include "DeviceNumbers.h"
#include "EmulatorFixture.h"
#include "EmulatorTest.h"

#include <functional>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

class TestEmulatorDocumentRefusals : public EmulatorTest
{
    Q_OBJECT

public:
    TestEmulatorDocumentRefusals() : EmulatorTest(Start::ConnectedDriver) {}

private slots:
    // Every refusal leaves the open document and the tape as they were.
    void refusalsLeaveTheDocumentAlone_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<std::function<int(Driver&)>>("call");
        QTest::addColumn<int>("expected");

        using F = std::function<int(Driver&)>;
        const auto row = [](const char* name, int type, F call, ErrorCode code) {
            QTest::newRow(name) << type << call << int(code);
        };
        row(
            "zero quantity", 1, [](Driver& d) { return d.Item(0, 100, u"A"_s, 0); },
            ErrorCode::InvalidQuantity);
        row(
            "negative quantity", 1, [](Driver& d) { return d.Item(-5, 100, u"A"_s, 0); },
            ErrorCode::InvalidQuantity);
        row(
            "negative price", 1, [](Driver& d) { return d.Item(1000, -1, u"A"_s, 0); },
            ErrorCode::InvalidPrice);
        row(
            "name too long", 1, [](Driver& d) { return d.Item(1000, 1, QString(41, u'x'), 0); },
            ErrorCode::TextTooLong);
        row(
            "line break in a name", 1,
            [](Driver& d) { return d.Item(1000, 1, u"A\nИТОГ =0.00"_s, 0); },
            ErrorCode::InvalidValue);
        row(
            "unknown tax group", 1, [](Driver& d) { return d.Item(1000, 1, u"A"_s, 9); },
            ErrorCode::InvalidValue);
        row(
            "overflowing amount", 1,
            [](Driver& d) { return d.Item(99'999'999, INT32_MAX, u"A"_s, 0); },
            ErrorCode::Overflow);
        row(
            "department 0", 1, [](Driver& d) { return d.ItemEx(1000, 1, u"A"_s, 0, 0); },
            ErrorCode::InvalidValue);
        row(
            "void of a missing position", 1,
            [](Driver& d) { return d.VoidItem(QVariant(u"1000"_s), 999, u"A"_s, 0); },
            ErrorCode::PositionNotFound);
        row(
            "void quantity not a number", 1,
            [](Driver& d) { return d.VoidItem(QVariant(u"1,5"_s), 100, u"A"_s, 0); },
            ErrorCode::InvalidQuantity);
        row(
            "void more than registered", 1,
            [](Driver& d) { return d.VoidItem(QVariant(u"2000"_s), 100, u"A"_s, 0); },
            ErrorCode::PositionNotFound);
        row(
            "discount above the total", 1, [](Driver& d) { return d.AbsoluteCorrection(-101); },
            ErrorCode::NegativeTotal);
        row(
            "percent out of range", 1, [](Driver& d) { return d.PercentCorrection(-150); },
            ErrorCode::InvalidValue);
        row(
            "zero correction", 1, [](Driver& d) { return d.AbsoluteCorrection(0); },
            ErrorCode::InvalidAmount);
        row(
            "correction text too long", 1,
            [](Driver& d) { return d.AbsoluteCorrectionText(-1, QString(41, u'x')); },
            ErrorCode::TextTooLong);
        row(
            "payment type 0", 1,
            [](Driver& d) {
                return d.Tender2(100, QVariant(PaymentType::None), QVariant(QString()), {});
            },
            ErrorCode::UnknownPaymentType);
        row(
            "payment type 9", 1,
            [](Driver& d) { return d.Tender2(100, QVariant(9), QVariant(QString()), {}); },
            ErrorCode::UnknownPaymentType);
        row(
            "payment type as text", 1,
            [](Driver& d) { return d.Tender2(100, QVariant(u"карта"_s), QVariant(QString()), {}); },
            ErrorCode::UnknownPaymentType);
        row(
            "negative payment", 1,
            [](Driver& d) {
                return d.Tender2(-100, QVariant(PaymentType::Cash), QVariant(QString()), {});
            },
            ErrorCode::InvalidAmount);
        row(
            "payment not a number", 1,
            [](Driver& d) {
                return d.Tender2(qQNaN(), QVariant(PaymentType::Cash), QVariant(QString()), {});
            },
            ErrorCode::InvalidAmount);
        row(
            "huge payment", 1,
            [](Driver& d) {
                return d.Tender2(1e300, QVariant(PaymentType::Cash), QVariant(QString()), {});
            },
            ErrorCode::InvalidAmount);
        row(
            "card beyond the total", 1,
            [](Driver& d) {
                return d.Tender2(101, QVariant(PaymentType::Card1), QVariant(QString()), {});
            },
            ErrorCode::NonCashExceedsTotal);
        row(
            "close unpaid", 1, [](Driver& d) { return d.EndDocument(); },
            ErrorCode::PaymentInsufficient);
        row(
            "second document", 1,
            [](Driver& d) { return d.StartDocument(::DocumentType::Sale, 1, {}, {}); },
            ErrorCode::DocumentAlreadyOpen);
        row(
            "purchase position in a sale", 1,
            [](Driver& d) { return d.ItemPurchase(1000, 100, u"A"_s, 1); },
            ErrorCode::NotAllowedInDocument);
        row(
            "sale position in a purchase", 8,
            [](Driver& d) { return d.Item(1000, 100, u"A"_s, 0); },
            ErrorCode::NotAllowedInDocument);
        row(
            "tare in an annulment", 2, [](Driver& d) { return d.ItemTare(1000, 100, u"A"_s, 0); },
            ErrorCode::NotAllowedInDocument);
        row(
            "card in cash-in", 4,
            [](Driver& d) {
                return d.Tender2(100, QVariant(PaymentType::Card1), QVariant(QString()), {});
            },
            ErrorCode::NotAllowedInDocument);
        row(
            "cash-in without payment", 4, [](Driver& d) { return d.EndDocument(); },
            ErrorCode::PaymentInsufficient);
        row(
            "payment in a text document", 3,
            [](Driver& d) {
                return d.Tender2(100, QVariant(PaymentType::Cash), QVariant(QString()), {});
            },
            ErrorCode::NotAllowedInDocument);
        row(
            "text line too long", 3, [](Driver& d) { return d.TextLine(QString(41, u'x')); },
            ErrorCode::TextTooLong);
        row(
            "shift closed with a document", 1, [](Driver& d) { return d.EndSession(); },
            ErrorCode::DocumentAlreadyOpen);
        row(
            "report inside a document", 1, [](Driver& d) { return d.PrintReport(ReportKind::X1); },
            ErrorCode::DocumentAlreadyOpen);
    }

    void refusalsLeaveTheDocumentAlone()
    {
        QFETCH(int, type);
        QFETCH(std::function<int(Driver&)>, call);
        QFETCH(int, expected);

        QCOMPARE(m_driver->StartDocument(type, 1, u""_s, u""_s), 0);
        if (type == 1)
            QCOMPARE(m_driver->Item(1000, 100, u"A"_s, 0), 0);
        const QStringList before = tape(folder());
        const int total = m_driver->GetDocInfo(DocInfo::Amount);
        const int entries = m_driver->GetDocInfo(DocInfo::Entries);

        QCOMPARE(call(*m_driver), expected);
        QVERIFY(m_driver->GetErrorCode2() / 100 == expected);
        QVERIFY(!m_driver->GetErrorComment(std::int16_t(expected)).isEmpty());
        QCOMPARE(tape(folder()), before);
        QCOMPARE(m_driver->GetDocInfo(DocInfo::Amount), total);
        QCOMPARE(m_driver->GetDocInfo(DocInfo::Entries), entries);
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::DocumentOpen), type);
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::FiscalOperationError), 1);
        QCOMPARE(m_driver->ResetError(), 0);
        QCOMPARE(m_driver->GetDeviceInfo(DeviceInfo::FiscalOperationError), 0);
    }

    void positionsStopOnceThePaymentReachedTheDevice()
    {
        QCOMPARE(m_driver->SetDriverOpt(DriverOption::AutoClose, 0), 0);
        QCOMPARE(m_driver->StartDocument(::DocumentType::Sale, 1, u""_s, u""_s), 0);
        QCOMPARE(m_driver->Item(1000, 500, u"A"_s, 0), 0);
        QCOMPARE(m_driver->Tender2(200, kCash, kNoCard, QString()), 0);
        QCOMPARE(m_driver->Item(1000, 500, u"B"_s, 0), int(ErrorCode::NotAllowedInState));
        QCOMPARE(m_driver->EndDocument(), int(ErrorCode::PaymentInsufficient));
        QCOMPARE(m_driver->ResetPayInfo(), 0);
        QCOMPARE(m_driver->GetDocInfo(DocInfo::Payments), 0);
        QCOMPARE(m_driver->Item(1000, 500, u"B"_s, 0), 0);
        QCOMPARE(m_driver->Tender2(1000, QVariant(std::int16_t{2}), QVariant(u"4276"_s), u"77"_s),
                 0);
        QCOMPARE(m_driver->Tender2(1, kCash, kNoCard, QString()),
                 int(ErrorCode::NotAllowedInState));
        QCOMPARE(m_driver->EndDocument(), 0);
        QCOMPARE(shiftCounter(*m_driver, DeviceCounter::Payment2), 1000.0);
    }
};

QTEST_GUILESS_MAIN(TestEmulatorDocumentRefusals)
#include "tst_emulator_documentrefusals.moc"
