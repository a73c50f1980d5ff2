#pragma once

#include "DeviceNumbers.h"
#include "Driver.h"
#include "ResultCodes.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace forms {

// Whether the device refused a command because of the state of its shift (none open, one already
// open, one open too long): whatever a window believes about the shift may then be out of date.
inline bool refusedForShiftState(Driver::Result r)
{
    return r == resultCode(ErrorCode::ShiftNotOpen) ||
           r == resultCode(ErrorCode::ShiftAlreadyOpen) || r == resultCode(ErrorCode::ShiftTooLong);
}

// The state the windows share for a run: the driver object, the shift, the device generation,
// the document's department, the document extras and the choices made at start-up. The main
// window implements it; every other window is given this face, so that it depends on what it
// reads and not on the main window's widgets.
class SharedState
{
public:
    virtual ~SharedState() = default;

    virtual std::shared_ptr<Driver> GetQuolt() const = 0;
    // The cashier typed into the main window's shift cashier box at this moment.
    virtual QString sessionClerk() const = 0;
    // The document cashier as typed in the main window; windows register it before commands that
    // need a cashier.
    virtual QString clerkId() const = 0;

    // Reads the shift back from the device when it may have changed behind the main window's
    // back (a report that closed it, a refusal for the shift's state), so that the windows offer
    // what the device allows. The main window also sets its shift buttons from it.
    virtual void readShiftState()
    {
        bSessionOpen = GetQuolt()->GetDeviceInfo(DeviceInfo::ShiftOpen) != 0;
    }

    bool bSessionOpen = false;
    std::int32_t m_MajorVersion = 0;
    std::int32_t m_MinorVersion = 0;
    std::int16_t m_nSection = 0;

    // Extra document data, filled by the document extras window and sent when a document opens.
    QString m_sDesc42;
    QString m_sDesc80;
    QString m_sDesc81;
    QString m_sDesc82;
    std::int32_t m_lValDesc42 = 0;
    QString m_sValDesc80;
    std::int32_t m_lValDesc81 = 0;
    std::int32_t m_lValDesc82 = 0;
    QString m_sValDesc42;
    QString m_sValDesc81;
    QString m_sValDesc82;
    QString m_sExtraStrings;

    // Whether the driver keeps payments until the document is printed, as chosen when the device
    // was initialised. Static: it is set before the main window exists and read long after the
    // start window has gone.
    inline static bool m_bCashPay = false;

protected:
    SharedState() = default;
    SharedState(const SharedState&) = default;
    SharedState& operator=(const SharedState&) = default;
};

} // namespace forms
