#pragma once

// What the commands of quolt-device share: the output, the exit codes and what a command is
// given to work with.

#include "DeviceSession.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

namespace tool {

inline constexpr int kRefused = 1; // the device refused or could not be read or changed
inline constexpr int kUsage = 2;   // the command line was wrong; nothing was changed

QTextStream& out();
// Writes the message to the error output and answers the exit code.
int failWith(const QString& message, int exitCode = kRefused);
int usageError(const QString& message);
void showSensors(const emulator::DeviceState& s);

// What a command works with: its words after the command name, the parsed options and, for
// the commands that need one, the device.
struct Invocation
{
    QStringList words;
    const QCommandLineParser& parser;
    QString folder;
    int port = 1;
    emulator::DeviceSession* session = nullptr;
};

// Applies a change of the state as one committed step.
int change(emulator::DeviceSession& session,
           const std::function<void(emulator::DeviceState&)>& edit);

// The identification a new device is registered with, one command line option each.
struct IdentityOption
{
    const char16_t* option;
    const char16_t* help;
    const char16_t* rule;
    QString emulator::DeviceState::*field;
    bool (*accepts)(const QString&);
};
extern const IdentityOption kIdentityOptions[4];
// create: the running sales total the device has already reached, in roubles.
inline const QString kSalesTotalOption = QStringLiteral("sales-total");

// Reading the device (ShowCommands.cpp)
int show(const Invocation& in);
int tape(const Invocation& in);
int display(const Invocation& in);
int codes(const Invocation& in);
// Changing it (SteerCommands.cpp)
int create(const Invocation& in);
int sensors(const Invocation& in);
int clock(const Invocation& in);
int fault(const Invocation& in);
int cancelDocument(const Invocation& in);
int snapshot(const Invocation& in);
int replay(const Invocation& in); // a script of driver calls, on the device or a new one

} // namespace tool
