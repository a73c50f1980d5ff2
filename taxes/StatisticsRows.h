#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// The rows of the statistics window: the open document's counters with the message shown when
// the device cannot report one, the names of the shift and general counters, how many of them a
// generation has, and how a counter's value is written.
namespace statistics {

struct DocumentRow
{
    QString name;
    std::int16_t index = 0; // GetDocInfo index
    QString failure;        // shown after "Ошибка: " when the device answers -1
};

const QList<DocumentRow>& documentRows();

// The names of the 56 shift and general counters, counter i (from 1) at position i - 1.
const QStringList& counterNames();

// How many of the counters a device of the given generation reports.
int counterCount(int majorVersion);

// A counter's value as the window shows it: "Не поддерживается" for -1, otherwise the number with
// every significant digit, a decimal point whatever the locale and no group separators.
QString counterText(double value);

} // namespace statistics
