#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

namespace emulator {
class DeviceSession;
}

// What a client may read of a served device without a driver call: its state, as the device
// tool's "show" tells it, and its paper tape from a line on.
namespace service {

// {"port":1,"generation":"6.1","serial":...,"shift":{"open":true,"number":3,...},
//  "document":{"type":1,"number":12,"entries":2,"total":25000,"paid":0} or null, ...};
// sums are whole kopecks.
QJsonObject deviceState(emulator::DeviceSession& session);

// The most tape lines one answer carries.
inline constexpr int kMaxTapeLines = 1000;

// The lines of the roll from line `from` on, at most `limit` of them:
//   {"first":1,"last":40,"lines":[{"line":12,"text":"ИТОГ      =250.00","bold":true},...],
//    "next":13}
// A picture or bar code line carries "picture":{"width":..,"height":..} and a placeholder text.
// "next" is the line to ask from for what is printed later. Nothing, with the reason, when the
// tape cannot be read.
std::optional<QJsonObject> tapeFrom(emulator::DeviceSession& session, qint64 from, int limit,
                                    QString* error);

} // namespace service
