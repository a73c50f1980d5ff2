#include "Taxes.h"

#include "DocumentKinds.h"
#include "TaxChain.h"

#include <algorithm>
#include <limits>

namespace emulator {
namespace {

// 64-bit amounts times 64-bit factors need more room before the division brings them back.
__extension__ using Wide = __int128;

constexpr qint64 kPercentScale = 10000; // a rate of 10000 would be 100.00 %

bool addChecked(Kopecks& sum, Kopecks value)
{
    return !__builtin_add_overflow(sum, value, &sum);
}

Wide magnitude(Kopecks value)
{
    return value < 0 ? -Wide(value) : Wide(value);
}

// Adds one tax of a group to the receipt's sheet, merging it with the same tax of another group.
bool mergeTax(TaxSheet& sheet, const TaxTotal& total)
{
    auto found = std::find_if(sheet.taxes.begin(), sheet.taxes.end(),
                              [&](const TaxTotal& t) { return t.tax == total.tax; });
    if (found == sheet.taxes.end()) {
        sheet.taxes.push_back(total);
        return true;
    }
    return addChecked(found->base, total.base) && addChecked(found->amount, total.amount);
}

int rateOf(const taxchain::Node& node, const TaxSettings& settings)
{
    return settings.rates[static_cast<std::size_t>(node.tax() - 1)];
}

// The included taxes of one level of a chain: they share `amount`, so that the amount less all of
// them is the base each is levied on (amount / (1 + r1 + r2 ...)). Each is rounded on its own;
// should their roundings come to more than the amount, which only a few kopecks can, their exact
// sum is rounded instead and shared among them by their rates. Zero for the added taxes.
std::optional<std::vector<Kopecks>> includedTaxes(const taxchain::Tree& nodes, Kopecks amount,
                                                  const TaxSettings& settings)
{
    std::vector<Kopecks> taxes(nodes.size(), 0);
    std::vector<Kopecks> rates(nodes.size(), 0);
    qint64 rateSum = 0;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].reverse()) {
            rates[i] = rateOf(nodes[i], settings);
            rateSum += rates[i];
        }
    }
    Kopecks sum = 0;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (!nodes[i].reverse())
            continue;
        const std::optional<Kopecks> tax =
            scaled(amount, rates[i], kPercentScale + rateSum, settings.taxRounding);
        if (!tax || !addChecked(sum, *tax))
            return std::nullopt;
        taxes[i] = *tax;
    }
    if (magnitude(sum) <= magnitude(amount))
        return taxes;
    const std::optional<Kopecks> all =
        scaled(amount, rateSum, kPercentScale + rateSum, settings.taxRounding);
    if (!all)
        return std::nullopt;
    return apportion(*all, rates, settings.taxRounding);
}

// Applies one level of a chain to `amount`, each tax followed by the taxes nested under it. An
// added tax is levied on the amount and its nested taxes work on the amount with it added; the
// included taxes share the amount and their nested taxes work on what is left of it without them.
bool applyLevel(const taxchain::Tree& nodes, Kopecks amount, const TaxSettings& settings,
                TaxSheet& sheet)
{
    const std::optional<std::vector<Kopecks>> included = includedTaxes(nodes, amount, settings);
    if (!included)
        return false;
    Kopecks base = amount;
    for (const Kopecks tax : *included) {
        if (!addChecked(sheet.included, tax))
            return false;
        base -= tax; // within the amount, so it cannot overflow
    }
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const taxchain::Node& node = nodes[i];
        const int rate = rateOf(node, settings);
        if (node.reverse()) {
            sheet.taxes.push_back(TaxTotal{node.tax(), true, rate, base, (*included)[i]});
            if (!applyLevel(node.children, base, settings, sheet))
                return false;
            continue;
        }
        const std::optional<Kopecks> tax =
            scaled(amount, rate, kPercentScale, settings.taxRounding);
        Kopecks including = amount;
        if (!tax || !addChecked(including, *tax) || !addChecked(sheet.added, *tax))
            return false;
        sheet.taxes.push_back(TaxTotal{node.tax(), false, rate, amount, *tax});
        if (!applyLevel(node.children, including, settings, sheet))
            return false;
    }
    return true;
}

} // namespace

Rounding roundingFromOption(int value)
{
    switch (value) {
    case 0:
        return Rounding::Down;
    case 2:
        return Rounding::Up;
    default:
        return Rounding::HalfUp;
    }
}

