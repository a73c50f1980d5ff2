#include "BarCodes.h"
#include "Pictures.h"
#include "Raster.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace emulator;

Q_DECLARE_METATYPE(emulator::ErrorCode)
Q_DECLARE_METATYPE(emulator::Failure)

namespace {

// What a hand-made bitmap's headers say.
struct BitmapSpec
{
    qint32 width = 0;
    qint32 height = 0;
    quint16 bits = 24;
    quint32 compression = 0;
    QList<QRgb> palette;
};

// A bitmap file with the headers of `spec`, its palette, then `pixels` as they are.
QByteArray bitmapFile(const BitmapSpec& spec, const QByteArray& pixels)
{
    const int offset = 14 + 40 + 4 * int(spec.palette.size());
    QByteArray data(offset, '\0');
    auto put32 = [&](int at, quint32 value) { qToLittleEndian(value, data.data() + at); };
    auto put16 = [&](int at, quint16 value) { qToLittleEndian(value, data.data() + at); };
    data[0] = 'B';
    data[1] = 'M';
    put32(2, quint32(offset + pixels.size()));
    put32(10, offset);
    put32(14, 40);
    put32(18, quint32(spec.width));
    put32(22, quint32(spec.height));
    put16(26, 1);
    put16(28, spec.bits);
    put32(30, spec.compression);
    put32(34, quint32(pixels.size()));
    put32(46, quint32(spec.palette.size()));
    for (int i = 0; i < spec.palette.size(); ++i)
        put32(54 + 4 * i, spec.palette.at(i)); // as blue, green, red and a spare byte
    return data + pixels;
}

// A bitmap header that claims the given size, followed by `pixelBytes` bytes of pixels.
QByteArray bitmapHeader(qint32 width, qint32 height, int pixelBytes)
{
    return bitmapFile({width, height, 24, 0, {}}, QByteArray(pixelBytes, '\x7f'));
}

const QList<QRgb> kWhiteAndBlack{qRgb(255, 255, 255), qRgb(0, 0, 0)};

// A picture with a black square in its top left quarter.
QByteArray squareBitmap(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(0, 0, width / 2, height / 2, Qt::black);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return data;
}

// The square again, as an 8-bit bitmap with a palette of white and black.
QByteArray palettedBitmap(int width, int height)
{
    const int stride = (width + 3) / 4 * 4;
    QByteArray pixels(qsizetype(stride) * height, '\0');
    for (int y = 0; y < height / 2; ++y) // rows are stored bottom up
        pixels.replace((height - 1 - y) * stride, width / 2, QByteArray(width / 2, '\1'));
    return bitmapFile({width, height, 8, 0, kWhiteAndBlack}, pixels);
}

} // namespace

class TestEmulatorGraphics : public QObject
{
    Q_OBJECT

private slots:
    void pictureFiles_data();
    void pictureFiles();
    void barCodeContent_data();
    void barCodeContent();
    void barCodeMask_data();
    void barCodeMask();
    void rasterSurvivesTheTape();

private:
    QTemporaryDir m_dir;
};

