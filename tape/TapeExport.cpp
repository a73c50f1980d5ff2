#include "TapeExport.h"

#include "TapePainter.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace view {
namespace {

// How many lines of the store one stretch reads.
constexpr qint64 kStretchLines = 2000;

QString failedWrite(const QString& path, const QString& cause)
{
    return u"Не удалось записать %1: %2"_s.arg(path, cause);
}

// Reads the rows one by one out of the stretches of a source.
class RowReader
{
public:
    explicit RowReader(const RowSource& source) : m_source(source) {}

    // The next row, or null at the end or on a failure (error() tells which).
    const TapeRow* next()
    {
        while (m_at >= m_rows.size()) {
            if (m_done)
                return nullptr;
            emulator::Expected<QList<TapeRow>> rows = m_source();
            if (!rows) {
                m_error = u"лента не читается: "_s + rows.detail();
                m_done = true;
                return nullptr;
            }
            m_done = rows->isEmpty();
            m_rows = std::move(*rows);
            m_at = 0;
        }
        return &m_rows[m_at++];
    }
    const QString& error() const { return m_error; }

private:
    const RowSource& m_source;
    QList<TapeRow> m_rows;
    qsizetype m_at = 0;
    bool m_done = false;
    QString m_error;
};

// The picture as the printer's head makes it: a dot of ink or none. The paper is black on white
// but for a faint tint and the soft edges of letters, so one bit a dot keeps every letter
// readable, and the file is an eighth of shades of grey and written ten times faster. Qt's own
// conversion goes through a colour a pixel; the threshold is taken here in one pass.
QImage inkDots(const QImage& strip)
{
    QImage dots(strip.size(), QImage::Format_Mono);
    if (dots.isNull())
        return dots;
    dots.setColorTable({qRgb(0xFF, 0xFF, 0xFF), qRgb(0, 0, 0)});
    const int width = strip.width();
    for (int y = 0; y < strip.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(strip.constScanLine(y));
        uchar* out = dots.scanLine(y);
        std::fill(out, out + dots.bytesPerLine(), uchar(0));
        for (int x = 0; x < width; ++x) {
            if (qGray(in[x]) < 128)
                out[x >> 3] |= uchar(0x80 >> (x & 7));
        }
    }
    return dots;
}

// `path` with `-number` before its suffix.
QString numbered(const QString& path, int number)
{
    const QFileInfo file(path);
    const QString name = u"%1-%2"_s.arg(file.completeBaseName()).arg(number);
    return file.dir().filePath(file.suffix().isEmpty() ? name : name + u'.' + file.suffix());
}

} // namespace

RowSource storedRows(emulator::DeviceStore& store, qint64 firstId, qint64 lastId,
                     emulator::Paper paper)
{
    return [&store, next = firstId, lastId, paper]() mutable {
        using Rows = emulator::Expected<QList<TapeRow>>;
        while (next <= lastId) {
            const qint64 last = std::min(lastId, next + kStretchLines - 1);
            const auto lines = store.tapeLines(next, last, paper);
            if (!lines)
                return Rows(lines.failure(), lines.detail());
            next = last + 1;
            // A stretch of lower halves of tall lines alone has no rows: read on.
            QList<TapeRow> rows = TapeModel::rowsOf(*lines);
            if (!rows.isEmpty())
                return Rows(std::move(rows));
        }
        return Rows(QList<TapeRow>());
    };
}

RowSource loadedRows(const QList<TapeRow>& rows, int first, int last)
{
    return [&rows, first = std::max(first, 0),
            last = std::min<int>(last, static_cast<int>(rows.size()) - 1), done = false]() mutable {
        QList<TapeRow> stretch;
        if (!done && first <= last)
            stretch = rows.mid(first, last - first + 1);
        done = true;
        return emulator::Expected<QList<TapeRow>>(std::move(stretch));
    };
}

