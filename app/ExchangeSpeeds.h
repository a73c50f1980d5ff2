#pragma once

#include <QString>

// The exchange speeds between driver and device, by the position the driver takes.
inline constexpr int kExchangeSpeeds = 10;
// The speeds a running connection can be moved to: the first seven.
inline constexpr int kRunningConnectionSpeeds = 7;

QString exchangeSpeedName(int position);
