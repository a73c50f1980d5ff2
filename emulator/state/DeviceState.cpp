// The device's saved record. It is written at every call, so it is a plain binary record rather
// than a keyed format, which would cost more than everything else a call does.
//
// The record is its magic, its format number and then numbered sections, each written as its
// number, its length and its content (RecordCodec.h), and room to grow. Each section's writer and
// reader stand side by side below. Changing what a section holds changes the format number: the
// reader is given the format of the record it reads and reads the older layout too, and a section
// added later has the format it came with, so an older record simply lacks it and it keeps its
// default. The records written before the sections (format 1) have their own reader
// (DeviceStateFormat1.cpp).

#include "DeviceState.h"

#include "RecordParts.h"

#include <QDataStream>
#include <QtEndian>

#include <algorithm>

namespace emulator {
namespace {

constexpr quint32 kMagic = 0x51444556; // "QDEV"
constexpr quint32 kFormat = 2;

// ---- the sections, each writer beside its reader -----------------------------------------------

void writeIdentity(RecordWriter& out, const DeviceState& s)
{
    out << s.major << s.minor << s.serial << s.taxpayerNumber << s.registration << s.eklzNumber
        << s.password << s.lineWidth;
}

void readIdentity(RecordReader& in, DeviceState& s, quint32)
{
    in >> s.major >> s.minor >> s.serial >> s.taxpayerNumber >> s.registration >> s.eklzNumber >>
        s.password >> s.lineWidth;
}

void writeOptions(RecordWriter& out, const DeviceState& s)
{
    out << s.options;
}

void readOptions(RecordReader& in, DeviceState& s, quint32)
{
    in >> s.options;
}

void writeClock(RecordWriter& out, const DeviceState& s)
{
    out << s.clockOffsetSeconds << moment(s.clockCorrectedSince) << moment(s.clockStoppedAt);
}

void readClock(RecordReader& in, DeviceState& s, quint32)
{
    in >> s.clockOffsetSeconds >> moment(s.clockCorrectedSince) >> moment(s.clockStoppedAt);
}

void writeSensors(RecordWriter& out, const DeviceState& s)
{
    const Sensors& n = s.sensors;
    out << n.paperNearEnd << n.paperOut << n.drawerOpen << n.batteryLow << n.eklzNearFull
        << n.printerError << n.eklzFull << n.slipInserted << s.drawerKicks;
}

void readSensors(RecordReader& in, DeviceState& s, quint32)
{
    Sensors& n = s.sensors;
    in >> n.paperNearEnd >> n.paperOut >> n.drawerOpen >> n.batteryLow >> n.eklzNearFull >>
        n.printerError >> n.eklzFull >> n.slipInserted >> s.drawerKicks;
}

void writeShift(RecordWriter& out, const DeviceState& s)
{
    out << s.shiftOpen << s.shiftNumber << moment(s.shiftOpenedAt) << s.registerNumber << s.cashier
        << s.cashierSet << departments(s.departmentCounters);
}

void readShift(RecordReader& in, DeviceState& s, quint32)
{
    in >> s.shiftOpen >> s.shiftNumber >> moment(s.shiftOpenedAt) >> s.registerNumber >>
        s.cashier >> s.cashierSet >> departments(s.departmentCounters);
}

void writeCounters(RecordWriter& out, const DeviceState& s)
{
    out << s.fiscalDocuments << s.nonFiscalDocuments << s.allDocuments << s.shiftCounters
        << s.totalCounters << s.cashInDrawer << s.grandSalesTotal << moment(s.lastDocumentAt);
}

void readCounters(RecordReader& in, DeviceState& s, quint32)
{
    in >> s.fiscalDocuments >> s.nonFiscalDocuments >> s.allDocuments >> s.shiftCounters >>
        s.totalCounters >> s.cashInDrawer >> s.grandSalesTotal >> moment(s.lastDocumentAt);
}

void writeDocument(RecordWriter& out, const DeviceState& s)
{
    out << s.document;
}

void readDocument(RecordReader& in, DeviceState& s, quint32)
{
    in >> s.document;
}

void writeReceipts(RecordWriter& out, const DeviceState& s)
{
    out << s.lastReceipt << s.lastReceiptTotal << s.extraStrings << s.extraStrings2
        << s.pendingExtraData;
}

void readReceipts(RecordReader& in, DeviceState& s, quint32)
{
    in >> s.lastReceipt >> s.lastReceiptTotal >> s.extraStrings >> s.extraStrings2 >>
        s.pendingExtraData;
}

void writeHeader(RecordWriter& out, const DeviceState& s)
{
    out << s.headerLines << s.headerBold << s.paperType;
}

void readHeader(RecordReader& in, DeviceState& s, quint32)
{
    in >> s.headerLines >> s.headerBold >> s.paperType;
    if (s.headerLines.size() != DeviceState::kHeaderLines ||
        s.headerBold.size() != DeviceState::kHeaderLines)
        in.damage();
}

void writeTaxes(RecordWriter& out, const DeviceState& s)
{
    out << s.taxRates << s.taxChains << s.descriptors;
}

void readTaxes(RecordReader& in, DeviceState& s, quint32)
{
    in >> s.taxRates >> s.taxChains >> s.descriptors;
}

void writeControlTape(RecordWriter& out, const DeviceState& s)
{
    out << s.lastKpk << moment(s.eklzActivatedAt) << s.eklzActivationTotal << moment(s.eklzLastAt);
}

void readControlTape(RecordReader& in, DeviceState& s, quint32)
{
    in >> s.lastKpk >> moment(s.eklzActivatedAt) >> s.eklzActivationTotal >> moment(s.eklzLastAt);
}

void writePeripherals(RecordWriter& out, const DeviceState& s)
{
    out << s.peripherals;
}

void readPeripherals(RecordReader& in, DeviceState& s, quint32)
{
    in >> s.peripherals;
}

// The pictures themselves are not part of the record: the store keeps them by slot.
void writeGraphics(RecordWriter& out, const DeviceState& s)
{
    out << s.chosenPicture << s.barCode;
}

void readGraphics(RecordReader& in, DeviceState& s, quint32)
{
    in >> s.chosenPicture >> s.barCode;
    if (!isPictureChoice(s.chosenPicture))
        in.damage();
}

void writeSteering(RecordWriter& out, const DeviceState& s)
{
    out << s.faultMember << s.faultCode;
}

void readSteering(RecordReader& in, DeviceState& s, quint32)
{
    in >> s.faultMember >> s.faultCode;
}

struct Section
{
    quint16 number;
    quint32 since; // the format that brought the section
    void (*write)(RecordWriter&, const DeviceState&);
    void (*read)(RecordReader&, DeviceState&, quint32 format);
};

// In the order they are written: what a call changes most often comes last, so that saving the
// record rewrites the least of it (a position changes the open document alone). A new section
// takes the next number and the new format.
constexpr Section kSections[] = {
    {1, 2, writeIdentity, readIdentity},
    {2, 2, writeOptions, readOptions},
    {3, 2, writeHeader, readHeader},
    {4, 2, writeTaxes, readTaxes},
    {5, 2, writePeripherals, readPeripherals},
    {6, 2, writeGraphics, readGraphics},
    {7, 2, writeSteering, readSteering},
    {8, 2, writeClock, readClock},
    {9, 2, writeSensors, readSensors},
    {10, 2, writeControlTape, readControlTape},
    {11, 2, writeShift, readShift},
    {12, 2, writeCounters, readCounters},
    {13, 2, writeReceipts, readReceipts},
    {14, 2, writeDocument, readDocument},
};

// The record ends in room of zeros up to the next multiple of this size, so that its size stays
// the same from one save to the next: the database then rewrites it in place, only the pages that
// changed, instead of freeing and finding room for all of it.
constexpr qsizetype kRoomStep = 1024;

} // namespace

QByteArray DeviceState::serialize() const
{
    QByteArray data;
    data.reserve(8 * kRoomStep);
    RecordWriter out(data);
    out << kMagic << kFormat;
    for (const Section& section : kSections) {
        // The length is written once the section is, in the place kept for it.
        out << section.number << quint32(0);
        const qsizetype start = out.size();
        section.write(out, *this);
        out.rewrite32(start - 4, quint32(out.size() - start));
    }
    data.resize((data.size() / kRoomStep + 1) * kRoomStep, '\0');
    return data;
}

std::optional<DeviceState> DeviceState::deserialize(const QByteArray& data)
{
    RecordReader in(data.constData(), data.size());
    quint32 magic = 0;
    quint32 format = 0;
    in >> magic >> format;
    // Format 1 was Qt's big-endian stream; its magic reads the other way round here.
    if (in.ok() && qFromBigEndian(magic) == kMagic && qFromBigEndian(format) == 1) {
        QDataStream legacy(data);
        legacy.setVersion(QDataStream::Qt_6_4);
        legacy.skipRawData(8);
        return readFormat1(legacy);
    }
    if (!in.ok() || magic != kMagic || format < 2 || format > kFormat)
        return std::nullopt;
    DeviceState s;
    for (const Section& section : kSections) {
        if (format < section.since)
            continue;
        quint16 number = 0;
        quint32 length = 0;
        in >> number >> length;
        // Each section reads its own bytes and all of them: a reader out of step with its
        // writer, or a damaged section, refuses the record.
        RecordReader part = in.part(length);
        if (!in.ok() || number != section.number)
            return std::nullopt;
        section.read(part, s, format);
        if (!part.ok() || !part.atEnd())
            return std::nullopt;
    }
    // The room after the sections holds zeros and ends on its step.
    const char* room = in.position();
    if (data.size() % kRoomStep != 0 || in.atEnd() ||
        std::any_of(room, room + in.left(), [](char c) { return c != 0; }))
        return std::nullopt;
    return s;
}

} // namespace emulator
