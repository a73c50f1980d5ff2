#include "Device.h"

#include "DeviceNumbers.h"
#include "DeviceOptions.h"
#include "PrintableText.h"

#include <QTimeZone>

namespace emulator {

Device::Device(DeviceState state, Clock clock)
    : m_state(std::move(state)), m_clock(std::move(clock))
{
}

Effects Device::takeEffects()
{
    Effects taken;
    std::swap(taken, m_effects);
    return taken;
}

QDateTime Device::hostNow() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

qint64 Device::correctionDays(const QDateTime& host) const
{
    constexpr qint64 kDayMs = 24 * 3600 * 1000;
    const QDateTime& since = m_state.clockCorrectedSince;
    if (!since.isValid())
        return 0;
    // A host clock set back before the correction began runs no days.
    const qint64 elapsed = since.msecsTo(host);
    return elapsed > 0 ? elapsed / kDayMs : 0;
}

QDateTime Device::runningHostNow() const
{
    const QDateTime& stopped = m_state.clockStoppedAt;
    return stopped.isValid() ? stopped.toTimeZone(hostNow().timeZone()) : hostNow();
}

QDateTime Device::now() const
{
    const QDateTime host = runningHostNow();
    const qint64 corrected = correctionDays(host) * option(DeviceOption::ClockCorrection);
    return host.addSecs(m_state.clockOffsetSeconds + corrected);
}

void Device::switchClock(bool on)
{
    const bool stopped = m_state.clockStoppedAt.isValid();
    if (!on && !stopped) {
        m_state.clockStoppedAt = hostNow().toUTC();
    } else if (on && stopped) {
        // The clock runs on from the time it stood at, and the daily correction counts only the
        // time it ran: both move on by the time it stood.
        const qint64 stood = m_state.clockStoppedAt.secsTo(hostNow());
        m_state.clockOffsetSeconds -= stood;
        if (m_state.clockCorrectedSince.isValid())
            m_state.clockCorrectedSince = m_state.clockCorrectedSince.addSecs(stood);
        m_state.clockStoppedAt = QDateTime();
    }
}

void Device::settleClockCorrection()
{
    const QDateTime host = runningHostNow();
    const qint64 days = correctionDays(host);
    m_state.clockOffsetSeconds += days * option(DeviceOption::ClockCorrection);
    // The day under way keeps running: only whole days move into the offset.
    m_state.clockCorrectedSince = m_state.clockCorrectedSince.isValid()
                                      ? m_state.clockCorrectedSince.addSecs(days * 24 * 3600)
                                      : host.toUTC();
}

int Device::option(int number) const
{
    return optionValue(m_state, number);
}

bool Device::isSaleSide() const
{
    return m_state.document && (m_state.document->type == DocumentType::Sale ||
                                m_state.document->type == DocumentType::SaleAnnulment);
}

// ---- guards ------------------------------------------------------------------------------------

Failure Device::checkPrinter() const
{
    if (m_state.sensors.printerError)
        return fail(ErrorCode::PrinterError);
    if (m_state.sensors.paperOut)
        return fail(ErrorCode::PaperOut);
    // A document in slip mode prints on the slip, which must still be there.
    if (m_state.document)
        return checkSlip();
    return kOk;
}

Failure Device::requireShift() const
{
    if (!m_state.shiftOpen)
        return fail(ErrorCode::ShiftNotOpen);
    return checkShiftLimit();
}

Failure Device::requireDocument(std::initializer_list<DocumentType> types) const
{
    if (!m_state.document)
        return fail(ErrorCode::NoOpenDocument);
    for (DocumentType type : types) {
        if (m_state.document->type == type)
            return kOk;
    }
    return fail(ErrorCode::NotAllowedInDocument, Reason::WrongKind);
}

// Once a payment has reached the device the receipt takes no more positions; payments the
// driver only caches do not count, the device has not seen them yet.
Failure Device::requireNoPayment() const
{
    for (const Payment& payment : m_state.document->payments) {
        if (!payment.cached)
            return fail(ErrorCode::NotAllowedInState, Reason::AfterPayment);
    }
    return kOk;
}

// A text prints on one line of the tape: line breaks and other control characters would forge
// extra lines (and extra log records), and half a surrogate pair can be neither printed nor kept,
// so they are refused like a text that is too long.
Failure Device::checkText(const QString& text, qsizetype limit) const
{
    if (text.size() > limit)
        return fail(ErrorCode::TextTooLong, Reason::TooLarge);
    if (breaksPrintedText(text))
        return fail(ErrorCode::InvalidValue, Reason::ControlCharacter);
    return kOk;
}

// ---- arithmetic --------------------------------------------------------------------------------

// Quantity times price, in kopecks, rounded by option 23: 0 down, 1 half up, 2 up. Both factors
// are bounded (quantity by kMaxQuantity, price by 32 bits), so the product fits 64 bits.
Kopecks Device::roundedAmount(qint64 quantity, Kopecks price) const
{
    return roundedQuotient(quantity * price, 1000);
}

Kopecks Device::roundedShare(Kopecks base, std::int32_t percent) const
{
    // base <= kMaxAmount (about 2^40) and percent <= 100, so the product stays far below 2^63.
    return roundedQuotient(base * percent, 100);
}

// A non-negative quotient rounded as option 23 says.
Kopecks Device::roundedQuotient(qint64 dividend, qint64 divisor) const
{
    const qint64 whole = dividend / divisor;
    const qint64 rest = dividend % divisor;
    switch (option(DeviceOption::Rounding)) {
    case RoundingMode::Down:
        return whole;
    case RoundingMode::Up:
        return whole + (rest > 0 ? 1 : 0);
    default:
        return whole + (2 * rest >= divisor ? 1 : 0);
    }
}

Kopecks Device::documentTotal() const
{
    return positionsTotal() + addedTaxes();
}

Kopecks Device::positionsTotal() const
{
    if (!m_state.document)
        return 0;
    Kopecks total = 0;
    for (const Entry& entry : m_state.document->body.entries)
        total += entrySign(entry.kind) * entry.amount; // each step is bounded by kMaxAmount
    return total;
}

Kopecks Device::paidTotal() const
{
    if (!m_state.document)
        return 0;
    Kopecks paid = 0;
    for (const Payment& payment : m_state.document->payments)
        paid += payment.amount; // each payment and the running sum are bounded by kMaxAmount
    return paid;
}

void Device::addToBoth(Counter counter, qint64 value)
{
    m_state.shiftCounters[counter] = saturatingAdd(m_state.shiftCounters[counter], value);
    m_state.totalCounters[counter] = saturatingAdd(m_state.totalCounters[counter], value);
}

void Device::print(Printout& out)
{
    const qsizetype offset = m_effects.tape.size();
    const QMap<qsizetype, int> styles = out.takeStyles();
    const QStringList lines = out.takeLines();
    // A document keeps its text for the duplicate and the control tape; its pictures and bar
    // codes are on the paper only.
    if (m_state.document) {
        for (const QString& line : lines) {
            if (!isRasterTapeLine(line))
                m_state.document->lines.append(line);
        }
    }
    // In slip mode a document goes onto the slip as a whole when it ends.
    if (!(m_state.document && m_state.peripherals.slip.on)) {
        for (auto it = styles.cbegin(); it != styles.cend(); ++it)
            m_effects.tapeStyles.insert(offset + it.key(), it.value());
        m_effects.tape += lines;
    }
    if (!m_state.document)
        tearOff();
}

void Device::tearOff()
{
    const qsizetype last = m_effects.tape.size() - 1;
    if (last >= 0 && (m_effects.tapeCuts.isEmpty() || m_effects.tapeCuts.constLast() != last)) {
        m_effects.tapeCuts.append(last);
        // Option 10: the knife cuts the paper through instead of leaving a tab to tear off.
        if (option(DeviceOption::FullCut) != 0)
            m_effects.tapeStyles[last] |= TapeStyle::FullCut;
    }
}

} // namespace emulator
