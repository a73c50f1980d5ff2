#pragma once

#include <QString>

#include <functional>

// quolt-device replay: runs a script of driver calls (as the journal window saves it) against
// the device and reports the first call whose result differs from the recording.
namespace replaycommand {

struct Request
{
    QString folder;
    int port = 1;
    QString scriptPath;
    // Makes a fresh device once the script has been read; empty: replay on the device there is.
    // Answers the tool's exit code.
    std::function<int()> createDevice;
    // The address of a server (quolt-device serve) whose device of `port` the script runs on,
    // instead of the device in `folder`.
    QString server;
};

// What the tool prints and the exit code it ends with: 0 every result came again (the text goes
// to the standard output), 1 a result differed or the device failed, 2 the script or the command
// line is wrong and nothing ran (the text is the error).
struct Outcome
{
    int exitCode = 0;
    QString text;
};

Outcome run(const Request& request);

} // namespace replaycommand
