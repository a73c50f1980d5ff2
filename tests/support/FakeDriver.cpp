#include "FakeDriver.h"

using namespace Qt::StringLiterals;

namespace {

// What a window reads freely: the queries, and the list of languages read through out-parameters.
bool readsOnly(const QString& member)
{
    return DriverCall::isQuery(member) || member == u"GetLanguageInfo";
}

} // namespace

QString FakeDriver::key(const QString& member, std::optional<int> index)
{
    return index ? member + u'#' + QString::number(*index) : member;
}

void FakeDriver::queue(const QString& member, const QVariantList& values)
{
    for (const QVariant& value : values)
        m_queues[key(member)].enqueue(value);
}

void FakeDriver::queueAt(const QString& member, int index, const QVariantList& values)
{
    for (const QVariant& value : values)
        m_queues[key(member, index)].enqueue(value);
}

std::optional<QVariant> FakeDriver::takeAnswer(const DriverCall& call)
{
    QStringList keys;
    if (!call.arguments.isEmpty() && call.arguments.constFirst().value().canConvert<int>())
        keys << key(call.member, call.arguments.constFirst().value().toInt());
    keys << key(call.member);
    for (const QString& k : keys) {
        auto found = m_queues.find(k);
        if (found != m_queues.end() && !found->isEmpty())
            return found->dequeue();
    }
    for (const QString& k : keys) {
        const auto found = m_fixed.constFind(k);
        if (found != m_fixed.cend())
            return *found;
    }
    return std::nullopt;
}

QVariant FakeDriver::intercept(DriverCall& call, const Forward& /*forward*/)
{
    m_records.append({call, m_statusProbe ? m_statusProbe() : QString()});
    std::optional<QVariant> answer = takeAnswer(call);
    if (!answer) {
        const int first =
            call.arguments.isEmpty() ? 0 : call.arguments.constFirst().value().toInt();
        if (call.member == u"GetErrorComment")
            answer = comment(first);
        else if (call.member == u"GetErrorComment2")
            answer = comment2(first);
        else if (call.member == u"GetLanguageCount")
            answer = std::int32_t(m_languages.size());
        else if (call.member == u"GetLanguageInfo" && first >= 1 && first <= m_languages.size()) {
            const Language& language = m_languages.at(first - 1);
            answer = QVariantList{0, language.name, language.text2, language.id, language.current};
        }
    }
    m_records.last().call.result = answer.value_or(QVariant());
    return m_records.last().call.result;
}

QStringList FakeDriver::calls() const
{
    QStringList result;
    for (const Record& record : m_records)
        result << record.call.toString();
    return result;
}

QStringList FakeDriver::members() const
{
    QStringList result;
    for (const Record& record : m_records)
        result << record.call.member;
    return result;
}

QStringList FakeDriver::commands() const
{
    QStringList result;
    for (const Record& record : m_records)
        if (!readsOnly(record.call.member))
            result << record.call.toString();
    return result;
}

std::optional<FakeDriver::Record> FakeDriver::last(const QString& member) const
{
    for (auto it = m_records.crbegin(); it != m_records.crend(); ++it)
        if (it->call.member == member)
            return *it;
    return std::nullopt;
}
