// Arguments the device must refuse, or take in a sound form, without harm to what it holds:
// general values that are no whole number, texts that would break a printed line, null texts,
// out-of-range speeds and a mistyped password on a working connection.

#include "EmulatorFixture.h"
#include "EmulatorTest.h"

#include "DeviceNumbers.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

using Call = std::function<int(Driver&)>;

class TestEmulatorRefusals : public EmulatorTest
{
    Q_OBJECT

public:
    TestEmulatorRefusals() : EmulatorTest(Start::EmptyFolder) {}

private:
    static int openSale(Driver& d) { return d.StartDocument(DocumentType::Sale, 1, {}, {}); }

    // A whole receipt, from opening to the covering payment; 0 when every step succeeded.
    static int issueReceipt(Driver& d)
    {
        if (const int r = openSale(d); r != 0)
            return r;
        if (const int r = d.Item(1000, 500, u"Хлеб"_s, 0); r != 0)
            return r;
        if (const int r = d.Tender2(500, QVariant(PaymentType::Cash), QVariant(QString()), {});
            r != 0)
            return r;
        return d.GetDeviceInfo(DeviceInfo::DocumentOpen) == 0 ? 0 : -1;
    }

private slots:
    void generalValuesMustBeWholeNumbers_data()
    {
        QTest::addColumn<Call>("call");
        QTest::addColumn<int>("expected");
        const QVariant noCard(QString{});
        const auto tender = [noCard](double amount, QVariant type) {
            return Call([=](Driver& d) { return d.Tender2(amount, type, noCard, {}); });
        };
        const auto voidTea = [](QVariant quantity) {
            return Call([=](Driver& d) { return d.VoidItem(quantity, 1000, u"Чай"_s, 0); });
        };
        const int type = int(ErrorCode::UnknownPaymentType);
        const int amount = int(ErrorCode::InvalidAmount);
        const int quantity = int(ErrorCode::InvalidQuantity);
        QTest::newRow("type 7.5") << tender(500, QVariant(7.5)) << type;
        QTest::newRow("type true") << tender(500, QVariant(true)) << type;
        QTest::newRow("type text 7.5") << tender(500, QVariant(u"7.5"_s)) << type;
        QTest::newRow("type text 8x") << tender(500, QVariant(u"8x"_s)) << type;
        QTest::newRow("half a kopeck") << tender(0.5, QVariant(PaymentType::Cash)) << amount;
        QTest::newRow("part of a kopeck") << tender(100.25, QVariant(PaymentType::Cash)) << amount;
        QTest::newRow("quantity true") << voidTea(QVariant(true)) << quantity;
        QTest::newRow("quantity 1000.5") << voidTea(QVariant(1000.5)) << quantity;
        QTest::newRow("quantity text 1000.5") << voidTea(QVariant(u"1000.5"_s)) << quantity;
        QTest::newRow("quantity text 1 000") << voidTea(QVariant(u"1 000"_s)) << quantity;
        // Whole numbers of any kind are taken.
        QTest::newRow("type 8.0") << tender(500, QVariant(8.0)) << 0;
        QTest::newRow("type text 8") << tender(500, QVariant(u" 8 "_s)) << 0;
        QTest::newRow("quantity 1000.0") << voidTea(QVariant(1000.0)) << 0;
        QTest::newRow("quantity text 1000") << voidTea(QVariant(u"1000"_s)) << 0;
        QTest::newRow("quantity long") << voidTea(QVariant(qlonglong(1000))) << 0;
    }

