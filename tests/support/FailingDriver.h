#pragma once

#include "InterceptingDriver.h"

#include <QString>

#include <stdexcept>
#include <string>

// Forwards every call to its target except one member (at one first argument), where it fails
// the way a driver object does: by throwing. Tests use it to reach a window's handling of a
// driver that breaks down half-way.
class FailingDriver final : public InterceptingDriver
{
public:
    FailingDriver(std::shared_ptr<Driver> target, QString member, int index, std::string what)
        : InterceptingDriver(std::move(target)), m_member(std::move(member)), m_index(index),
          m_what(std::move(what))
    {
    }

protected:
    QVariant intercept(DriverCall& call, const Forward& forward) override
    {
        if (call.member == m_member && !call.arguments.isEmpty() &&
            call.arguments.constFirst().value().toInt() == m_index)
            throw std::runtime_error(m_what);
        return forward();
    }

private:
    QString m_member;
    int m_index;
    std::string m_what;
};
