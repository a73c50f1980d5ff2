#include "DeviceSession.h"
#include "TapeExport.h"
#include "TapeModel.h"
#include "TapePainter.h"

#include "EmulatorFixture.h"

#include <QImage>
#include <QProcess>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace view;
using emulator::TapeLine;
namespace Style = emulator::TapeStyle;

namespace {

// `count` numbered lines, torn off after every tenth, every seventh one tall.
QList<TapeLine> numberedLines(int count)
{
    QList<TapeLine> lines;
    for (int i = 1; i <= count; ++i) {
        lines.append({i, u"СТРОКА %1"_s.arg(i, 4, 10, QLatin1Char('0')),
                      i % 7 == 0 ? Style::DoubleHeight : 0, i % 10 == 0});
    }
    return lines;
}

int heightOf(const TapePainter& painter, const QList<TapeRow>& rows)
{
    int height = 0;
    for (const TapeRow& row : rows)
        height += painter.rowHeight(row);
    return height;
}

// Whether the picture has a dot of ink (dark) anywhere.
bool inked(const QImage& page)
{
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 100)
                return true;
        }
    }
    return false;
}

// What a program of poppler printed; nothing when it failed.
std::optional<QString> run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestTapeExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pdfIsReadablePageByPage();
    void pngIsWrittenInStrips_data();
    void pngIsWrittenInStrips();
    void failedSaveIsReported_data();
    void failedSaveIsReported();
    void storedRowsAreTheRowsOfTheTape();
};

void TestTapeExport::initTestCase()
{
    if (QStandardPaths::findExecutable(u"pdftoppm"_s).isEmpty() ||
        QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("poppler-utils (pdftoppm, pdftotext) is not installed");
}

void TestTapeExport::pdfIsReadablePageByPage()
{
    const TapePainter painter(40);
    const QList<TapeRow> rows = TapeModel::rowsOf(numberedLines(300));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"shift.pdf"_s);
    const TapeExport saved =
        writeTapePdf(painter, pdf, loadedRows(rows, 0, static_cast<int>(rows.size()) - 1));
    QVERIFY2(saved.ok(), qPrintable(saved.error));
    QCOMPARE(saved.files, QStringList{pdf});

    // Every page a stretch of paper at the paper's width, with something printed on it.
    QVERIFY(run(u"pdftoppm"_s, {u"-r"_s, u"96"_s, u"-png"_s, pdf, dir.filePath(u"page"_s)}));
    const QStringList pages = QDir(dir.path()).entryList({u"page*.png"_s}, QDir::Files);
    const int length = heightOf(painter, rows);
    QVERIFY2(pages.size() >= length / kPdfPageLength + 1, qPrintable(pages.join(u' ')));
    for (const QString& name : pages) {
        const QImage page(dir.filePath(name));
        QCOMPARE(page.width(), painter.paperWidth());
        QCOMPARE(page.height(), kPdfPageLength);
        QVERIFY2(inked(page), qPrintable(name));
    }
    // No line is lost or doubled where a page ends.
    const std::optional<QString> text = run(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    QVERIFY(text);
    QStringList found;
    for (const QString& line : text->split(u'\n')) {
        // Letters are set one by one on the printer's grid: spacing reads loosely.
        if (line.trimmed().startsWith(u"СТРОКА"_s))
            found << line.simplified();
    }
    QCOMPARE(found.size(), 300);
    QCOMPARE(found.constFirst(), u"СТРОКА 0001"_s);
    QCOMPARE(found.constLast(), u"СТРОКА 0300"_s);
}

void TestTapeExport::pngIsWrittenInStrips_data()
{
    QTest::addColumn<qint64>("stripBytes");
    QTest::addColumn<bool>("several");

    QTest::newRow("fits one picture") << kPngStripBytes << false;
    QTest::newRow("several pictures, numbered") << qint64(400 * 400 * 4) << true;
}

void TestTapeExport::pngIsWrittenInStrips()
{
    QFETCH(qint64, stripBytes);
    QFETCH(bool, several);
    const TapePainter painter(40);
    const QList<TapeRow> rows = TapeModel::rowsOf(numberedLines(100));
    QTemporaryDir dir;
    const TapeExport saved =
        writeTapePng(painter, dir.filePath(u"shift.png"_s),
                     loadedRows(rows, 0, static_cast<int>(rows.size()) - 1), stripBytes);
    QVERIFY2(saved.ok(), qPrintable(saved.error));
    // Dot for dot, the strips are the paper as the painter draws it, ink where it is dark.
    const QImage drawn = painter.image(rows, 0, static_cast<int>(rows.size()) - 1);
    QStringList written;
    int height = 0;
    for (const QString& path : saved.files) {
        written << QFileInfo(path).fileName();
        const QImage strip(path);
        QCOMPARE(strip.width(), painter.paperWidth());
        QVERIFY(qint64(strip.width()) * strip.height() * 4 <= stripBytes);
        for (int y = 0; y < strip.height(); ++y) {
            for (int x = 0; x < strip.width(); ++x) {
                const bool ink = qGray(drawn.pixel(x, height + y)) < 128;
                if ((qGray(strip.pixel(x, y)) < 128) != ink)
                    QFAIL(qPrintable(u"%1: dot %2, %3 differs"_s.arg(path).arg(x).arg(y)));
            }
        }
        height += strip.height();
    }
    QStringList expected{u"shift.png"_s};
    if (several) {
        QVERIFY(written.size() > 2);
        expected.clear();
        for (qsizetype i = 1; i <= written.size(); ++i)
            expected << u"shift-%1.png"_s.arg(i);
    }
    QCOMPARE(written, expected);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name).size(), written.size());
    // The strips together are the whole stretch, no row cut or left out.
    QCOMPARE(height, heightOf(painter, rows));
}

