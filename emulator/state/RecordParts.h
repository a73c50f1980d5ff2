#pragma once

// The parts of the device's saved record that every format writes alike: counters, positions,
// payments, the bar code, counters by department, and the guards against a damaged count. The
// record itself is DeviceState.cpp; DeviceStateFormat1.cpp reads the records written before the
// record had sections.

#include "DeviceState.h"

#include <QDataStream>
#include <QIODevice>

#include <optional>

namespace emulator {

// Every record is written and read as Qt 6.4 streams its types, whatever Qt runs it.
inline constexpr QDataStream::Version kRecordStreamVersion = QDataStream::Qt_6_4;

// A list read from a record trusts its count no further than the bytes left could hold (every
// element takes at least one byte): Qt's own reader reserves room for the count it reads, so a
// damaged count would ask for gigabytes before the record runs out. Written as Qt writes a list.
template <typename T> struct BoundedList
{
    QList<T>& list;
};

template <typename T> BoundedList<T> bounded(QList<T>& list)
{
    return {list};
}

template <typename T> QDataStream& operator>>(QDataStream& in, BoundedList<T> target)
{
    target.list.clear();
    quint32 count = 0;
    in >> count;
    if (in.status() != QDataStream::Ok)
        return in;
    if (count > quint64(in.device()->bytesAvailable())) {
        in.setStatus(QDataStream::ReadCorruptData);
        return in;
    }
    for (quint32 i = 0; i < count; ++i) {
        T element;
        in >> element;
        if (in.status() != QDataStream::Ok) {
            target.list.clear();
            return in;
        }
        target.list.append(std::move(element));
    }
    return in;
}

template <typename T> void writeOptional(QDataStream& out, const std::optional<T>& value)
{
    out << value.has_value();
    if (value)
        out << *value;
}

template <typename T> void readOptional(QDataStream& in, std::optional<T>& value)
{
    bool present = false;
    in >> present;
    value.reset();
    if (present) {
        T read;
        in >> read;
        value = std::move(read);
    }
}

// Found by argument-dependent lookup from Qt's container streaming, hence in this namespace.
QDataStream& operator<<(QDataStream& out, const Counters& c);
QDataStream& operator>>(QDataStream& in, Counters& c);
QDataStream& operator<<(QDataStream& out, const PositionRequest& p);
QDataStream& operator>>(QDataStream& in, PositionRequest& p);
QDataStream& operator<<(QDataStream& out, const Entry& e);
QDataStream& operator>>(QDataStream& in, Entry& e);
QDataStream& operator<<(QDataStream& out, const Payment& p);
QDataStream& operator>>(QDataStream& in, Payment& p);
// A bar code is small and bounded: its bars never pass the print head's width. One that could not
// have been programmed marks the record damaged.
QDataStream& operator<<(QDataStream& out, const BarCode& b);
QDataStream& operator>>(QDataStream& in, BarCode& b);

// Counters by department are mostly zero: each department is written as its number and its
// counters that are not, each by its number. Departments are numbered from 1.
void writeDepartments(QDataStream& out, const DepartmentCounters& departments);
void readDepartments(QDataStream& in, DepartmentCounters& departments);

// What a document body holds beside its counters by department: its entries, what it adds to the
// counters and what CorrectLastItem needs.
void writeBodyTotals(QDataStream& out, const DocumentBody& b);
void readBodyTotals(QDataStream& in, DocumentBody& b);

// The picture printed at the head of every receipt: a slot, or 0 for none.
bool isPictureChoice(int slot);

// A record of format 1, the format before sections, read from just after its format number.
std::optional<DeviceState> readFormat1(QDataStream& in);

} // namespace emulator
