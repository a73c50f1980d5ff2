// Tax rates, tax chains, the taxes of the open receipt and the text descriptors.
#include "Device.h"

#include "DeviceNumbers.h"
#include "DocumentKinds.h"
#include "TaxChain.h"
#include "TaxLines.h"

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

// Chains and the option that switches them on came with this generation; descriptors 80 to 82
// with it too, and reading descriptors back with the fifth.
constexpr int kChainsFromMajor = 3;
constexpr int kDescriptorsReadFromMajor = 5;
constexpr int kDescriptorLength = 40;

Reason chainReason(taxchain::Defect defect)
{
    switch (defect) {
    case taxchain::Defect::Length:
        return Reason::ChainLength;
    case taxchain::Defect::Character:
        return Reason::ChainCharacter;
    case taxchain::Defect::Gap:
        return Reason::ChainGap;
    case taxchain::Defect::Repeat:
        return Reason::ChainRepeat;
    case taxchain::Defect::Orphan:
        return Reason::ChainOrphan;
    case taxchain::Defect::None:
        break;
    }
    return Reason::General;
}

bool isDescriptor(std::int32_t number)
{
    return number == Descriptor::Row42 || number == Descriptor::Row80 ||
           number == Descriptor::Row81 || number == Descriptor::Row82;
}

} // namespace

TaxSettings Device::taxSettings() const
{
    TaxSettings settings;
    settings.rates = m_state.taxRates;
    settings.chains = m_state.taxChains;
    settings.useChains =
        m_state.major >= kChainsFromMajor && option(DeviceOption::UseTaxChains) != 0;
    settings.baseRounding = roundingFromOption(option(DeviceOption::TaxBaseRounding));
    settings.taxRounding = roundingFromOption(option(DeviceOption::TaxRounding));
    return settings;
}

TaxPrinting Device::taxPrinting(bool report) const
{
    TaxPrinting printing;
    printing.eachTax = option(DeviceOption::PrintTaxes) != 0;
    printing.vatIncluded = option(DeviceOption::PrintVatIncluded) != 0;
    printing.rates =
        option(report ? DeviceOption::PrintTaxRatesInReports : DeviceOption::PrintTaxRates) != 0;
    printing.base = option(DeviceOption::PrintTaxBase) != 0;
    for (int i = 0; i < kTaxRateCount; ++i)
        printing.zeroTotals[static_cast<std::size_t>(i)] =
            option(DeviceOption::PrintZeroTaxTotalBase + i + 1) != 0;
    return printing;
}

std::optional<TaxSheet> Device::taxesOf(const QList<Entry>& entries) const
{
    return TaxCalculator(taxSettings()).receipt(entries);
}

Failure Device::checkDocumentFigures(const QList<Entry>& entries) const
{
    const std::optional<TaxSheet> sheet = taxesOf(entries);
    if (!sheet)
        return fail(ErrorCode::Overflow, Reason::TooLarge);
    Kopecks total = sheet->added;
    for (const Entry& entry : entries) {
        if (__builtin_add_overflow(total, entrySign(entry.kind) * entry.amount, &total))
            return fail(ErrorCode::Overflow, Reason::TooLarge);
    }
    if (total > kMaxReportable || positionQuantity(entries) > kMaxReportable)
        return fail(ErrorCode::Overflow, Reason::TooLarge);
    // The total holds the added taxes: voiding a taxed position takes its taxes off too.
    if (total < 0)
        return fail(ErrorCode::NegativeTotal);
    return kOk;
}

Kopecks Device::addedTaxes() const
{
    if (!m_state.document || !documentKind(m_state.document->type).positions)
        return 0;
    // Every change of the entries was checked, so the taxes of the open receipt compute.
    const std::optional<TaxSheet> sheet = taxesOf(m_state.document->body.entries);
    return sheet ? sheet->added : 0;
}

void Device::settleTaxes(Printout& out)
{
    const Document& document = *m_state.document;
    if (!documentKind(document.type).positions)
        return;
    const std::optional<TaxSheet> sheet = taxesOf(document.body.entries);
    if (!sheet)
        return;
    printReceiptTaxes(out, *sheet, taxPrinting(false));
    // Sales add their taxes; an annulment takes its taxes back.
    const int direction = document.type == DocumentType::Sale            ? 1
                          : document.type == DocumentType::SaleAnnulment ? -1
                                                                         : 0;
    for (int tax = 1; tax <= kTaxRateCount && direction != 0; ++tax)
        addToBoth(static_cast<Counter>(static_cast<int>(Counter::Tax1) + tax - 1),
                  direction * sheet->taxOf(tax));
}

