#include "NumberReader.h"

#include <QtTest>

#include <clocale>
#include <cstdint>

using namespace Qt::StringLiterals;
using numbers::ReadError;

Q_DECLARE_METATYPE(numbers::ReadError)

namespace {

// A row's expectation: the value read, or the error.
struct Expect
{
    qint64 value = 0;
    ReadError error = ReadError::None;
};

Expect ok(qint64 value)
{
    return {value, ReadError::None};
}
Expect notANumber()
{
    return {0, ReadError::NotANumber};
}
Expect outOfRange()
{
    return {0, ReadError::OutOfRange};
}

template <typename T> Expect outcome(const numbers::NumberRead<T>& read)
{
    return read ? Expect{qint64(*read.value), ReadError::None} : Expect{0, read.error};
}

} // namespace

Q_DECLARE_METATYPE(Expect)

class TestNumberReader : public QObject
{
    Q_OBJECT

private slots:
    // Read under the environment's locale, as the program does once Qt has set it up, so that
    // the run under a Russian locale checks every row below.
    void initTestCase() { std::setlocale(LC_ALL, ""); }

    void integers_data();
    void integers();
    void doubles_data();
    void doubles();
    void pointIsTheDecimalPointInEveryLocale_data();
    void pointIsTheDecimalPointInEveryLocale();
};

void TestNumberReader::integers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Expect>("strict16");
    QTest::addColumn<Expect>("strict32");
    QTest::addColumn<Expect>("lenient16");
    QTest::addColumn<Expect>("lenient32");

    auto row = [](const char* name, const QString& text, Expect s16, Expect s32, Expect l16,
                  Expect l32) { QTest::newRow(name) << text << s16 << s32 << l16 << l32; };

    row("plain", u"1000"_s, ok(1000), ok(1000), ok(1000), ok(1000));
    row("plus sign", u"+7"_s, ok(7), ok(7), ok(7), ok(7));
    row("minus sign", u"-100"_s, ok(-100), ok(-100), ok(-100), ok(-100));
    row("leading blanks, tab, line feed", u" \t\n12"_s, ok(12), ok(12), ok(12), ok(12));
    row("trailing blanks", u"12  "_s, ok(12), ok(12), ok(12), ok(12));
    row("blank inside the number", u"1 000"_s, notANumber(), notANumber(), ok(1000), ok(1000));
    row("blank after the sign", u"- 5"_s, notANumber(), notANumber(), ok(-5), ok(-5));
    row("blanks around the point", u"1 . 5"_s, notANumber(), notANumber(), ok(2), ok(2));
    row("line feed inside the number", u"1\n2"_s, notANumber(), notANumber(), ok(12), ok(12));
    row("blank inside a hexadecimal number", u"&H 1F"_s, notANumber(), notANumber(), ok(31),
        ok(31));
    row("carriage return around the number", u"\r 12 \r\n"_s, ok(12), ok(12), ok(0), ok(0));
    row("carriage return ends the leading number", u"1\r2"_s, notANumber(), notANumber(), ok(1),
        ok(1));
    row("text after the number", u"12abc"_s, notANumber(), notANumber(), ok(12), ok(12));
    row("no number", u"abc"_s, notANumber(), notANumber(), ok(0), ok(0));
    row("empty", u""_s, notANumber(), notANumber(), ok(0), ok(0));
    row("sign alone", u"-"_s, notANumber(), notANumber(), ok(0), ok(0));
    row("point alone", u"."_s, notANumber(), notANumber(), ok(0), ok(0));
    row("comma is not a decimal point", u"2,5"_s, notANumber(), notANumber(), ok(2), ok(2));
    row("decimal point", u"12.25"_s, ok(12), ok(12), ok(12), ok(12));
    row("leading point", u".75"_s, ok(1), ok(1), ok(1), ok(1));
    row("half rounds to even 0.5", u"0.5"_s, ok(0), ok(0), ok(0), ok(0));
    row("half rounds to even 1.5", u"1.5"_s, ok(2), ok(2), ok(2), ok(2));
    row("half rounds to even 2.5", u"2.5"_s, ok(2), ok(2), ok(2), ok(2));
    row("half rounds to even 3.5", u"3.5"_s, ok(4), ok(4), ok(4), ok(4));
    row("half rounds to even -2.5", u"-2.5"_s, ok(-2), ok(-2), ok(-2), ok(-2));
    row("exponent E", u"1E3"_s, ok(1000), ok(1000), ok(1000), ok(1000));
    row("exponent with a plus sign", u"1E+3"_s, ok(1000), ok(1000), ok(1000), ok(1000));
    row("exponent d, negative", u"25d-1"_s, ok(2), ok(2), ok(2), ok(2));
    row("exponent without digits", u"5E"_s, notANumber(), notANumber(), ok(5), ok(5));
    row("hexadecimal", u"&H1F"_s, ok(31), ok(31), ok(31), ok(31));
    row("hexadecimal lower case", u"&hff"_s, ok(255), ok(255), ok(255), ok(255));
    row("octal", u"&O17"_s, ok(15), ok(15), ok(15), ok(15));
    row("octal stops at 8", u"&O78"_s, notANumber(), notANumber(), ok(7), ok(7));
    row("prefix without digits", u"&H"_s, notANumber(), notANumber(), ok(0), ok(0));
    row("int16 max", u"32767"_s, ok(32767), ok(32767), ok(32767), ok(32767));
    row("int16 max + 1", u"32768"_s, outOfRange(), ok(32768), outOfRange(), ok(32768));
    row("int16 min", u"-32768"_s, ok(-32768), ok(-32768), ok(-32768), ok(-32768));
    row("int16 min - 1", u"-32769"_s, outOfRange(), ok(-32769), outOfRange(), ok(-32769));
    row("int16 max + 0.4 rounds back in", u"32767.4"_s, ok(32767), ok(32767), ok(32767), ok(32767));
    row("int32 max", u"2147483647"_s, outOfRange(), ok(2147483647), outOfRange(), ok(2147483647));
    row("int32 max + 1", u"2147483648"_s, outOfRange(), outOfRange(), outOfRange(), outOfRange());
    row("int32 min", u"-2147483648"_s, outOfRange(), ok(-2147483648LL), outOfRange(),
        ok(-2147483648LL));
    row("int32 min - 1", u"-2147483649"_s, outOfRange(), outOfRange(), outOfRange(), outOfRange());
    row("huge exponent", u"1E400"_s, outOfRange(), outOfRange(), outOfRange(), outOfRange());
    row("leading number of a long text", u"12 кг"_s, notANumber(), notANumber(), ok(12), ok(12));
}