    void generalValuesMustBeWholeNumbers()
    {
        QFETCH(Call, call);
        QFETCH(int, expected);
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder());
        QVERIFY(d);
        QCOMPARE(openSale(*d), 0);
        QCOMPARE(d->Item(2000, 1000, u"Чай"_s, 0), 0);
        QCOMPARE(call(*d), expected);
        if (expected != 0) {
            QCOMPARE(d->GetErrorCode2() / 100, expected);
            QCOMPARE(d->GetDocInfo(DocInfo::Amount), 2000);
            QCOMPARE(d->GetDocInfo(DocInfo::PaidAmount), 0);
        }
    }

    void textsThatBreakALineAreRefused_data()
    {
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, char16_t c) {
            QTest::newRow(name) << u"Чай"_s + QChar(c) + u"Кофе"_s;
        };
        row("tab", u'\t');
        row("vertical tab", u'\v');
        row("form feed", u'\f');
        row("next line", u'\x85');
        row("line separator", u'\x2028');
        row("paragraph separator", u'\x2029');
        row("right-to-left override", u'\x202E');
        row("left-to-right embedding", u'\x202A');
        row("pop directional formatting", u'\x202C');
        row("first strong isolate", u'\x2068');
        row("right-to-left mark", u'\x200F');
        row("arabic letter mark", u'\x061C');
        row("lone high surrogate", u'\xD800');
        row("lone low surrogate", u'\xDC00');
    }

    void textsThatBreakALineAreRefused()
    {
        QFETCH(QString, text);
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder());
        QVERIFY(d);
        const int refused = int(ErrorCode::InvalidValue);
        QCOMPARE(d->SetExtraDocData2(text, {}, {}, {}), refused);
        QCOMPARE(d->AddExtraString(text), refused);
        QCOMPARE(d->AddExtraString2(text, u"1"_s), refused);
        QCOMPARE(openSale(*d), 0);
        QCOMPARE(d->Item(1000, 100, text, 0), refused);
        QCOMPARE(d->TextLine(text), refused);
        QCOMPARE(d->AbsoluteCorrectionText(-10, text), refused);
        QCOMPARE(d->GetDocInfo(DocInfo::Entries), 0);
        QVERIFY(!tape(folder()).join(u'\n').contains(u"Кофе"_s));
    }

    void theLowLevelLogKeepsOneRecordALine()
    {
        EmulatedDriver d(folder());
        QCOMPARE(d.SetLogOpt(LogOption::Enabled, 1), 0);
        QCOMPARE(d.SetLogFile(LogFile::LowLevel, u"c:\\ll_quolt.log"_s), 0);
        d.TextLine(u"a\0b\vc\fd\x2028"
                   u"e\xD800"
                   u"f"_s);
        QFile log(QDir(folder()).filePath(u"ll_quolt.log"_s));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        for (char raw : {'\0', '\v', '\f'})
            QVERIFY(!text.contains(raw));
        QVERIFY(!text.contains("\xe2\x80\xa8"));
        // Every record starts a line of its own with its time stamp.
        const QRegularExpression stamped(u"^\\d{4}-\\d\\d-\\d\\d "_s);
        for (const QByteArray& line : text.split('\n')) {
            if (!line.isEmpty())
                QVERIFY2(stamped.match(QString::fromUtf8(line)).hasMatch(), line.constData());
        }
        QVERIFY(text.contains("a\\u0000b\\u000bc\\u000cd\\u2028e\\ud800f"));
    }

    void extraDataTakesFortyCharacters_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("expected");
        QTest::newRow("36") << 36 << 0;
        QTest::newRow("40") << 40 << 0;
        QTest::newRow("41") << 41 << int(ErrorCode::TextTooLong);
    }

    void extraDataTakesFortyCharacters()
    {
        QFETCH(int, length);
        QFETCH(int, expected);
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder());
        QVERIFY(d);
        const QString value = QString(length - 1, u'Ж') + u'Я';
        QCOMPARE(d->SetExtraDocData2(value, {}, {}, {}), expected);
        QCOMPARE(issueReceipt(*d), 0);
        QCOMPARE(tape(folder()).contains(value), expected == 0 && length > 36);
        QCOMPARE(tape(folder()).contains(u"42: "_s + value), expected == 0 && length <= 36);
    }

    void aNullTextIsAnEmptyText_data()
    {
        QTest::addColumn<Call>("call");
        const QString null;
        QTest::newRow("AddExtraString") << Call([=](Driver& d) { return d.AddExtraString(null); });
        QTest::newRow("AddExtraString2")
            << Call([=](Driver& d) { return d.AddExtraString2(null, u"1"_s); });
        QTest::newRow("SetExtraDocData2")
            << Call([=](Driver& d) { return d.SetExtraDocData2(null, null, null, null); });
        QTest::newRow("Item") << Call([=](Driver& d) {
            openSale(d);
            return d.Item(1000, 100, null, 0);
        });
        QTest::newRow("TextLine") << Call([=](Driver& d) {
            d.StartDocument(DocumentType::Text, 1, null, null);
            const int r = d.TextLine(null);
            d.EndDocument();
            return r;
        });
        QTest::newRow("StartDocument") << Call([=](Driver& d) {
            const int r = d.StartDocument(DocumentType::Sale, 1, null, null);
            d.CancelDocument();
            return r;
        });
    }

    void aNullTextIsAnEmptyText()
    {
        QFETCH(Call, call);
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder());
        QVERIFY(d);
        QVERIFY(call(*d) != int(ErrorCode::StorageError));
        d->CancelDocument();
        // The device goes on working, now and after the program starts again.
        QCOMPARE(issueReceipt(*d), 0);
        d.reset();
        d = connectDriver(folder(), {}, false);
        QVERIFY(d);
        QCOMPARE(issueReceipt(*d), 0);
    }

    void aRefusedSpeedChangesNothing_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("expected");
        QTest::newRow("-1") << -1 << int(ErrorCode::InvalidSpeed);
        QTest::newRow("7") << 7 << int(ErrorCode::InvalidSpeed);
        QTest::newRow("32767") << 32767 << int(ErrorCode::InvalidSpeed);
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("6") << 6 << 0;
    }

    void aRefusedSpeedChangesNothing()
    {
        QFETCH(int, speed);
        QFETCH(int, expected);
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder());
        QVERIFY(d);
        QCOMPARE(d->SetDeviceOpt(DeviceOption::Speed, 3), 0);
        QCOMPARE(d->SetDeviceOpt(DeviceOption::Speed, static_cast<std::int16_t>(speed)), expected);
        const int now = expected == 0 ? speed : 3;
        QCOMPARE(d->GetDriverOpt(DriverOption::Speed), now);
        QCOMPARE(d->GetDeviceOpt(DeviceOption::Speed), now);
    }

    void aMistypedPasswordKeepsTheConnection_data()
    {
        QTest::addColumn<int>("port");
        QTest::newRow("same device") << 1;
        QTest::newRow("another device") << 2;
    }

    void aMistypedPasswordKeepsTheConnection()
    {
        QFETCH(int, port);
        std::unique_ptr<EmulatedDriver> d = connectDriver(folder());
        QVERIFY(d);
        QCOMPARE(d->SetDriverOpt(DriverOption::Port, port), 0);
        QCOMPARE(d->SetPassword(u"999999"_s), 0);
        QCOMPARE(d->InitDevice(), int(ErrorCode::WrongPassword));
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::ShiftOpen), 1);
        QCOMPARE(issueReceipt(*d), 0);
        // The password of the working connection is kept too.
        QCOMPARE(d->SetDriverOpt(DriverOption::Port, 1), 0);
        QCOMPARE(d->InitDevice(), 0);
        QCOMPARE(d->GetDeviceInfo(DeviceInfo::ShiftOpen), 1);
    }
};

QTEST_GUILESS_MAIN(TestEmulatorRefusals)
#include "tst_emulator_refusals.moc"
