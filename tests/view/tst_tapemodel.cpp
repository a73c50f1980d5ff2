#include "DeviceNumbers.h"
#include "DeviceStore.h"
#include "Printout.h"
#include "Raster.h"
#include "TapeModel.h"
#include "TapePainter.h"

#include "EmulatorFixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace view;
using emulator::TapeLine;
namespace Style = emulator::TapeStyle;

Q_DECLARE_METATYPE(QList<emulator::TapeLine>)

namespace {

// "text" plain, "text/3" styled, "[WxH]" a picture, "|" a torn edge.
QStringList described(const QList<TapeRow>& rows)
{
    QStringList out;
    for (const TapeRow& row : rows) {
        switch (row.kind) {
        case TapeRow::Kind::Tear:
            out << u"|"_s;
            break;
        case TapeRow::Kind::Picture:
            out << u"[%1x%2]"_s.arg(row.raster.width).arg(row.raster.height);
            break;
        case TapeRow::Kind::Text:
            out << (row.style ? u"%1/%2"_s.arg(row.text).arg(row.style) : row.text);
            break;
        }
    }
    return out;
}

QString pictureLine()
{
    emulator::Raster raster(16, 3);
    raster.setDot(0, 0);
    raster.setDot(15, 2);
    return emulator::rasterTapeLine(raster);
}

// The whole tape of the test device as lines with their marks.
QList<TapeLine> wholeTape(const QString& folder)
{
    auto store = emulator::DeviceStore::open(folder, 1, emulator::OpenMode::ExistingOnly);
    if (!store)
        return {};
    const auto span = (*store)->tapeSpan();
    const auto lines = (*store)->tapeLines(span->first, span->last);
    return lines ? *lines : QList<TapeLine>();
}

} // namespace

class TestTapeModel : public QObject
{
    Q_OBJECT

private slots:
    void linesBecomeRows_data();
    void linesBecomeRows();
    void documentAroundARow_data();
    void documentAroundARow();
    void olderAndNewerLinesJoinInOrder();
    void deviceTearsOffAfterEachDocument_data();
    void deviceTearsOffAfterEachDocument();
    void paperIsDrawnAtThePrintersWidth();
    void lettersStandOnThePrintersColumns_data();
    void lettersStandOnThePrintersColumns();
    void droppedRowsComeBackTheSame_data();
    void droppedRowsComeBackTheSame();
    void tapeReadsGoThroughKeys();
};

void TestTapeModel::linesBecomeRows_data()
{
    QTest::addColumn<QList<TapeLine>>("lines");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("plain lines") << QList<TapeLine>{{1, u"ЧЕК 1"_s, 0, false},
                                                    {2, u"ИТОГ =1.00"_s, 0, false}}
                                 << QStringList{u"ЧЕК 1"_s, u"ИТОГ =1.00"_s};
    QTest::newRow("torn off after a line")
        << QList<TapeLine>{{1, u"A"_s, 0, true}, {2, u"B"_s, 0, true}}
        << QStringList{u"A"_s, u"|"_s, u"B"_s, u"|"_s};
    QTest::newRow("double width reads without its blanks")
        << QList<TapeLine>{{1, u"И Т О Г"_s, Style::DoubleWidth, false}}
        << QStringList{u"ИТОГ/2"_s};
    QTest::newRow("double height is one row")
        << QList<TapeLine>{{1, u"ИТОГ"_s, Style::DoubleHeight, false},
                           {2, u"ИТОГ"_s, Style::DoubleHeight | Style::LowerHalf, true}}
        << QStringList{u"ИТОГ/4"_s, u"|"_s};
    QTest::newRow("bold") << QList<TapeLine>{{1, u"ИТОГ"_s, Style::Bold, false}}
                          << QStringList{u"ИТОГ/1"_s};
    QTest::newRow("bold and tall as printed marks") << [] {
        emulator::Printout out(40);
        out.styled(u"ИТОГ =5.00"_s, false, true, true);
        return QList<TapeLine>{{1, out.lines().constFirst(), 0, false}};
    }() << QStringList{u"ИТОГ =5.00/5"_s};
    QTest::newRow("picture among text") << QList<TapeLine>{{1, u"A"_s, 0, false},
                                                           {2, pictureLine(), 0, false},
                                                           {3, u"B"_s, 0, true}}
                                        << QStringList{u"A"_s, u"[16x3]"_s, u"B"_s, u"|"_s};
    QTest::newRow("damaged picture stays text")
        << QList<TapeLine>{{1, pictureLine().chopped(3), 0, false}}
        << QStringList{pictureLine().chopped(3)};
}

