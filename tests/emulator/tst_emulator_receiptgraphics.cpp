#include "BarCodes.h"
#include "Device.h"
#include "DeviceNumbers.h"
#include "EmulatorFixture.h"
#include "EmulatorTest.h"
#include "Printout.h"
#include "Raster.h"
#include "ResultCodes.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

namespace {

// A bitmap of `width` x `height` with a black square in its top left quarter.
QString writeBitmap(const QString& folder, const QString& name, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(0, 0, width / 2, height / 2, Qt::black);
    const QString path = folder + u'/' + name;
    return image.save(path, "BMP") ? path : QString();
}

QString writeFile(const QString& folder, const QString& name, const QByteArray& content)
{
    QFile file(folder + u'/' + name);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(content);
    return file.fileName();
}

// The rasters printed on the tape, in order.
QList<Raster> rastersOf(const QStringList& lines)
{
    QList<Raster> rasters;
    for (const QString& line : lines) {
        if (std::optional<Raster> raster = rasterOfTapeLine(line))
            rasters.append(*raster);
    }
    return rasters;
}

void sellOne(Driver& d)
{
    QCOMPARE(d.StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    QCOMPARE(d.Item(1000, 1250, u"Хлеб"_s, 1), 0);
    QCOMPARE(d.Tender2(1250, PaymentType::Cash, QString(), QString()), 0);
}

// The last `count` lines of the roll with their styles.
QList<TapeLine> lastTapeLines(const QString& folder, qsizetype count)
{
    auto store = DeviceStore::open(folder, 1, OpenMode::ExistingOnly);
    if (!store)
        return {};
    const Expected<TapeSpan> span = (*store)->tapeSpan();
    if (!span)
        return {};
    const Expected<QList<TapeLine>> lines = (*store)->tapeLines(span->last - count + 1, span->last);
    return lines ? *lines : QList<TapeLine>();
}

// What a table row does to the device.
enum class Call { LoadImage, LoadImages, SetImage, DeleteImage, BarCode, Mask };

} // namespace

Q_DECLARE_METATYPE(Call)

class TestEmulatorReceiptGraphics : public EmulatorTest
{
    Q_OBJECT

public:
    TestEmulatorReceiptGraphics() : EmulatorTest(Start::NewDevice) {}

private slots:
    void init()
    {
        startTest();
        if (QTest::currentTestFailed())
            return;
        m_picture = writeBitmap(folder(), u"logo.bmp"_s, 96, 40);
        QVERIFY(!m_picture.isEmpty());
    }

    void refusals_data();
    void refusals();
    void pictureAndBarCodeOnTheNextReceipt();
    void readableTextFollowsAlignmentAndFont_data();
    void readableTextFollowsAlignmentAndFont();
    void picturesOutliveTheConnection();
    void threePicturesByTheirOptions();
    void pictureMemoryHoldsExactlyItsLimit();
    void damagedPictureRowIsRefused();

private:
    QString m_picture;
};

void TestEmulatorReceiptGraphics::refusals_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<bool>("documentOpen");
    QTest::addColumn<Call>("call");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("file"); // a name of init()'s files, or the content of a bar code
    QTest::addColumn<int>("code");