void Device::printReportTaxTotals(Printout& out, const Counters& counters) const
{
    std::array<Kopecks, kTaxRateCount> totals{};
    for (int tax = 1; tax <= kTaxRateCount; ++tax)
        totals[static_cast<std::size_t>(tax - 1)] =
            counters[static_cast<Counter>(static_cast<int>(Counter::Tax1) + tax - 1)];
    printReportTaxes(out, totals, m_state.taxRates, taxPrinting(true));
}

std::int32_t Device::taxRate(std::int32_t number, Failure& failure) const
{
    if (number < 1 || number > kTaxRateCount) {
        failure = fail(ErrorCode::UnknownIndex);
        return 0;
    }
    return m_state.taxRates[static_cast<std::size_t>(number - 1)];
}

Failure Device::setTaxRate(std::int32_t number, std::int32_t rate)
{
    if (number < 1 || number > kTaxRateCount)
        return fail(ErrorCode::UnknownIndex);
    if (rate < 0 || rate > kMaxTaxRate)
        return fail(ErrorCode::InvalidValue, rate < 0 ? Reason::Negative : Reason::TooLarge);
    // The shift's taxes are counted at one set of rates.
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (m_state.shiftOpen)
        return fail(ErrorCode::ShiftAlreadyOpen, Reason::ShiftClosedAtInit);
    m_state.taxRates[static_cast<std::size_t>(number - 1)] = rate;
    return kOk;
}

QString Device::taxChain(std::int32_t number, Failure& failure) const
{
    if (m_state.major < kChainsFromMajor) {
        failure = fail(ErrorCode::NotSupportedByGeneration);
        return QString();
    }
    if (number < 1 || number > kTaxChainCount) {
        failure = fail(ErrorCode::UnknownIndex);
        return QString();
    }
    return m_state.taxChains[static_cast<std::size_t>(number - 1)];
}

Failure Device::setTaxChain(std::int32_t number, const QString& chain)
{
    if (m_state.major < kChainsFromMajor)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (number < 1 || number > kTaxChainCount)
        return fail(ErrorCode::UnknownIndex);
    if (const taxchain::Defect defect = taxchain::check(chain); defect != taxchain::Defect::None)
        return fail(ErrorCode::InvalidTaxChain, chainReason(defect));
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (m_state.shiftOpen)
        return fail(ErrorCode::ShiftAlreadyOpen, Reason::ShiftClosedAtInit);
    m_state.taxChains[static_cast<std::size_t>(number - 1)] = chain;
    return kOk;
}

Failure Device::taxChainReport(std::int32_t chain, std::int32_t amount)
{
    if (m_state.major < kChainsFromMajor)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (chain < 1 || chain > kTaxChainCount)
        return fail(ErrorCode::UnknownIndex);
    if (amount <= 0)
        return fail(ErrorCode::InvalidAmount, Reason::NotPositive);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    // The report shows the chain's arithmetic whether or not chains are switched on.
    TaxSettings settings = taxSettings();
    settings.useChains = true;
    const std::optional<TaxSheet> sheet = TaxCalculator(settings).group(chain, amount);
    if (!sheet)
        return fail(ErrorCode::Overflow, Reason::TooLarge);
    Printout out = paper();
    printChainReport(out, chain, m_state.taxChains[static_cast<std::size_t>(chain - 1)], amount,
                     *sheet);
    print(out);
    return kOk;
}

Failure Device::taxChainsReport()
{
    if (m_state.major < kChainsFromMajor)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (const Failure f = checkPrinter(); !f.ok())
        return f;
    Printout out = paper();
    printChainsReport(out, m_state.taxRates, m_state.taxChains, taxSettings().useChains);
    print(out);
    return kOk;
}

Failure Device::setDescriptorText(std::int32_t number, const QString& text)
{
    if (!isDescriptor(number))
        return fail(ErrorCode::UnknownIndex);
    if (number != Descriptor::Row42 && m_state.major < kChainsFromMajor)
        return fail(ErrorCode::NotSupportedByGeneration);
    if (const Failure f = checkText(text, kDescriptorLength); !f.ok())
        return f;
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (text.isEmpty())
        m_state.descriptors.remove(number);
    else
        m_state.descriptors.insert(number, text);
    return kOk;
}

std::optional<QString> Device::descriptorInfo(std::int32_t index) const
{
    const std::int32_t number = index - TextInfo::DescriptorBase;
    if (!isDescriptor(number) || m_state.major < kDescriptorsReadFromMajor)
        return std::nullopt;
    return m_state.descriptors.value(number);
}

QString Device::descriptorCaption(std::int32_t number) const
{
    return m_state.descriptors.value(number, QString::number(number));
}

} // namespace emulator
