#include "CallDispatch.h"

#include "Driver.h"
#include "DriverMembers.h"

#include <QHash>

#include <functional>

using namespace Qt::StringLiterals;

namespace dispatch {
namespace {

using Arguments = QList<DriverArgument>;

struct Member
{
    QList<DriverArgument::Kind> kinds;
    std::function<QVariant(Driver&, const Arguments&)> run;
};

// A member's kinds and its call follow from its declaration; out-parameters start empty and come
// back in the result, as InterceptingDriver records them.
template <typename R, typename... P> Member entry(R (Driver::*member)(P...))
{
    return {contract::kinds<P...>(), [member](Driver& driver, const Arguments& arguments) {
                contract::Locals<P...> locals = contract::localsOf<P...>(arguments);
                return contract::callWith(driver, member, locals);
            }};
}

const QHash<QString, Member>& members()
{
#define QUOLT_DRIVER_DISPATCH(role, result, name, parameters, arguments)                           \
    {QStringLiteral(#name), entry(&Driver::name)},
    static const QHash<QString, Member> table{QUOLT_DRIVER_MEMBERS(QUOLT_DRIVER_DISPATCH)};
#undef QUOLT_DRIVER_DISPATCH
    return table;
}

} // namespace

std::optional<QList<DriverArgument::Kind>> signature(const QString& member)
{
    const auto found = members().constFind(member);
    if (found == members().constEnd())
        return std::nullopt;
    return found->kinds;
}

QStringList memberNames()
{
    QStringList names;
    for (const contract::Member& member : contract::kMembers)
        names << QString::fromUtf16(member.name.data(), qsizetype(member.name.size()));
    names.sort();
    return names;
}

QVariant run(Driver& driver, const DriverCall& call)
{
    const auto found = members().constFind(call.member);
    if (found == members().constEnd() || found->kinds.size() != call.arguments.size())
        return {}; // a call the reader would have refused
    return found->run(driver, call.arguments);
}

std::optional<Divergence> replay(Driver& driver, const QList<callscript::ScriptCall>& script)
{
    for (const callscript::ScriptCall& step : script) {
        const QJsonValue answered = callscript::toJson(run(driver, step.call));
        if (step.expected && *step.expected != answered)
            return Divergence{step.line, step.call.member, *step.expected, answered};
    }
    return std::nullopt;
}

} // namespace dispatch
