#include "InterceptingDriver.h"

// The members that query and program the device: information, reports, options, taxes, pictures,
// bar codes and the customer display.

using namespace Qt::StringLiterals;

std::int32_t InterceptingDriver::GetDeviceInfo(std::int16_t index)
{
    return call<std::int32_t>(u"GetDeviceInfo"_s, {index},
                              [&] { return target().GetDeviceInfo(index); });
}

QString InterceptingDriver::GetTextDeviceInfo(std::int32_t index)
{
    return call<QString>(u"GetTextDeviceInfo"_s, {index},
                         [&] { return target().GetTextDeviceInfo(index); });
}

double InterceptingDriver::GetDoubleDeviceInfo(std::int16_t index)
{
    return call<double>(u"GetDoubleDeviceInfo"_s, {index},
                        [&] { return target().GetDoubleDeviceInfo(index); });
}

std::int32_t InterceptingDriver::GetDocInfo(std::int16_t index)
{
    return call<std::int32_t>(u"GetDocInfo"_s, {index}, [&] { return target().GetDocInfo(index); });
}

Driver::Result InterceptingDriver::PrintReport(std::int16_t kind)
{
    return call<Result>(u"PrintReport"_s, {kind}, [&] { return target().PrintReport(kind); });
}

Driver::Result InterceptingDriver::TestPrinter(std::int16_t kind)
{
    return call<Result>(u"TestPrinter"_s, {kind}, [&] { return target().TestPrinter(kind); });
}

Driver::Result InterceptingDriver::TaxChainReport(std::int16_t chain, std::int16_t amount)
{
    return call<Result>(u"TaxChainReport"_s, {chain, amount},
                        [&] { return target().TaxChainReport(chain, amount); });
}

Driver::Result InterceptingDriver::TaxChainsReport()
{
    return call<Result>(u"TaxChainsReport"_s, {}, [&] { return target().TaxChainsReport(); });
}

Driver::Result InterceptingDriver::EKLZPrintReportByNum(std::int16_t kind, std::int32_t first,
                                                        std::int32_t last, std::int16_t reserved)
{
    return call<Result>(u"EKLZPrintReportByNum"_s, {kind, first, last, reserved},
                        [&] { return target().EKLZPrintReportByNum(kind, first, last, reserved); });
}

Driver::Result InterceptingDriver::EKLZPrintReportByDate(std::int16_t kind, std::int32_t reserved,
                                                         const QDate& first, const QDate& last)
{
    return call<Result>(u"EKLZPrintReportByDate"_s, {kind, reserved, first, last}, [&] {
        return target().EKLZPrintReportByDate(kind, reserved, first, last);
    });
}

std::int32_t InterceptingDriver::GetDeviceOpt(std::int16_t option)
{
    return call<std::int32_t>(u"GetDeviceOpt"_s, {option},
                              [&] { return target().GetDeviceOpt(option); });
}

Driver::Result InterceptingDriver::SetDeviceOpt(std::int16_t option, std::int16_t value)
{
    return call<Result>(u"SetDeviceOpt"_s, {option, value},
                        [&] { return target().SetDeviceOpt(option, value); });
}

Driver::Result InterceptingDriver::SetOrderHeader(std::int16_t line, const QString& text,
                                                  std::int16_t bold)
{
    return call<Result>(u"SetOrderHeader"_s, {line, text, bold},
                        [&] { return target().SetOrderHeader(line, text, bold); });
}

Driver::Result InterceptingDriver::SetDate(const QString& day, const QString& month,
                                           std::int32_t year)
{
    return call<Result>(u"SetDate"_s, {day, month, year},
                        [&] { return target().SetDate(day, month, year); });
}

Driver::Result InterceptingDriver::SetTime(const QString& hour, const QString& minute,
                                           std::int32_t second)
{
    return call<Result>(u"SetTime"_s, {hour, minute, second},
                        [&] { return target().SetTime(hour, minute, second); });
}

Driver::Result InterceptingDriver::SetPaperType(std::int16_t code, std::int16_t reserved)
{
    return call<Result>(u"SetPaperType"_s, {code, reserved},
                        [&] { return target().SetPaperType(code, reserved); });
}

