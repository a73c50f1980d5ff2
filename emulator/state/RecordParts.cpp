#include "RecordParts.h"

#include <algorithm>

namespace emulator {

RecordWriter& operator<<(RecordWriter& out, const Counters& c)
{
    for (qint64 v : c.values())
        out << v;
    return out;
}

RecordReader& operator>>(RecordReader& in, Counters& c)
{
    for (qint64& v : c.values())
        in >> v;
    return in;
}

RecordWriter& operator<<(RecordWriter& out, const PositionRequest& p)
{
    return out << qint32(p.kind) << p.quantity << p.price << p.name << p.taxGroup << p.department;
}

RecordReader& operator>>(RecordReader& in, PositionRequest& p)
{
    qint32 kind = 0;
    in >> kind >> p.quantity >> p.price >> p.name >> p.taxGroup >> p.department;
    p.kind = static_cast<EntryKind>(kind);
    return in;
}

RecordWriter& operator<<(RecordWriter& out, const Entry& e)
{
    return out << qint32(e.kind) << e.quantity << e.price << e.name << e.taxGroup << e.department
               << e.amount;
}

RecordReader& operator>>(RecordReader& in, Entry& e)
{
    qint32 kind = 0;
    in >> kind >> e.quantity >> e.price >> e.name >> e.taxGroup >> e.department >> e.amount;
    e.kind = static_cast<EntryKind>(kind);
    return in;
}

RecordWriter& operator<<(RecordWriter& out, const Payment& p)
{
    return out << qint32(p.type) << p.amount << p.card << p.reference << p.cached;
}

RecordReader& operator>>(RecordReader& in, Payment& p)
{
    return in >> p.type >> p.amount >> p.card >> p.reference >> p.cached;
}

bool isPlausible(const BarCode& b)
{
    return !b.modules.isEmpty() && b.moduleDots >= 1 &&
           b.modules.size() * b.moduleDots <= kPrintWidthDots && b.height >= 1 && b.height <= 255 &&
           b.alignment >= 0 && b.alignment <= 2 && b.text.size() <= 256;
}

RecordWriter& operator<<(RecordWriter& out, const BarCode& b)
{
    return out << b.modules << qint32(b.moduleDots) << qint32(b.height) << qint32(b.alignment)
               << b.textBefore << b.textAfter << qint32(b.font) << b.text;
}

RecordReader& operator>>(RecordReader& in, BarCode& b)
{
    in >> b.modules >> b.moduleDots >> b.height >> b.alignment >> b.textBefore >> b.textAfter >>
        b.font >> b.text;
    if (!isPlausible(b))
        in.damage();
    return in;
}

RecordWriter& operator<<(RecordWriter& out, const Peripherals& p)
{
    for (const PaymentMean& mean : p.paymentMeans)
        out << mean.name << mean.card << mean.cash << mean.drawer << mean.change;
    out << p.display.lines << qint32(p.display.row) << qint32(p.display.column);
    const slipmode::Settings& s = p.slip.settings;
    return out << p.slip.on << s.side << s.copies << s.fiscalCopy << s.rowsBefore << s.rowsBetween;
}

RecordReader& operator>>(RecordReader& in, Peripherals& p)
{
    for (PaymentMean& mean : p.paymentMeans)
        in >> mean.name >> mean.card >> mean.cash >> mean.drawer >> mean.change;
    in >> p.display.lines >> p.display.row >> p.display.column;
    slipmode::Settings& s = p.slip.settings;
    in >> p.slip.on >> s.side >> s.copies >> s.fiscalCopy >> s.rowsBefore >> s.rowsBetween;
    // A cursor outside the screen would write outside it.
    const DisplayScreen& screen = p.display;
    const bool onScreen =
        screen.row >= 0 && screen.row < DisplayScreen::kRows && screen.column >= 0 &&
        screen.column < DisplayScreen::kColumns &&
        std::all_of(screen.lines.cbegin(), screen.lines.cend(),
                    [](const QString& line) { return line.size() == DisplayScreen::kColumns; });
    if (!onScreen)
        in.damage();
    return in;
}

RecordWriter& operator<<(RecordWriter& out, ConstDepartments d)
{
    out << quint32(d.counters.size());
    for (auto it = d.counters.cbegin(); it != d.counters.cend(); ++it) {
        const auto& values = it.value().values();
        out << qint32(it.key())
            << quint32(
                   std::count_if(values.cbegin(), values.cend(), [](qint64 v) { return v != 0; }));
        for (int number = 1; number <= kCounterCount; ++number) {
            if (const qint64 value = it.value().at(number); value != 0)
                out << qint32(number) << value;
        }
    }
    return out;
}

RecordReader& operator>>(RecordReader& in, Departments d)
{
    d.counters.clear();
    const quint32 count = in.count();
    for (quint32 i = 0; i < count && in.ok(); ++i) {
        qint32 department = 0;
        quint32 set = 0;
        in >> department >> set;
        if (department < 1 || set > quint32(kCounterCount) || d.counters.contains(department)) {
            in.damage();
            break;
        }
        Counters& counters = d.counters[department];
        for (quint32 j = 0; j < set && in.ok(); ++j) {
            qint32 number = 0;
            qint64 value = 0;
            in >> number >> value;
            if (number < 1 || number > kCounterCount)
                in.damage();
            else
                counters.values()[static_cast<std::size_t>(number - 1)] = value;
        }
    }
    return in;
}

RecordWriter& operator<<(RecordWriter& out, const DocumentBody& b)
{
    return out << b.entries << b.delta << b.lastOperationAmount << b.lastPosition
               << departments(b.departmentDelta) << b.lastOperationDepartment;
}

RecordReader& operator>>(RecordReader& in, DocumentBody& b)
{
    return in >> b.entries >> b.delta >> b.lastOperationAmount >> b.lastPosition >>
           departments(b.departmentDelta) >> b.lastOperationDepartment;
}

RecordWriter& operator<<(RecordWriter& out, const Document& d)
{
    return out << qint32(d.type) << d.number << d.department << d.order << d.cashier
               << moment(d.openedAt) << d.body << d.payments << d.lines << d.undo;
}

RecordReader& operator>>(RecordReader& in, Document& d)
{
    qint32 type = 0;
    in >> type >> d.number >> d.department >> d.order >> d.cashier >> moment(d.openedAt) >>
        d.body >> d.payments >> d.lines >> d.undo;
    d.type = static_cast<DocumentType>(type);
    return in;
}

namespace {

enum class MomentKind : quint8 { None = 0, Local = 1, Utc = 2 };

} // namespace

RecordWriter& operator<<(RecordWriter& out, ConstMoment m)
{
    if (!m.at.isValid())
        return out << quint8(MomentKind::None);
    const bool utc = m.at.timeSpec() == Qt::UTC;
    const QDateTime at = utc || m.at.timeSpec() == Qt::LocalTime ? m.at : m.at.toLocalTime();
    return out << quint8(utc ? MomentKind::Utc : MomentKind::Local) << at.date().toJulianDay()
               << qint32(at.time().msecsSinceStartOfDay());
}

RecordReader& operator>>(RecordReader& in, Moment m)
{
    m.at = QDateTime();
    quint8 kind = 0;
    in >> kind;
    if (kind == quint8(MomentKind::None))
        return in;
    qint64 day = 0;
    qint32 ms = 0;
    in >> day >> ms;
    const QDate date = QDate::fromJulianDay(day);
    const QTime time = QTime::fromMSecsSinceStartOfDay(ms);
    if ((kind != quint8(MomentKind::Local) && kind != quint8(MomentKind::Utc)) || !date.isValid() ||
        ms < 0 || !time.isValid()) {
        in.damage();
        return in;
    }
    if (kind == quint8(MomentKind::Utc)) {
        m.at = QDateTime(date, time, Qt::UTC);
        return in;
    }
    // A local time that the host's zone skips (the zone changed since it was recorded) reads as
    // the moment as long after the day's start.
    m.at = QDateTime(date, time, Qt::LocalTime);
    if (!m.at.isValid())
        m.at = date.startOfDay().addMSecs(ms);
    return in;
}

bool isPictureChoice(int slot)
{
    return slot >= 0 && slot <= DeviceState::kMaxPictureSlot;
}

} // namespace emulator
