#include "SlipMode.h"

namespace slipmode {

Settings unpack(std::int32_t packed)
{
    Settings settings;
    settings.rowsBetween = packed % 100;
    packed /= 100;
    settings.rowsBefore = packed % 100;
    packed /= 100;
    settings.fiscalCopy = packed % 10;
    packed /= 10;
    settings.copies = packed % 10;
    settings.side = packed / 10;
    return settings;
}

std::int32_t pack(const Settings& settings)
{
    return (((settings.side * 10 + settings.copies) * 10 + settings.fiscalCopy) * 100 +
            settings.rowsBefore) *
               100 +
           settings.rowsBetween;
}

} // namespace slipmode