void TestNumberReader::integers()
{
    QFETCH(QString, text);
    QFETCH(Expect, strict16);
    QFETCH(Expect, strict32);
    QFETCH(Expect, lenient16);
    QFETCH(Expect, lenient32);

    const auto check = [](const Expect& got, const Expect& want) {
        QCOMPARE(int(got.error), int(want.error));
        QCOMPARE(got.value, want.value);
    };
    check(outcome(numbers::readStrict<std::int16_t>(text)), strict16);
    check(outcome(numbers::readStrict<std::int32_t>(text)), strict32);
    check(outcome(numbers::readLenient<std::int16_t>(text)), lenient16);
    check(outcome(numbers::readLenient<std::int32_t>(text)), lenient32);
}

void TestNumberReader::doubles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<double>("value");

    QTest::newRow("whole") << u"5000"_s << true << 5000.0;
    QTest::newRow("fraction is kept") << u"12.5"_s << true << 12.5;
    QTest::newRow("exponent") << u"1.5E2"_s << true << 150.0;
    QTest::newRow("negative") << u"-0.25"_s << true << -0.25;
    QTest::newRow("surrounding blanks") << u"  42 "_s << true << 42.0;
    QTest::newRow("blank inside") << u"12 .5"_s << false << 0.0;
    QTest::newRow("text") << u"пять"_s << false << 0.0;
    QTest::newRow("empty") << u""_s << false << 0.0;
    QTest::newRow("trailing text") << u"10 руб"_s << false << 0.0;
    QTest::newRow("overflow") << u"1E999"_s << false << 0.0;
}

void TestNumberReader::doubles()
{
    QFETCH(QString, text);
    QFETCH(bool, readable);
    QFETCH(double, value);

    const auto read = numbers::readStrict<double>(text);
    QCOMPARE(bool(read), readable);
    if (readable)
        QCOMPARE(*read.value, value);
}

void TestNumberReader::pointIsTheDecimalPointInEveryLocale_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("strict");
    QTest::addColumn<double>("lenient");

    for (const QByteArray locale : {"C", "ru_RU.UTF-8", "de_DE.UTF-8"}) {
        const auto row = [&](const char* name) -> QTestData& {
            return QTest::addRow("%s, %s", locale.constData(), name) << locale;
        };
        row("fraction") << u"3.5"_s << 3.5 << 4.0;
        row("amount") << u"1234.5"_s << 1234.5 << 1234.0;
        row("exponent") << u"2.5E1"_s << 25.0 << 25.0;
        row("leading point") << u".25"_s << 0.25 << 0.0;
    }
}

void TestNumberReader::pointIsTheDecimalPointInEveryLocale()
{
    QFETCH(QByteArray, locale);
    QFETCH(QString, text);
    QFETCH(double, strict);
    QFETCH(double, lenient);

    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, locale.constData()))
        QFAIL("locale " + locale + " is not installed (package locales-all)");
    const auto strictRead = numbers::readStrict<double>(text);
    const auto lenientRead = numbers::readLenient<std::int32_t>(text);
    const double leading = numbers::leadingValue(text);
    std::setlocale(LC_ALL, saved.c_str());

    QVERIFY(strictRead);
    QCOMPARE(*strictRead.value, strict);
    QVERIFY(lenientRead);
    QCOMPARE(double(*lenientRead.value), lenient);
    QCOMPARE(leading, strict);
}

QTEST_APPLESS_MAIN(TestNumberReader)
#include "tst_numberreader.moc"
