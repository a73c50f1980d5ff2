#pragma once

#include "ErrorCodes.h"

#include <QString>

#include <optional>
#include <utility>

namespace emulator {

// The outcome of a call that gives a value or fails. A failure carries the result code the
// driver answers and, for the operator and the logs, its cause in words (SQLite's message, the
// path of a damaged database).
template <typename T> class Expected
{
public:
    Expected(T value) : m_value(std::move(value)) {}
    Expected(Failure failure, QString detail = {}) : m_failure(failure), m_detail(std::move(detail))
    {
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    T& operator*() { return *m_value; }
    const T& operator*() const { return *m_value; }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }

    // NoError after success.
    Failure failure() const { return m_failure; }
    const QString& detail() const { return m_detail; }

private:
    std::optional<T> m_value;
    Failure m_failure;
    QString m_detail;
};

// The outcome of a call that gives nothing but success or failure.
struct Done
{
};
using Status = Expected<Done>;

inline Status statusOf(Failure failure)
{
    return failure.ok() ? Status(Done{}) : Status(failure);
}

} // namespace emulator