TapeExport writeTapePdf(const TapePainter& painter, const QString& path, const RowSource& rows)
{
    TapeExport result;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = failedWrite(path, file.errorString());
        return result;
    }
    RowReader reader(rows);
    const TapeRow* row = reader.next();
    if (!row) {
        result.error = reader.error().isEmpty() ? u"Сохранять нечего"_s : reader.error();
        return result;
    }
    // A dot of the page for a dot of the screen's paper, at the screen's 96 dots to the inch: the
    // paper comes out about as wide as the real one, and the font in the size the window shows.
    constexpr double kPointsPerDot = 72.0 / 96.0;
    QPdfWriter writer(&file);
    writer.setCreator(u"TestQuolt"_s);
    writer.setResolution(96);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    if (!writer.setPageSize(
            QPageSize(QSizeF(painter.paperWidth() * kPointsPerDot, kPdfPageLength * kPointsPerDot),
                      QPageSize::Point))) {
        result.error = failedWrite(path, u"размер страницы не принят"_s);
        return result;
    }
    QPainter pen;
    if (!pen.begin(&writer)) {
        result.error = failedWrite(path, u"PDF не создаётся"_s);
        return result;
    }
    int top = 0;
    for (; row; row = reader.next()) {
        const int height = painter.rowHeight(*row);
        // A row taller than a page (a long picture) gets a page of its own and is cut there.
        if (top > 0 && top + height > kPdfPageLength) {
            if (!writer.newPage()) {
                pen.end();
                result.error = failedWrite(path, u"новая страница не создаётся"_s);
                return result;
            }
            top = 0;
        }
        painter.paint(pen, *row, top);
        top += height;
    }
    if (!pen.end() || !reader.error().isEmpty()) {
        result.error = reader.error().isEmpty() ? failedWrite(path, file.errorString())
                                                : failedWrite(path, reader.error());
        return result;
    }
    if (!file.commit()) {
        result.error = failedWrite(path, file.errorString());
        return result;
    }
    result.files << path;
    return result;
}

TapeExport writeTapePng(const TapePainter& painter, const QString& path, const RowSource& rows,
                        qint64 stripBytes)
{
    TapeExport result;
    const int width = painter.paperWidth();
    const int stripHeight =
        static_cast<int>(std::clamp<qint64>(stripBytes / (qint64(width) * 4), 1, 32767));
    RowReader reader(rows);
    int number = 0;
    for (const TapeRow* row = reader.next(); row;) {
        // The rows that fit one strip (at least one, however tall).
        QList<TapeRow> part;
        int height = 0;
        for (; row; row = reader.next()) {
            const int rowHeight = painter.rowHeight(*row);
            if (!part.isEmpty() && height + rowHeight > stripHeight)
                break;
            part.append(*row);
            height += rowHeight;
        }
        if (!reader.error().isEmpty())
            break;
        ++number;
        // One file when everything fitted the first strip; numbered files otherwise.
        const QString name = number == 1 && !row ? path : numbered(path, number);
        // Made anew for each strip, after the last one went: one picture in memory at a time.
        QImage strip(width, height, QImage::Format_RGB32);
        if (strip.isNull()) {
            result.error = failedWrite(name, u"не хватает памяти"_s);
            return result;
        }
        strip.fill(Qt::white);
        {
            QPainter pen(&strip);
            int top = 0;
            for (const TapeRow& each : part) {
                painter.paint(pen, each, top);
                top += painter.rowHeight(each);
            }
        }
        const QImage dots = inkDots(strip);
        strip = QImage();
        QSaveFile file(name);
        QImageWriter writer(&file, "png");
        // The paper is mostly blank: the fastest compression already packs it tightly.
        writer.setCompression(20); // zlib's level 1 on Qt's scale of 0 to 100
        if (dots.isNull()) {
            result.error = failedWrite(name, u"не хватает памяти"_s);
            return result;
        }
        if (!file.open(QIODevice::WriteOnly) || !writer.write(dots) || !file.commit()) {
            const QString cause =
                file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
            result.error = failedWrite(name, cause);
            return result;
        }
        result.files << name;
    }
    if (!reader.error().isEmpty())
        result.error = failedWrite(path, reader.error());
    else if (result.files.isEmpty())
        result.error = u"Сохранять нечего"_s;
    return result;
}

} // namespace view
