// The driver members that read the device, print its reports and program it.

#include "EmulatedDriver.h"

using namespace Qt::StringLiterals;

namespace emulator {

// ---- information -------------------------------------------------------------------------------

std::int32_t EmulatedDriver::GetDeviceInfo(std::int16_t index)
{
    return query<std::int32_t>(
        u"GetDeviceInfo", {index},
        [&](const Device& d, Failure& f) {
            // A failed operation inside the document is the driver's knowledge, not the device's.
            return index == 13 ? (m_operationFailed ? 1 : 0) : d.deviceInfo(index, f);
        },
        -1);
}

QString EmulatedDriver::GetTextDeviceInfo(std::int32_t index)
{
    // Negative indices read the last electronic report line by line, from the driver's copy.
    if (index < 0)
        return eklzTextLine(index);
    return query<QString>(
        u"GetTextDeviceInfo", {index},
        [&](const Device& d, Failure& f) { return d.textInfo(index, f); }, QString());
}

double EmulatedDriver::GetDoubleDeviceInfo(std::int16_t index)
{
    return query<double>(
        u"GetDoubleDeviceInfo", {index},
        [&](const Device& d, Failure& f) { return d.doubleInfo(index, f); }, -1.0);
}

std::int32_t EmulatedDriver::GetDocInfo(std::int16_t index)
{
    return query<std::int32_t>(
        u"GetDocInfo", {index},
        [&](const Device& d, Failure& f) { return d.documentInfo(index, f); }, -1);
}

// ---- reports and tests -------------------------------------------------------------------------

Driver::Result EmulatedDriver::PrintReport(std::int16_t kind)
{
    return command(u"PrintReport", {kind}, [&](Device& d) {
        return withControlTape(d, [kind](Device& device) { return device.printReport(kind); });
    });
}

Driver::Result EmulatedDriver::TestPrinter(std::int16_t kind)
{
    return command(u"TestPrinter", {kind}, [&](Device& d) { return d.testPrinter(kind); });
}

Driver::Result EmulatedDriver::TaxChainReport(std::int16_t chain, std::int16_t amount)
{
    return command(u"TaxChainReport", {chain, amount},
                   [&](Device& d) { return d.taxChainReport(chain, amount); });
}

Driver::Result EmulatedDriver::TaxChainsReport()
{
    return command(u"TaxChainsReport", {}, [&](Device& d) { return d.taxChainsReport(); });
}

Driver::Result EmulatedDriver::EKLZPrintReportByNum(std::int16_t kind, std::int32_t first,
                                                    std::int32_t last, std::int16_t reserved)
{
    EklzRequest request;
    request.first = first;
    request.last = last;
    return eklzReport(u"EKLZPrintReportByNum", {kind, first, last, reserved}, kind, request);
}

Driver::Result EmulatedDriver::EKLZPrintReportByDate(std::int16_t kind, std::int32_t reserved,
                                                     const QDate& first, const QDate& last)
{
    EklzRequest request;
    request.byDate = true;
    request.firstDate = first;
    request.lastDate = last;
    return eklzReport(u"EKLZPrintReportByDate", {kind, reserved, first, last}, kind, request);
}

// ---- device programming ------------------------------------------------------------------------

std::int32_t EmulatedDriver::GetDeviceOpt(std::int16_t option)
{
    return query<std::int32_t>(
        u"GetDeviceOpt", {option},
        [&](const Device& d, Failure& f) { return d.deviceOption(option, f); }, -1);
}

Driver::Result EmulatedDriver::SetDeviceOpt(std::int16_t option, std::int16_t value)
{
    const Result result = command(u"SetDeviceOpt", {option, value},
                                  [&](Device& d) { return d.setDeviceOption(option, value); });
    // The driver follows the device to its new exchange speed.
    if (result == 0 && option == 101)
        m_speed = value;
    return result;
}

Driver::Result EmulatedDriver::SetOrderHeader(std::int16_t line, const QString& text,
                                              std::int16_t bold)
{
    return command(u"SetOrderHeader", {line, text, bold},
                   [&](Device& d) { return d.setOrderHeader(line, text, bold); });
}

Driver::Result EmulatedDriver::SetDate(const QString& day, const QString& month, std::int32_t year)
{
    return command(u"SetDate", {day, month, year},
                   [&](Device& d) { return d.setDate(day, month, year); });
}

Driver::Result EmulatedDriver::SetTime(const QString& hour, const QString& minute,
                                       std::int32_t second)
{
    return command(u"SetTime", {hour, minute, second},
                   [&](Device& d) { return d.setTime(hour, minute, second); });
}

Driver::Result EmulatedDriver::SetPaperType(std::int16_t code, std::int16_t reserved)
{
    return command(u"SetPaperType", {code, reserved},
                   [&](Device& d) { return d.setPaperType(code); });
}

Driver::Result EmulatedDriver::SetPaymentMean(std::int32_t number, const QString& name,
                                              std::int32_t card, std::int32_t cash,
                                              std::int32_t drawer, std::int32_t change)
{
    return command(u"SetPaymentMean", {number, name, card, cash, drawer, change}, [&](Device& d) {
        return d.setPaymentMean(number, name, card, cash, drawer, change);
    });
}

Driver::Result EmulatedDriver::SetPrintDocumentMode(std::int32_t mode, std::int32_t side,
                                                    std::int32_t copies, std::int32_t fiscalCopy,
                                                    std::int32_t rowsBefore,
                                                    std::int32_t rowsBetween)
{
    return command(u"SetPrintDocumentMode",
                   {mode, side, copies, fiscalCopy, rowsBefore, rowsBetween}, [&](Device& d) {
                       return d.setPrintDocumentMode(mode, side, copies, fiscalCopy, rowsBefore,
                                                     rowsBetween);
                   });
}

// ---- taxes: not programmable yet; the getters answer "no tax" ----------------------------------

std::int16_t EmulatedDriver::GetTaxRate(std::int16_t number)
{
    return query<std::int16_t>(
        u"GetTaxRate", {number},
        [&](const Device& d, Failure& f) { return std::int16_t(d.taxRate(number, f)); }, 0);
}

Driver::Result EmulatedDriver::SetTaxRate(std::int16_t number, std::int16_t rate)
{
    return command(u"SetTaxRate", {number, rate},
                   [&](Device& d) { return d.setTaxRate(number, rate); });
}

QString EmulatedDriver::GetTaxChain(std::int16_t number)
{
    return query<QString>(
        u"GetTaxChain", {number},
        [&](const Device& d, Failure& f) { return d.taxChain(number, f); }, QString());
}

Driver::Result EmulatedDriver::SetTaxChain(std::int16_t number, const QString& chain)
{
    return command(u"SetTaxChain", {number, chain},
                   [&](Device& d) { return d.setTaxChain(number, chain); });
}
Driver::Result EmulatedDriver::InitLineDisplay()
{
    return command(u"InitLineDisplay", {}, [](Device& d) { return d.initLineDisplay(); });
}

Driver::Result EmulatedDriver::StringToLineDisplay(const QString& text)
{
    return command(u"StringToLineDisplay", {text},
                   [&](Device& d) { return d.stringToLineDisplay(text); });
}

Driver::Result EmulatedDriver::StringToLineDisplayDirect(const QString& text)
{
    return command(u"StringToLineDisplayDirect", {text},
                   [&](Device& d) { return d.stringToLineDisplayDirect(text); });
}

} // namespace emulator
