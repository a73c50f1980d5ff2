#include "OptionControls.h"

#include "DeviceNumbers.h"

using namespace Qt::StringLiterals;

namespace options {

namespace O = DeviceOption;

const QList<CheckOption>& checkOptions()
{
    static const QList<CheckOption> table{
        {O::PrintTaxes, u"CheckPrintTaxesInBill"_s},
        {O::PrintVatIncluded, u"CheckPrintNDSInBill"_s},
        {O::PrintTaxRates, u"CheckPrintTaxRatesInBill"_s},
        {O::PrintTaxRatesInReports, u"CheckPrintTaxesInReport"_s},
        {O::PrintQuantity, u"CheckPrintQuantity"_s},
        {O::PrintDepartment, u"CheckPrintSectionNum"_s},
        {O::FullCut, u"CheckFullCutCheck"_s},
        {O::CentreHeader, u"CheckCenterHeader"_s},
        {O::TallTotal, u"CheckHeightTotal"_s},
        {O::BoldTotal, u"CheckBoldTotal"_s},
        {O::AsteriskBeforeTotal, u"CheckAsteriskTotal"_s},
        {O::CheckCashForChange, u"CheckCheckCashBeforeChange"_s},
        {O::AllowZeroTotal, u"CheckPermitZeroTotalBill"_s},
        {O::MinuteBeep, u"CheckMinuteBeep"_s},
        {O::BlockSalesWithDrawerOpen, u"CheckDisableSaleWithOpenDrawer"_s},
        {O::UseBothPrinters, u"CheckUseBothPrinters"_s},
        {O::AlwaysOpenDrawer, u"CheckAlwaysOpenDrawer"_s},
        {O::CountTotalQuantity, u"CheckGeneralQuantity"_s},
        {O::PrintEklzTapeOnZReport, u"CheckPrintEKLZ"_s},
        {O::PrintDelimiter, u"CheckPrintDelimiter"_s},
        {O::PrintShiftStartOnReports, u"CheckPrintSessionDateTime"_s},
        {O::AlwaysZReportOnClosing, u"CheckAlwaysTakeOffZReport"_s},
        {O::CountVoidsAndCorrections, u"CheckCountStorno"_s},
        {O::AccumulateAllTotals, u"CheckTotalSum"_s},
        {O::LockDrawer, u"CheckLockDrawer"_s},
        {O::PrintZeroTaxTotal1, u"CheckPrintZeroSumTax1"_s},
        {O::PrintZeroTaxTotal2, u"CheckPrintZeroSumTax2"_s},
        {O::PrintZeroTaxTotal3, u"CheckPrintZeroSumTax3"_s},
        {O::PrintZeroTaxTotal4, u"CheckPrintZeroSumTax4"_s},
        {O::ReadAfterShiftLimit, u"CheckExecuteS1"_s},
        {O::PrintLineBetweenSales, u"CheckPrintLineBetweenSales"_s},
        {O::PrintTaxBase, u"CheckPrintTaxYield"_s},
        {O::CarryCashOver, u"CheckStartSessionNotNullMoney"_s},
        {O::ClockOn, u"ClockOnCheck"_s},
    };
    return table;
}

const QList<GroupOption>& groupOptions()
{
    static const QList<GroupOption> table{
        {O::DateFormat, u"OptionDateFormat"_s, 3},
        {O::Rounding, u"OptionRounding"_s, 3},
        {O::TaxBaseRounding, u"OptionRoundupTaxYield"_s, 3},
        {O::TaxRounding, u"OptionRoundUpTax"_s, 3},
    };
    return table;
}

const QList<std::int16_t>& loadOrder()
{
    static const QList<std::int16_t> order{
        O::PrintTaxes,
        O::PrintTaxRates,
        O::PrintTaxRatesInReports,
        O::PrintVatIncluded,
        O::FullCut,
        O::PrintDepartment,
        O::PrintQuantity,
        O::CentreHeader,
        O::TallTotal,
        O::BoldTotal,
        O::AsteriskBeforeTotal,
        O::CheckCashForChange,
        O::AllowZeroTotal,
        O::MinuteBeep,
        O::BlockSalesWithDrawerOpen,
        O::UseBothPrinters,
        O::AlwaysOpenDrawer,
        O::CountTotalQuantity,
        O::DateFormat,
        O::Rounding,
        O::TaxBaseRounding,
        O::TaxRounding,
        O::PrintEklzTapeOnZReport,
        O::PrintDelimiter,
        O::PrintShiftStartOnReports,
        O::AlwaysZReportOnClosing,
        O::CountVoidsAndCorrections,
        O::AccumulateAllTotals,
        O::LockDrawer,
        O::PrintZeroTaxTotal1,
        O::PrintZeroTaxTotal2,
        O::PrintZeroTaxTotal3,
        O::PrintZeroTaxTotal4,
        O::ReadAfterShiftLimit,
        O::PrintLineBetweenSales,
        O::ShiftTimeLimit,
        O::StartBarCodeHeight,
        O::EndBarCodeHeight,
        O::PrintTaxBase,
        O::CarryCashOver,
    };
    return order;
}

const QList<std::int16_t>& clockAndPictureOptions()
{
    static const QList<std::int16_t> order{O::ClockOn, O::ClockCorrection, O::PrintPicture1,
                                           O::PrintPicture2, O::PrintPicture3};
    return order;
}

QList<std::int16_t> applyOrder(bool withCashCarryOver)
{
    QList<std::int16_t> order{
        O::MinuteBeep,
        O::BlockSalesWithDrawerOpen,
        O::UseBothPrinters,
        O::AlwaysOpenDrawer,
        O::CountTotalQuantity,
        O::PrintEklzTapeOnZReport,
        O::PrintDelimiter,
        O::PrintShiftStartOnReports,
        O::AlwaysZReportOnClosing,
        O::CountVoidsAndCorrections,
        O::AccumulateAllTotals,
        O::LockDrawer,
        O::PrintZeroTaxTotal1,
        O::PrintZeroTaxTotal2,
        O::PrintZeroTaxTotal3,
        O::PrintZeroTaxTotal4,
        O::ReadAfterShiftLimit,
        O::PrintLineBetweenSales,
        O::PrintTaxBase,
    };
    if (withCashCarryOver)
        order << O::CarryCashOver;
    order << QList<std::int16_t>{
        O::ShiftTimeLimit,  O::StartBarCodeHeight,     O::EndBarCodeHeight,   O::DateFormat,
        O::Rounding,        O::TaxBaseRounding,        O::TaxRounding,        O::PrintVatIncluded,
        O::PrintTaxes,      O::PrintTaxRatesInReports, O::PrintTaxRates,      O::FullCut,
        O::PrintDepartment, O::PrintQuantity,          O::CentreHeader,       O::TallTotal,
        O::BoldTotal,       O::AsteriskBeforeTotal,    O::CheckCashForChange, O::AllowZeroTotal,
    };
    return order;
}

const QList<std::int16_t>& betweenShiftCheckOptions()
{
    static const QList<std::int16_t> options{
        O::PrintTaxes,
        O::PrintTaxRates,
        O::PrintVatIncluded,
        O::PrintDepartment,
        O::PrintQuantity,
        O::CentreHeader,
        O::TallTotal,
        O::BoldTotal,
        O::AsteriskBeforeTotal,
        O::CountTotalQuantity,
        O::PrintDelimiter,
        O::PrintShiftStartOnReports,
        O::AlwaysZReportOnClosing,
        O::CountVoidsAndCorrections,
        O::AccumulateAllTotals,
        O::PrintZeroTaxTotal1,
        O::PrintZeroTaxTotal2,
        O::PrintZeroTaxTotal3,
        O::PrintZeroTaxTotal4,
    };
    return options;
}

const QList<std::int16_t>& paperTypeCodes()
{
    static const QList<std::int16_t> codes{PaperType::Standard, PaperType::BlackRedA,
                                           PaperType::BlackBlue, PaperType::BlackRedB,
                                           PaperType::OtherTwoColour};
    return codes;
}

int paperTypeButton(std::int32_t code)
{
    const QList<std::int16_t>& codes = paperTypeCodes();
    for (int i = 0; i < codes.size(); ++i) {
        if (codes.at(i) == code)
            return i;
    }
    return -1;
}

} // namespace options
