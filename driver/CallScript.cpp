#include "CallScript.h"

#include "CallDispatch.h"

#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace callscript {
namespace {

using Kind = DriverArgument::Kind;

constexpr auto kFormat = "quolt-calls";
// A line longer than this is not a call: a script of an operator's session has short lines, and
// a damaged or hostile file must not make the reader hold a huge line.
constexpr qint64 kMaxLineBytes = 64 * 1024;

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Int16:
        return u"int16"_s;
    case Kind::Int32:
        return u"int32"_s;
    case Kind::Double:
        return u"double"_s;
    case Kind::Text:
        return u"text"_s;
    case Kind::Date:
        return u"date"_s;
    case Kind::Bool:
        return u"bool"_s;
    case Kind::General:
        break;
    }
    return u"general"_s;
}

// The kind a plain value travels as inside a general value.
QString plainKindName(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Short:
        return u"int16"_s;
    case QMetaType::Int:
        return u"int32"_s;
    case QMetaType::Double:
        return u"double"_s;
    case QMetaType::Bool:
        return u"bool"_s;
    case QMetaType::QDate:
        return u"date"_s;
    default:
        return u"text"_s;
    }
}

// An integer that the JSON number holds exactly and that fits [low, high].
std::optional<qint64> wholeNumber(const QJsonValue& value, qint64 low, qint64 high)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (std::trunc(number) != number || number < double(low) || number > double(high))
        return std::nullopt;
    return static_cast<qint64>(number);
}

// A plain value of the named kind, or an invalid variant when the JSON value is not one.
QVariant plainValue(const QString& kind, const QJsonValue& value)
{
    if (kind == u"int16") {
        const auto n = wholeNumber(value, std::numeric_limits<std::int16_t>::min(),
                                   std::numeric_limits<std::int16_t>::max());
        return n ? QVariant::fromValue(static_cast<std::int16_t>(*n)) : QVariant();
    }
    if (kind == u"int32") {
        const auto n = wholeNumber(value, std::numeric_limits<std::int32_t>::min(),
                                   std::numeric_limits<std::int32_t>::max());
        return n ? QVariant(static_cast<std::int32_t>(*n)) : QVariant();
    }
    if (kind == u"double")
        return value.isDouble() ? QVariant(value.toDouble()) : QVariant();
    if (kind == u"text")
        return value.isString() ? QVariant(value.toString()) : QVariant();
    if (kind == u"bool")
        return value.isBool() ? QVariant(value.toBool()) : QVariant();
    if (kind == u"date") {
        const QDate date = QDate::fromString(value.toString(), Qt::ISODate);
        return value.isString() && date.isValid() ? QVariant(date) : QVariant();
    }
    return {};
}

std::optional<ScriptCall> readCall(const QJsonObject& object, QString* error)
{
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (it.key() != u"member" && it.key() != u"args" && it.key() != u"result") {
            *error = u"unknown key "_s + it.key();
            return std::nullopt;
        }
    }
    ScriptCall call;
    call.call.member = object.value(u"member"_s).toString();
    const std::optional<QList<Kind>> kinds = dispatch::signature(call.call.member);
    if (!kinds) {
        *error = u"no driver member is called \"%1\""_s.arg(call.call.member);
        return std::nullopt;
    }
    const QJsonArray args = object.value(u"args"_s).toArray();
    if (args.size() != kinds->size()) {
        *error = u"%1 takes %2 arguments, not %3"_s.arg(call.call.member)
                     .arg(kinds->size())
                     .arg(args.size());
        return std::nullopt;
    }
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString what;
        const std::optional<DriverArgument> argument =
            readArgument(args.at(i), kinds->at(i), &what);
        if (!argument) {
            *error = u"argument %1 of %2: %3"_s.arg(i + 1).arg(call.call.member, what);
            return std::nullopt;
        }
        call.call.arguments << *argument;
    }
    if (object.contains(u"result"_s))
        call.expected = object.value(u"result"_s);
    return call;
}

} // namespace

QJsonObject argumentJson(const DriverArgument& argument)
{
    if (argument.kind() != Kind::General)
        return {{kindName(argument.kind()), toJson(argument.value())}};
    const QVariant& value = argument.value();
    if (!value.isValid())
        return {{u"general"_s, QJsonObject{}}};
    return {{u"general"_s, QJsonObject{{plainKindName(value), toJson(value)}}}};
}