void TestEmulatorGraphics::pictureFiles_data()
{
    QTest::addColumn<QByteArray>("content"); // empty with `exists` false: no file at all
    QTest::addColumn<bool>("exists");
    QTest::addColumn<ErrorCode>("code");
    QTest::addColumn<QSize>("size");

    const QByteArray good = squareBitmap(100, 40);
    QTest::newRow("small picture") << good << true << ErrorCode::NoError << QSize(100, 40);
    QTest::newRow("as wide as the head")
        << squareBitmap(384, 10) << true << ErrorCode::NoError << QSize(384, 10);
    QTest::newRow("wider: scaled to the head")
        << squareBitmap(768, 200) << true << ErrorCode::NoError << QSize(384, 100);
    QTest::newRow("wide and thin: a line is kept")
        << squareBitmap(800, 2) << true << ErrorCode::NoError << QSize(384, 1);
    QTest::newRow("paletted") << palettedBitmap(100, 40) << true << ErrorCode::NoError
                              << QSize(100, 40);
    // Wide enough to be scaled, which looks every pixel's colour up in the palette.
    QTest::newRow("a pixel past the palette") << [] {
        QByteArray data = palettedBitmap(500, 40);
        data[data.size() - 1] = 5;
        return data;
    }() << true << ErrorCode::BadPicture << QSize();
    QTest::newRow("a dot past a one-colour palette")
        << bitmapFile({8, 2, 1, 0, {qRgb(255, 255, 255)}}, "\x80\0\0\0\0\0\0\0"_ba) << true
        << ErrorCode::BadPicture << QSize();
    // Two black dots, then the end of the picture: the rest is left to the reader. Neither the
    // file's length (that of the plain pixels) nor the palette (a colour for every index) gives
    // it away.
    QTest::newRow("run-length compressed") << [] {
        QList<QRgb> palette = kWhiteAndBlack;
        palette.resize(256, qRgb(255, 255, 255));
        return bitmapFile({100, 40, 8, 1, palette},
                          "\x02\x01\x00\x01"_ba.leftJustified(100 * 40, '\0'));
    }() << true << ErrorCode::BadPicture << QSize();
    QTest::newRow("missing file") << QByteArray() << false << ErrorCode::FileNotFound << QSize();
    QTest::newRow("zero size") << QByteArray() << true << ErrorCode::BadPicture << QSize();
    QTest::newRow("not a bitmap") << "Quolt 840 receipt header\n"_ba << true
                                  << ErrorCode::BadPicture << QSize();
    QTest::newRow("png is not a bitmap") << [] {
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QImage(10, 10, QImage::Format_RGB32).save(&buffer, "PNG");
        return data;
    }() << true << ErrorCode::BadPicture << QSize();
    QTest::newRow("truncated") << good.left(good.size() / 2) << true << ErrorCode::BadPicture
                               << QSize();
    QTest::newRow("claims a gigapixel")
        << bitmapHeader(40000, 30000, 300) << true << ErrorCode::PictureTooLarge << QSize();
    QTest::newRow("claims a negative width")
        << bitmapHeader(-50, 10, 300) << true << ErrorCode::BadPicture << QSize();
    QTest::newRow("too tall once scaled")
        << bitmapHeader(400, 2000, 64) << true << ErrorCode::PictureTooLarge << QSize();
    QTest::newRow("file over the size limit") << QByteArray(int(kMaxPictureFileBytes) + 1, 'B')
                                              << true << ErrorCode::PictureTooLarge << QSize();
}

void TestEmulatorGraphics::pictureFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    QFETCH(ErrorCode, code);
    QFETCH(QSize, size);

    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".bmp"_s);
    if (exists) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const auto result = loadPicture(path);
    if (code != ErrorCode::NoError) {
        QVERIFY(std::holds_alternative<Failure>(result));
        QCOMPARE(std::get<Failure>(result).code, code);
        return;
    }
    QVERIFY(std::holds_alternative<Raster>(result));
    const Raster& raster = std::get<Raster>(result);
    QCOMPARE(QSize(raster.width, raster.height), size);
    if (raster.height < 4)
        return; // no room for the square
    // Black where the square is, paper elsewhere.
    QVERIFY(raster.dot(1, 1));
    QVERIFY(!raster.dot(raster.width - 2, raster.height - 2));
}

