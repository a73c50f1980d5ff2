#include "DeviceState.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>

namespace emulator {
namespace {

// The state is saved at every call, so it is written as a plain versioned binary record: a
// keyed format costs more than everything else a call does.
constexpr quint32 kMagic = 0x51444556; // "QDEV"
constexpr quint32 kFormat = 1;

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

// A moment read from a record is made plain: the device writes local and UTC moments only, so any
// other kind is read as its UTC moment, and one that holds no valid date and time as none. Qt keeps
// an odd kind (an unknown one, an offset of 0 from UTC) on one read and drops it on the next, so a
// damaged record would not write back to what it read.
struct Moment
{
    QDateTime& at;
};

Moment moment(QDateTime& at)
{
    return {at};
}

QDataStream& operator>>(QDataStream& in, Moment m)
{
    in >> m.at;
    if (m.at.isValid() && m.at.timeSpec() != Qt::LocalTime && m.at.timeSpec() != Qt::UTC)
        m.at = m.at.toUTC();
    if (!m.at.isValid())
        m.at = QDateTime();
    return in;
}

} // namespace

// Found by argument-dependent lookup from Qt's container streaming, hence in this namespace.

static QDataStream& operator<<(QDataStream& out, const Counters& c)
{
    for (qint64 v : c.values())
        out << v;
    return out;
}

static QDataStream& operator>>(QDataStream& in, Counters& c)
{
    for (qint64& v : c.values())
        in >> v;
    return in;
}

static QDataStream& operator<<(QDataStream& out, const PositionRequest& p)
{
    return out << static_cast<qint32>(p.kind) << p.quantity << p.price << p.name << p.taxGroup
               << p.department;
}

static QDataStream& operator>>(QDataStream& in, PositionRequest& p)
{
    qint32 kind = 0;
    in >> kind >> p.quantity >> p.price >> p.name >> p.taxGroup >> p.department;
    p.kind = static_cast<EntryKind>(kind);
    return in;
}

static QDataStream& operator<<(QDataStream& out, const Entry& e)
{
    return out << static_cast<qint32>(e.kind) << e.quantity << e.price << e.name << e.taxGroup
               << e.department << e.amount;
}

static QDataStream& operator>>(QDataStream& in, Entry& e)
{
    qint32 kind = 0;
    in >> kind >> e.quantity >> e.price >> e.name >> e.taxGroup >> e.department >> e.amount;
    e.kind = static_cast<EntryKind>(kind);
    return in;
}

static QDataStream& operator<<(QDataStream& out, const Payment& p)
{
    return out << static_cast<qint32>(p.type) << p.amount << p.card << p.reference << p.cached;
}

static QDataStream& operator>>(QDataStream& in, Payment& p)
{
    qint32 type = 0;
    in >> type >> p.amount >> p.card >> p.reference >> p.cached;
    p.type = type;
    return in;
}

template <typename T> static QDataStream& operator>>(QDataStream& in, BoundedList<T> target)
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

// Counters by department are mostly zero: each department is written as its number and its
// counters that are not, each by its number.
static QDataStream& writeDepartments(QDataStream& out, const DepartmentCounters& departments)
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
    return out;
}

static QDataStream& readDepartments(QDataStream& in, DepartmentCounters& departments)
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
    return in;
}

// What a body counts by department, kept in a section of its own after the document.
static void writeBodyDepartments(QDataStream& out, const DocumentBody& b)
{
    writeDepartments(out, b.departmentDelta) << b.lastOperationDepartment;
}

static void readBodyDepartments(QDataStream& in, DocumentBody& b)
{
    readDepartments(in, b.departmentDelta) >> b.lastOperationDepartment;
}

// The sales by department, where the record kept them before it kept every counter by department.
static QMap<int, Kopecks> departmentSales(const DepartmentCounters& departments)
{
    QMap<int, Kopecks> sales;
    for (auto it = departments.cbegin(); it != departments.cend(); ++it)
        sales.insert(it.key(), it.value()[Counter::SalesTotal]);
    return sales;
}

template <typename T>
static QDataStream& writeOptional(QDataStream& out, const std::optional<T>& value)
{
    out << value.has_value();
    if (value)
        out << *value;
    return out;
}

template <typename T> static QDataStream& readOptional(QDataStream& in, std::optional<T>& value)
{
    bool present = false;
    in >> present;
    value.reset();
    if (present) {
        T read;
        in >> read;
        value = std::move(read);
    }
    return in;
}

static QDataStream& operator<<(QDataStream& out, const DocumentBody& b)
{
    out << b.entries << b.delta << b.lastOperationAmount;
    return writeOptional(out, b.lastPosition);
}

static QDataStream& operator>>(QDataStream& in, DocumentBody& b)
{
    in >> bounded(b.entries) >> b.delta >> b.lastOperationAmount;
    return readOptional(in, b.lastPosition);
}

static QDataStream& operator<<(QDataStream& out, const Document& d)
{
    out << static_cast<qint32>(d.type) << qint32(d.number) << qint32(d.department) << d.order
        << d.cashier << d.openedAt << d.body << d.payments << d.lines;
    return writeOptional(out, d.undo);
}

static QDataStream& operator>>(QDataStream& in, Document& d)
{
    qint32 type = 0;
    qint32 number = 0;
    qint32 department = 0;
    in >> type >> number >> department >> d.order >> d.cashier >> moment(d.openedAt) >> d.body >>
        bounded(d.payments) >> bounded(d.lines);
    d.type = static_cast<DocumentType>(type);
    d.number = number;
    d.department = department;
    return readOptional(in, d.undo);
}

static QDataStream& operator<<(QDataStream& out, const Sensors& s)
{
    return out << s.paperNearEnd << s.paperOut << s.drawerOpen << s.batteryLow << s.eklzNearFull
               << s.printerError;
}

