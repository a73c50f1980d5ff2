#include "GlyphLine.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>

using namespace Qt::StringLiterals;
using view::GlyphLine;

namespace {

constexpr QSize kCanvas(400, 40);

// The columns and rows that hold ink on a white canvas.
QRect inked(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 160)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

QImage canvas()
{
    QImage image(kCanvas, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

class TestGlyphLine : public QObject
{
    Q_OBJECT

private slots:
    void drawsWhereTheTextEngineDraws_data();
    void drawsWhereTheTextEngineDraws();
    void leavesOtherScriptsToTheTextEngine_data();
    void leavesOtherScriptsToTheTextEngine();
};

void TestGlyphLine::drawsWhereTheTextEngineDraws_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("alignment");

    const int left = Qt::AlignLeft | Qt::AlignVCenter;
    const int right = Qt::AlignRight | Qt::AlignVCenter;
    QTest::newRow("a member") << u"GetTextDeviceInfo"_s << 300 << left;
    QTest::newRow("Cyrillic and digits") << u"0: Ошибок нет, сумма 1 999,00"_s << 300 << left;
    QTest::newRow("a number at the right") << u"12345"_s << 120 << right;
    QTest::newRow("elided") << u"Длинная строка отчёта, которая в ячейку не входит"_s << 150
                            << left;
    QTest::newRow("elided to its first letter") << u"Кассир"_s << 14 << left;
}

// The glyphs land where the text engine puts its own, within a pixel or two of kerning, and an
// elided line stays inside its cell as the engine's elided line does.
void TestGlyphLine::drawsWhereTheTextEngineDraws()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(int, alignment);

    const QRect cell(10, 5, width, 24);
    const QFont font = QApplication::font();
    QImage ours = canvas();
    {
        QPainter painter(&ours);
        painter.setFont(font);
        painter.setPen(Qt::black);
        GlyphLine line;
        QVERIFY(line.draw(painter, cell, Qt::Alignment(alignment), text));
    }
    QImage engine = canvas();
    {
        QPainter painter(&engine);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(cell, alignment | Qt::TextSingleLine,
                         QFontMetrics(font).elidedText(text, Qt::ElideRight, width));
    }
    const QRect mine = inked(ours);
    const QRect theirs = inked(engine);
    QVERIFY(!mine.isEmpty());
    QVERIFY2(cell.contains(mine), qPrintable(u"ink outside the cell"_s));
    const int slack = 1 + int(text.size()) / 10; // kerning the engine may apply
    QVERIFY2(qAbs(mine.left() - theirs.left()) <= slack &&
                 qAbs(mine.right() - theirs.right()) <= slack &&
                 qAbs(mine.top() - theirs.top()) <= 1 && qAbs(mine.bottom() - theirs.bottom()) <= 1,
             qPrintable(u"glyphs at %1,%2 %3x%4, the engine's at %5,%6 %7x%8"_s.arg(mine.x())
                            .arg(mine.y())
                            .arg(mine.width())
                            .arg(mine.height())
                            .arg(theirs.x())
                            .arg(theirs.y())
                            .arg(theirs.width())
                            .arg(theirs.height())));
}

void TestGlyphLine::leavesOtherScriptsToTheTextEngine_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("Hebrew, right to left") << u"שלום"_s;
    QTest::newRow("Arabic, joined letters") << u"سلام"_s;
    QTest::newRow("a combining accent") << u"е\u0301"_s;
    QTest::newRow("a tab") << u"a\tb"_s;
    QTest::newRow("outside the basic plane") << u"\U0001F600"_s;
}

void TestGlyphLine::leavesOtherScriptsToTheTextEngine()
{
    QFETCH(QString, text);
    QImage image = canvas();
    QPainter painter(&image);
    painter.setFont(QApplication::font());
    GlyphLine line;
    QVERIFY(!line.draw(painter, QRect(QPoint(), kCanvas), Qt::AlignLeft | Qt::AlignVCenter, text));
    painter.end();
    QVERIFY(inked(image).isEmpty());
}

QTEST_MAIN(TestGlyphLine)
#include "tst_glyphline.moc"
