// The records of format 1, which the device wrote before its record had sections. It grew by
// blocks appended at its end, so a record ends after any of them and reads the rest with the
// defaults. Nothing writes this format any more: this reader stays as it is, for the devices
// saved by the versions that did.

#include "RecordParts.h"

#include <QIODevice>

namespace emulator {
namespace {

// Qt's streaming of a record of format 1: numbers big-endian, texts in UTF-16 with their length.
// Found by argument-dependent lookup from Qt's container streaming, hence in this namespace.

// A list read from a record trusts its count no further than the bytes left could hold (every
// element takes at least one byte): Qt's own reader reserves room for the count it reads, so a
// damaged count would ask for gigabytes before the record runs out.
template <typename T> struct BoundedList
{
    QList<T>& list;
};

template <typename T> BoundedList<T> bounded(QList<T>& list)
{
    return {list};
}

QDataStream& operator>>(QDataStream& in, Counters& c)
{
    for (qint64& v : c.values())
        in >> v;
    return in;
}

QDataStream& operator>>(QDataStream& in, PositionRequest& p)
{
    qint32 kind = 0;
    in >> kind >> p.quantity >> p.price >> p.name >> p.taxGroup >> p.department;
    p.kind = static_cast<EntryKind>(kind);
    return in;
}

QDataStream& operator>>(QDataStream& in, Entry& e)
{
    qint32 kind = 0;
    in >> kind >> e.quantity >> e.price >> e.name >> e.taxGroup >> e.department >> e.amount;
    e.kind = static_cast<EntryKind>(kind);
    return in;
}

QDataStream& operator>>(QDataStream& in, Payment& p)
{
    qint32 type = 0;
    in >> type >> p.amount >> p.card >> p.reference >> p.cached;
    p.type = type;
    return in;
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
    if (!isPlausible(b))
        in.setStatus(QDataStream::ReadCorruptData);
    return in;
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

// Counters by department: each department as its number and its counters that are not zero,
// each by its number.
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

// A document body without its counters by department, which come at the record's end.
void readBodyTotals(QDataStream& in, DocumentBody& b)
{
    in >> bounded(b.entries) >> b.delta >> b.lastOperationAmount;
    readOptional(in, b.lastPosition);
}

// A moment is made plain: local and UTC moments stay as they are, any other kind (a moment kept
// with its time zone, as a device whose clock stood wrote its moments, or an offset from UTC) is
// the local time of the same moment, as the device shows every moment it records; one that holds
// no valid date and time is none. Qt keeps an odd kind (an unknown one, an offset of 0 from UTC) on
// one read and drops it on the next, so a damaged record would not write back to what it read.
struct QtMoment
{
    QDateTime& at;
};

QtMoment qtMoment(QDateTime& at)
{
    return {at};
}

QDataStream& operator>>(QDataStream& in, QtMoment m)
{
    in >> m.at;
    if (m.at.isValid() && m.at.timeSpec() != Qt::LocalTime && m.at.timeSpec() != Qt::UTC)
        m.at = m.at.toLocalTime();
    if (!m.at.isValid())
        m.at = QDateTime();
    return in;
}

void readDocument(QDataStream& in, std::optional<Document>& document)
{
    bool open = false;
    in >> open;
    document.reset();
    if (!open)
        return;
    Document& d = document.emplace();
    qint32 type = 0;
    qint32 number = 0;
    qint32 department = 0;
    in >> type >> number >> department >> d.order >> d.cashier >> qtMoment(d.openedAt);
    readBodyTotals(in, d.body);
    in >> bounded(d.payments) >> bounded(d.lines);
    d.type = static_cast<DocumentType>(type);
    d.number = number;
    d.department = department;
    bool undo = false;
    in >> undo;
    if (undo)
        readBodyTotals(in, d.undo.emplace());
}

QDataStream& operator>>(QDataStream& in, Sensors& s)
{
    return in >> s.paperNearEnd >> s.paperOut >> s.drawerOpen >> s.batteryLow >> s.eklzNearFull >>
           s.printerError;
}

void readBodyDepartments(QDataStream& in, DocumentBody& b)
{
    readDepartments(in, b.departmentDelta);
    in >> b.lastOperationDepartment;
}

} // namespace

std::optional<DeviceState> readFormat1(QDataStream& in)
{
    DeviceState s;
    qint32 major = 0, minor = 0, lineWidth = 0, shiftNumber = 0, registerNumber = 0;
    qint32 fiscal = 0, nonFiscal = 0, all = 0, faultCode = 0;
    QMap<int, Kopecks> sales;
    in >> major >> minor >> s.serial >> s.taxpayerNumber >> s.registration >> s.eklzNumber >>
        s.password >> lineWidth >> s.options >> s.clockOffsetSeconds >> s.sensors >> s.shiftOpen >>
        shiftNumber >> qtMoment(s.shiftOpenedAt) >> registerNumber >> s.cashier >> s.cashierSet >>
        sales >> fiscal >> nonFiscal >> all >> s.shiftCounters >> s.totalCounters >>
        s.cashInDrawer >> s.grandSalesTotal >> qtMoment(s.lastDocumentAt) >>
        bounded(s.lastReceipt) >> s.lastReceiptTotal >> bounded(s.extraStrings) >>
        s.extraStrings2 >> bounded(s.pendingExtraData) >> s.faultMember >> faultCode;
    readDocument(in, s.document);
    if (!in.atEnd()) {
        qint32 paperType = 0;
        in >> bounded(s.headerLines) >> bounded(s.headerBold) >> paperType;
        s.paperType = paperType;
        if (s.headerLines.size() != DeviceState::kHeaderLines ||
            s.headerBold.size() != DeviceState::kHeaderLines)
            return std::nullopt;
    }
    if (!in.atEnd()) {
        in >> s.taxRates[0] >> s.taxRates[1] >> s.taxRates[2] >> s.taxRates[3];
        for (QString& chain : s.taxChains)
            in >> chain;
        in >> s.descriptors;
    }
    // A device saved before it kept its control tape numbered its fiscal documents only.
    qint32 lastKpk = fiscal;
    if (!in.atEnd())
        in >> lastKpk >> qtMoment(s.eklzActivatedAt) >> qtMoment(s.eklzLastAt) >>
            s.sensors.eklzFull;
    else
        s.eklzLastAt = s.lastDocumentAt;
    s.lastKpk = lastKpk;
    if (!in.atEnd())
        in >> s.peripherals >> s.sensors.slipInserted;
    if (!in.atEnd()) {
        qint32 chosen = 0;
        in >> chosen;
        readOptional(in, s.barCode);
        if (!isPictureChoice(chosen))
            return std::nullopt;
        s.chosenPicture = chosen;
    }
    if (!in.atEnd())
        in >> s.eklzActivationTotal;
    if (!in.atEnd())
        in >> qtMoment(s.clockCorrectedSince);
    if (!in.atEnd()) {
        readDepartments(in, s.departmentCounters);
        if (s.document) {
            readBodyDepartments(in, s.document->body);
            if (s.document->undo)
                readBodyDepartments(in, *s.document->undo);
        }
    } else {
        // Saved when only the sales were kept by department: they become the departments' sales,
        // and what the open document counted so far counts in its own department. Departments
        // are numbered from 1, as the block that replaced the sales demands of its own.
        if (!sales.isEmpty() && sales.firstKey() < 1)
            return std::nullopt;
        if (s.document && s.document->department < 1)
            return std::nullopt;
        for (auto it = sales.cbegin(); it != sales.cend(); ++it)
            s.departmentCounters[it.key()][Counter::SalesTotal] = it.value();
        if (s.document) {
            for (DocumentBody* body :
                 {&s.document->body, s.document->undo ? &*s.document->undo : nullptr}) {
                if (body) {
                    body->departmentDelta.insert(s.document->department, body->delta);
                    body->lastOperationDepartment = s.document->department;
                }
            }
        }
    }
    if (!in.atEnd())
        in >> s.drawerKicks;
    if (!in.atEnd())
        in >> qtMoment(s.clockStoppedAt);
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    s.major = major;
    s.minor = minor;
    s.lineWidth = lineWidth;
    s.shiftNumber = shiftNumber;
    s.registerNumber = registerNumber;
    s.fiscalDocuments = fiscal;
    s.nonFiscalDocuments = nonFiscal;
    s.allDocuments = all;
    s.faultCode = faultCode;
    return s;
}

} // namespace emulator
