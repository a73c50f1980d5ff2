#pragma once

#include "DeviceNumbers.h"
#include "DriverCall.h"
#include "ResultCodes.h"

#include <QString>

// The text of a call as a journal records it, written with the contract's names, so that a test
// reads as what it means: callText(u"GetDeviceInfo"_s, {DeviceInfo::MajorVersion}) is
// "GetDeviceInfo(int16:201)". The kind of each argument follows the type it is written with.
inline QString callText(const QString& member, QList<DriverArgument> arguments = {})
{
    return DriverCall{member, std::move(arguments), {}, {}}.toString();
}

// The query for the comment of a result code, which a window makes after most commands.
inline QString commentCall(std::int16_t code)
{
    return callText(QStringLiteral("GetErrorComment"), {code});
}

inline QString commentCall(ErrorCode code)
{
    return commentCall(resultCode(code));
}
