#pragma once

#include "Driver.h"
#include "DriverCall.h"
#include "DriverMembers.h"

#include <functional>
#include <memory>
#include <type_traits>

// A driver that turns every typed member call into one DriverCall and hands it to intercept(),
// which may forward it to the target driver or answer it itself. The tracing decorator and the
// tests' recording fake are both built on it. Its members are generated from the table of
// members (Driver.h), so that every member of the contract is recorded the same way.
class InterceptingDriver : public Driver
{
public:
    explicit InterceptingDriver(std::shared_ptr<Driver> target = {});

    QUOLT_DRIVER_MEMBERS(QUOLT_DRIVER_OVERRIDE)

protected:
    using Forward = std::function<QVariant()>;

    // Answers one call. `forward` runs the call on the target and returns its result; for a member
    // with out-parameters (GetLanguageInfo) the result is the list {code, name, text2,
    // languageId, current}.
    virtual QVariant intercept(DriverCall& call, const Forward& forward) = 0;

private:
    Driver& target();

    // Records the call of `member` with the caller's values, has it answered by intercept() and
    // answers the caller, out-parameters included.
    template <typename R, typename... P>
    R relay(const QString& name, R (Driver::*member)(P...), std::type_identity_t<P>... values)
    {
        DriverCall call{name, contract::recorded<P...>(values...), {}, {}};
        const QVariant result = intercept(call, [&] {
            contract::Locals<P...> locals{contract::input<P>(values)...};
            return contract::callWith(target(), member, locals);
        });
        return contract::answer<R, P...>(result, values...);
    }

    std::shared_ptr<Driver> m_target;
};
