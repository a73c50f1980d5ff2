#include "CallAnswers.h"

#include "CallDispatch.h"
#include "CallScript.h"
#include "EmulatedDriver.h"

#include <QJsonArray>
#include <QVariantList>

using namespace Qt::StringLiterals;

namespace service {
namespace {

// A value passed out through a parameter, with the kind the parameter has.
QJsonObject outValue(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QString)
        return callscript::argumentJson(DriverArgument(value.toString()));
    return callscript::argumentJson(DriverArgument(static_cast<std::int32_t>(value.toInt())));
}

} // namespace

CallAnswer answerCall(emulator::EmulatedDriver& driver, const DriverCall& call)
{
    QVariant result = dispatch::run(driver, call);
    QJsonObject json{{u"member"_s, call.member}};
    // A member with out-parameters answers {code, out...} (see InterceptingDriver).
    if (result.metaType().id() == QMetaType::QVariantList) {
        const QVariantList values = result.toList();
        QJsonArray out;
        for (qsizetype i = 1; i < values.size(); ++i)
            out << outValue(values.at(i));
        json.insert(u"out"_s, out);
        result = values.value(0);
    }
    json.insert(u"result"_s, callscript::toJson(result));
    CallAnswer answer;
    if (!DriverCall::isQuery(call.member)) {
        const auto code = static_cast<std::int16_t>(result.toInt());
        answer.failed = code != 0;
        json.insert(u"comment"_s, driver.GetErrorComment(code));
    }
    const std::int32_t code2 = driver.lastErrorCode2();
    json.insert(u"code2"_s, code2);
    if (code2 != 0)
        json.insert(u"comment2"_s, driver.GetErrorComment2(code2));
    answer.json = json;
    return answer;
}

} // namespace service
