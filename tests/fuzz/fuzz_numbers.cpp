// Feeds arbitrary texts to the two number readers and checks what ties them together: whatever the
// text, both end; a lenient read never calls the text "not a number"; a strict success reads the
// same value as the lenient read of the same text; what fits 16 bits fits 32 and reads the same.
#include "NumberReader.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool sameValue(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

// The text without what a strict read allows around a number: a lenient read stops at a carriage
// return, so it is compared on what the strict read looked at.
QStringView withoutSurroundings(QStringView text)
{
    const auto surrounding = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
    };
    while (!text.isEmpty() && surrounding(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && surrounding(text.back()))
        text.chop(1);
    return text;
}

template <typename T> void strictAgreesWithLenient(QStringView text)
{
    const numbers::NumberRead<T> strict = numbers::readStrict<T>(text);
    const numbers::NumberRead<T> lenient = numbers::readLenient<T>(withoutSurroundings(text));
    require(bool(lenient) == (lenient.error == numbers::ReadError::None));
    require(bool(strict) == (strict.error == numbers::ReadError::None));
    if (strict) {
        require(bool(lenient));
        require(sameValue(double(*strict.value), double(*lenient.value)));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    strictAgreesWithLenient<std::int16_t>(text);
    strictAgreesWithLenient<std::int32_t>(text);
    strictAgreesWithLenient<double>(text);
    require(numbers::readLenient<double>(text).error != numbers::ReadError::NotANumber);

    // What fits 16 bits fits 32 bits with the same value, read either way.
    const auto strict16 = numbers::readStrict<std::int16_t>(text);
    const auto strict32 = numbers::readStrict<std::int32_t>(text);
    if (strict16)
        require(strict32 && *strict32.value == *strict16.value);
    const auto lenient16 = numbers::readLenient<std::int16_t>(text);
    const auto lenient32 = numbers::readLenient<std::int32_t>(text);
    if (lenient16)
        require(lenient32 && *lenient32.value == *lenient16.value);
    // A text that is a number in one width is a number in every width.
    require((strict16.error == numbers::ReadError::NotANumber) ==
            (strict32.error == numbers::ReadError::NotANumber));

    // The lenient double is the leading value itself, when it is finite.
    const auto lenientDouble = numbers::readLenient<double>(text);
    const double leading = numbers::leadingValue(text);
    if (std::isfinite(leading))
        require(lenientDouble && sameValue(*lenientDouble.value, leading));
    else
        require(lenientDouble.error == numbers::ReadError::OutOfRange);
    return 0;
}
