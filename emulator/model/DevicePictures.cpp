// Pictures in numbered slots and the programmed bar code: what the device keeps of them. How
// they appear on a receipt is laid out in TapeLayout.

#include "Device.h"

namespace emulator {
namespace {

// Pictures in slots and bar codes by their parameters came with generation 3.1; a mask of bars
// with generation 3; the three pictures loaded at once with generation 6.
bool hasGraphics(const DeviceState& state)
{
    return state.major >= 3 && state.minor >= 1;
}

constexpr int kMaskFromMajor = 3;
constexpr int kThreePicturesFromMajor = 6;
constexpr int kThreePictures = 3;

Failure checkSlot(std::int32_t slot)
{
    if (slot < 1)
        return Failure{ErrorCode::InvalidValue, Reason::NotPositive};
    if (slot > DeviceState::kMaxPictureSlot)
        return Failure{ErrorCode::InvalidValue, Reason::TooLarge};
    return Failure{};
}

// What every change of the pictures asks first: a generation that has the member, and no document
// open, since the chosen picture heads the receipt being printed.
Failure pictureChangeRefused(bool supported, const DeviceState& state)
{
    if (!supported)
        return Failure{ErrorCode::NotSupportedByGeneration};
    if (state.document)
        return Failure{ErrorCode::DocumentAlreadyOpen, Reason::DocumentPending};
    return Failure{};
}

Failure loadedSlotRefused(std::int32_t slot, const DeviceState& state)
{
    if (const Failure f = checkSlot(slot); !f.ok())
        return f;
    if (!state.pictures.contains(slot))
        return Failure{ErrorCode::NoPicture};
    return Failure{};
}

Failure storeBarCode(bool supported, const Device::EncodedBarCode& code, DeviceState& state)
{
    if (!supported)
        return Failure{ErrorCode::NotSupportedByGeneration};
    if (const auto* refused = std::get_if<Failure>(&code))
        return *refused;
    state.barCode = std::get<BarCode>(code);
    return Failure{};
}

qsizetype memoryUsed(const QMap<int, Raster>& pictures)
{
    qsizetype used = 0;
    for (const Raster& picture : pictures)
        used += picture.bits.size();
    return used;
}

} // namespace

Failure Device::loadPicture(std::int32_t slot, const DecodedPicture& picture)
{
    if (const Failure f = pictureChangeRefused(hasGraphics(m_state), m_state); !f.ok())
        return f;
    if (const Failure f = checkSlot(slot); !f.ok())
        return f;
    if (const auto* refused = std::get_if<Failure>(&picture))
        return *refused;
    QMap<int, Raster> next = m_state.pictures;
    next.insert(slot, std::get<Raster>(picture));
    if (memoryUsed(next) > kPictureMemory)
        return fail(ErrorCode::PictureTooLarge, Reason::TooLarge);
    m_state.pictures = next;
    m_effects.pictures.insert(slot, next.value(slot));
    return kOk;
}

Failure Device::loadPictures(const std::array<std::optional<DecodedPicture>, 3>& pictures)
{
    if (const Failure f = pictureChangeRefused(m_state.major >= kThreePicturesFromMajor, m_state);
        !f.ok())
        return f;
    // All three or none: a refused file leaves every picture as it was.
    QMap<int, Raster> next = m_state.pictures;
    bool any = false;
    for (int i = 0; i < kThreePictures; ++i) {
        const std::optional<DecodedPicture>& picture = pictures[static_cast<std::size_t>(i)];
        if (!picture)
            continue;
        if (const auto* refused = std::get_if<Failure>(&*picture))
            return *refused;
        next.insert(i + 1, std::get<Raster>(*picture));
        any = true;
    }
    if (!any)
        return fail(ErrorCode::FileNotFound, Reason::EmptyText);
    if (memoryUsed(next) > kPictureMemory)
        return fail(ErrorCode::PictureTooLarge, Reason::TooLarge);
    for (int i = 0; i < kThreePictures; ++i) {
        if (pictures[static_cast<std::size_t>(i)])
            m_effects.pictures.insert(i + 1, next.value(i + 1));
    }
    m_state.pictures = next;
    return kOk;
}

Failure Device::setPicture(std::int32_t slot)
{
    if (const Failure f = pictureChangeRefused(hasGraphics(m_state), m_state); !f.ok())
        return f;
    // Slot 0 chooses no picture.
    if (slot < 0)
        return fail(ErrorCode::InvalidValue, Reason::Negative);
    if (slot != 0) {
        if (const Failure f = loadedSlotRefused(slot, m_state); !f.ok())
            return f;
    }
    m_state.chosenPicture = slot;
    return kOk;
}

Failure Device::deletePicture(std::int32_t slot)
{
    if (const Failure f = pictureChangeRefused(hasGraphics(m_state), m_state); !f.ok())
        return f;
    if (const Failure f = loadedSlotRefused(slot, m_state); !f.ok())
        return f;
    m_state.pictures.remove(slot);
    m_effects.pictures.insert(slot, std::nullopt);
    if (m_state.chosenPicture == slot)
        m_state.chosenPicture = 0;
    return kOk;
}

// A bar code may be programmed at any time, also inside a receipt that is to print it at its end.
Failure Device::programBarCode(const EncodedBarCode& code)
{
    return storeBarCode(hasGraphics(m_state), code, m_state);
}

Failure Device::programBarCodeMask(const EncodedBarCode& code)
{
    return storeBarCode(m_state.major >= kMaskFromMajor, code, m_state);
}

} // namespace emulator
