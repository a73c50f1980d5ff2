#include "RecordParts.h"

#include <algorithm>

namespace emulator {

QDataStream& operator<<(QDataStream& out, const Counters& c)
{
    for (qint64 v : c.values())
        out << v;
    return out;
}

QDataStream& operator>>(QDataStream& in, Counters& c)
{
    for (qint64& v : c.values())
        in >> v;
    return in;
}

QDataStream& operator<<(QDataStream& out, const PositionRequest& p)
{
    return out << static_cast<qint32>(p.kind) << p.quantity << p.price << p.name << p.taxGroup
               << p.department;
}

QDataStream& operator>>(QDataStream& in, PositionRequest& p)
{
    qint32 kind = 0;
    in >> kind >> p.quantity >> p.price >> p.name >> p.taxGroup >> p.department;
    p.kind = static_cast<EntryKind>(kind);
    return in;
}

QDataStream& operator<<(QDataStream& out, const Entry& e)
{
    return out << static_cast<qint32>(e.kind) << e.quantity << e.price << e.name << e.taxGroup
               << e.department << e.amount;
}

QDataStream& operator>>(QDataStream& in, Entry& e)
{
    qint32 kind = 0;
    in >> kind >> e.quantity >> e.price >> e.name >> e.taxGroup >> e.department >> e.amount;
    e.kind = static_cast<EntryKind>(kind);
    return in;
}

QDataStream& operator<<(QDataStream& out, const Payment& p)
{
    return out << static_cast<qint32>(p.type) << p.amount << p.card << p.reference << p.cached;
}

QDataStream& operator>>(QDataStream& in, Payment& p)
{
    qint32 type = 0;
    in >> type >> p.amount >> p.card >> p.reference >> p.cached;
    p.type = type;
    return in;
}

QDataStream& operator<<(QDataStream& out, const BarCode& b)
{
    return out << b.modules << qint32(b.moduleDots) << qint32(b.height) << qint32(b.alignment)
               << b.textBefore << b.textAfter << qint32(b.font) << b.text;
}

QDataStream& operator>>(QDataStream& in, BarCode& b)
{
    qint32 moduleDots = 0, height = 0, alignment = 0, font = 0;
    in >> b.modules >> moduleDots >> height >> alignment >> b.textBefore >> b.textAfter >> font >>
        b.text;
    b.moduleDots = moduleDots;
    b.height = height;
    b.alignment = alignment;
    b.font = font;
    const bool plausible = !b.modules.isEmpty() && b.moduleDots >= 1 &&
                           b.modules.size() * b.moduleDots <= kPrintWidthDots && b.height >= 1 &&
                           b.height <= 255 && b.alignment >= 0 && b.alignment <= 2 &&
                           b.text.size() <= 256;
    if (!plausible)
        in.setStatus(QDataStream::ReadCorruptData);
    return in;
}

void writeDepartments(QDataStream& out, const DepartmentCounters& departments)
{
    out << quint32(departments.size());
    for (auto it = departments.cbegin(); it != departments.cend(); ++it) {
        const auto& values = it.value().values();
        out << qint32(it.key())
            << quint32(
                   std::count_if(values.cbegin(), values.cend(), [](qint64 v) { return v != 0; }));
        for (int number = 1; number <= kCounterCount; ++number) {
            if (const qint64 value = it.value().at(number); value != 0)
                out << qint32(number) << value;
        }
    }
}

void readDepartments(QDataStream& in, DepartmentCounters& departments)
{
    departments.clear();
    quint32 count = 0;
    in >> count;
    if (in.status() == QDataStream::Ok && count > quint64(in.device()->bytesAvailable()))
        in.setStatus(QDataStream::ReadCorruptData);
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        qint32 department = 0;
        quint32 set = 0;
        in >> department >> set;
        if (department < 1 || set > quint32(kCounterCount)) {
            in.setStatus(QDataStream::ReadCorruptData);
            break;
        }
        Counters& counters = departments[department];
        for (quint32 j = 0; j < set && in.status() == QDataStream::Ok; ++j) {
            qint32 number = 0;
            qint64 value = 0;
            in >> number >> value;
            if (number < 1 || number > kCounterCount)
                in.setStatus(QDataStream::ReadCorruptData);
            else
                counters.values()[static_cast<std::size_t>(number - 1)] = value;
        }
    }
}

void writeBodyTotals(QDataStream& out, const DocumentBody& b)
{
    out << b.entries << b.delta << b.lastOperationAmount;
    writeOptional(out, b.lastPosition);
}

void readBodyTotals(QDataStream& in, DocumentBody& b)
{
    in >> bounded(b.entries) >> b.delta >> b.lastOperationAmount;
    readOptional(in, b.lastPosition);
}

bool isPictureChoice(int slot)
{
    return slot >= 0 && slot <= DeviceState::kMaxPictureSlot;
}

} // namespace emulator
