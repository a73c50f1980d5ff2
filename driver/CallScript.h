#pragma once

#include "DriverCall.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

class QIODevice;

// A run of driver calls written down so that it can be run again: the journal exports it and
// quolt-device replays it against a device. One JSON object a line (JSON lines), UTF-8:
//
//   {"format":"quolt-calls","version":1}
//   {"member":"Item","args":[{"int32":1000},{"int32":100},{"text":"Item1"},{"int32":0}],"result":0}
//   {"member":"Tender2","args":[{"double":5000},{"general":{"int16":8}},{"general":{"text":""}},
//     {"text":""}],"result":0}
//
// Each argument is an object whose one key is the kind the call passes it as (int16, int32,
// double, text, date as YYYY-MM-DD, bool; a general value wraps one of these, or is {} when
// empty). "result" is what the call answered: the result code of a command, the value of a
// query, [code, name, text2, languageId, current] for GetLanguageInfo; a line without it is run
// but not compared (for a query whose value changes with the time). Blank lines are skipped.
namespace callscript {

inline constexpr int kVersion = 1;

// One call of a script, with the line it was read from.
struct ScriptCall
{
    int line = 0;
    DriverCall call;
    std::optional<QJsonValue> expected;
};

// The first line of every script.
QByteArray header();
// The call as one line of a script, its result included, ending with a newline.
QByteArray line(const DriverCall& call);

// A value of a call (an argument or a result) as a script holds it: integers of every width as
// numbers, dates as text, lists as arrays. Results read back from a script compare equal to the
// same value converted here.
QJsonValue toJson(const QVariant& value);

// One argument as a script writes it: an object whose one key is its kind ({"int32":1000},
// {"general":{"text":"1"}}). Whatever else carries calls as JSON uses the same form.
QJsonObject argumentJson(const DriverArgument& argument);
// The argument a JSON value gives, checked against the kind the member takes there; nothing with
// what is wrong in `error`.
std::optional<DriverArgument> readArgument(const QJsonValue& json, DriverArgument::Kind kind,
                                           QString* error);

// The whole script, or nothing with the first fault ("line 3: ...") in `error`: a script is
// checked in full before anything of it runs. Members and their argument kinds are checked
// against the driver contract.
std::optional<QList<ScriptCall>> read(QIODevice& input, QString* error);

} // namespace callscript
