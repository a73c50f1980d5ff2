#include "Taxes.h"

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

// Adds one tax to the sheet, merging it with the same tax of another group.
bool addTax(TaxSheet& sheet, const TaxTotal& total)
{
    auto found = std::find_if(sheet.taxes.begin(), sheet.taxes.end(),
                              [&](const TaxTotal& t) { return t.tax == total.tax; });
    if (found == sheet.taxes.end()) {
        sheet.taxes.push_back(total);
        std::sort(sheet.taxes.begin(), sheet.taxes.end(),
                  [](const TaxTotal& a, const TaxTotal& b) { return a.tax < b.tax; });
        return true;
    }
    return addChecked(found->base, total.base) && addChecked(found->amount, total.amount);
}

// Applies the taxes of a chain group to `amount`, the sum including the parent's tax.
bool applyChain(const taxchain::Tree& nodes, Kopecks amount, const TaxSettings& settings,
                TaxSheet& sheet)
{
    for (const taxchain::Node& node : nodes) {
        const int rate = settings.rates[static_cast<std::size_t>(node.tax() - 1)];
        TaxTotal total{node.tax(), node.reverse(), rate, amount, 0};
        Kopecks including = amount;
        if (node.reverse()) {
            const std::optional<Kopecks> tax =
                scaled(amount, rate, kPercentScale + rate, settings.taxRounding);
            if (!tax)
                return false;
            total.amount = *tax;
            total.base = amount - *tax;
        } else {
            const std::optional<Kopecks> tax =
                scaled(amount, rate, kPercentScale, settings.taxRounding);
            if (!tax || !addChecked(including, *tax) || !addChecked(sheet.added, *tax))
                return false;
            total.amount = *tax;
        }
        if (!addTax(sheet, total) || !applyChain(node.children, including, settings, sheet))
            return false;
    }
    return true;
}

int entrySign(EntryKind kind)
{
    return (kind == EntryKind::TareReturn || kind == EntryKind::Discount) ? -1 : 1;
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
    if (!applyChain(chain, amount, m_settings, sheet))
        return std::nullopt;
    return sheet;
}

std::optional<std::map<int, Kopecks>> TaxCalculator::groupAmounts(const QList<Entry>& entries,
                                                                  Rounding rounding)
{
    std::map<int, Kopecks> groups;
    for (const Entry& entry : entries) {
        const Kopecks signedAmount = entrySign(entry.kind) * entry.amount;
        if (entry.kind != EntryKind::Surcharge && entry.kind != EntryKind::Discount) {
            if (!addChecked(groups[entry.taxGroup], signedAmount))
                return std::nullopt;
            continue;
        }
        Kopecks subtotal = 0;
        for (const auto& [group, amount] : groups) {
            if (!addChecked(subtotal, amount))
                return std::nullopt;
        }
        if (subtotal <= 0) {
            // Nothing to spread over: the correction stays untaxed.
            if (!addChecked(groups[0], signedAmount))
                return std::nullopt;
            continue;
        }
        for (auto& [group, amount] : groups) {
            const std::optional<Kopecks> share = scaled(signedAmount, amount, subtotal, rounding);
            if (!share || !addChecked(amount, *share))
                return std::nullopt;
        }
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
        if (!part || !addChecked(sheet.added, part->added))
            return std::nullopt;
        for (const TaxTotal& total : part->taxes) {
            if (!addTax(sheet, total))
                return std::nullopt;
        }
    }
    return sheet;
}

} // namespace emulator