void TestTapeModel::linesBecomeRows()
{
    QFETCH(QList<TapeLine>, lines);
    QFETCH(QStringList, rows);
    TapeModel model;
    model.append(lines);
    QCOMPARE(described(model.rows()), rows);
    QCOMPARE(model.firstLineId(), lines.constFirst().id);
    QCOMPARE(model.lastLineId(), lines.constLast().id);
}

void TestTapeModel::documentAroundARow_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");

    // Rows: 0 A1, 1 A2, 2 |, 3 B1, 4 B2, 5 B3, 6 |, 7 C1 (still printing)
    QTest::newRow("first document") << 1 << 0 << 1;
    QTest::newRow("a tear belongs to the document it ends") << 2 << 0 << 1;
    QTest::newRow("middle document") << 3 << 3 << 5;
    QTest::newRow("document being printed") << 7 << 7 << 7;
    QTest::newRow("beyond the end") << 99 << 7 << 7;
}

void TestTapeModel::documentAroundARow()
{
    QFETCH(int, row);
    QFETCH(int, first);
    QFETCH(int, last);
    TapeModel model;
    model.append({{1, u"A1"_s, 0, false},
                  {2, u"A2"_s, 0, true},
                  {3, u"B1"_s, 0, false},
                  {4, u"B2"_s, 0, false},
                  {5, u"B3"_s, 0, true},
                  {6, u"C1"_s, 0, false}});
    QCOMPARE(model.documentAround(row), std::make_pair(first, last));
}

void TestTapeModel::olderAndNewerLinesJoinInOrder()
{
    TapeModel model;
    QCOMPARE(model.append({{10, u"J"_s, 0, false}, {11, u"K"_s, 0, true}}), 3);
    // Lines already loaded are not taken twice, from either side.
    QCOMPARE(model.append({{11, u"K"_s, 0, true}, {12, u"L"_s, 0, false}}), 1);
    QCOMPARE(model.prepend({{8, u"H"_s, 0, true}, {9, u"I"_s, 0, false}, {10, u"J"_s, 0, false}}),
             3);
    QCOMPARE(described(model.rows()),
             (QStringList{u"H"_s, u"|"_s, u"I"_s, u"J"_s, u"K"_s, u"|"_s, u"L"_s}));
    QCOMPARE(model.firstLineId(), 8);
    QCOMPARE(model.lastLineId(), 12);
    QCOMPARE(model.findBackwards(u"k"_s, 7), 4);
    QCOMPARE(model.findBackwards(u"K"_s, 4), -1);
}

void TestTapeModel::deviceTearsOffAfterEachDocument_data()
{
    QTest::addColumn<bool>("wide");
    QTest::addColumn<bool>("tall");
    QTest::addColumn<QStringList>("lastDocument");

    QTest::newRow("plain text document") << false << false << QStringList{u"ПРИВЕТ"_s};
    QTest::newRow("double width") << true << false << QStringList{u"ПРИВЕТ/2"_s};
    QTest::newRow("double height") << false << true << QStringList{u"ПРИВЕТ/4"_s};
    QTest::newRow("both") << true << true << QStringList{u"ПРИВЕТ/6"_s};
}