    const int ok = 0;
    const int value = codeOf(ErrorCode::InvalidValue);
    const int generation = codeOf(ErrorCode::NotSupportedByGeneration);
    const int missing = codeOf(ErrorCode::FileNotFound);
    const int none = codeOf(ErrorCode::NoPicture);
    const int badCode = codeOf(ErrorCode::InvalidBarCode);
    const QString logo = u"logo.bmp"_s;
    // clang-format off
    QTest::newRow("load into slot 1") << 6 << 1 << false << Call::LoadImage << 1 << logo << ok;
    QTest::newRow("load into the last slot") << 6 << 1 << false << Call::LoadImage << 254 << logo << ok;
    QTest::newRow("slot 0 holds nothing") << 6 << 1 << false << Call::LoadImage << 0 << logo << value;
    QTest::newRow("slot 255") << 6 << 1 << false << Call::LoadImage << 255 << logo << value;
    QTest::newRow("missing file") << 6 << 1 << false << Call::LoadImage << 1 << u"none.bmp"_s << missing;
    QTest::newRow("windows default path") << 6 << 1 << false << Call::LoadImage << 1
                                          << u"Z:\\Quolt\\Listing\\1.bmp"_s << missing;
    QTest::newRow("text file") << 6 << 1 << false << Call::LoadImage << 1 << u"text.bmp"_s
                               << codeOf(ErrorCode::BadPicture);
    QTest::newRow("huge declared size") << 6 << 1 << false << Call::LoadImage << 1 << u"huge.bmp"_s
                                        << codeOf(ErrorCode::PictureTooLarge);
    QTest::newRow("load in a receipt") << 6 << 1 << true << Call::LoadImage << 1 << logo
                                       << codeOf(ErrorCode::DocumentAlreadyOpen);
    QTest::newRow("load on 3.0") << 3 << 0 << false << Call::LoadImage << 1 << logo << generation;
    QTest::newRow("load on 3.1") << 3 << 1 << false << Call::LoadImage << 1 << logo << ok;
    QTest::newRow("choose an empty slot") << 6 << 1 << false << Call::SetImage << 7 << QString() << none;
    QTest::newRow("choose no picture") << 6 << 1 << false << Call::SetImage << 0 << QString() << ok;
    QTest::newRow("choose slot -1") << 6 << 1 << false << Call::SetImage << -1 << QString() << value;
    QTest::newRow("delete an empty slot") << 6 << 1 << false << Call::DeleteImage << 7 << QString() << none;
    QTest::newRow("three pictures on 4.1") << 4 << 1 << false << Call::LoadImages << 0 << logo << generation;
    QTest::newRow("three pictures, none named") << 6 << 1 << false << Call::LoadImages << 0 << QString() << missing;
    QTest::newRow("ean-13 with letters") << 6 << 1 << false << Call::BarCode << 0 << u"46012345678A"_s << badCode;
    QTest::newRow("ean-13 too short") << 6 << 1 << false << Call::BarCode << 0 << u"4601234"_s << badCode;
    QTest::newRow("ean-13 on 2") << 2 << 0 << false << Call::BarCode << 0 << u"460123456789"_s << generation;
    QTest::newRow("ean-13 in a receipt") << 6 << 1 << true << Call::BarCode << 0 << u"460123456789"_s << ok;
    QTest::newRow("mask with a 2") << 6 << 1 << false << Call::Mask << 0 << u"01102"_s << badCode;
    QTest::newRow("mask on 3.0") << 3 << 0 << false << Call::Mask << 0 << u"0110"_s << ok;
    QTest::newRow("mask on 2") << 2 << 0 << false << Call::Mask << 0 << u"0110"_s << generation;
    // clang-format on
}

void TestEmulatorReceiptGraphics::refusals()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(bool, documentOpen);
    QFETCH(Call, call);
    QFETCH(int, slot);
    QFETCH(QString, file);
    QFETCH(int, code);

    writeFile(folder(), u"text.bmp"_s, "just some text, not a picture at all");
    QByteArray huge(54, '\0');
    huge[0] = 'B';
    huge[1] = 'M';
    qToLittleEndian<quint32>(54, huge.data() + 10);
    qToLittleEndian<quint32>(40, huge.data() + 14);
    qToLittleEndian<qint32>(1'000'000, huge.data() + 18);
    qToLittleEndian<qint32>(1'000'000, huge.data() + 22);
    writeFile(folder(), u"huge.bmp"_s, huge);
    createDevice(folder(), 1, major, minor);
    auto d = connectDriver(folder());
    QVERIFY(d);
    if (documentOpen)
        QCOMPARE(d->StartDocument(DocumentType::Sale, 1, {}, {}), 0);
    const QString path = file.contains(u'\\') || file.isEmpty() ? file : folder() + u'/' + file;
    const int before = int(tape(folder()).size());
    switch (call) {
    case Call::LoadImage:
        QCOMPARE(d->LoadImage(std::int16_t(slot), path), code);
        break;
    case Call::LoadImages:
        QCOMPARE(d->LoadImages(path, QString(), QString()), code);
        break;
    case Call::SetImage:
        QCOMPARE(d->SetImage(std::int16_t(slot)), code);
        break;
    case Call::DeleteImage:
        QCOMPARE(d->DeleteImage(std::int16_t(slot)), code);
        break;
    case Call::BarCode:
        QCOMPARE(d->ProgramBarCode(1, 0, 0, 0, 0, 0, 2, 50, file), code);
        break;
    case Call::Mask:
        QCOMPARE(d->ProgramBarCodeDirect(file), code);
        break;
    }
    // Programming prints nothing, whatever the answer.
    QCOMPARE(int(tape(folder()).size()), before);
    if (code != 0)
        QCOMPARE(d->GetErrorCode2() / 100, code);
}

