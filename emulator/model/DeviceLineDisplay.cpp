// The customer display: the driver's display commands, and what the device shows itself while the
// display is locked against them.

#include "Device.h"
#include "DeviceMessages.h"
#include "DeviceNumbers.h"
#include "LineDisplay.h"

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

constexpr int kMaxDisplayText = DisplayScreen::kColumns * DisplayScreen::kRows;

} // namespace

bool Device::lineDisplayLocked() const
{
    return option(DeviceOption::LineDisplayLocked) == DisplayLock::Locked;
}

Failure Device::initLineDisplay()
{
    if (lineDisplayLocked())
        return fail(ErrorCode::LineDisplayLocked);
    m_state.peripherals.display = display::cleared();
    return kOk;
}

Failure Device::stringToLineDisplay(const QString& text)
{
    if (lineDisplayLocked())
        return fail(ErrorCode::LineDisplayLocked);
    if (const Failure f = checkText(text, kMaxDisplayText); !f.ok())
        return f;
    m_state.peripherals.display = display::showing(text);
    return kOk;
}

Failure Device::stringToLineDisplayDirect(const QString& data)
{
    if (lineDisplayLocked())
        return fail(ErrorCode::LineDisplayLocked);
    const auto protocol = option(DeviceOption::LineDisplayProtocol) == DisplayProtocol::Epson
                              ? display::Protocol::Epson
                              : display::Protocol::Birch;
    std::optional<DisplayScreen> screen =
        display::interpret(m_state.peripherals.display, data, protocol);
    if (!screen)
        return fail(ErrorCode::UnknownDisplayCommand);
    m_state.peripherals.display = std::move(*screen);
    return kOk;
}

// A locked display belongs to the device: it shows the last position with the receipt's total.
void Device::showPositionOnDisplay(const QString& name, Kopecks amount)
{
    if (lineDisplayLocked())
        m_state.peripherals.display =
            display::amounts(name, amount, word(Word::Total), documentTotal());
}

// ... and, once the receipt is paid, its total and the change.
void Device::showChangeOnDisplay(Kopecks total, Kopecks change)
{
    if (lineDisplayLocked())
        m_state.peripherals.display =
            display::amounts(word(Word::Total), total, word(Word::Change), change);
}

} // namespace emulator