void TestTapeModel::deviceTearsOffAfterEachDocument()
{
    QFETCH(bool, wide);
    QFETCH(bool, tall);
    QFETCH(QStringList, lastDocument);

    QTemporaryDir dir;
    emulator::testing::createDevice(dir.path(), 1, 6, 1);
    auto driver = emulator::testing::connectDriver(dir.path());
    QVERIFY(driver);
    // A sale, then an unnumbered text document with one attributed line.
    QCOMPARE(driver->StartDocument(DocumentType::Sale, 1, QString(), QString()), 0);
    QCOMPARE(driver->Item(1000, 150, u"Хлеб"_s, 0), 0);
    const qsizetype saleOpen = wholeTape(dir.path()).size();
    QCOMPARE(
        driver->Tender2(200.0, QVariant::fromValue(PaymentType::Cash), QVariant(u""_s), QString()),
        0);
    QCOMPARE(driver->SetDriverOpt(DriverOption::DoubleWidth, wide ? 1 : 0), 0);
    QCOMPARE(driver->SetDriverOpt(DriverOption::DoubleHeight, tall ? 1 : 0), 0);
    QCOMPARE(driver->StartDocument(DocumentType::UnnumberedText, 1, QString(), QString()), 0);
    QCOMPARE(driver->TextLine(u"ПРИВЕТ"_s), 0);
    QCOMPARE(driver->EndDocument(), 0);

    const QList<TapeLine> lines = wholeTape(dir.path());
    // Torn off after the shift's opening, after the sale and after the text document only; the
    // open sale had no tear inside it.
    QList<qsizetype> cuts;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].cut)
            cuts << i;
    }
    QCOMPARE(cuts.size(), 3);
    QCOMPARE(cuts.constLast(), lines.size() - 1);
    QVERIFY(cuts[0] < saleOpen - 1);
    QVERIFY(cuts[1] >= saleOpen);

    TapeModel model;
    model.append(lines);
    const auto [first, last] = model.documentAround(static_cast<int>(model.rows().size()) - 1);
    const QStringList document = described(model.rows().mid(first, last - first + 1));
    QVERIFY2(document.contains(lastDocument.constFirst()), qPrintable(document.join(u'\n')));
}

void TestTapeModel::paperIsDrawnAtThePrintersWidth()
{
    const TapePainter narrow(32);
    const TapePainter wide(40);
    QVERIFY(wide.paperWidth() > narrow.paperWidth());
    TapeModel model;
    model.append({{1, u"A"_s, 0, false},
                  {2, u"B"_s, Style::DoubleHeight, true},
                  {3, pictureLine(), 0, false}});
    const QImage picture = wide.image(model.rows(), 0, 3);
    QCOMPARE(picture.width(), wide.paperWidth());
    int height = 0;
    for (const TapeRow& row : model.rows())
        height += wide.rowHeight(row);
    QCOMPARE(picture.height(), height);
    // A double-height row takes two rows of text; a tear and a picture take room of their own.
    QCOMPARE(wide.rowHeight(model.rows()[1]), 2 * wide.rowHeight(model.rows()[0]));
    QVERIFY(wide.rowHeight(model.rows()[2]) > 0);
    QVERIFY(wide.rowHeight(model.rows()[3]) > 0);
}

void TestTapeModel::lettersStandOnThePrintersColumns_data()
{
    QTest::addColumn<int>("style");
    QTest::newRow("plain") << 0;
    QTest::newRow("bold") << int(Style::Bold);
    QTest::newRow("double width") << int(Style::DoubleWidth);
}

