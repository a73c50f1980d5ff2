// The commands that read the device: its state, its tape, its display and the result codes.

#include "ToolCommands.h"

#include "DeviceNumbers.h"
#include "ErrorCodes.h"
#include "Printout.h"
#include "Raster.h"
#include "TapeExport.h"
#include "TapeModel.h"
#include "TapePainter.h"

#include <QImage>

using namespace Qt::StringLiterals;
using namespace emulator;

namespace tool {
namespace {

QString countText(const Expected<qint64>& count)
{
    return count ? QString::number(*count) : u"?"_s;
}

// The tallest picture of the tape drawn at once; a longer tape is drawn by its last lines.
constexpr int kMaxPictureHeight = 60'000;

// The roll as the program's tape window draws it, into a PNG file. The rows are read a stretch
// at a time and counted as they come: a tape too long for one picture is refused as soon as it
// is known to be, without reading the rest of it.
int drawTape(const Invocation& in, int last, const QString& path)
{
    DeviceStore& store = in.session->store();
    const Expected<TapeSpan> span = store.tapeSpan();
    if (!span)
        return failWith(u"the tape cannot be read: "_s + span.detail());
    const view::TapePainter painter(in.session->device().state().lineWidth);
    QList<view::TapeRow> rows;
    if (span->last > 0) {
        const qint64 first = last > 0 ? std::max(span->first, span->last - last + 1) : span->first;
        const view::RowSource source = view::storedRows(store, first, span->last);
        qint64 height = 0;
        for (;;) {
            const Expected<QList<view::TapeRow>> stretch = source();
            if (!stretch)
                return failWith(u"the tape cannot be read: "_s + stretch.detail());
            if (stretch->isEmpty())
                break;
            for (const view::TapeRow& row : *stretch)
                height += painter.rowHeight(row);
            if (height > kMaxPictureHeight) {
                return failWith(u"the tape is more than %1 dots long, too long for one picture;"
                                u" draw its last lines with --last N"_s.arg(kMaxPictureHeight));
            }
            rows += *stretch;
        }
    }
    const QImage image = painter.image(rows, 0, int(rows.size()) - 1);
    if (image.isNull() || !image.save(path, "PNG"))
        return failWith(u"cannot write "_s + path);
    out() << u"%1 rows of the tape drawn into %2"_s.arg(rows.size()).arg(path) << Qt::endl;
    return 0;
}

} // namespace

int show(const Invocation& in)
{
    const Device& device = in.session->device();
    DeviceStore& store = in.session->store();
    const DeviceState& s = device.state();
    out() << u"Database:        "_s << store.path() << Qt::endl;
    out() << u"Generation:      "_s << s.major << u'.' << s.minor << Qt::endl;
    out() << u"Serial number:   "_s << s.serial << Qt::endl;
    out() << u"Taxpayer (INN):  "_s << s.taxpayerNumber << Qt::endl;
    out() << u"Registration:    "_s << s.registration << Qt::endl;
    out() << u"EKLZ:            %1, activated %2 at a sales total of %3, last KPK %4"_s
                 .arg(s.eklzNumber,
                      s.eklzActivatedAt.isValid()
                          ? s.eklzActivatedAt.toString(u"dd.MM.yyyy HH:mm"_s)
                          : u"--"_s,
                      formatMoney(s.eklzActivationTotal))
                 .arg(s.lastKpk)
          << Qt::endl;
    out() << u"Device clock:    "_s << device.now().toString(u"dd.MM.yyyy HH:mm:ss"_s)
          << (s.clockOffsetSeconds > 0   ? u" (moved %1 s forward)"_s.arg(s.clockOffsetSeconds)
              : s.clockOffsetSeconds < 0 ? u" (moved %1 s back)"_s.arg(-s.clockOffsetSeconds)
                                         : QString())
          << (s.clockStoppedAt.isValid() ? u", stopped"_s : QString()) << Qt::endl;
    out() << u"Shift:           "_s
          << (s.shiftOpen ? u"%1 open since %2, cashier %3"_s.arg(s.shiftNumber)
                                .arg(s.shiftOpenedAt.toString(u"dd.MM.yyyy HH:mm"_s), s.cashier)
                          : u"closed (%1 so far)"_s.arg(s.shiftNumber))
          << (device.checkShiftLimit().ok() ? QString() : u", TOO LONG"_s) << Qt::endl;
    if (s.document) {
        out() << u"Open document:   type %1, number %2, %3 entries, total %4, paid %5"_s
                     .arg(static_cast<int>(s.document->type))
                     .arg(s.document->number)
                     .arg(s.document->body.entries.size())
                     .arg(formatMoney(device.documentTotal()), formatMoney(device.paidTotal()))
              << Qt::endl;
    } else {
        out() << u"Open document:   none"_s << Qt::endl;
    }
    out() << u"Documents:       %1 in all, %2 fiscal, %3 non-fiscal; %4 on the control tape"_s
                 .arg(s.allDocuments)
                 .arg(s.fiscalDocuments)
                 .arg(s.nonFiscalDocuments)
                 .arg(countText(store.documentCount()))
          << Qt::endl;
    out() << u"Z reports:       "_s << s.totalCounters[Counter::LastZNumber] << Qt::endl;
    out() << u"Sales total:     "_s << formatMoney(s.grandSalesTotal) << Qt::endl;
    out() << u"Cash in drawer:  "_s << formatMoney(s.cashInDrawer) << Qt::endl;
    out() << u"Drawer kicks:    "_s << s.drawerKicks << Qt::endl;
    out() << u"Tape:            %1 lines"_s.arg(countText(store.tapeLineCount())) << Qt::endl;
    out() << u"Pending fault:   "_s
          << (s.faultMember.isEmpty() ? u"none"_s
                                      : u"%1 -> %2"_s.arg(s.faultMember).arg(s.faultCode))
          << Qt::endl;
    out() << u"Sensors:"_s << Qt::endl;
    showSensors(s);
    return 0;
}

int tape(const Invocation& in)
{
    int last = 0;
    if (in.parser.isSet(u"last"_s)) {
        bool ok = false;
        last = in.parser.value(u"last"_s).toInt(&ok);
        if (!ok || last < 1)
            return usageError(u"--last takes a positive number of lines"_s);
    }
    const Paper paper = in.parser.isSet(u"slips"_s) ? Paper::Slip : Paper::Roll;
    if (in.parser.isSet(u"png"_s)) {
        if (paper == Paper::Slip)
            return usageError(u"--png draws the roll, not the slips"_s);
        return drawTape(in, last, in.parser.value(u"png"_s));
    }
    const Expected<QStringList> lines = in.session->store().tape(last, paper);
    if (!lines)
        return failWith(u"the tape cannot be read: "_s + lines.detail());
    // Styles are shown in brackets after the line, pictures and bar codes by a placeholder.
    for (const QString& line : *lines) {
        if (const std::optional<emulator::Raster> raster = emulator::rasterOfTapeLine(line)) {
            out() << emulator::rasterPlaceholder(*raster) << Qt::endl;
            continue;
        }
        const emulator::TapeText text = emulator::tapeText(line);
        out() << text.text;
        if (text.bold || text.tall)
            out() << (text.bold && text.tall ? u"  [жирный, высокий]"_s
                      : text.bold            ? u"  [жирный]"_s
                                             : u"  [высокий]"_s);
        out() << Qt::endl;
    }
    return 0;
}

// The customer display as a customer sees it, framed, with its protocol and lock.
int display(const Invocation& in)
{
    const Device& device = in.session->device();
    const QString border = u'+' + QString(DisplayScreen::kColumns, u'-') + u'+';
    out() << border << Qt::endl;
    for (const QString& line : device.state().peripherals.display.lines)
        out() << u'|' << line << u'|' << Qt::endl;
    out() << border << Qt::endl;
    Failure ignored;
    const bool epson =
        device.deviceOption(DeviceOption::LineDisplayProtocol, ignored) == DisplayProtocol::Epson;
    out() << u"Protocol:        "_s << (epson ? u"Epson"_s : u"Birch"_s) << Qt::endl;
    out() << u"Locked:          "_s << (device.lineDisplayLocked() ? u"yes"_s : u"no"_s)
          << Qt::endl;
    return 0;
}

int codes(const Invocation&)
{
    std::size_t count = 0;
    const ErrorCodeInfo* table = errorCodeTable(count);
    for (std::size_t i = 0; i < count; ++i) {
        out() << QString::number(static_cast<int>(table[i].code)).rightJustified(3) << u"  "_s
              << QString::fromUtf16(table[i].russian) << u" / "_s
              << QString::fromUtf16(table[i].english) << Qt::endl;
    }
    return 0;
}

} // namespace tool