std::optional<DriverArgument> readArgument(const QJsonValue& json, Kind kind, QString* error)
{
    const QJsonObject object = json.toObject();
    if (!json.isObject() || object.size() != 1) {
        *error = u"an argument is an object with one key, its kind"_s;
        return std::nullopt;
    }
    const QString given = object.constBegin().key();
    if (given != kindName(kind)) {
        *error = u"the member takes %1 here, not %2"_s.arg(kindName(kind), given);
        return std::nullopt;
    }
    const QJsonValue value = object.constBegin().value();
    if (kind == Kind::General) {
        const QJsonObject inner = value.toObject();
        if (!value.isObject() || inner.size() > 1) {
            *error = u"a general value is {} or an object with one key, its kind"_s;
            return std::nullopt;
        }
        if (inner.isEmpty())
            return DriverArgument(QVariant());
        const QVariant plain = plainValue(inner.constBegin().key(), inner.constBegin().value());
        if (!plain.isValid()) {
            *error = u"not a general value of kind "_s + inner.constBegin().key();
            return std::nullopt;
        }
        return DriverArgument(plain);
    }
    const QVariant plain = plainValue(given, value);
    if (!plain.isValid()) {
        *error = u"not a value of kind "_s + given;
        return std::nullopt;
    }
    switch (kind) {
    case Kind::Int16:
        return DriverArgument(plain.value<std::int16_t>());
    case Kind::Int32:
        return DriverArgument(plain.value<std::int32_t>());
    case Kind::Double:
        return DriverArgument(plain.toDouble());
    case Kind::Text:
        return DriverArgument(plain.toString());
    case Kind::Date:
        return DriverArgument(plain.toDate());
    case Kind::Bool:
        return DriverArgument(plain.toBool());
    case Kind::General:
        break;
    }
    return std::nullopt;
}

QByteArray header()
{
    return QJsonDocument(
               QJsonObject{{u"format"_s, QString::fromLatin1(kFormat)}, {u"version"_s, kVersion}})
               .toJson(QJsonDocument::Compact) +
           '\n';
}

QByteArray line(const DriverCall& call)
{
    QJsonArray args;
    for (const DriverArgument& argument : call.arguments)
        args << argumentJson(argument);
    const QJsonObject object{
        {u"member"_s, call.member}, {u"args"_s, args}, {u"result"_s, toJson(call.result)}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QJsonValue toJson(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return QJsonValue(value.toLongLong());
    case QMetaType::Double:
        return QJsonValue(value.toDouble());
    case QMetaType::Bool:
        return QJsonValue(value.toBool());
    case QMetaType::QDate:
        return QJsonValue(value.toDate().toString(Qt::ISODate));
    case QMetaType::QVariantList: {
        QJsonArray list;
        for (const QVariant& item : value.toList())
            list << toJson(item);
        return list;
    }
    default:
        return value.isValid() ? QJsonValue(value.toString()) : QJsonValue();
    }
}

std::optional<QList<ScriptCall>> read(QIODevice& input, QString* error)
{
    QList<ScriptCall> calls;
    bool headerSeen = false;
    // One buffer for every line: reading a line with a size limit into a new array would set
    // aside the whole limit for each line, however short.
    QByteArray line(kMaxLineBytes + 2, Qt::Uninitialized);
    for (int number = 1; !input.atEnd(); ++number) {
        const auto fail = [&](const QString& what) {
            *error = u"line %1: %2"_s.arg(number).arg(what);
            return std::nullopt;
        };
        const qint64 length = input.readLine(line.data(), line.size());
        if (length < 0)
            return fail(u"cannot be read"_s);
        const QByteArray text = QByteArray::fromRawData(line.constData(), length);
        if (text.size() > kMaxLineBytes || (!text.endsWith('\n') && !input.atEnd()))
            return fail(u"longer than %1 bytes"_s.arg(kMaxLineBytes));
        if (text.trimmed().isEmpty())
            continue;
        QJsonParseError parsed;
        const QJsonDocument document = QJsonDocument::fromJson(text, &parsed);
        if (parsed.error != QJsonParseError::NoError || !document.isObject())
            return fail(u"not a JSON object"_s);
        const QJsonObject object = document.object();
        if (!headerSeen) {
            if (object.value(u"format"_s).toString() != QString::fromLatin1(kFormat))
                return fail(u"not a script of driver calls (the first line names the format)"_s);
            const QJsonValue version = object.value(u"version"_s);
            if (!version.isDouble() || version.toDouble() < 1)
                return fail(u"the format has no version"_s);
            if (version.toDouble() > kVersion)
                return fail(
                    u"format version %1 is newer than this program's %2"_s.arg(version.toDouble())
                        .arg(kVersion));
            headerSeen = true;
            continue;
        }
        QString what;
        std::optional<ScriptCall> call = readCall(object, &what);
        if (!call)
            return fail(what);
        call->line = number;
        calls << *call;
    }
    if (!headerSeen) {
        *error = u"line 1: the script is empty"_s;
        return std::nullopt;
    }
    return calls;
}

} // namespace callscript
