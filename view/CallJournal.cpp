#include "CallJournal.h"

#include <QDateTime>
#include <QMetaType>

#include <algorithm>
#include <chrono>

using namespace Qt::StringLiterals;

namespace view {

CallJournal::CallJournal(qsizetype capacity) : m_capacity(std::max<qsizetype>(capacity, 1))
{
    // Room for the whole ring at once, so that no call pays for moving the calls before it; the
    // memory is taken from the system only as the calls fill it.
    m_ring.reserve(static_cast<std::size_t>(m_capacity));
}

const JournalEntry& CallJournal::append(JournalEntry entry)
{
    entry.sequence = m_next++;
    const auto found = std::lower_bound(m_members.cbegin(), m_members.cend(), entry.call.member);
    if (found == m_members.cend() || *found != entry.call.member)
        m_members.insert(found - m_members.cbegin(), entry.call.member);

    if (size() < m_capacity) {
        m_ring.push_back(std::move(entry));
        return m_ring.back();
    }
    JournalEntry& slot = m_ring[static_cast<std::size_t>(m_start)];
    slot = std::move(entry);
    m_start = (m_start + 1) % m_capacity;
    return slot;
}

const JournalEntry& CallJournal::at(qsizetype index) const
{
    return m_ring[static_cast<std::size_t>((m_start + index) % size())];
}

const JournalEntry* CallJournal::find(qint64 sequence) const
{
    const qint64 offset = sequence - firstSequence();
    if (m_ring.empty() || offset < 0 || offset >= size())
        return nullptr;
    return &at(offset);
}

void CallJournal::clear()
{
    m_ring.clear(); // keeps the room reserved
    m_start = 0;
    m_members.clear();
}

bool JournalFilter::matches(const JournalEntry& entry) const
{
    if (failuresOnly && !entry.failed())
        return false;
    return member.isEmpty() || entry.call.member == member;
}

namespace journal {
namespace {

QString valueText(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return u'"' + value.toString() + u'"';
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 17);
    case QMetaType::QVariantList: {
        // GetLanguageInfo: the code first, then what it passed out.
        QStringList parts;
        for (const QVariant& part : value.toList())
            parts << valueText(part);
        return parts.join(u", "_s);
    }
    default:
        return value.toString();
    }
}

} // namespace

QString columnTitle(int column)
{
    switch (column) {
    case Time:
        return u"Время"_s;
    case Member:
        return u"Метод"_s;
    case Arguments:
        return u"Аргументы"_s;
    case Result:
        return u"Результат"_s;
    case ExtendedCode:
        return u"Расширенный код"_s;
    case Duration:
        return u"мкс"_s;
    default:
        return {};
    }
}

QString cellText(const JournalEntry& entry, int column)
{
    switch (column) {
    case Time:
        // Turned into local time only when shown: the zone lookup costs more than the call.
        return QDateTime::fromMSecsSinceEpoch(entry.atMs).toString(u"HH:mm:ss.zzz"_s);
    case Member:
        return entry.call.member;
    case Arguments: {
        QStringList parts;
        parts.reserve(entry.call.arguments.size());
        for (const DriverArgument& argument : entry.call.arguments)
            parts << argument.toString();
        return parts.join(u", "_s);
    }
    case Result:
        if (!entry.code)
            return valueText(entry.call.result);
        return entry.comment.isEmpty() ? QString::number(*entry.code)
                                       : u"%1: %2"_s.arg(*entry.code).arg(entry.comment);
    case ExtendedCode:
        return entry.failed() ? QString::number(entry.code2) : QString();
    case Duration:
        return QString::number(
            std::chrono::duration_cast<std::chrono::microseconds>(entry.call.duration).count());
    default:
        return {};
    }
}

QString rowText(const JournalEntry& entry)
{
    QStringList cells;
    for (int column = 0; column < ColumnCount; ++column)
        cells << cellText(entry, column);
    return cells.join(u'\t');
}

} // namespace journal

} // namespace view
