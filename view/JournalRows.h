#pragma once

#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <deque>

namespace view {

// The journal calls' sequence numbers that a table shows, oldest first. While every call is
// shown they are a run of consecutive numbers, kept as its ends: a full journal's hundred thousand
// rows cost nothing to set up when its window opens. Under a filter they are listed one by one.
class JournalRows
{
public:
    // The run first..last (empty when last < first).
    static JournalRows run(qint64 first, qint64 last)
    {
        JournalRows rows;
        rows.m_first = first;
        rows.m_count = static_cast<std::size_t>(std::max<qint64>(0, last - first + 1));
        return rows;
    }

    void pushBack(qint64 sequence)
    {
        if (m_listed.empty() && (m_count == 0 || sequence == m_first + qint64(m_count))) {
            if (m_count == 0)
                m_first = sequence;
            ++m_count;
            return;
        }
        list();
        m_listed.push_back(sequence);
    }

    std::size_t size() const { return m_listed.empty() ? m_count : m_listed.size(); }
    bool empty() const { return size() == 0; }
    qint64 at(std::size_t row) const
    {
        return m_listed.empty() ? m_first + qint64(row) : m_listed[row];
    }

    // How many rows show calls numbered below `sequence`.
    std::size_t countBefore(qint64 sequence) const
    {
        if (m_listed.empty())
            return static_cast<std::size_t>(
                std::clamp<qint64>(sequence - m_first, 0, qint64(m_count)));
        return static_cast<std::size_t>(
            std::lower_bound(m_listed.begin(), m_listed.end(), sequence) - m_listed.begin());
    }

    void dropFront(std::size_t rows)
    {
        if (m_listed.empty()) {
            m_first += qint64(rows);
            m_count -= rows;
        } else {
            m_listed.erase(m_listed.begin(), m_listed.begin() + std::ptrdiff_t(rows));
        }
    }

    // Appends the rows from..to (not included) of `other`: still a run when they continue one.
    void append(const JournalRows& other, std::size_t from, std::size_t to)
    {
        if (from == to)
            return;
        if (m_listed.empty() && other.m_listed.empty() &&
            (m_count == 0 || other.at(from) == m_first + qint64(m_count))) {
            if (m_count == 0)
                m_first = other.at(from);
            m_count += to - from;
            return;
        }
        for (std::size_t row = from; row < to; ++row)
            pushBack(other.at(row));
    }

private:
    // Lists the run's numbers one by one, from now on.
    void list()
    {
        for (std::size_t row = 0; row < m_count; ++row)
            m_listed.push_back(m_first + qint64(row));
        m_count = 0;
    }

    qint64 m_first = 0;
    std::size_t m_count = 0;     // the run's length, while nothing is listed
    std::deque<qint64> m_listed; // the numbers listed one by one
};

} // namespace view