void TestEmulatorGraphics::barCodeContent_data()
{
    QTest::addColumn<int>("symbology");
    QTest::addColumn<QString>("content");
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("text");

    const Failure ok;
    const auto bad = [](Reason reason = Reason::General) {
        return Failure{ErrorCode::InvalidBarCode, reason};
    };
    const auto row = [](const char* name, Symbology symbology, const QString& content,
                        Failure failure, const QString& text = QString()) {
        QTest::newRow(name) << int(symbology) << content << failure << text;
    };
    using enum Symbology;
    row("UPC-A, check digit added", UpcA, u"12345678901"_s, ok, u"123456789012"_s);
    row("UPC-A, right check digit", UpcA, u"123456789012"_s, ok, u"123456789012"_s);
    row("UPC-A, wrong check digit", UpcA, u"123456789013"_s, bad());
    row("UPC-E", UpcE, u"0123456"_s, ok, u"01234565"_s);
    row("UPC-E, number system 1", UpcE, u"1123456"_s, ok, u"11234562"_s);
    row("UPC-E, number system 2", UpcE, u"2123456"_s, bad());
    row("UPC-E with its check digit, number system 2", UpcE, u"21234565"_s, bad());
    row("EAN-13, check digit added", Ean13, u"460123456789"_s, ok, u"4601234567893"_s);
    row("EAN-13, right check digit", Ean13, u"4601234567893"_s, ok, u"4601234567893"_s);
    row("EAN-13, wrong check digit", Ean13, u"4601234567890"_s, bad());
    row("EAN-13 with letters", Ean13, u"46012345678AB"_s, bad(Reason::NotANumber));
    row("EAN-13 too short", Ean13, u"46012345"_s, bad(Reason::TooLarge));
    row("EAN-8", Ean8, u"9638507"_s, ok, u"96385074"_s);
    row("EAN-8, wrong check digit", Ean8, u"96385070"_s, bad());
    row("CODE 39", Code39, u"QUOLT-840"_s, ok, u"*QUOLT-840*"_s);
    row("CODE 39 in small letters", Code39, u"quolt-840"_s, bad());
    row("CODE 39 outside its set", Code39, u"QUOLT_840"_s, bad());
    row("ITF", Itf, u"12345678"_s, ok, u"12345678"_s);
    row("ITF of odd length", Itf, u"1234567"_s, bad());
    row("ITF with letters", Itf, u"1234AB"_s, bad());
    row("CODABAR", Codabar, u"A1234B"_s, ok, u"A1234B"_s);
    row("CODABAR without start and stop", Codabar, u"1234"_s, bad());
    row("CODE 93", Code93, u"QUOLT 840"_s, ok, u"QUOLT 840"_s);
    row("CODE 93 in small letters", Code93, u"quolt"_s, ok, u"quolt"_s);
    row("CODE 128", Code128, u"Quolt-840mx"_s, ok, u"Quolt-840mx"_s);
    row("CODE 128, Cyrillic", Code128, u"Кволт"_s, bad());
    row("empty", Code128, QString(), bad(Reason::EmptyText));
    row("too wide for the head", Code128, u"Quolt-840mx-0123456789"_s, bad(Reason::TooWide));
    QTest::newRow("unknown symbology")
        << 9 << u"1234"_s << Failure{ErrorCode::InvalidValue, Reason::TooLarge} << QString();
}

void TestEmulatorGraphics::barCodeContent()
{
    QFETCH(int, symbology);
    QFETCH(QString, content);
    QFETCH(Failure, failure);
    QFETCH(QString, text);

    BarCodeRequest request;
    request.symbology = symbology;
    request.content = content;
    request.thickness = 1;
    const auto result = encodeBarCode(request);
    if (!failure.ok()) {
        QVERIFY(std::holds_alternative<Failure>(result));
        QCOMPARE(std::get<Failure>(result).extendedCode(), failure.extendedCode());
        return;
    }
    QVERIFY(std::holds_alternative<BarCode>(result));
    const BarCode& barCode = std::get<BarCode>(result);
    QCOMPARE(barCode.text, text);
    // Every linear code starts with a bar.
    QVERIFY(barCode.modules.startsWith(u'1'));
    const Raster raster = barCode.raster(1);
    QCOMPARE(raster.width, kPrintWidthDots);
    QCOMPARE(raster.height, 50);
}

void TestEmulatorGraphics::barCodeMask_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("bars and spaces") << u"1101001"_s << true;
    QTest::newRow("as wide as the head") << QString(kPrintWidthDots, u'1') << true;
    QTest::newRow("wider than the head") << QString(kPrintWidthDots + 1, u'1') << false;
    QTest::newRow("other characters") << u"11012"_s << false;
    QTest::newRow("blanks") << u"11 01"_s << false;
    QTest::newRow("empty") << QString() << false;
}

void TestEmulatorGraphics::barCodeMask()
{
    QFETCH(QString, mask);
    QFETCH(bool, accepted);
    const auto result = barCodeFromMask(mask);
    QCOMPARE(std::holds_alternative<BarCode>(result), accepted);
    if (!accepted)
        QCOMPARE(std::get<Failure>(result).code, ErrorCode::InvalidBarCode);
}

void TestEmulatorGraphics::rasterSurvivesTheTape()
{
    Raster raster(10, 3);
    raster.setDot(0, 0);
    raster.setDot(9, 2);
    const QString line = rasterTapeLine(raster);
    QCOMPARE(rasterOfTapeLine(line), std::optional<Raster>(raster));
    QCOMPARE(rasterOfTapeLine(u"ИТОГ =12.50"_s), std::nullopt);
    QCOMPARE(rasterOfTapeLine(line.left(line.size() - 4)), std::nullopt);
    const Raster placed = raster.placed(kPrintWidthDots, 2);
    QVERIFY(placed.dot(kPrintWidthDots - 10, 0));
    QVERIFY(placed.dot(kPrintWidthDots - 1, 2));
}

QTEST_MAIN(TestEmulatorGraphics)
#include "tst_emulator_graphics.moc"
