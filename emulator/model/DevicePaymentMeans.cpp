// The eight payment means: their names and the flags that decide how a payment with each behaves.

#include "Device.h"
#include "DeviceNumbers.h"

namespace emulator {
namespace {

constexpr int kMaxPaymentMeanName = 20;
// Names are reported from this generation on; older devices keep them to themselves. The four
// flags are reported on every generation.
constexpr int kReportsNamesSince = 5;

std::optional<bool> flagOf(std::int32_t value)
{
    if (value != 0 && value != 1)
        return std::nullopt;
    return value == 1;
}

} // namespace

const PaymentMean& Device::paymentMean(int type) const
{
    return m_state.peripherals.paymentMeans[static_cast<std::size_t>(type - PaymentType::First)];
}

Failure Device::setPaymentMean(std::int32_t number, const QString& name, std::int32_t card,
                               std::int32_t cash, std::int32_t drawer, std::int32_t change)
{
    if (number < PaymentType::First || number > PaymentType::Last)
        return fail(ErrorCode::UnknownPaymentType);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (name.trimmed().isEmpty())
        return fail(ErrorCode::InvalidValue, Reason::EmptyText);
    if (const Failure f = checkText(name, kMaxPaymentMeanName); !f.ok())
        return f;
    const auto isCard = flagOf(card);
    const auto isCash = flagOf(cash);
    const auto opensDrawer = flagOf(drawer);
    const auto givesChange = flagOf(change);
    if (!isCard || !isCash || !opensDrawer || !givesChange)
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    const PaymentMean wanted{name, *isCard, *isCash, *opensDrawer, *givesChange};
    // What counts as cash and what gives change decide the shift's cash totals: they stay as
    // they are until the shift is closed.
    const PaymentMean& current = paymentMean(number);
    if (m_state.shiftOpen && (wanted.cash != current.cash || wanted.change != current.change))
        return fail(ErrorCode::ShiftAlreadyOpen, Reason::ShiftClosedAtInit);
    m_state.peripherals.paymentMeans[static_cast<std::size_t>(number - PaymentType::First)] =
        wanted;
    return kOk;
}

std::optional<std::int32_t> Device::paymentMeanInfo(std::int32_t index, Failure& failure) const
{
    const struct
    {
        std::int16_t base;
        bool PaymentMean::*flag;
        int since;
    } columns[] = {
        {DeviceInfo::PaymentMeanCardBase, &PaymentMean::card, 0},
        {DeviceInfo::PaymentMeanCashBase, &PaymentMean::cash, 0},
        {DeviceInfo::PaymentMeanDrawerBase, &PaymentMean::drawer, 0},
        {DeviceInfo::PaymentMeanChangeBase, &PaymentMean::change, 0},
    };
    for (const auto& column : columns) {
        const std::int32_t type = index - column.base;
        if (type < PaymentType::First || type > PaymentType::Last)
            continue;
        if (m_state.major < column.since) {
            failure = fail(ErrorCode::NotSupportedByGeneration);
            return -1;
        }
        return paymentMean(type).*(column.flag) ? 1 : 0;
    }
    return std::nullopt;
}

std::optional<QString> Device::paymentMeanName(std::int32_t index, Failure& failure) const
{
    const std::int32_t type = index - TextInfo::PaymentMeanNameBase;
    if (type < PaymentType::First || type > PaymentType::Last)
        return std::nullopt;
    if (m_state.major < kReportsNamesSince) {
        failure = fail(ErrorCode::NotSupportedByGeneration);
        return QString();
    }
    return paymentMean(type).name;
}

} // namespace emulator