void TestEmulatorReceiptGraphics::pictureAndBarCodeOnTheNextReceipt()
{
    auto d = connectDriver(folder());
    QVERIFY(d);
    QCOMPARE(d->LoadImage(1, m_picture), 0);
    QCOMPARE(d->SetImage(1), 0);
    QCOMPARE(d->ProgramBarCode(1, 0, 1, 0, 1, 0, 2, 40, u"460123456789"_s), 0);
    QCOMPARE(d->SetDeviceOpt(DeviceOption::EndBarCodeHeight, 2), 0);
    const qsizetype before = tape(folder()).size();
    sellOne(*d);
    const QStringList receipt = tape(folder()).mid(before);

    const QList<Raster> rasters = rastersOf(receipt);
    QCOMPARE(rasters.size(), 2);
    // The picture heads the receipt, centred on the print head, its black square top left.
    QVERIFY(isRasterTapeLine(receipt.constFirst()));
    const Raster& picture = rasters.at(0);
    QCOMPARE(QSize(picture.width, picture.height), QSize(kPrintWidthDots, 40));
    const int left = (kPrintWidthDots - 96) / 2;
    QVERIFY(picture.dot(left + 1, 1));
    QVERIFY(!picture.dot(left - 1, 1));
    QVERIFY(!picture.dot(left + 90, 35));
    // The bar code at the end: twice its height, its text (check digit added) after it.
    const Raster& bars = rasters.at(1);
    QCOMPARE(bars.height, 80);
    const qsizetype barLine = receipt.indexOf(rasterTapeLine(bars));
    QCOMPARE(receipt.at(barLine + 1).trimmed(), u"4601234567893"_s);
    const auto total = std::find_if(receipt.cbegin(), receipt.cend(), [](const QString& line) {
        return tapeText(line).text.startsWith(u"ИТОГ"_s);
    });
    QVERIFY(total != receipt.cend() && barLine > total - receipt.cbegin());

    // Pictures and bars are paper only: the duplicate reprints the text.
    QCOMPARE(d->PrintDuplicate(), 0);
    QVERIFY(rastersOf(tape(folder()).mid(before + receipt.size())).isEmpty());
    // A report is no receipt.
    const qsizetype beforeReport = tape(folder()).size();
    QCOMPARE(d->PrintReport(ReportKind::X1), 0);
    QVERIFY(rastersOf(tape(folder()).mid(beforeReport)).isEmpty());
}

void TestEmulatorReceiptGraphics::readableTextFollowsAlignmentAndFont_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("font");
    QTest::addColumn<QString>("line");
    const QString text = u"4601234567893"_s;
    const int width = DeviceState().lineWidth;
    QTest::newRow("left, large") << BarCodeAlignment::Left << BarCodeFont::Large << text;
    QTest::newRow("centred, small") << BarCodeAlignment::Centre << BarCodeFont::Small
                                    << QString((width - text.size()) / 2, u' ') + text;
    QTest::newRow("right, small") << BarCodeAlignment::Right << BarCodeFont::Small
                                  << text.rightJustified(width, u' ');
}

// The readable text stands where the bars stand, before and after them, in the programmed font.
void TestEmulatorReceiptGraphics::readableTextFollowsAlignmentAndFont()
{
    QFETCH(int, alignment);
    QFETCH(int, font);
    QFETCH(QString, line);
    auto d = connectDriver(folder());
    QVERIFY(d);
    QCOMPARE(d->ProgramBarCode(1, 1, alignment, 0, 0, font, std::int32_t(Symbology::Ean13), 40,
                               u"460123456789"_s),
             0);
    QCOMPARE(d->SetDeviceOpt(DeviceOption::StartBarCodeHeight, 1), 0);
    const qsizetype before = tape(folder()).size();
    sellOne(*d);
    const QList<TapeLine> receipt = lastTapeLines(folder(), tape(folder()).size() - before);
    const auto bars = std::find_if(receipt.cbegin(), receipt.cend(),
                                   [](const TapeLine& l) { return isRasterTapeLine(l.text); });
    QVERIFY(bars != receipt.cbegin() && bars + 1 != receipt.cend());
    for (const TapeLine& text : {*(bars - 1), *(bars + 1)}) {
        QCOMPARE(text.text, line);
        QCOMPARE(bool(text.style & TapeStyle::SmallFont), font == BarCodeFont::Small);
    }
}

