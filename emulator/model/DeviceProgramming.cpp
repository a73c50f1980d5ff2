// Programming the device outside its options: the receipt header, the clock and the paper type.

#include "Device.h"

#include "DeviceNumbers.h"

namespace emulator {
namespace {

// A date or time field as the driver passes it: a text holding a whole number, blanks around it
// allowed.
std::optional<int> wholeNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 4 ||
        !std::all_of(trimmed.cbegin(), trimmed.cend(), [](QChar c) { return c.isDigit(); }))
        return std::nullopt;
    return trimmed.toInt();
}

} // namespace

Failure Device::setOrderHeader(std::int32_t line, const QString& text, std::int32_t bold)
{
    if (line < 1 || line > DeviceState::kHeaderLines)
        return fail(ErrorCode::UnknownIndex);
    if (bold != 0 && bold != 1)
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    if (const Failure f = checkText(text, m_state.lineWidth); !f.ok())
        return f;
    m_state.headerLines[line - 1] = text;
    m_state.headerBold[line - 1] = bold == 1;
    return kOk;
}

// The clock is the host's clock moved by an offset: setting it changes the offset only.
Failure Device::setDate(const QString& day, const QString& month, std::int32_t year)
{
    const std::optional<int> d = wholeNumber(day);
    const std::optional<int> m = wholeNumber(month);
    if (!d || !m)
        return fail(ErrorCode::InvalidDate, Reason::NotANumber);
    // Two-digit years are of this century, as the device prints them.
    const int fullYear = year >= 0 && year < 100 ? 2000 + year : year;
    const QDate date(fullYear, *m, *d);
    if (!onCalendar(date))
        return fail(ErrorCode::InvalidDate);
    if (m_state.shiftOpen)
        return fail(ErrorCode::ShiftAlreadyOpen, Reason::ShiftClosedAtInit);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    const QDateTime current = now();
    const QDateTime wanted(date, current.time());
    // A fiscal memory only goes forward: nothing may be dated before its last record.
    if (m_state.lastDocumentAt.isValid() && wanted.date() < m_state.lastDocumentAt.date())
        return fail(ErrorCode::DateBeforeLastRecord);
    m_state.clockOffsetSeconds += current.secsTo(wanted);
    return kOk;
}

bool Device::onCalendar(const QDate& date)
{
    return date.isValid() && date.year() >= 2000 && date.year() <= 2099;
}

Failure Device::setTime(const QString& hour, const QString& minute, std::int32_t second)
{
    const std::optional<int> h = wholeNumber(hour);
    const std::optional<int> m = wholeNumber(minute);
    if (!h || !m)
        return fail(ErrorCode::InvalidTime, Reason::NotANumber);
    const QTime time(*h, *m, second >= 0 && second < 60 ? second : -1);
    if (!time.isValid() || second < 0 || second > 59)
        return fail(ErrorCode::InvalidTime);
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    const QDateTime current = now();
    // The part of the second already gone stays, so the clock shows the second set at once.
    const QDateTime wanted(current.date(), time.addMSecs(current.time().msec()));
    if (m_state.lastDocumentAt.isValid() && wanted < m_state.lastDocumentAt)
        return fail(ErrorCode::DateBeforeLastRecord);
    m_state.clockOffsetSeconds += current.secsTo(wanted);
    return kOk;
}

Failure Device::setPaperType(std::int32_t code)
{
    if (m_state.major != 6)
        return fail(ErrorCode::NotSupportedByGeneration);
    switch (code) {
    case PaperType::Standard:
    case PaperType::BlackRedA:
    case PaperType::BlackBlue:
    case PaperType::BlackRedB:
    case PaperType::OtherTwoColour:
        break;
    default:
        return fail(ErrorCode::InvalidValue, Reason::TooLarge);
    }
    if (m_state.document)
        return fail(ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending);
    m_state.paperType = code;
    return kOk;
}

} // namespace emulator
