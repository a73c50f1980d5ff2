#pragma once

#include "DeviceState.h"

#include <QList>
#include <QString>

#include <array>
#include <map>
#include <optional>
#include <vector>

// The device's tax arithmetic, in kopecks: the taxes of a receipt from its positions, corrections,
// tax rates and tax chains. Plain arithmetic, no state and no printing.
namespace emulator {

inline constexpr int kTaxRateCount = 4;
inline constexpr int kTaxChainCount = 8;
inline constexpr int kMaxTaxRate = 9999; // 99.99 %, rates are hundredths of a percent

// Rounding of a share of kopecks, as options 23, 43 and 44 choose it.
enum class Rounding { Down = 0, HalfUp = 1, Up = 2 };
Rounding roundingFromOption(int value);

// amount * numerator / denominator rounded as asked (away from zero for the negative), or nothing
// when the result does not fit 64 bits. The denominator is positive.
std::optional<Kopecks> scaled(Kopecks amount, qint64 numerator, qint64 denominator,
                              Rounding rounding);

// `total` shared in proportion to `weights` (none below zero, their sum above zero), one share per
// weight. Each share is what the total comes to up to and including its weight, rounded as asked,
// less what the shares before it took: so the shares add up to `total` to the kopeck, each lies
// within a kopeck of its exact part, and a weight of 0 takes nothing. Nothing when a figure would
// not fit 64 bits.
std::optional<std::vector<Kopecks>> apportion(Kopecks total, const std::vector<Kopecks>& weights,
                                              Rounding rounding);

struct TaxSettings
{
    std::array<int, kTaxRateCount> rates{};       // hundredths of a percent
    std::array<QString, kTaxChainCount> chains{}; // chain texts, checked when they were stored
    bool useChains = false;                       // option 7
    Rounding baseRounding = Rounding::HalfUp;     // option 43: shares of corrections
    Rounding taxRounding = Rounding::HalfUp;      // option 44: the taxes themselves
};

// What one tax comes to over a receipt (or over one amount).
struct TaxTotal
{
    int tax = 0;          // 1 to 4
    bool reverse = false; // included in the amount rather than added on top
    int rate = 0;
    Kopecks base = 0;   // the taxable base: what the tax is levied on
    Kopecks amount = 0; // the tax
};

struct TaxSheet
{
    // For one amount in chain order (a tax before the taxes nested under it); for a receipt by
    // tax number, each tax once.
    std::vector<TaxTotal> taxes;
    Kopecks added = 0;    // the direct taxes: what the customer pays on top of the sum
    Kopecks included = 0; // the reverse taxes: what the sum already holds

    Kopecks taxOf(int tax) const;
};

class TaxCalculator
{
public:
    explicit TaxCalculator(TaxSettings settings) : m_settings(std::move(settings)) {}

    // The taxes of one amount of one tax group (0 untaxed; 1 to 4 the rates without chains;
    // 1 to 8 the chains with them). Nothing when a figure would not fit 64 bits.
    std::optional<TaxSheet> group(int taxGroup, Kopecks amount) const;

    // The amount of each tax group as the receipt stands: its positions summed by tax group,
    // and its discounts and surcharges together shared among the groups that hold more than
    // nothing, in proportion to what each holds (untaxed when none does).
    static std::optional<std::map<int, Kopecks>> groupAmounts(const QList<Entry>& entries,
                                                              Rounding rounding);

    // The taxes of a whole receipt.
    std::optional<TaxSheet> receipt(const QList<Entry>& entries) const;

private:
    TaxSettings m_settings;
};

} // namespace emulator
