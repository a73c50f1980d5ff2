#include "BarCodes.h"

#include "DeviceNumbers.h"

#include <zint.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace emulator {

namespace {

struct SymbolDeleter
{
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

// The library's symbology for ours; the UPC and EAN codes come in two forms, with the check
// digit given (and verified) or left for the library to add.
struct Encoding
{
    int withoutCheck;
    int withCheck;
    int digitsWithoutCheck; // 0 when the content is free text of the symbology's characters
};

Encoding encodingOf(Symbology symbology)
{
    switch (symbology) {
    case Symbology::UpcA:
        return {BARCODE_UPCA, BARCODE_UPCA_CHK, 11};
    case Symbology::UpcE:
        return {BARCODE_UPCE, BARCODE_UPCE_CHK, 7};
    case Symbology::Ean13:
        return {BARCODE_EANX, BARCODE_EANX_CHK, 12};
    case Symbology::Ean8:
        return {BARCODE_EANX, BARCODE_EANX_CHK, 7};
    case Symbology::Code39:
        return {BARCODE_CODE39, BARCODE_CODE39, 0};
    case Symbology::Itf:
        return {BARCODE_C25INTER, BARCODE_C25INTER, 0};
    case Symbology::Codabar:
        return {BARCODE_CODABAR, BARCODE_CODABAR, 0};
    case Symbology::Code93:
        return {BARCODE_CODE93, BARCODE_CODE93, 0};
    case Symbology::Code128:
        return {BARCODE_CODE128, BARCODE_CODE128, 0};
    }
    return {0, 0, 0};
}

bool allDigits(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Whether the library's readable text shows the content as it was given. The library silently
// changes some contents (a UPC-E number system other than 0 or 1 becomes 0, CODE 39 letters become
// capitals, an odd-length ITF gets a leading zero) and then prints another code than the one asked
// for, which the device never does.
bool encodedAsGiven(Symbology symbology, const QString& content, const QString& text)
{
    switch (symbology) {
    case Symbology::Code39:
        return text == u'*' + content + u'*'; // between its start and stop characters
    case Symbology::Codabar:
        // The start and stop characters a to d are the same characters as A to D.
        return text.compare(content, Qt::CaseInsensitive) == 0;
    default:
        return text.startsWith(content); // a check digit the library added may follow
    }
}

Failure invalidValue(Reason reason = Reason::TooLarge)
{
    return Failure{ErrorCode::InvalidValue, reason};
}

} // namespace

Raster BarCode::raster(int heightFactor) const
{
    Raster bars(int(modules.size()) * moduleDots, height * heightFactor);
    for (int m = 0; m < modules.size(); ++m) {
        if (modules.at(m) != u'1')
            continue;
        for (int y = 0; y < bars.height; ++y) {
            for (int d = 0; d < moduleDots; ++d)
                bars.setDot(m * moduleDots + d, y);
        }
    }
    return bars.placed(kPrintWidthDots, alignment);
}

std::variant<BarCode, Failure> encodeBarCode(const BarCodeRequest& request)
{
    const auto flag = [](std::int32_t v) { return v == 0 || v == 1; };
    if (!flag(request.textAfter) || !flag(request.textBefore))
        return invalidValue();
    if (request.font != BarCodeFont::Large && request.font != BarCodeFont::Small)
        return invalidValue();
    if (request.alignment < BarCodeAlignment::Left || request.alignment > BarCodeAlignment::Right ||
        request.scaling < 0 || request.scaling > 3 || request.thickness < 0 ||
        request.thickness > 2)
        return invalidValue();
    if (request.height < 1 || request.height > 255)
        return invalidValue(request.height < 1 ? Reason::NotPositive : Reason::TooLarge);
    if (request.symbology < 0 || request.symbology > 8)
        return invalidValue();
    if (request.content.isEmpty())
        return Failure{ErrorCode::InvalidBarCode, Reason::EmptyText};

    const auto symbology = static_cast<Symbology>(request.symbology);
    const Encoding encoding = encodingOf(symbology);
    int library = encoding.withoutCheck;
    if (encoding.digitsWithoutCheck > 0) {
        const qsizetype length = request.content.size();
        if (!allDigits(request.content))
            return Failure{ErrorCode::InvalidBarCode, Reason::NotANumber};
        if (length == encoding.digitsWithoutCheck + 1)
            library = encoding.withCheck;
        else if (length != encoding.digitsWithoutCheck)
            return Failure{ErrorCode::InvalidBarCode, Reason::TooLarge};
    }

    std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol)
        return Failure{ErrorCode::StorageError};
    symbol->symbology = library;
    const QByteArray data = request.content.toLatin1();
    if (QString::fromLatin1(data) != request.content)
        return Failure{ErrorCode::InvalidBarCode};
    const int status = ZBarcode_Encode(
        symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()), int(data.size()));
    if (status >= ZINT_ERROR)
        return Failure{ErrorCode::InvalidBarCode};

    BarCode code;
    // A linear code's bars are its last row (the rows before it are add-on guard rows, if any).
    const int row = symbol->rows - 1;
    for (int x = 0; x < symbol->width; ++x) {
        const bool bar = (symbol->encoded_data[row][x >> 3] >> (x & 7)) & 1;
        code.modules.append(bar ? u'1' : u'0');
    }
    code.moduleDots = (request.thickness + 1) + request.scaling;
    code.height = request.height;
    code.alignment = request.alignment;
    code.textBefore = request.textBefore == 1;
    code.textAfter = request.textAfter == 1;
    code.font = request.font;
    code.text = QString::fromUtf8(reinterpret_cast<const char*>(symbol->text));
    if (!encodedAsGiven(symbology, request.content, code.text))
        return Failure{ErrorCode::InvalidBarCode};
    if (code.modules.size() * code.moduleDots > kPrintWidthDots)
        return Failure{ErrorCode::InvalidBarCode, Reason::TooWide};
    return code;
}

std::variant<BarCode, Failure> barCodeFromMask(const QString& mask)
{
    if (mask.isEmpty())
        return Failure{ErrorCode::InvalidBarCode, Reason::EmptyText};
    if (mask.size() > kPrintWidthDots)
        return Failure{ErrorCode::InvalidBarCode, Reason::TooLarge};
    if (!std::all_of(mask.cbegin(), mask.cend(), [](QChar c) { return c == u'0' || c == u'1'; }))
        return Failure{ErrorCode::InvalidBarCode, Reason::NotANumber};
    BarCode code;
    code.modules = mask;
    return code;
}

} // namespace emulator
