#include "InterceptingDriver.h"

#include <QVariantList>

#include <stdexcept>

using namespace Qt::StringLiterals;

InterceptingDriver::InterceptingDriver(std::shared_ptr<Driver> target) : m_target(std::move(target))
{
}

Driver& InterceptingDriver::target()
{
    // Only a subclass that was given a target forwards; reaching here without one is a bug in it.
    if (!m_target)
        throw std::logic_error("InterceptingDriver: call forwarded without a target driver");
    return *m_target;
}

Driver::Result InterceptingDriver::GetLanguageInfo(std::int32_t number, QString& name,
                                                   QString& text2, std::int32_t& languageId,
                                                   std::int32_t& current)
{
    DriverCall driverCall{u"GetLanguageInfo"_s, {number}, {}, {}};
    const QVariant answer = intercept(driverCall, [&] {
        QString outName;
        QString outText2;
        std::int32_t outId = 0;
        std::int32_t outCurrent = 0;
        const Result code = target().GetLanguageInfo(number, outName, outText2, outId, outCurrent);
        return QVariant(
            QVariantList{QVariant::fromValue(code), outName, outText2, outId, outCurrent});
    });
    const QVariantList values = answer.toList();
    if (values.size() == 5) {
        name = values.at(1).toString();
        text2 = values.at(2).toString();
        languageId = values.at(3).toInt();
        current = values.at(4).toInt();
    }
    return values.isEmpty() ? Result(answer.toInt()) : Result(values.at(0).toInt());
}

Driver::Result InterceptingDriver::SetPassword(const QString& password)
{
    return call<Result>(u"SetPassword"_s, {password},
                        [&] { return target().SetPassword(password); });
}

Driver::Result InterceptingDriver::SetDriverOpt(std::int16_t option, std::int32_t value)
{
    return call<Result>(u"SetDriverOpt"_s, {option, value},
                        [&] { return target().SetDriverOpt(option, value); });
}

std::int32_t InterceptingDriver::GetDriverOpt(std::int16_t option)
{
    return call<std::int32_t>(u"GetDriverOpt"_s, {option},
                              [&] { return target().GetDriverOpt(option); });
}

Driver::Result InterceptingDriver::SetLanguage(std::int32_t languageId)
{
    return call<Result>(u"SetLanguage"_s, {languageId},
                        [&] { return target().SetLanguage(languageId); });
}

std::int32_t InterceptingDriver::GetLanguageCount()
{
    return call<std::int32_t>(u"GetLanguageCount"_s, {},
                              [&] { return target().GetLanguageCount(); });
}

Driver::Result InterceptingDriver::SetLogOpt(std::int16_t option, std::int32_t value)
{
    return call<Result>(u"SetLogOpt"_s, {option, value},
                        [&] { return target().SetLogOpt(option, value); });
}

Driver::Result InterceptingDriver::SetLogFile(std::int16_t log, const QString& path)
{
    return call<Result>(u"SetLogFile"_s, {log, path},
                        [&] { return target().SetLogFile(log, path); });
}

Driver::Result InterceptingDriver::InitDevice()
{
    return call<Result>(u"InitDevice"_s, {}, [&] { return target().InitDevice(); });
}

Driver::Result InterceptingDriver::DeinitDevice()
{
    return call<Result>(u"DeinitDevice"_s, {}, [&] { return target().DeinitDevice(); });
}

QString InterceptingDriver::GetErrorComment(std::int16_t code)
{
    return call<QString>(u"GetErrorComment"_s, {code},
                         [&] { return target().GetErrorComment(code); });
}

std::int32_t InterceptingDriver::GetErrorCode2()
{
    return call<std::int32_t>(u"GetErrorCode2"_s, {}, [&] { return target().GetErrorCode2(); });
}

QString InterceptingDriver::GetErrorComment2(std::int32_t code2)
{
    return call<QString>(u"GetErrorComment2"_s, {code2},
                         [&] { return target().GetErrorComment2(code2); });
}

Driver::Result InterceptingDriver::StartSession(const QString& cashier, std::int32_t registerNumber)
{
    return call<Result>(u"StartSession"_s, {cashier, registerNumber},
                        [&] { return target().StartSession(cashier, registerNumber); });
}

Driver::Result InterceptingDriver::EndSession()
{
    return call<Result>(u"EndSession"_s, {}, [&] { return target().EndSession(); });
}

