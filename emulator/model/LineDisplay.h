#pragma once

#include "DeviceState.h"
#include "Peripherals.h"

#include <QString>

#include <optional>

// What the customer display shows for each thing the device is asked to show on it. Plain
// functions on the screen, so that the device only decides when.
namespace emulator::display {

// The display's command languages, chosen with the device option of the display protocol.
enum class Protocol { Birch, Epson };

DisplayScreen cleared();

// A text of at most two lines' worth: on the first line if it fits, else broken after the last
// blank that leaves both parts within a line, else cut at the end of the first line.
DisplayScreen showing(const QString& text);

// Runs a raw data string in the protocol's language: its commands move the cursor, select a
// line or clear the screen, every other character is written at the cursor. Nothing when the
// string holds a byte the protocol does not know or a command cut short.
//
// Both: ESC @ resets (clears, cursor home); FF clears; CR goes to the start of the line, LF to
// the line below (the second line scrolls up), BS one place back.
// Epson: HOM (0x0B) cursor home; US $ x y cursor to column x (1-20) of line y (1-2);
//        US B the start of the second line; ESC Q A text CR / ESC Q B text CR replace line 1 / 2.
// Birch: DLE n cursor to place n (0-39, line 2 from 20); ESC A / ESC B the start of line 1 / 2.
std::optional<DisplayScreen> interpret(DisplayScreen screen, const QString& data,
                                       Protocol protocol);

// Two lines of a caption and an amount flush right, as a register shows a position and a total.
DisplayScreen amounts(const QString& caption1, Kopecks amount1, const QString& caption2,
                      Kopecks amount2);

} // namespace emulator::display