void TestEmulatorReceiptGraphics::picturesOutliveTheConnection()
{
    {
        auto d = connectDriver(folder());
        QVERIFY(d);
        QCOMPARE(d->LoadImage(5, m_picture), 0);
        QCOMPARE(d->SetImage(5), 0);
        // A refused load changes nothing that was loaded.
        QCOMPARE(d->LoadImage(5, folder() + u"/none.bmp"_s), codeOf(ErrorCode::FileNotFound));
    }
    auto d = connectDriver(folder(), {}, false);
    QVERIFY(d);
    qsizetype before = tape(folder()).size();
    sellOne(*d);
    QCOMPARE(rastersOf(tape(folder()).mid(before)).size(), 1);

    // Deleting the chosen picture leaves the receipts without one, and unchooses it: a picture
    // loaded into the slot again heads no receipt until it is chosen.
    QCOMPARE(d->DeleteImage(5), 0);
    QCOMPARE(d->SetImage(5), codeOf(ErrorCode::NoPicture));
    before = tape(folder()).size();
    sellOne(*d);
    QVERIFY(rastersOf(tape(folder()).mid(before)).isEmpty());
    QCOMPARE(d->LoadImage(5, m_picture), 0);
    before = tape(folder()).size();
    sellOne(*d);
    QVERIFY(rastersOf(tape(folder()).mid(before)).isEmpty());
}

void TestEmulatorReceiptGraphics::threePicturesByTheirOptions()
{
    const QString wide = writeBitmap(folder(), u"wide.bmp"_s, 384, 20);
    const QString small = writeBitmap(folder(), u"small.bmp"_s, 16, 10);
    auto d = connectDriver(folder());
    QVERIFY(d);
    // One refused file loads none of the three.
    QCOMPARE(d->LoadImages(m_picture, wide, folder() + u"/none.bmp"_s),
             codeOf(ErrorCode::FileNotFound));
    QCOMPARE(d->SetImage(1), codeOf(ErrorCode::NoPicture));
    QCOMPARE(d->LoadImages(m_picture, wide, small), 0);
    QCOMPARE(d->SetDeviceOpt(DeviceOption::PrintPicture2, 1), 0);
    QCOMPARE(d->SetDeviceOpt(DeviceOption::PrintPicture3, 1), 0);
    QCOMPARE(d->SetImage(3), 0);
    const qsizetype before = tape(folder()).size();
    sellOne(*d);
    // The chosen picture first, then the others asked for, none twice.
    QList<int> heights;
    for (const Raster& raster : rastersOf(tape(folder()).mid(before)))
        heights << raster.height;
    QCOMPARE(heights, QList<int>({10, 20}));
}

void TestEmulatorReceiptGraphics::pictureMemoryHoldsExactlyItsLimit()
{
    // 256 dots are 32 bytes a row: pictures of 1024 rows fill the memory with no byte to spare.
    constexpr int kWidth = 256;
    constexpr int kRows = 1024;
    constexpr qsizetype kPictureBytes = kWidth / 8 * kRows;
    static_assert(Device::kPictureMemory % kPictureBytes == 0);
    const QString full = writeBitmap(folder(), u"full.bmp"_s, kWidth, kRows);
    const QString row = writeBitmap(folder(), u"row.bmp"_s, kWidth, 1);
    auto d = connectDriver(folder());
    QVERIFY(d);
    const int pictures = int(Device::kPictureMemory / kPictureBytes);
    for (int slot = 1; slot <= pictures; ++slot)
        QCOMPARE(d->LoadImage(std::int16_t(slot), full), 0);
    QCOMPARE(d->LoadImage(std::int16_t(pictures + 1), row), codeOf(ErrorCode::PictureTooLarge));
}

void TestEmulatorReceiptGraphics::damagedPictureRowIsRefused()
{
    {
        auto d = connectDriver(folder());
        QVERIFY(d);
        QCOMPARE(d->LoadImage(1, m_picture), 0);
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"damage"_s);
        db.setDatabaseName(DeviceStore::databasePath(folder(), 1));
        QVERIFY(db.open());
        // Claims a picture far larger than its dots.
        QVERIFY(QSqlQuery(db).exec(u"UPDATE pictures SET height = 100000"_s));
        db.close();
    }
    QSqlDatabase::removeDatabase(u"damage"_s);
    EmulatedDriver d(folder());
    QCOMPARE(d.SetPassword(u"735102"_s), 0);
    QCOMPARE(d.InitDevice(), codeOf(ErrorCode::DeviceDamaged));
}

QTEST_MAIN(TestEmulatorReceiptGraphics)
#include "tst_emulator_receiptgraphics.moc"
