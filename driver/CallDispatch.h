#pragma once

#include "CallScript.h"
#include "DriverCall.h"

#include <QJsonValue>
#include <QList>
#include <QStringList>

#include <optional>

class Driver;

// Turns a recorded call back into the typed call of the driver contract: the way back of
// InterceptingDriver, which turns each typed call into a DriverCall.
namespace dispatch {

// The kinds of the member's arguments, in order; nothing for a member the contract lacks.
std::optional<QList<DriverArgument::Kind>> signature(const QString& member);

// Every member of the contract, sorted.
QStringList memberNames();

// Runs the call, whose arguments match signature(call.member), and answers what the driver
// returned, as DriverCall::result holds it.
QVariant run(Driver& driver, const DriverCall& call);

// Where a replay first answered otherwise than the recording.
struct Divergence
{
    int line = 0;
    QString member;
    QJsonValue recorded;
    QJsonValue replayed;
};

// Runs the script's calls in order and stops at the first whose result differs from the
// recorded one; nothing when every recorded result came again.
std::optional<Divergence> replay(Driver& driver, const QList<callscript::ScriptCall>& script);

} // namespace dispatch
