#pragma once

#include "Driver.h"
#include "DriverCall.h"

#include <QList>
#include <QStringView>
#include <QVariantList>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>
#include <tuple>
#include <type_traits>

// What the table of members in Driver.h gives besides the declarations: the role of each member,
// and the one way a typed call becomes a recorded DriverCall (InterceptingDriver) and a recorded
// call becomes a typed one again (dispatch).
namespace contract {

enum class Role { Command, Setting, Query };

struct Member
{
    std::u16string_view name;
    Role role;
};

// Every member, in the order of the table.
#define QUOLT_DRIVER_MEMBER_ENTRY(role, result, name, parameters, arguments)                       \
    Member{u"" #name, Role::role},
inline constexpr Member kMembers[] = {QUOLT_DRIVER_MEMBERS(QUOLT_DRIVER_MEMBER_ENTRY)};
#undef QUOLT_DRIVER_MEMBER_ENTRY

// The role of the member of that name; nothing for a name the contract lacks.
inline std::optional<Role> roleOf(QStringView name)
{
    const auto found =
        std::find_if(std::cbegin(kMembers), std::cend(kMembers),
                     [name](const Member& m) { return QStringView(m.name) == name; });
    return found == std::cend(kMembers) ? std::nullopt : std::optional<Role>(found->role);
}

// The name of a member of the contract in the given role, as a driver names the member it runs:
// written as a literal at the call, it is checked when the program is compiled, so that a name the
// table lacks, or a member run by the road of another role, fails the build.
template <Role role> class NameOf
{
public:
    // Implicit on purpose: the literal at the call is what is checked.
    consteval NameOf(const char16_t* name) : m_name(name)
    {
        if (!listed(name))
            throw "not a member of the contract in this role";
    }

    QString toString() const { return QString::fromUtf16(m_name); }

private:
    static consteval bool listed(std::u16string_view name)
    {
        return std::any_of(std::cbegin(kMembers), std::cend(kMembers),
                           [name](const Member& m) { return m.name == name && m.role == role; });
    }

    const char16_t* m_name;
};

// A parameter taken by non-const reference passes a value out of the call.
template <typename P>
inline constexpr bool isOut =
    std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>;

template <typename P> using Value = std::remove_cvref_t<P>;

// The values a member is called with, one for each parameter.
template <typename... P> using Locals = std::tuple<Value<P>...>;

// The types a recorded argument can have, each with a kind of its own (DriverArgument::Kind).
template <typename T>
inline constexpr bool isRecordable =
    std::is_same_v<T, std::int16_t> || std::is_same_v<T, std::int32_t> ||
    std::is_same_v<T, double> || std::is_same_v<T, QString> || std::is_same_v<T, QDate> ||
    std::is_same_v<T, bool> || std::is_same_v<T, QVariant>;

// The arguments of a call as it is recorded: every parameter but the out-parameters, each with the
// kind its type is recorded as (DriverArgument's constructors).
template <typename... P> QList<DriverArgument> recorded(const Value<P>&... values)
{
    static_assert(((isOut<P> || isRecordable<Value<P>>)&&...),
                  "a parameter of a type that calls cannot be recorded with");
    QList<DriverArgument> arguments;
    arguments.reserve(sizeof...(P));
    (
        [&] {
            if constexpr (!isOut<P>)
                arguments.append(DriverArgument(values));
        }(),
        ...);
    return arguments;
}

// The kinds of the recorded arguments of a member with these parameters.
template <typename... P> QList<DriverArgument::Kind> kinds()
{
    QList<DriverArgument::Kind> result;
    for (const DriverArgument& argument : recorded<P...>(Value<P>{}...))
        result.append(argument.kind());
    return result;
}

// A parameter's value for a call the caller makes: its own for an input, empty for an output.
template <typename P> Value<P> input(const Value<P>& value)
{
    if constexpr (isOut<P>)
        return {};
    else
        return value;
}

// A parameter's value for a recorded call: the next recorded argument for an input (which must be
// of the parameter's kind), empty for an output.
template <typename P> Value<P> input(const QList<DriverArgument>& arguments, qsizetype& next)
{
    if constexpr (isOut<P>) {
        return {};
    } else {
        const QVariant& value = arguments.at(next++).value();
        if constexpr (std::is_same_v<Value<P>, QVariant>)
            return value;
        else
            return value.value<Value<P>>();
    }
}

template <typename... P> Locals<P...> localsOf(const QList<DriverArgument>& arguments)
{
    [[maybe_unused]] qsizetype next = 0;               // unused by a member without parameters
    return Locals<P...>{input<P>(arguments, next)...}; // a braced list runs left to right
}

// Calls the member with `locals` and answers its result as a DriverCall records it: the value the
// member returned, or {that value, the out-parameters...} for a member with out-parameters.
template <typename R, typename... P>
QVariant callWith(Driver& driver, R (Driver::*member)(P...), Locals<P...>& locals)
{
    return std::apply(
        [&](Value<P>&... values) {
            const R returned = (driver.*member)(values...);
            if constexpr ((isOut<P> || ...)) {
                QVariantList result{QVariant::fromValue(returned)};
                (
                    [&] {
                        if constexpr (isOut<P>)
                            result.append(QVariant::fromValue(values));
                    }(),
                    ...);
                return QVariant(result);
            } else {
                return QVariant::fromValue(returned);
            }
        },
        locals);
}

// What the caller of a member gets from the recorded result: the value returned, and for a member
// with out-parameters, those parameters set from the list when it holds all of them.
template <typename R, typename... P> R answer(const QVariant& result, P... parameters)
{
    if constexpr (!(isOut<P> || ...)) {
        return result.value<R>();
    } else {
        const QVariantList values = result.toList();
        if (values.size() == 1 + (qsizetype(isOut<P>) + ...)) {
            qsizetype next = 1;
            (
                [&] {
                    if constexpr (isOut<P>)
                        parameters = values.at(next++).value<Value<P>>();
                }(),
                ...);
        }
        return values.isEmpty() ? result.value<R>() : values.at(0).value<R>();
    }
}

} // namespace contract
