#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// Values the document windows show and send that do not depend on any widget.
namespace documents {

// The payment types in the order of their codes: the first entry is code 1, the last (cash) 8.
const QStringList& paymentTypeNames();

// Position of "8- Наличные" in the list above, the payment preselected when a window loads.
inline constexpr int kCashPosition = 7;

// The payment type code for the text of the payment type box: the matching entry's position
// counted from 1, or 0 when the operator typed a text that matches no entry.
std::int32_t paymentTypeCode(const QStringList& entries, const QString& text);

// A department number as the document windows write it into their department box: a blank
// before a number that is not negative, a minus sign before a negative one (1 gives " 1").
QString departmentText(std::int16_t department);

} // namespace documents
