#pragma once

#include <QStringView>

#include <concepts>
#include <cstdint>
#include <optional>

// The two ways the program reads a number typed by the operator.
//
// A strict read takes the whole text as one number and fails when the text is not a number or the
// value does not fit the type; blanks (and a carriage return) around the number are allowed, blanks
// inside it are not ("1 000" is not a number). A lenient read takes the leading number of the
// text, skipping blanks, tabs and line feeds wherever they stand, stops at the first other
// character (a carriage return included) and reads 0 when there is no number at all; it fails only
// when the value does not fit. Both understand a sign, a point as the decimal point whatever the
// locale, an exponent written with E or D, and the prefixes &H (hexadecimal) and &O (octal).
// Integers are rounded to the nearest whole number, halves to the even neighbour (2.5 reads as 2,
// 3.5 as 4).
namespace numbers {

enum class ReadError { None, NotANumber, OutOfRange };

template <typename T> struct NumberRead
{
    std::optional<T> value;
    ReadError error = ReadError::None;

    explicit operator bool() const { return value.has_value(); }
};

template <typename T>
concept Readable =
    std::same_as<T, std::int16_t> || std::same_as<T, std::int32_t> || std::same_as<T, double>;

template <Readable T> NumberRead<T> readStrict(QStringView text);

template <Readable T> NumberRead<T> readLenient(QStringView text);

// The leading number of `text` as a double, as the lenient read sees it before rounding.
double leadingValue(QStringView text);

} // namespace numbers
