// The device's saved record. It is written at every call, so it is a plain binary record rather
// than a keyed format, which would cost more than everything else a call does.
//
// The record is its magic, its format number and then numbered sections, each written as its
// number, its length and its content. Each section's writer and reader stand side by side below.
// Changing what a section holds changes the format number: the reader is given the format of the
// record it reads and reads the older layout too, and a section added later has the format it came
// with, so an older record simply lacks it and it keeps its default. The records written before
// the sections (format 1) have their own reader (DeviceStateFormat1.cpp).

#include "DeviceState.h"

#include "RecordParts.h"

#include <QtEndian>

namespace emulator {
namespace {

constexpr quint32 kMagic = 0x51444556; // "QDEV"
constexpr quint32 kFormat = 2;

// A moment as the record keeps it: none, a local time or a UTC time, each as its day and the
// milliseconds into it. The device records local times (the host's clock read as the device's);
// UTC is for the moments the clock's own arithmetic counts from. A moment of any other kind is
// written as the local time it is.
enum class MomentKind : quint8 { None = 0, Local = 1, Utc = 2 };

struct MomentOut
{
    const QDateTime& at;
};

struct MomentIn
{
    QDateTime& at;
};

MomentOut moment(const QDateTime& at)
{
    return {at};
}

MomentIn moment(QDateTime& at)
{
    return {at};
}

QDataStream& operator<<(QDataStream& out, MomentOut m)
{
    if (!m.at.isValid())
        return out << quint8(MomentKind::None);
    const bool utc = m.at.timeSpec() == Qt::UTC;
    const QDateTime at = utc || m.at.timeSpec() == Qt::LocalTime ? m.at : m.at.toLocalTime();
    return out << quint8(utc ? MomentKind::Utc : MomentKind::Local) << at.date().toJulianDay()
               << qint32(at.time().msecsSinceStartOfDay());
}

QDataStream& operator>>(QDataStream& in, MomentIn m)
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
        in.setStatus(QDataStream::ReadCorruptData);
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

void damage(QDataStream& in)
{
    in.setStatus(QDataStream::ReadCorruptData);
}

// What a document body counts by department comes with the body.
void writeBody(QDataStream& out, const DocumentBody& b)
{
    writeBodyTotals(out, b);
    writeDepartments(out, b.departmentDelta);
    out << b.lastOperationDepartment;
}

void readBody(QDataStream& in, DocumentBody& b)
{
    readBodyTotals(in, b);
    readDepartments(in, b.departmentDelta);
    in >> b.lastOperationDepartment;
}

// ---- the sections, each writer beside its reader -----------------------------------------------

void writeIdentity(QDataStream& out, const DeviceState& s)
{
    out << s.major << s.minor << s.serial << s.taxpayerNumber << s.registration << s.eklzNumber
        << s.password << s.lineWidth;
}

void readIdentity(QDataStream& in, DeviceState& s, quint32)
{
    in >> s.major >> s.minor >> s.serial >> s.taxpayerNumber >> s.registration >> s.eklzNumber >>
        s.password >> s.lineWidth;
}

void writeOptions(QDataStream& out, const DeviceState& s)
{
    out << s.options;
}

void readOptions(QDataStream& in, DeviceState& s, quint32)
{
    in >> s.options;
}

void writeClock(QDataStream& out, const DeviceState& s)
{
    out << s.clockOffsetSeconds << moment(s.clockCorrectedSince) << moment(s.clockStoppedAt);
}

void readClock(QDataStream& in, DeviceState& s, quint32)
{
    in >> s.clockOffsetSeconds >> moment(s.clockCorrectedSince) >> moment(s.clockStoppedAt);
}

void writeSensors(QDataStream& out, const DeviceState& s)
{
    const Sensors& n = s.sensors;
    out << n.paperNearEnd << n.paperOut << n.drawerOpen << n.batteryLow << n.eklzNearFull
        << n.printerError << n.eklzFull << n.slipInserted << s.drawerKicks;
}

void readSensors(QDataStream& in, DeviceState& s, quint32)
{
    Sensors& n = s.sensors;
    in >> n.paperNearEnd >> n.paperOut >> n.drawerOpen >> n.batteryLow >> n.eklzNearFull >>
        n.printerError >> n.eklzFull >> n.slipInserted >> s.drawerKicks;
}

void writeShift(QDataStream& out, const DeviceState& s)
{
    out << s.shiftOpen << s.shiftNumber << moment(s.shiftOpenedAt) << s.registerNumber << s.cashier
        << s.cashierSet;
    writeDepartments(out, s.departmentCounters);
}

void readShift(QDataStream& in, DeviceState& s, quint32)
{
    in >> s.shiftOpen >> s.shiftNumber >> moment(s.shiftOpenedAt) >> s.registerNumber >>
        s.cashier >> s.cashierSet;
    readDepartments(in, s.departmentCounters);
}

void writeCounters(QDataStream& out, const DeviceState& s)
{
    out << s.fiscalDocuments << s.nonFiscalDocuments << s.allDocuments << s.shiftCounters
        << s.totalCounters << s.cashInDrawer << s.grandSalesTotal << moment(s.lastDocumentAt);
}

void readCounters(QDataStream& in, DeviceState& s, quint32)
{
    in >> s.fiscalDocuments >> s.nonFiscalDocuments >> s.allDocuments >> s.shiftCounters >>
        s.totalCounters >> s.cashInDrawer >> s.grandSalesTotal >> moment(s.lastDocumentAt);
}

void writeDocument(QDataStream& out, const DeviceState& s)
{
    out << s.document.has_value();
    if (!s.document)
        return;
    const Document& d = *s.document;
    out << static_cast<qint32>(d.type) << d.number << d.department << d.order << d.cashier
        << moment(d.openedAt);
    writeBody(out, d.body);
    out << d.payments << d.lines << d.undo.has_value();
    if (d.undo)
        writeBody(out, *d.undo);
}

void readDocument(QDataStream& in, DeviceState& s, quint32)
{
    bool open = false;
    in >> open;
    s.document.reset();
    if (!open)
        return;
    Document& d = s.document.emplace();
    qint32 type = 0;
    in >> type >> d.number >> d.department >> d.order >> d.cashier >> moment(d.openedAt);
    d.type = static_cast<DocumentType>(type);
    readBody(in, d.body);
    bool undo = false;
    in >> bounded(d.payments) >> bounded(d.lines) >> undo;
    if (undo)
        readBody(in, d.undo.emplace());
}

void writeReceipts(QDataStream& out, const DeviceState& s)
{
    out << s.lastReceipt << s.lastReceiptTotal << s.extraStrings << s.extraStrings2
        << s.pendingExtraData;
}

void readReceipts(QDataStream& in, DeviceState& s, quint32)
{
    in >> bounded(s.lastReceipt) >> s.lastReceiptTotal >> bounded(s.extraStrings) >>
        s.extraStrings2 >> bounded(s.pendingExtraData);
}

void writeHeader(QDataStream& out, const DeviceState& s)
{
    out << s.headerLines << s.headerBold << s.paperType;
}

void readHeader(QDataStream& in, DeviceState& s, quint32)
{
    in >> bounded(s.headerLines) >> bounded(s.headerBold) >> s.paperType;
    if (s.headerLines.size() != DeviceState::kHeaderLines ||
        s.headerBold.size() != DeviceState::kHeaderLines)
        damage(in);
}

void writeTaxes(QDataStream& out, const DeviceState& s)
{
    for (int rate : s.taxRates)
        out << rate;
    for (const QString& chain : s.taxChains)
        out << chain;
    out << s.descriptors;
}

void readTaxes(QDataStream& in, DeviceState& s, quint32)
{
    for (int& rate : s.taxRates)
        in >> rate;
    for (QString& chain : s.taxChains)
        in >> chain;
    in >> s.descriptors;
}

void writeControlTape(QDataStream& out, const DeviceState& s)
{
    out << s.lastKpk << moment(s.eklzActivatedAt) << s.eklzActivationTotal << moment(s.eklzLastAt);
}

void readControlTape(QDataStream& in, DeviceState& s, quint32)
{
    in >> s.lastKpk >> moment(s.eklzActivatedAt) >> s.eklzActivationTotal >> moment(s.eklzLastAt);
}

void writePeripherals(QDataStream& out, const DeviceState& s)
{
    out << s.peripherals;
}

void readPeripherals(QDataStream& in, DeviceState& s, quint32)
{
    in >> s.peripherals;
}

// The pictures themselves are not part of the record: the store keeps them by slot.
void writeGraphics(QDataStream& out, const DeviceState& s)
{
    out << s.chosenPicture;
    writeOptional(out, s.barCode);
}

void readGraphics(QDataStream& in, DeviceState& s, quint32)
{
    in >> s.chosenPicture;
    readOptional(in, s.barCode);
    if (!isPictureChoice(s.chosenPicture))
        damage(in);
}

void writeSteering(QDataStream& out, const DeviceState& s)
{
    out << s.faultMember << s.faultCode;
}

void readSteering(QDataStream& in, DeviceState& s, quint32)
{
    in >> s.faultMember >> s.faultCode;
}

struct Section
{
    quint16 number;
    quint32 since; // the format that brought the section
    void (*write)(QDataStream&, const DeviceState&);
    void (*read)(QDataStream&, DeviceState&, quint32 format);
};

// In the order they are written. A new section takes the next number and the new format.
constexpr Section kSections[] = {
    {1, 2, writeIdentity, readIdentity},
    {2, 2, writeOptions, readOptions},
    {3, 2, writeClock, readClock},
    {4, 2, writeSensors, readSensors},
    {5, 2, writeShift, readShift},
    {6, 2, writeCounters, readCounters},
    {7, 2, writeDocument, readDocument},
    {8, 2, writeReceipts, readReceipts},
    {9, 2, writeHeader, readHeader},
    {10, 2, writeTaxes, readTaxes},
    {11, 2, writeControlTape, readControlTape},
    {12, 2, writePeripherals, readPeripherals},
    {13, 2, writeGraphics, readGraphics},
    {14, 2, writeSteering, readSteering},
};

} // namespace

QByteArray DeviceState::serialize() const
{
    QByteArray data;
    data.reserve(4096);
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(kRecordStreamVersion);
    out << kMagic << kFormat;
    for (const Section& section : kSections) {
        // The length is written once the section is, in the place kept for it.
        out << section.number << quint32(0);
        const qsizetype start = data.size();
        section.write(out, *this);
        qToBigEndian<quint32>(quint32(data.size() - start), data.data() + start - 4);
    }
    return data;
}

std::optional<DeviceState> DeviceState::deserialize(const QByteArray& data)
{
    QDataStream in(data);
    in.setVersion(kRecordStreamVersion);
    quint32 magic = 0;
    quint32 format = 0;
    in >> magic >> format;
    if (in.status() != QDataStream::Ok || magic != kMagic || format < 1 || format > kFormat)
        return std::nullopt;
    if (format == 1)
        return readFormat1(in);
    DeviceState s;
    for (const Section& section : kSections) {
        if (format < section.since)
            continue;
        quint16 number = 0;
        quint32 length = 0;
        in >> number >> length;
        if (in.status() != QDataStream::Ok || number != section.number ||
            length > quint64(in.device()->bytesAvailable()))
            return std::nullopt;
        // Each section reads its own bytes and all of them: a reader out of step with its
        // writer, or a damaged section, refuses the record.
        const qint64 at = in.device()->pos();
        QDataStream part(QByteArray::fromRawData(data.constData() + at, length));
        part.setVersion(kRecordStreamVersion);
        section.read(part, s, format);
        if (part.status() != QDataStream::Ok || !part.atEnd())
            return std::nullopt;
        in.skipRawData(int(length));
    }
    if (!in.atEnd())
        return std::nullopt;
    return s;
}

} // namespace emulator
