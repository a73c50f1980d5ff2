#include "DriverCall.h"

#include "DriverMembers.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

QString kindName(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Short:
        return u"int16"_s;
    case QMetaType::Int:
        return u"int32"_s;
    case QMetaType::LongLong:
        return u"int64"_s;
    case QMetaType::Double:
        return u"double"_s;
    case QMetaType::QString:
        return u"text"_s;
    case QMetaType::QDate:
        return u"date"_s;
    case QMetaType::Bool:
        return u"bool"_s;
    default:
        return value.isValid() ? QString::fromLatin1(value.typeName()) : u"empty"_s;
    }
}

QString valueText(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return u'"' + value.toString() + u'"';
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 17);
    case QMetaType::Bool:
        return value.toBool() ? u"true"_s : u"false"_s;
    default:
        return value.toString();
    }
}

} // namespace

QString DriverArgument::toString() const
{
    const QString kind =
        m_kind == Kind::General ? u"general<"_s + kindName(m_value) + u'>' : kindName(m_value);
    return kind + u':' + valueText(m_value);
}

QString DriverCall::toString() const
{
    QStringList parts;
    parts.reserve(arguments.size());
    for (const DriverArgument& argument : arguments)
        parts << argument.toString();
    return member + u'(' + parts.join(u", "_s) + u')';
}

bool DriverCall::isQuery(const QString& member)
{
    return contract::roleOf(member) == contract::Role::Query;
}

std::optional<int> DriverCall::resultCode() const
{
    if (isQuery(member))
        return std::nullopt;
    // A member with out-parameters records {code, out-parameters...} (GetLanguageInfo).
    if (result.metaType().id() == QMetaType::QVariantList)
        return result.toList().value(0).toInt();
    return result.toInt();
}