Driver::Result InterceptingDriver::SetClerk(const QString& cashier)
{
    return call<Result>(u"SetClerk"_s, {cashier}, [&] { return target().SetClerk(cashier); });
}

Driver::Result InterceptingDriver::OpenDrawer()
{
    return call<Result>(u"OpenDrawer"_s, {}, [&] { return target().OpenDrawer(); });
}

Driver::Result InterceptingDriver::PrintDuplicate()
{
    return call<Result>(u"PrintDuplicate"_s, {}, [&] { return target().PrintDuplicate(); });
}

Driver::Result InterceptingDriver::StartDocument(std::int32_t type, std::int16_t department,
                                                 const QString& order, const QString& cashier)
{
    return call<Result>(u"StartDocument"_s, {type, department, order, cashier},
                        [&] { return target().StartDocument(type, department, order, cashier); });
}

Driver::Result InterceptingDriver::SetExtraDocData(std::int32_t value42, std::int32_t value81,
                                                   std::int32_t value82, const QString& value80)
{
    return call<Result>(u"SetExtraDocData"_s, {value42, value81, value82, value80}, [&] {
        return target().SetExtraDocData(value42, value81, value82, value80);
    });
}

Driver::Result InterceptingDriver::SetExtraDocData2(const QString& value42, const QString& value81,
                                                    const QString& value82, const QString& value80)
{
    return call<Result>(u"SetExtraDocData2"_s, {value42, value81, value82, value80}, [&] {
        return target().SetExtraDocData2(value42, value81, value82, value80);
    });
}

Driver::Result InterceptingDriver::EndDocument()
{
    return call<Result>(u"EndDocument"_s, {}, [&] { return target().EndDocument(); });
}

Driver::Result InterceptingDriver::CancelDocument()
{
    return call<Result>(u"CancelDocument"_s, {}, [&] { return target().CancelDocument(); });
}

Driver::Result InterceptingDriver::ResetError()
{
    return call<Result>(u"ResetError"_s, {}, [&] { return target().ResetError(); });
}

Driver::Result InterceptingDriver::PrintResult()
{
    return call<Result>(u"PrintResult"_s, {}, [&] { return target().PrintResult(); });
}

Driver::Result InterceptingDriver::Item(std::int32_t quantity, std::int32_t price,
                                        const QString& name, std::int32_t taxGroup)
{
    return call<Result>(u"Item"_s, {quantity, price, name, taxGroup},
                        [&] { return target().Item(quantity, price, name, taxGroup); });
}

Driver::Result InterceptingDriver::ItemEx(std::int32_t quantity, std::int32_t price,
                                          const QString& name, std::int32_t taxGroup,
                                          std::int16_t department)
{
    return call<Result>(u"ItemEx"_s, {quantity, price, name, taxGroup, department}, [&] {
        return target().ItemEx(quantity, price, name, taxGroup, department);
    });
}

Driver::Result InterceptingDriver::ItemTare(std::int32_t quantity, std::int32_t price,
                                            const QString& name, std::int32_t taxGroup)
{
    return call<Result>(u"ItemTare"_s, {quantity, price, name, taxGroup},
                        [&] { return target().ItemTare(quantity, price, name, taxGroup); });
}

Driver::Result InterceptingDriver::ItemTareEx(std::int32_t quantity, std::int32_t price,
                                              const QString& name, std::int32_t taxGroup,
                                              std::int16_t department)
{
    return call<Result>(u"ItemTareEx"_s, {quantity, price, name, taxGroup, department}, [&] {
        return target().ItemTareEx(quantity, price, name, taxGroup, department);
    });
}

Driver::Result InterceptingDriver::ReturnTare(std::int32_t price, std::int32_t quantity)
{
    return call<Result>(u"ReturnTare"_s, {price, quantity},
                        [&] { return target().ReturnTare(price, quantity); });
}

Driver::Result InterceptingDriver::ItemPurchase(std::int32_t quantity, std::int32_t price,
                                                const QString& name, std::int32_t department)
{
    return call<Result>(u"ItemPurchase"_s, {quantity, price, name, department},
                        [&] { return target().ItemPurchase(quantity, price, name, department); });
}

Driver::Result InterceptingDriver::VoidItem(const QVariant& quantity, std::int32_t price,
                                            const QString& name, std::int32_t taxGroup)
{
    return call<Result>(u"VoidItem"_s, {quantity, price, name, taxGroup},
                        [&] { return target().VoidItem(quantity, price, name, taxGroup); });
}

