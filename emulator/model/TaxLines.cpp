#include "TaxLines.h"

#include "DeviceMessages.h"

using namespace Qt::StringLiterals;

namespace emulator {

QString formatRate(int rate)
{
    return u"%1.%2%"_s.arg(rate / 100).arg(rate % 100, 2, 10, QChar(u'0'));
}

QString taxCaption(int tax, int rate, bool withRate)
{
    const QString caption = word(Word::Tax) + u' ' + QChar(u'A' + (tax - 1));
    return withRate ? caption + u' ' + formatRate(rate) : caption;
}

void printReceiptTaxes(Printout& out, const TaxSheet& sheet, const TaxPrinting& printing)
{
    if (sheet.taxes.empty())
        return;
    Kopecks all = 0;
    for (const TaxTotal& total : sheet.taxes) {
        all += total.amount;
        if (printing.base)
            out.amountLine(word(Word::TaxableSum) + u' ' + QChar(u'A' + (total.tax - 1)),
                           total.base);
        if (printing.eachTax)
            out.amountLine(taxCaption(total.tax, total.rate, printing.rates), total.amount);
    }
    if (!printing.eachTax)
        out.amountLine(word(Word::TaxesSum), all);
    // A tax may be included in one group's prices and added in another's: the sheet keeps what
    // the prices hold apart.
    if (printing.vatIncluded && sheet.included != 0)
        out.amountLine(word(Word::VatIncluded), sheet.included);
}

void printReportTaxes(Printout& out, const std::array<Kopecks, kTaxRateCount>& totals,
                      const std::array<int, kTaxRateCount>& rates, const TaxPrinting& printing)
{
    for (std::size_t i = 0; i < totals.size(); ++i) {
        if (totals[i] == 0 && !printing.zeroTotals[i])
            continue;
        out.amountLine(taxCaption(int(i) + 1, rates[i], printing.rates), totals[i]);
    }
}

void printChainReport(Printout& out, int number, const QString& chain, Kopecks amount,
                      const TaxSheet& sheet)
{
    out.centered(word(Word::TaxChain) + u' ' + QString::number(number));
    out.line(chain);
    out.amountLine(word(Word::Sum), amount);
    for (const TaxTotal& total : sheet.taxes) {
        out.line(taxCaption(total.tax, total.rate, true) + u' ' +
                 word(total.reverse ? Word::Included : Word::Charged));
        out.amountLine(u"  "_s + word(Word::FromSum), total.base);
        out.amountLine(u"  "_s + word(Word::Tax), total.amount);
    }
    out.amountLine(word(Word::Total), amount + sheet.added);
}

void printChainsReport(Printout& out, const std::array<int, kTaxRateCount>& rates,
                       const std::array<QString, kTaxChainCount>& chains, bool chainsOn)
{
    out.centered(word(Word::TaxChains));
    out.columns(u"ЦЕПОЧКИ"_s, word(chainsOn ? Word::SwitchedOn : Word::SwitchedOff));
    for (std::size_t i = 0; i < rates.size(); ++i)
        out.columns(word(Word::Rate) + u' ' + QChar(u'A' + int(i)), formatRate(rates[i]));
    for (std::size_t i = 0; i < chains.size(); ++i)
        out.columns(u"ЦЕПОЧКА %1"_s.arg(i + 1), chains[i]);
}

} // namespace emulator
