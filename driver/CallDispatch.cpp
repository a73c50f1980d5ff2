#include "CallDispatch.h"

#include "Driver.h"

#include <QHash>
#include <QVariantList>

#include <functional>
#include <type_traits>
#include <utility>

using namespace Qt::StringLiterals;

namespace dispatch {
namespace {

using Kind = DriverArgument::Kind;
using Arguments = QList<DriverArgument>;

// The kind a parameter of the contract is recorded as (see DriverArgument's constructors).
template <typename T> constexpr Kind kindOf()
{
    if constexpr (std::is_same_v<T, std::int16_t>)
        return Kind::Int16;
    else if constexpr (std::is_same_v<T, std::int32_t>)
        return Kind::Int32;
    else if constexpr (std::is_same_v<T, double>)
        return Kind::Double;
    else if constexpr (std::is_same_v<T, QString>)
        return Kind::Text;
    else if constexpr (std::is_same_v<T, QDate>)
        return Kind::Date;
    else if constexpr (std::is_same_v<T, bool>)
        return Kind::Bool;
    else {
        static_assert(std::is_same_v<T, QVariant>, "a parameter kind the recording lacks");
        return Kind::General;
    }
}

template <typename T> T take(const DriverArgument& argument)
{
    if constexpr (std::is_same_v<T, QVariant>)
        return argument.value();
    else
        return argument.value().value<T>();
}

struct Member
{
    QList<Kind> kinds;
    std::function<QVariant(Driver&, const Arguments&)> run;
};

template <typename R, typename... P, std::size_t... I>
QVariant invoke(Driver& driver, R (Driver::*member)(P...), const Arguments& arguments,
                std::index_sequence<I...>)
{
    return QVariant::fromValue((driver.*member)(take<std::remove_cvref_t<P>>(arguments.at(I))...));
}

// A member of the contract whose parameters are all passed in: its kinds and its call follow
// from its declaration.
template <typename R, typename... P> Member entry(R (Driver::*member)(P...))
{
    return {{kindOf<std::remove_cvref_t<P>>()...},
            [member](Driver& driver, const Arguments& arguments) {
                return invoke(driver, member, arguments, std::index_sequence_for<P...>{});
            }};
}

// GetLanguageInfo passes its values out through its parameters; its result is recorded as
// {code, name, text2, languageId, current}, as InterceptingDriver records it.
Member languageInfo()
{
    return {{Kind::Int32}, [](Driver& driver, const Arguments& arguments) {
                QString name;
                QString text2;
                std::int32_t languageId = 0;
                std::int32_t current = 0;
                const Driver::Result code = driver.GetLanguageInfo(
                    take<std::int32_t>(arguments.at(0)), name, text2, languageId, current);
                return QVariant(
                    QVariantList{QVariant::fromValue(code), name, text2, languageId, current});
            }};
}

const QHash<QString, Member>& members()
{
    static const QHash<QString, Member> table{
        {u"GetLanguageInfo"_s, languageInfo()},
        {u"SetPassword"_s, entry(&Driver::SetPassword)},
        {u"SetDriverOpt"_s, entry(&Driver::SetDriverOpt)},
        {u"GetDriverOpt"_s, entry(&Driver::GetDriverOpt)},
        {u"SetLanguage"_s, entry(&Driver::SetLanguage)},
        {u"GetLanguageCount"_s, entry(&Driver::GetLanguageCount)},
        {u"SetLogOpt"_s, entry(&Driver::SetLogOpt)},
        {u"SetLogFile"_s, entry(&Driver::SetLogFile)},
        {u"InitDevice"_s, entry(&Driver::InitDevice)},
        {u"DeinitDevice"_s, entry(&Driver::DeinitDevice)},
        {u"GetErrorComment"_s, entry(&Driver::GetErrorComment)},
        {u"GetErrorCode2"_s, entry(&Driver::GetErrorCode2)},
        {u"GetErrorComment2"_s, entry(&Driver::GetErrorComment2)},
        {u"StartSession"_s, entry(&Driver::StartSession)},
        {u"EndSession"_s, entry(&Driver::EndSession)},
        {u"SetClerk"_s, entry(&Driver::SetClerk)},
        {u"OpenDrawer"_s, entry(&Driver::OpenDrawer)},
        {u"PrintDuplicate"_s, entry(&Driver::PrintDuplicate)},
        {u"StartDocument"_s, entry(&Driver::StartDocument)},
        {u"SetExtraDocData"_s, entry(&Driver::SetExtraDocData)},
        {u"SetExtraDocData2"_s, entry(&Driver::SetExtraDocData2)},
        {u"EndDocument"_s, entry(&Driver::EndDocument)},
        {u"CancelDocument"_s, entry(&Driver::CancelDocument)},
        {u"ResetError"_s, entry(&Driver::ResetError)},
        {u"PrintResult"_s, entry(&Driver::PrintResult)},
        {u"Item"_s, entry(&Driver::Item)},
        {u"ItemEx"_s, entry(&Driver::ItemEx)},
        {u"ItemTare"_s, entry(&Driver::ItemTare)},
        {u"ItemTareEx"_s, entry(&Driver::ItemTareEx)},
        {u"ReturnTare"_s, entry(&Driver::ReturnTare)},
        {u"ItemPurchase"_s, entry(&Driver::ItemPurchase)},
        {u"VoidItem"_s, entry(&Driver::VoidItem)},
        {u"VoidItemEx"_s, entry(&Driver::VoidItemEx)},
        {u"VoidItemTare"_s, entry(&Driver::VoidItemTare)},
        {u"VoidItemTareEx"_s, entry(&Driver::VoidItemTareEx)},
        {u"VoidReturnTare"_s, entry(&Driver::VoidReturnTare)},
        {u"RepeatItem"_s, entry(&Driver::RepeatItem)},
        {u"CorrectLastItem"_s, entry(&Driver::CorrectLastItem)},
        {u"AbsoluteCorrection"_s, entry(&Driver::AbsoluteCorrection)},
        {u"PercentCorrection"_s, entry(&Driver::PercentCorrection)},
        {u"AbsoluteCorrectionText"_s, entry(&Driver::AbsoluteCorrectionText)},
        {u"Tender2"_s, entry(&Driver::Tender2)},
        {u"ResetPayInfo"_s, entry(&Driver::ResetPayInfo)},
        {u"TextLine"_s, entry(&Driver::TextLine)},
        {u"AddExtraString"_s, entry(&Driver::AddExtraString)},
        {u"ClearExtraStrings"_s, entry(&Driver::ClearExtraStrings)},
        {u"AddExtraString2"_s, entry(&Driver::AddExtraString2)},
        {u"ClearExtraStrings2"_s, entry(&Driver::ClearExtraStrings2)},
        {u"SetDescriptorText"_s, entry(&Driver::SetDescriptorText)},
        {u"GetDeviceInfo"_s, entry(&Driver::GetDeviceInfo)},
        {u"GetTextDeviceInfo"_s, entry(&Driver::GetTextDeviceInfo)},
        {u"GetDoubleDeviceInfo"_s, entry(&Driver::GetDoubleDeviceInfo)},
        {u"GetDocInfo"_s, entry(&Driver::GetDocInfo)},
        {u"PrintReport"_s, entry(&Driver::PrintReport)},
        {u"TestPrinter"_s, entry(&Driver::TestPrinter)},
        {u"TaxChainReport"_s, entry(&Driver::TaxChainReport)},
        {u"TaxChainsReport"_s, entry(&Driver::TaxChainsReport)},
        {u"EKLZPrintReportByNum"_s, entry(&Driver::EKLZPrintReportByNum)},
        {u"EKLZPrintReportByDate"_s, entry(&Driver::EKLZPrintReportByDate)},
        {u"GetDeviceOpt"_s, entry(&Driver::GetDeviceOpt)},
        {u"SetDeviceOpt"_s, entry(&Driver::SetDeviceOpt)},
        {u"SetOrderHeader"_s, entry(&Driver::SetOrderHeader)},
        {u"SetDate"_s, entry(&Driver::SetDate)},
        {u"SetTime"_s, entry(&Driver::SetTime)},
        {u"SetPaperType"_s, entry(&Driver::SetPaperType)},
        {u"SetPaymentMean"_s, entry(&Driver::SetPaymentMean)},
        {u"SetPrintDocumentMode"_s, entry(&Driver::SetPrintDocumentMode)},
        {u"GetTaxRate"_s, entry(&Driver::GetTaxRate)},
        {u"SetTaxRate"_s, entry(&Driver::SetTaxRate)},
        {u"GetTaxChain"_s, entry(&Driver::GetTaxChain)},
        {u"SetTaxChain"_s, entry(&Driver::SetTaxChain)},
        {u"LoadImage"_s, entry(&Driver::LoadImage)},
        {u"LoadImages"_s, entry(&Driver::LoadImages)},
        {u"SetImage"_s, entry(&Driver::SetImage)},
        {u"DeleteImage"_s, entry(&Driver::DeleteImage)},
        {u"ProgramBarCode"_s, entry(&Driver::ProgramBarCode)},
        {u"ProgramBarCodeDirect"_s, entry(&Driver::ProgramBarCodeDirect)},
        {u"InitLineDisplay"_s, entry(&Driver::InitLineDisplay)},
        {u"StringToLineDisplay"_s, entry(&Driver::StringToLineDisplay)},
        {u"StringToLineDisplayDirect"_s, entry(&Driver::StringToLineDisplayDirect)},
    };
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
    QStringList names = members().keys();
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
