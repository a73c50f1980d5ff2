#pragma once

#include "DriverCall.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace view {

// One completed driver call as the journal shows it.
struct JournalEntry
{
    qint64 sequence = 0; // the call's number in the run, from 1
    qint64 atMs = 0;     // when the call completed, in ms since the epoch (shown in local time)
    DriverCall call;
    std::optional<int> code; // the result code of a command; nothing for a query
    std::int32_t code2 = 0;  // the extended code, read only when the command failed
    QString comment;         // what the result code means

    bool failed() const { return code && *code != 0; }
};

// The run's calls with bounded memory: a ring that keeps the latest `capacity` calls and forgets
// the oldest one for each new one once it is full.
class CallJournal
{
public:
    explicit CallJournal(qsizetype capacity = 100'000);

    // Numbers the entry as the next call of the run and keeps it.
    const JournalEntry& append(JournalEntry entry);

    qsizetype size() const { return static_cast<qsizetype>(m_ring.size()); }
    qsizetype capacity() const { return m_capacity; }
    // 0 is the oldest call kept.
    const JournalEntry& at(qsizetype index) const;
    // The entry with this sequence number, if it is still kept.
    const JournalEntry* find(qint64 sequence) const;
    qint64 firstSequence() const { return m_ring.empty() ? m_next : at(0).sequence; }
    // The number of the newest call kept; firstSequence() - 1 when none is.
    qint64 lastSequence() const { return m_next - 1; }
    // The members seen in the run, sorted.
    const QStringList& members() const { return m_members; }
    void clear();

private:
    qsizetype m_capacity;
    std::vector<JournalEntry> m_ring;
    qsizetype m_start = 0; // where the oldest entry sits once the ring is full
    qint64 m_next = 1;
    QStringList m_members;
};

// Which calls the journal window shows: one member or all, failures only or all.
struct JournalFilter
{
    QString member; // empty: every member
    bool failuresOnly = false;

    bool matches(const JournalEntry& entry) const;
    bool matchesAll() const { return member.isEmpty() && !failuresOnly; }
};

// The texts of the journal's columns, also used for copying rows.
namespace journal {

enum Column { Time, Member, Arguments, Result, ExtendedCode, Duration, ColumnCount };

QString columnTitle(int column);
QString cellText(const JournalEntry& entry, int column);
// The row as one line, columns separated by tabs, for the clipboard.
QString rowText(const JournalEntry& entry);

} // namespace journal

} // namespace view
