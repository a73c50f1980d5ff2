#pragma once

#include "DeviceStore.h"
#include "TapeModel.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace view {

class TapePainter;

// Hands over the rows to draw a stretch at a time: an empty list when there are no more, a
// failure when the tape cannot be read.
using RowSource = std::function<emulator::Expected<QList<TapeRow>>()>;

// The rows of the lines from `firstId` to `lastId` of one paper, read from the store a stretch
// of lines at a time, so that a long tape is never held whole.
RowSource storedRows(emulator::DeviceStore& store, qint64 firstId, qint64 lastId,
                     emulator::Paper paper = emulator::Paper::Roll);
// The rows from `first` to `last` of rows already loaded (they must outlive the source).
RowSource loadedRows(const QList<TapeRow>& rows, int first, int last);

// The longest stretch of paper on one PDF page, in dots of the picture (96 to the inch, as the
// screen draws the paper): as long as a page of A4.
inline constexpr int kPdfPageLength = 1123;
// The largest picture of one PNG file, in bytes of its pixels.
inline constexpr qint64 kPngStripBytes = 24LL * 1024 * 1024;

// What a save wrote, or why it failed (a failure names the file and the cause; files written
// before it are listed all the same).
struct TapeExport
{
    QStringList files;
    QString error;

    bool ok() const { return error.isEmpty() && !files.isEmpty(); }
};

// The rows as a PDF document of pages of paper length, one stretch of tape per page; a row never
// straddles two pages. Only one page is held in memory at a time, and the file appears only when
// all of it was written.
TapeExport writeTapePdf(const TapePainter& painter, const QString& path, const RowSource& rows);

// The rows as PNG pictures of one bit a dot (ink or none, as the printer's head prints), each
// drawn on at most `stripBytes` of pixels: one file at `path` when they fit, otherwise several,
// numbered after its name (tape-1.png, tape-2.png, ...). Only one picture is held in memory at a
// time.
TapeExport writeTapePng(const TapePainter& painter, const QString& path, const RowSource& rows,
                        qint64 stripBytes = kPngStripBytes);

} // namespace view
