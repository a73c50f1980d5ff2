#include "Fields.h"

#include <QLineEdit>

#include <limits>

using namespace Qt::StringLiterals;

namespace forms {

template <numbers::Readable T>
QString FieldReader::failureText(const QString& caption, numbers::ReadError error)
{
    if (error == numbers::ReadError::NotANumber)
        return u"%1: не число"_s.arg(caption);
    if constexpr (std::same_as<T, double>)
        return u"%1: слишком большое число"_s.arg(caption);
    else
        return u"%1: допустимо от %2 до %3"_s.arg(caption)
            .arg(std::numeric_limits<T>::min())
            .arg(std::numeric_limits<T>::max());
}

template <numbers::Readable T>
std::optional<T> FieldReader::read(const QString& text, QWidget* focus, const QString& caption,
                                   Reading reading) const
{
    const numbers::NumberRead<T> result =
        reading == Reading::Strict ? numbers::readStrict<T>(text) : numbers::readLenient<T>(text);
    if (!result)
        reportFailure(failureText<T>(caption, result.error), focus);
    return result.value;
}

template <numbers::Readable T>
std::optional<T> FieldReader::read(QLineEdit* box, const QString& caption, Reading reading) const
{
    const std::optional<T> value = read<T>(box->text(), box, caption, reading);
    if (!value)
        box->selectAll();
    return value;
}

void FieldReader::reportFailure(const QString& message, QWidget* focus) const
{
    if (m_status)
        m_status(message);
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
}

#define QUOLT_FIELD_READER_TYPE(T)                                                                 \
    template std::optional<T> FieldReader::read<T>(QLineEdit*, const QString&, Reading) const;     \
    template std::optional<T> FieldReader::read<T>(const QString&, QWidget*, const QString&,       \
                                                   Reading) const;                                 \
    template QString FieldReader::failureText<T>(const QString&, numbers::ReadError);
QUOLT_FIELD_READER_TYPE(std::int16_t)
QUOLT_FIELD_READER_TYPE(std::int32_t)
QUOLT_FIELD_READER_TYPE(double)
#undef QUOLT_FIELD_READER_TYPE

} // namespace forms