Driver::Result InterceptingDriver::SetPaymentMean(std::int32_t number, const QString& name,
                                                  std::int32_t card, std::int32_t cash,
                                                  std::int32_t drawer, std::int32_t change)
{
    return call<Result>(u"SetPaymentMean"_s, {number, name, card, cash, drawer, change}, [&] {
        return target().SetPaymentMean(number, name, card, cash, drawer, change);
    });
}

Driver::Result InterceptingDriver::SetPrintDocumentMode(std::int32_t mode, std::int32_t side,
                                                        std::int32_t copies,
                                                        std::int32_t fiscalCopy,
                                                        std::int32_t rowsBefore,
                                                        std::int32_t rowsBetween)
{
    return call<Result>(u"SetPrintDocumentMode"_s,
                        {mode, side, copies, fiscalCopy, rowsBefore, rowsBetween}, [&] {
                            return target().SetPrintDocumentMode(mode, side, copies, fiscalCopy,
                                                                 rowsBefore, rowsBetween);
                        });
}

std::int16_t InterceptingDriver::GetTaxRate(std::int16_t number)
{
    return call<std::int16_t>(u"GetTaxRate"_s, {number},
                              [&] { return target().GetTaxRate(number); });
}

Driver::Result InterceptingDriver::SetTaxRate(std::int16_t number, std::int16_t rate)
{
    return call<Result>(u"SetTaxRate"_s, {number, rate},
                        [&] { return target().SetTaxRate(number, rate); });
}

QString InterceptingDriver::GetTaxChain(std::int16_t number)
{
    return call<QString>(u"GetTaxChain"_s, {number}, [&] { return target().GetTaxChain(number); });
}

Driver::Result InterceptingDriver::SetTaxChain(std::int16_t number, const QString& chain)
{
    return call<Result>(u"SetTaxChain"_s, {number, chain},
                        [&] { return target().SetTaxChain(number, chain); });
}

Driver::Result InterceptingDriver::LoadImage(std::int16_t slot, const QString& fileName)
{
    return call<Result>(u"LoadImage"_s, {slot, fileName},
                        [&] { return target().LoadImage(slot, fileName); });
}

Driver::Result InterceptingDriver::LoadImages(const QString& file1, const QString& file2,
                                              const QString& file3)
{
    return call<Result>(u"LoadImages"_s, {file1, file2, file3},
                        [&] { return target().LoadImages(file1, file2, file3); });
}

Driver::Result InterceptingDriver::SetImage(std::int16_t slot)
{
    return call<Result>(u"SetImage"_s, {slot}, [&] { return target().SetImage(slot); });
}

Driver::Result InterceptingDriver::DeleteImage(std::int16_t slot)
{
    return call<Result>(u"DeleteImage"_s, {slot}, [&] { return target().DeleteImage(slot); });
}

Driver::Result InterceptingDriver::ProgramBarCode(std::int32_t textAfter, std::int32_t textBefore,
                                                  std::int32_t alignment, std::int32_t scaling,
                                                  std::int32_t thickness, std::int32_t font,
                                                  std::int32_t symbology, std::int32_t height,
                                                  const QString& content)
{
    return call<Result>(
        u"ProgramBarCode"_s,
        {textAfter, textBefore, alignment, scaling, thickness, font, symbology, height, content},
        [&] {
            return target().ProgramBarCode(textAfter, textBefore, alignment, scaling, thickness,
                                           font, symbology, height, content);
        });
}

Driver::Result InterceptingDriver::ProgramBarCodeDirect(const QString& mask)
{
    return call<Result>(u"ProgramBarCodeDirect"_s, {mask},
                        [&] { return target().ProgramBarCodeDirect(mask); });
}

Driver::Result InterceptingDriver::InitLineDisplay()
{
    return call<Result>(u"InitLineDisplay"_s, {}, [&] { return target().InitLineDisplay(); });
}

Driver::Result InterceptingDriver::StringToLineDisplay(const QString& text)
{
    return call<Result>(u"StringToLineDisplay"_s, {text},
                        [&] { return target().StringToLineDisplay(text); });
}

Driver::Result InterceptingDriver::StringToLineDisplayDirect(const QString& text)
{
    return call<Result>(u"StringToLineDisplayDirect"_s, {text},
                        [&] { return target().StringToLineDisplayDirect(text); });
}
