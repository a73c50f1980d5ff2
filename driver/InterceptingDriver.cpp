#include "InterceptingDriver.h"

#include <QVariantList>

#include <stdexcept>

using namespace Qt::StringLiterals;

InterceptingDriver::InterceptingDriver(std::shared_ptr<Driver> target) : m_target(std::move(target))
{
}

Driver& InterceptingDriver::target()
{
    // Only a subclass that was given a target forwards; reaching here without one is a bug in it.
    if (!m_target)
        throw std::logic_error("InterceptingDriver: call forwarded without a target driver");
    return *m_target;
}

Driver::Result InterceptingDriver::GetLanguageInfo(std::int32_t number, QString& name,
                                                   QString& text2, std::int32_t& languageId,
                                                   std::int32_t& current)
{
    DriverCall driverCall{u"GetLanguageInfo"_s, {number}, {}, {}};
    const QVariant answer = intercept(driverCall, [&] {
        QString outName;
        QString outText2;
        std::int32_t outId = 0;
        std::int32_t outCurrent = 0;
        const Result code = target().GetLanguageInfo(number, outName, outText2, outId, outCurrent);
        return QVariant(
            QVariantList{QVariant::fromValue(code), outName, outText2, outId, outCurrent});
    });
    const QVariantList values = answer.toList();
    if (values.size() == 5) {
        name = values.at(1).toString();
        text2 = values.at(2).toString();
        languageId = values.at(3).toInt();
        current = values.at(4).toInt();
    }
    return values.isEmpty() ? Result(answer.toInt()) : Result(values.at(0).toInt());
}

Driver::Result InterceptingDriver::SetPassword(const QString& password)
{
    return call<Result>(u"SetPassword"_s, {password},
                        [&] { return target().SetPassword(password); });
}

Driver::Result InterceptingDriver::SetDriverOpt(std::int16_t option, std::int32_t value)
{
    return call<Result>(u"SetDriverOpt"_s, {option, value},
                        [&] { return target().SetDriverOpt(option, value); });
}

std::int32_t InterceptingDriver::GetDriverOpt(std::int16_t option)
{
    return call<std::int32_t>(u"GetDriverOpt"_s, {option},
                              [&] { return target().GetDriverOpt(option); });
}

Driver::Result InterceptingDriver::SetLanguage(std::int32_t languageId)
{
    return call<Result>(u"SetLanguage"_s, {languageId},
                        [&] { return target().SetLanguage(languageId); });
}

std::int32_t InterceptingDriver::GetLanguageCount()
{
    return call<std::int32_t>(u"GetLanguageCount"_s, {},
                              [&] { return target().GetLanguageCount(); });
}

Driver::Result InterceptingDriver::SetLogOpt(std::int16_t option, std::int32_t value)
{
    return call<Result>(u"SetLogOpt"_s, {option, value},
                        [&] { return target().SetLogOpt(option, value); });
}

Driver::Result InterceptingDriver::SetLogFile(std::int16_t log, const QString& path)
{
    return call<Result>(u"SetLogFile"_s, {log, path},
                        [&] { return target().SetLogFile(log, path); });
}

Driver::Result InterceptingDriver::InitDevice()
{
    return call<Result>(u"InitDevice"_s, {}, [&] { return target().InitDevice(); });
}

Driver::Result InterceptingDriver::DeinitDevice()
{
    return call<Result>(u"DeinitDevice"_s, {}, [&] { return target().DeinitDevice(); });
}

QString InterceptingDriver::GetErrorComment(std::int16_t code)
{
    return call<QString>(u"GetErrorComment"_s, {code},
                         [&] { return target().GetErrorComment(code); });
}

std::int32_t InterceptingDriver::GetErrorCode2()
{
    return call<std::int32_t>(u"GetErrorCode2"_s, {}, [&] { return target().GetErrorCode2(); });
}

QString InterceptingDriver::GetErrorComment2(std::int32_t code2)
{
    return call<QString>(u"GetErrorComment2"_s, {code2},
                         [&] { return target().GetErrorComment2(code2); });
}

Driver::Result InterceptingDriver::StartSession(const QString& cashier, std::int32_t registerNumber)
{
    return call<Result>(u"StartSession"_s, {cashier, registerNumber},
                        [&] { return target().StartSession(cashier, registerNumber); });
}

Driver::Result InterceptingDriver::EndSession()
{
    return call<Result>(u"EndSession"_s, {}, [&] { return target().EndSession(); });
}

Driver::Result InterceptingDriver::SetClerk(const QString& cashier)
{
    return call<Result>(u"SetClerk"_s, {cashier}, [&] { return target().SetClerk(cashier); });
}

Driver::Result InterceptingDriver::OpenDrawer()
{
    return call<Result>(u"OpenDrawer"_s, {}, [&] { return target().OpenDrawer(); });
}

Driver::Result InterceptingDriver::PrintDuplicate()
{
    return call<Result>(u"PrintDuplicate"_s, {}, [&] { return target().PrintDuplicate(); });
}

Driver::Result InterceptingDriver::StartDocument(std::int32_t type, std::int16_t department,
                                                 const QString& order, const QString& cashier)
{
    return call<Result>(u"StartDocument"_s, {type, department, order, cashier},
                        [&] { return target().StartDocument(type, department, order, cashier); });
}

Driver::Result InterceptingDriver::SetExtraDocData(std::int32_t value42, std::int32_t value81,
                                                   std::int32_t value82, const QString& value80)
{
    return call<Result>(u"SetExtraDocData"_s, {value42, value81, value82, value80}, [&] {
        return target().SetExtraDocData(value42, value81, value82, value80);
    });
}

Driver::Result InterceptingDriver::SetExtraDocData2(const QString& value42, const QString& value81,
                                                    const QString& value82, const QString& value80)
{
    return call<Result>(u"SetExtraDocData2"_s, {value42, value81, value82, value80}, [&] {
        return target().SetExtraDocData2(value42, value81, value82, value80);
    });
}

Driver::Result InterceptingDriver::EndDocument()
{
    return call<Result>(u"EndDocument"_s, {}, [&] { return target().EndDocument(); });
}

Driver::Result InterceptingDriver::CancelDocument()
{
    return call<Result>(u"CancelDocument"_s, {}, [&] { return target().CancelDocument(); });
}

Driver::Result InterceptingDriver::ResetError()
{
    return call<Result>(u"ResetError"_s, {}, [&] { return target().ResetError(); });
}

Driver::Result InterceptingDriver::PrintResult()
{
    return call<Result>(u"PrintResult"_s, {}, [&] { return target().PrintResult(); });
}