Driver::Result InterceptingDriver::VoidItemEx(const QVariant& quantity, std::int32_t price,
                                              const QString& name, std::int32_t taxGroup,
                                              std::int16_t department)
{
    return call<Result>(u"VoidItemEx"_s, {quantity, price, name, taxGroup, department}, [&] {
        return target().VoidItemEx(quantity, price, name, taxGroup, department);
    });
}

Driver::Result InterceptingDriver::VoidItemTare(const QVariant& quantity, std::int32_t price,
                                                const QString& name, std::int32_t taxGroup)
{
    return call<Result>(u"VoidItemTare"_s, {quantity, price, name, taxGroup},
                        [&] { return target().VoidItemTare(quantity, price, name, taxGroup); });
}

Driver::Result InterceptingDriver::VoidItemTareEx(const QVariant& quantity, std::int32_t price,
                                                  const QString& name, std::int32_t taxGroup,
                                                  std::int16_t department)
{
    return call<Result>(u"VoidItemTareEx"_s, {quantity, price, name, taxGroup, department}, [&] {
        return target().VoidItemTareEx(quantity, price, name, taxGroup, department);
    });
}

Driver::Result InterceptingDriver::VoidReturnTare(std::int32_t price, const QVariant& quantity)
{
    return call<Result>(u"VoidReturnTare"_s, {price, quantity},
                        [&] { return target().VoidReturnTare(price, quantity); });
}

Driver::Result InterceptingDriver::RepeatItem()
{
    return call<Result>(u"RepeatItem"_s, {}, [&] { return target().RepeatItem(); });
}

Driver::Result InterceptingDriver::CorrectLastItem()
{
    return call<Result>(u"CorrectLastItem"_s, {}, [&] { return target().CorrectLastItem(); });
}

Driver::Result InterceptingDriver::AbsoluteCorrection(std::int32_t amount)
{
    return call<Result>(u"AbsoluteCorrection"_s, {amount},
                        [&] { return target().AbsoluteCorrection(amount); });
}

Driver::Result InterceptingDriver::PercentCorrection(std::int32_t percent)
{
    return call<Result>(u"PercentCorrection"_s, {percent},
                        [&] { return target().PercentCorrection(percent); });
}

Driver::Result InterceptingDriver::AbsoluteCorrectionText(std::int32_t amount, const QString& text)
{
    return call<Result>(u"AbsoluteCorrectionText"_s, {amount, text},
                        [&] { return target().AbsoluteCorrectionText(amount, text); });
}

Driver::Result InterceptingDriver::Tender2(double amount, const QVariant& paymentType,
                                           const QVariant& cardNumber,
                                           const QString& documentNumber)
{
    return call<Result>(u"Tender2"_s, {amount, paymentType, cardNumber, documentNumber}, [&] {
        return target().Tender2(amount, paymentType, cardNumber, documentNumber);
    });
}

Driver::Result InterceptingDriver::ResetPayInfo()
{
    return call<Result>(u"ResetPayInfo"_s, {}, [&] { return target().ResetPayInfo(); });
}

Driver::Result InterceptingDriver::TextLine(const QString& text)
{
    return call<Result>(u"TextLine"_s, {text}, [&] { return target().TextLine(text); });
}

Driver::Result InterceptingDriver::AddExtraString(const QString& line)
{
    return call<Result>(u"AddExtraString"_s, {line}, [&] { return target().AddExtraString(line); });
}

Driver::Result InterceptingDriver::ClearExtraStrings()
{
    return call<Result>(u"ClearExtraStrings"_s, {}, [&] { return target().ClearExtraStrings(); });
}

Driver::Result InterceptingDriver::AddExtraString2(const QString& text, const QString& number)
{
    return call<Result>(u"AddExtraString2"_s, {text, number},
                        [&] { return target().AddExtraString2(text, number); });
}

Driver::Result InterceptingDriver::ClearExtraStrings2()
{
    return call<Result>(u"ClearExtraStrings2"_s, {}, [&] { return target().ClearExtraStrings2(); });
}

Driver::Result InterceptingDriver::SetDescriptorText(std::int16_t number, const QString& text)
{
    return call<Result>(u"SetDescriptorText"_s, {number, text},
                        [&] { return target().SetDescriptorText(number, text); });
}

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
