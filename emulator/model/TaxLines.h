#pragma once

#include "Printout.h"
#include "Taxes.h"

#include <array>

// How the device prints taxes: on receipts, on the X and Z reports and in the chain reports.
namespace emulator {

// The printing options that concern taxes.
struct TaxPrinting
{
    bool eachTax = false;     // option 3: a line per tax instead of one total
    bool vatIncluded = false; // option 4: the included taxes once more as "В Т.Ч. НДС"
    bool rates = false;       // option 5 on receipts, option 6 on reports
    bool base = false;        // option 42: the taxable base before each tax
    std::array<bool, kTaxRateCount> zeroTotals{}; // options 31 to 34: report a tax that is 0
};

// "НАЛОГ A", "НАЛОГ A 20.00%".
QString taxCaption(int tax, int rate, bool withRate);
QString formatRate(int rate); // 2000 -> "20.00%"

// The tax lines of a receipt, printed after its positions.
void printReceiptTaxes(Printout& out, const TaxSheet& sheet, const TaxPrinting& printing);

// The tax totals of a report: counters of taxes 1 to 4.
void printReportTaxes(Printout& out, const std::array<Kopecks, kTaxRateCount>& totals,
                      const std::array<int, kTaxRateCount>& rates, const TaxPrinting& printing);

// How `amount` goes through chain `number`.
void printChainReport(Printout& out, int number, const QString& chain, Kopecks amount,
                      const TaxSheet& sheet);

// The rates and the eight chains.
void printChainsReport(Printout& out, const std::array<int, kTaxRateCount>& rates,
                       const std::array<QString, kTaxChainCount>& chains, bool chainsOn);

} // namespace emulator
