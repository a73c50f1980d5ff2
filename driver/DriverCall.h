#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <chrono>
#include <cstdint>
#include <optional>

// One argument of a driver call together with the kind the caller passed it as, so that a journal
// or a test can tell a 16-bit 8 from a 32-bit 8 and a number from the text of a number.
class DriverArgument
{
public:
    enum class Kind { Int16, Int32, Double, Text, Date, Bool, General };

    // Implicit on purpose: a call's arguments are written as a brace list of typed values.
    DriverArgument(std::int16_t value) : m_kind(Kind::Int16), m_value(QVariant::fromValue(value)) {}
    DriverArgument(std::int32_t value) : m_kind(Kind::Int32), m_value(value) {}
    DriverArgument(double value) : m_kind(Kind::Double), m_value(value) {}
    DriverArgument(const QString& value) : m_kind(Kind::Text), m_value(value) {}
    DriverArgument(const QDate& value) : m_kind(Kind::Date), m_value(value) {}
    DriverArgument(bool value) : m_kind(Kind::Bool), m_value(value) {}
    DriverArgument(const QVariant& value) : m_kind(Kind::General), m_value(value) {}

    Kind kind() const { return m_kind; }
    const QVariant& value() const { return m_value; }

    // "int16:8", "int32:1000", "double:5000", "text:\"Item1\"", "date:2026-12-08", "bool:true",
    // "general<text>:\"1000\"", "general<int16>:8".
    QString toString() const;

    friend bool operator==(const DriverArgument& a, const DriverArgument& b)
    {
        return a.m_kind == b.m_kind && a.m_value == b.m_value;
    }

private:
    Kind m_kind;
    QVariant m_value;
};

// One call of a driver member as a journal keeps it.
struct DriverCall
{
    QString member;
    QList<DriverArgument> arguments;
    QVariant result;
    std::chrono::nanoseconds duration{0};

    // "Item(int32:1000, int32:100, text:\"Item1\", int32:0)", without the result.
    QString toString() const;
    // The result code of a command (0 = success); nothing for a query, which answers a value.
    std::optional<int> resultCode() const;
    // A query answers its value; every other member answers a result code.
    static bool isQuery(const QString& member);
};
