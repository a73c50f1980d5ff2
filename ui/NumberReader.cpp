#include "NumberReader.h"

#include <algorithm>
#include <cmath>
#include <clocale>
#include <cstdlib>
#include <limits>
#include <string>

#include <locale.h>

namespace numbers {
namespace {

// The C library's conversion follows the process locale, which Qt sets from the environment; in a
// locale whose decimal separator is a comma it would stop at the point ("3.5" would read as 3).
// The point is the decimal point whatever the locale, so convert in the "C" locale.
double toDoubleInCLocale(const std::string& text)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(text.c_str(), nullptr, cLocale);
}

// What the lenient read skips wherever it stands. A carriage return is not among them: it ends
// the leading number like any other character.
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// What a strict read accepts around the number (a pasted line may end in a carriage return).
bool isSurrounding(QChar c)
{
    return isBlank(c) || c == u'\r';
}

// Walks the text from the start, skipping blanks wherever they stand, and takes the longest
// prefix that forms a number.
class Scanner
{
public:
    explicit Scanner(QStringView text) : m_text(text) {}

    struct Number
    {
        double value = 0.0;
        bool found = false; // at least one digit was read
        qsizetype end = 0;  // index just past the last character taken
    };

    Number scan()
    {
        Number number;
        if (peekUpper() == u'&') {
            const QChar radixLetter = peekUpper(1);
            const int radix = radixLetter == u'H' ? 16 : radixLetter == u'O' ? 8 : 0;
            if (radix != 0) {
                advance(2);
                scanRadix(radix, number);
                return number;
            }
        }
        scanDecimal(number);
        return number;
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
            ++m_pos;
    }

    QChar peekUpper(qsizetype ahead = 0)
    {
        skipBlanks();
        qsizetype at = m_pos;
        for (qsizetype step = 0; step < ahead && at < m_text.size(); ++step) {
            ++at;
            while (at < m_text.size() && isBlank(m_text[at]))
                ++at;
        }
        return at < m_text.size() ? m_text[at].toUpper() : QChar();
    }

    void advance(qsizetype count)
    {
        for (qsizetype step = 0; step < count; ++step) {
            skipBlanks();
            ++m_pos;
        }
    }

    static int digitValue(QChar c, int radix)
    {
        const char16_t u = c.unicode();
        int value = -1;
        if (u >= u'0' && u <= u'9')
            value = u - u'0';
        else if (u >= u'A' && u <= u'F')
            value = u - u'A' + 10;
        return value < radix ? value : -1;
    }

    void scanRadix(int radix, Number& number)
    {
        while (digitValue(peekUpper(), radix) >= 0) {
            number.value = number.value * radix + digitValue(peekUpper(), radix);
            number.found = true;
            advance(1);
            number.end = m_pos;
        }
        if (!number.found)
            number.end = m_pos; // "&H" alone reads as 0 and takes the prefix
    }

    void scanDecimal(Number& number)
    {
        // Build the plain text of the number and let the C library convert it, so that the
        // value is the correctly rounded double of what was typed.
        std::string digits;
        if (peekUpper() == u'+' || peekUpper() == u'-') {
            digits += char(peekUpper().unicode());
            advance(1);
        }
        auto takeDigits = [&] {
            bool any = false;
            while (digitValue(peekUpper(), 10) >= 0) {
                digits += char(peekUpper().unicode());
                advance(1);
                number.end = m_pos;
                any = true;
            }
            return any;
        };
        bool any = takeDigits();
        if (peekUpper() == u'.') {
            digits += '.';
            advance(1);
            if (any)
                number.end = m_pos;
            any = takeDigits() || any;
        }
        if (!any)
            return;
        number.found = true;
        const QChar e = peekUpper();
        if (e == u'E' || e == u'D') {
            const qsizetype before = m_pos;
            const std::size_t keep = digits.size();
            digits += 'e';
            advance(1);
            if (peekUpper() == u'+' || peekUpper() == u'-') {
                digits += char(peekUpper().unicode());
                advance(1);
            }
            const qsizetype endBefore = number.end;
            if (!takeDigits()) {
                // An exponent letter without digits is not part of the number.
                digits.resize(keep);
                m_pos = before;
                number.end = endBefore;
            }
        }
        number.value = toDoubleInCLocale(digits);
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

template <typename T> NumberRead<T> fit(double value)
{
    if constexpr (std::same_as<T, double>) {
        if (!std::isfinite(value))
            return {std::nullopt, ReadError::OutOfRange};
        return {value, ReadError::None};
    } else {
        if (!std::isfinite(value))
            return {std::nullopt, ReadError::OutOfRange};
        const double rounded = std::nearbyint(value); // the default mode rounds halves to even
        if (rounded < double(std::numeric_limits<T>::min()) ||
            rounded > double(std::numeric_limits<T>::max()))
            return {std::nullopt, ReadError::OutOfRange};
        return {T(rounded), ReadError::None};
    }
}

} // namespace

double leadingValue(QStringView text)
{
    return Scanner(text).scan().value;
}

template <Readable T> NumberRead<T> readStrict(QStringView text)
{
    // Blanks around the number are allowed; inside it ("1 000", "- 5") the text is not a number.
    const auto begin = std::find_if_not(text.begin(), text.end(), isSurrounding);
    const QStringView trimmed(
        begin,
        std::find_if_not(text.rbegin(), std::make_reverse_iterator(begin), isSurrounding).base());
    const auto number = Scanner(trimmed).scan();
    const bool whole = number.found && number.end == trimmed.size() &&
                       std::none_of(trimmed.begin(), trimmed.end(), isBlank);
    if (!whole)
        return {std::nullopt, ReadError::NotANumber};
    return fit<T>(number.value);
}

template <Readable T> NumberRead<T> readLenient(QStringView text)
{
    return fit<T>(Scanner(text).scan().value);
}

template NumberRead<std::int16_t> readStrict<std::int16_t>(QStringView);
template NumberRead<std::int32_t> readStrict<std::int32_t>(QStringView);
template NumberRead<double> readStrict<double>(QStringView);
template NumberRead<std::int16_t> readLenient<std::int16_t>(QStringView);
template NumberRead<std::int32_t> readLenient<std::int32_t>(QStringView);
template NumberRead<double> readLenient<double>(QStringView);

} // namespace numbers