void TestTapeModel::lettersStandOnThePrintersColumns()
{
    // A line whose letters are all of the font is drawn in one go, one with a letter from
    // another font letter by letter: both must put every letter on the same column.
    QFETCH(int, style);
    const TapePainter painter(40);
    const QString text = u"ИТОГ =1234.50 Хлеб ржаной"_s;
    const QChar foreign(0x4E2D);
    const QFontMetricsF metrics(TapePainter::defaultFont());
    if (metrics.horizontalAdvance(foreign) == metrics.horizontalAdvance(QLatin1Char('M')))
        QSKIP("no font draws the foreign letter at another width");
    const auto picture = [&](const QString& line) {
        return painter.image({TapeRow{TapeRow::Kind::Text, 1, line, style, {}}}, 0, 0);
    };
    const QImage together = picture(text);
    const QImage oneByOne = picture(text + foreign);
    const int column = QFontMetrics(TapePainter::defaultFont()).horizontalAdvance(QLatin1Char('M'));
    const int margin = (painter.paperWidth() - 40 * column) / 2;
    const int width = margin + int(text.size()) * column * (style & Style::DoubleWidth ? 2 : 1);
    QCOMPARE(together.copy(0, 0, width, together.height()),
             oneByOne.copy(0, 0, width, oneByOne.height()));
}

// A tape with every kind of row: plain, torn off, a tall line whose lower half is torn off, a
// picture, a wide line.
QList<TapeLine> mixedTape()
{
    return {{1, u"A"_s, 0, false},
            {2, u"B"_s, 0, true},
            {3, u"ИТОГ"_s, Style::DoubleHeight, false},
            {4, u"ИТОГ"_s, Style::DoubleHeight | Style::LowerHalf, true},
            {5, pictureLine(), 0, false},
            {6, u"И Т О Г"_s, Style::DoubleWidth, true},
            {7, u"C"_s, 0, false},
            {8, u"D"_s, 0, true}};
}

void TestTapeModel::droppedRowsComeBackTheSame_data()
{
    QTest::addColumn<bool>("front");
    QTest::newRow("dropped from the start, read back before") << true;
    QTest::newRow("dropped from the end, read again after") << false;
}

void TestTapeModel::droppedRowsComeBackTheSame()
{
    QFETCH(bool, front);
    const QList<TapeLine> lines = mixedTape();
    TapeModel whole;
    whole.append(lines);
    const int count = static_cast<int>(whole.rows().size());
    for (int rows = 1; rows <= count; ++rows) {
        TapeModel model;
        model.append(lines);
        const int dropped = front ? model.dropFront(rows) : model.dropBack(rows);
        QVERIFY2(dropped >= rows, qPrintable(u"%1 rows"_s.arg(rows)));
        QCOMPARE(static_cast<int>(model.rows().size()), count - dropped);
        // What the model says it lacks is exactly what brings it back whole.
        QList<TapeLine> missing;
        for (const TapeLine& line : lines) {
            if (model.rows().isEmpty() ||
                (front ? line.id < model.firstLineId() : line.id > model.lastLineId()))
                missing << line;
        }
        if (front)
            model.prepend(missing);
        else
            model.append(missing);
        QVERIFY2(model.rows() == whole.rows(),
                 qPrintable(u"%1 rows: %2"_s.arg(rows).arg(described(model.rows()).join(u' '))));
    }
}

void TestTapeModel::tapeReadsGoThroughKeys()
{
    QTemporaryDir dir;
    emulator::testing::createDevice(dir.path(), 1, 6, 1);
    auto store = emulator::DeviceStore::open(dir.path(), 1, emulator::OpenMode::ExistingOnly);
    QVERIFY(store);
    const auto plans = (*store)->tapeReadPlans();
    QVERIFY2(plans, qPrintable(plans.detail()));
    QVERIFY(plans->size() >= 10);
    // A SCAN of a table reads it whole: the read would grow with the tape.
    for (const emulator::QueryPlan& plan : *plans) {
        QVERIFY(!plan.steps.isEmpty());
        for (const QString& step : plan.steps) {
            QVERIFY2(!step.startsWith(u"SCAN "_s) || step == u"SCAN CONSTANT ROW"_s,
                     qPrintable(plan.sql + u"\n  "_s + plan.steps.join(u"\n  "_s)));
        }
    }
}

QTEST_MAIN(TestTapeModel)
#include "tst_tapemodel.moc"