std::optional<Kopecks> scaled(Kopecks amount, qint64 numerator, qint64 denominator,
                              Rounding rounding)
{
    if (denominator <= 0)
        return std::nullopt;
    const Wide product = Wide(amount) * numerator;
    const bool negative = product < 0;
    const Wide magnitude = negative ? -product : product;
    Wide whole = magnitude / denominator;
    const Wide rest = magnitude % denominator;
    switch (rounding) {
    case Rounding::Down:
        break;
    case Rounding::Up:
        whole += rest > 0 ? 1 : 0;
        break;
    case Rounding::HalfUp:
        whole += 2 * rest >= denominator ? 1 : 0;
        break;
    }
    if (whole > Wide(std::numeric_limits<qint64>::max()))
        return std::nullopt;
    return negative ? -qint64(whole) : qint64(whole);
}

std::optional<std::vector<Kopecks>> apportion(Kopecks total, const std::vector<Kopecks>& weights,
                                              Rounding rounding)
{
    Kopecks sum = 0;
    for (const Kopecks weight : weights) {
        if (weight < 0 || !addChecked(sum, weight))
            return std::nullopt;
    }
    if (sum <= 0)
        return std::nullopt;
    std::vector<Kopecks> shares;
    shares.reserve(weights.size());
    Kopecks upTo = 0;
    Kopecks taken = 0;
    for (const Kopecks weight : weights) {
        upTo += weight; // within the checked sum
        const std::optional<Kopecks> reached = scaled(total, upTo, sum, rounding);
        if (!reached)
            return std::nullopt;
        shares.push_back(*reached - taken); // both within the total
        taken = *reached;
    }
    return shares;
}

Kopecks TaxSheet::taxOf(int tax) const
{
    for (const TaxTotal& total : taxes) {
        if (total.tax == tax)
            return total.amount;
    }
    return 0;
}

std::optional<TaxSheet> TaxCalculator::group(int taxGroup, Kopecks amount) const
{
    TaxSheet sheet;
    taxchain::Tree chain;
    if (m_settings.useChains) {
        if (taxGroup >= 1 && taxGroup <= kTaxChainCount)
            chain = taxchain::read(m_settings.chains[static_cast<std::size_t>(taxGroup - 1)]);
    } else if (taxGroup >= 1 && taxGroup <= kTaxRateCount) {
        // Without chains a group's tax is included in the price, as value added tax is.
        chain.push_back(taxchain::Node{QChar(u'a' + (taxGroup - 1)), {}, {}});
    }
    if (!applyLevel(chain, amount, m_settings, sheet))
        return std::nullopt;
    return sheet;
}

std::optional<std::map<int, Kopecks>> TaxCalculator::groupAmounts(const QList<Entry>& entries,
                                                                  Rounding rounding)
{
    std::map<int, Kopecks> groups;
    Kopecks corrections = 0;
    for (const Entry& entry : entries) {
        const Kopecks signedAmount = entrySign(entry.kind) * entry.amount;
        if (!addChecked(isPosition(entry.kind) ? groups[entry.taxGroup] : corrections,
                        signedAmount))
            return std::nullopt;
    }
    if (corrections == 0)
        return groups;
    // Only what a group holds can be discounted or surcharged: a group of returned tare, or one
    // that holds nothing, takes no share.
    std::vector<int> holders;
    std::vector<Kopecks> held;
    for (const auto& [group, amount] : groups) {
        if (amount > 0) {
            holders.push_back(group);
            held.push_back(amount);
        }
    }
    if (holders.empty()) // nothing to spread over: the correction stays untaxed
        return addChecked(groups[0], corrections) ? std::optional(groups) : std::nullopt;
    const std::optional<std::vector<Kopecks>> shares = apportion(corrections, held, rounding);
    if (!shares)
        return std::nullopt;
    for (std::size_t i = 0; i < holders.size(); ++i) {
        if (!addChecked(groups[holders[i]], (*shares)[i]))
            return std::nullopt;
    }
    return groups;
}

std::optional<TaxSheet> TaxCalculator::receipt(const QList<Entry>& entries) const
{
    const std::optional<std::map<int, Kopecks>> groups =
        groupAmounts(entries, m_settings.baseRounding);
    if (!groups)
        return std::nullopt;
    TaxSheet sheet;
    for (const auto& [taxGroup, amount] : *groups) {
        const std::optional<TaxSheet> part = group(taxGroup, amount);
        if (!part || !addChecked(sheet.added, part->added) ||
            !addChecked(sheet.included, part->included))
            return std::nullopt;
        for (const TaxTotal& total : part->taxes) {
            if (!mergeTax(sheet, total))
                return std::nullopt;
        }
    }
    std::sort(sheet.taxes.begin(), sheet.taxes.end(),
              [](const TaxTotal& a, const TaxTotal& b) { return a.tax < b.tax; });
    return sheet;
}

} // namespace emulator
