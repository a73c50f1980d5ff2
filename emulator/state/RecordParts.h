#pragma once

// The parts of the device's record, each written and read by its pair of operators on the
// record's encoding (RecordCodec.h): counters, positions, payments, the bar code, the equipment,
// moments, counters by department and a document's body. The record itself is DeviceState.cpp;
// DeviceStateFormat1.cpp reads the records written before the record had sections.

#include "DeviceState.h"
#include "RecordCodec.h"

#include <QDataStream>

#include <optional>

namespace emulator {

RecordWriter& operator<<(RecordWriter& out, const Counters& c);
RecordReader& operator>>(RecordReader& in, Counters& c);
RecordWriter& operator<<(RecordWriter& out, const PositionRequest& p);
RecordReader& operator>>(RecordReader& in, PositionRequest& p);
RecordWriter& operator<<(RecordWriter& out, const Entry& e);
RecordReader& operator>>(RecordReader& in, Entry& e);
RecordWriter& operator<<(RecordWriter& out, const Payment& p);
RecordReader& operator>>(RecordReader& in, Payment& p);
// A bar code that could not have been programmed marks the record damaged.
RecordWriter& operator<<(RecordWriter& out, const BarCode& b);
RecordReader& operator>>(RecordReader& in, BarCode& b);
// The payment means, the customer display (a cursor off the screen is damage) and the slip
// printer.
RecordWriter& operator<<(RecordWriter& out, const Peripherals& p);
RecordReader& operator>>(RecordReader& in, Peripherals& p);

// Counters by department are mostly zero: each department is written as its number and its
// counters that are not, each by its number. Departments are numbered from 1.
struct Departments
{
    DepartmentCounters& counters;
};
struct ConstDepartments
{
    const DepartmentCounters& counters;
};
inline Departments departments(DepartmentCounters& counters)
{
    return {counters};
}
inline ConstDepartments departments(const DepartmentCounters& counters)
{
    return {counters};
}
RecordWriter& operator<<(RecordWriter& out, ConstDepartments d);
RecordReader& operator>>(RecordReader& in, Departments d);

// What an open document holds between calls; its undo step is a body too.
RecordWriter& operator<<(RecordWriter& out, const DocumentBody& b);
RecordReader& operator>>(RecordReader& in, DocumentBody& b);
RecordWriter& operator<<(RecordWriter& out, const Document& d);
RecordReader& operator>>(RecordReader& in, Document& d);

// A moment as the record keeps it: none, a local time or a UTC time, each as its day and the
// milliseconds into it. The device records local times (the host's clock read as the device's);
// UTC is for the moments the clock's own arithmetic counts from. A moment of any other kind is
// written as the local time it is.
struct Moment
{
    QDateTime& at;
};
struct ConstMoment
{
    const QDateTime& at;
};
inline Moment moment(QDateTime& at)
{
    return {at};
}
inline ConstMoment moment(const QDateTime& at)
{
    return {at};
}
RecordWriter& operator<<(RecordWriter& out, ConstMoment m);
RecordReader& operator>>(RecordReader& in, Moment m);

// The checks the records of every format make of what they read.
bool isPlausible(const BarCode& b);
bool isPictureChoice(int slot); // a slot, or 0 for none

// A record of format 1, the format before sections, read from just after its format number.
std::optional<DeviceState> readFormat1(QDataStream& in);

} // namespace emulator
