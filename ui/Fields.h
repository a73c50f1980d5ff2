#pragma once

#include "NumberReader.h"

#include <QString>

#include <functional>
#include <optional>

class QLineEdit;
class QWidget;

namespace forms {

enum class Reading { Strict, Lenient };

// Reads numbers from a window's boxes for a command. When a read fails the command must stop
// before anything is sent: the reader tells the operator which field is wrong and why through the
// window's status line, puts the focus on the box and selects its text, and returns nothing.
class FieldReader
{
public:
    using StatusSink = std::function<void(const QString&)>;

    explicit FieldReader(StatusSink status) : m_status(std::move(status)) {}

    template <numbers::Readable T>
    std::optional<T> read(QLineEdit* box, const QString& caption, Reading reading) const;

    // For a number that does not come from a line edit (a combo box's text, say): `focus` is
    // the control that receives the focus on failure.
    template <numbers::Readable T>
    std::optional<T> read(const QString& text, QWidget* focus, const QString& caption,
                          Reading reading) const;

    std::optional<std::int16_t> strictInt16(QLineEdit* box, const QString& caption) const
    {
        return read<std::int16_t>(box, caption, Reading::Strict);
    }
    std::optional<std::int32_t> strictInt32(QLineEdit* box, const QString& caption) const
    {
        return read<std::int32_t>(box, caption, Reading::Strict);
    }
    std::optional<double> strictDouble(QLineEdit* box, const QString& caption) const
    {
        return read<double>(box, caption, Reading::Strict);
    }
    std::optional<std::int16_t> lenientInt16(QLineEdit* box, const QString& caption) const
    {
        return read<std::int16_t>(box, caption, Reading::Lenient);
    }
    std::optional<std::int32_t> lenientInt32(QLineEdit* box, const QString& caption) const
    {
        return read<std::int32_t>(box, caption, Reading::Lenient);
    }

    // The message shown for a failed read of a value of type T, e.g. "Кол-во: не число".
    template <numbers::Readable T>
    static QString failureText(const QString& caption, numbers::ReadError error);

private:
    void reportFailure(const QString& message, QWidget* focus) const;

    StatusSink m_status;
};

} // namespace forms