static QDataStream& operator>>(QDataStream& in, Sensors& s)
{
    return in >> s.paperNearEnd >> s.paperOut >> s.drawerOpen >> s.batteryLow >> s.eklzNearFull >>
           s.printerError;
}

// A bar code is small and bounded: its bars never pass the print head's width.
static QDataStream& operator<<(QDataStream& out, const BarCode& b)
{
    return out << b.modules << qint32(b.moduleDots) << qint32(b.height) << qint32(b.alignment)
               << b.textBefore << b.textAfter << qint32(b.font) << b.text;
}

static QDataStream& operator>>(QDataStream& in, BarCode& b)
{
    qint32 moduleDots = 0, height = 0, alignment = 0, font = 0;
    in >> b.modules >> moduleDots >> height >> alignment >> b.textBefore >> b.textAfter >> font >>
        b.text;
    b.moduleDots = moduleDots;
    b.height = height;
    b.alignment = alignment;
    b.font = font;
    return in;
}

static bool plausible(const BarCode& b)
{
    return !b.modules.isEmpty() && b.moduleDots >= 1 &&
           b.modules.size() * b.moduleDots <= kPrintWidthDots && b.height >= 1 && b.height <= 255 &&
           b.alignment >= 0 && b.alignment <= 2 && b.text.size() <= 256;
}

QByteArray DeviceState::serialize() const
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << kMagic << kFormat << qint32(major) << qint32(minor) << serial << taxpayerNumber
        << registration << eklzNumber << password << qint32(lineWidth) << options
        << clockOffsetSeconds << sensors << shiftOpen << qint32(shiftNumber) << shiftOpenedAt
        << qint32(registerNumber) << cashier << cashierSet << departmentSales(departmentCounters)
        << qint32(fiscalDocuments) << qint32(nonFiscalDocuments) << qint32(allDocuments)
        << shiftCounters << totalCounters << cashInDrawer << grandSalesTotal << lastDocumentAt
        << lastReceipt << lastReceiptTotal << extraStrings << extraStrings2 << pendingExtraData
        << faultMember << qint32(faultCode);
    writeOptional(out, document);
    // Added later, one section after another: a record saved before a section ends before it
    // and reads with the defaults.
    out << headerLines << headerBold << qint32(paperType);
    out << taxRates[0] << taxRates[1] << taxRates[2] << taxRates[3];
    for (const QString& chain : taxChains)
        out << chain;
    out << descriptors;
    out << qint32(lastKpk) << eklzActivatedAt << eklzLastAt << sensors.eklzFull;
    out << peripherals << sensors.slipInserted;
    // The pictures themselves are not part of the record: the store keeps them by slot.
    out << qint32(chosenPicture);
    writeOptional(out, barCode);
    out << eklzActivationTotal;
    out << clockCorrectedSince;
    writeDepartments(out, departmentCounters);
    if (document) {
        writeBodyDepartments(out, document->body);
        if (document->undo)
            writeBodyDepartments(out, *document->undo);
    }
    out << drawerKicks;
    out << clockStoppedAt;
    return data;
}

std::optional<DeviceState> DeviceState::deserialize(const QByteArray& data)
{
    QDataStream in(data);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0;
    quint32 format = 0;
    in >> magic >> format;
    if (magic != kMagic || format != kFormat)
        return std::nullopt;
    DeviceState s;
    qint32 major = 0, minor = 0, lineWidth = 0, shiftNumber = 0, registerNumber = 0;
    qint32 fiscal = 0, nonFiscal = 0, all = 0, faultCode = 0;
    QMap<int, Kopecks> sales;
    in >> major >> minor >> s.serial >> s.taxpayerNumber >> s.registration >> s.eklzNumber >>
        s.password >> lineWidth >> s.options >> s.clockOffsetSeconds >> s.sensors >> s.shiftOpen >>
        shiftNumber >> moment(s.shiftOpenedAt) >> registerNumber >> s.cashier >> s.cashierSet >>
        sales >> fiscal >> nonFiscal >> all >> s.shiftCounters >> s.totalCounters >>
        s.cashInDrawer >> s.grandSalesTotal >> moment(s.lastDocumentAt) >> bounded(s.lastReceipt) >>
        s.lastReceiptTotal >> bounded(s.extraStrings) >> s.extraStrings2 >>
        bounded(s.pendingExtraData) >> s.faultMember >> faultCode;
    readOptional(in, s.document);
    if (!in.atEnd()) {
        qint32 paperType = 0;
        in >> bounded(s.headerLines) >> bounded(s.headerBold) >> paperType;
        s.paperType = paperType;
        if (s.headerLines.size() != kHeaderLines || s.headerBold.size() != kHeaderLines)
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
        in >> lastKpk >> moment(s.eklzActivatedAt) >> moment(s.eklzLastAt) >> s.sensors.eklzFull;
    else
        s.eklzLastAt = s.lastDocumentAt;
    s.lastKpk = lastKpk;
    if (!in.atEnd())
        in >> s.peripherals >> s.sensors.slipInserted;
    if (!in.atEnd()) {
        qint32 chosen = 0;
        in >> chosen;
        readOptional(in, s.barCode);
        if (chosen < 0 || chosen > kMaxPictureSlot || (s.barCode && !plausible(*s.barCode)))
            return std::nullopt;
        s.chosenPicture = chosen;
    }
    if (!in.atEnd())
        in >> s.eklzActivationTotal;
    if (!in.atEnd())
        in >> moment(s.clockCorrectedSince);
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
        // are numbered from 1, as the section that replaced the sales demands of its own.
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
        in >> moment(s.clockStoppedAt);
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