void TestTapeExport::failedSaveIsReported_data()
{
    QTest::addColumn<bool>("pdf");
    QTest::addColumn<QString>("where");

    for (const bool pdf : {true, false}) {
        const char* kind = pdf ? "PDF" : "PNG";
        QTest::addRow("%s into a folder that does not exist", kind) << pdf << u"missing/shift"_s;
        QTest::addRow("%s into a folder that is a file", kind) << pdf << u"file/shift"_s;
    }
}

void TestTapeExport::failedSaveIsReported()
{
    QFETCH(bool, pdf);
    QFETCH(QString, where);
    QTemporaryDir dir;
    QFile blocker(dir.filePath(u"file"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const TapePainter painter(40);
    const QList<TapeRow> rows = TapeModel::rowsOf(numberedLines(20));
    const QString path = dir.filePath(where + (pdf ? u".pdf"_s : u".png"_s));
    const RowSource source = loadedRows(rows, 0, static_cast<int>(rows.size()) - 1);
    const TapeExport saved =
        pdf ? writeTapePdf(painter, path, source) : writeTapePng(painter, path, source);
    QVERIFY(!saved.ok());
    QVERIFY2(saved.error.contains(path), qPrintable(saved.error));
    QVERIFY(saved.files.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{u"file"_s});
}

void TestTapeExport::storedRowsAreTheRowsOfTheTape()
{
    // Longer than one stretch of reading, with tall lines split across stretches.
    QTemporaryDir dir;
    emulator::testing::createDevice(dir.path(), 1, 6, 1);
    auto session = emulator::DeviceSession::open(dir.path(), 1);
    QVERIFY(session);
    emulator::Effects effects;
    for (int i = 0; i < 4500; ++i) {
        effects.tape << u"СТРОКА %1"_s.arg(i);
        if (i % 9 == 0)
            effects.tapeStyles[i] = Style::DoubleHeight;
        if (i % 9 == 1)
            effects.tapeStyles[i] = Style::DoubleHeight | Style::LowerHalf;
        if (i % 25 == 0)
            effects.tapeCuts << i;
    }
    emulator::DeviceStore& store = (*session)->store();
    QVERIFY(store.beginWrite() && store.save((*session)->device().state(), effects) &&
            store.commit());
    const auto span = store.tapeSpan();
    QVERIFY(span && span->last > span->first);
    const auto lines = store.tapeLines(span->first, span->last);
    QVERIFY(lines);

    QList<TapeRow> read;
    const RowSource source = storedRows(store, span->first, span->last);
    for (;;) {
        const auto stretch = source();
        QVERIFY2(stretch, qPrintable(stretch.detail()));
        if (stretch->isEmpty())
            break;
        read += *stretch;
    }
    QVERIFY(read == TapeModel::rowsOf(*lines));
}

QTEST_MAIN(TestTapeExport)
#include "tst_tapeexport.moc"
