#include "JournalModel.h"

#include <QBrush>
#include <QColor>

namespace view {

JournalModel::JournalModel(const CallJournal& journal, QObject* parent)
    : QAbstractTableModel(parent), m_journal(journal)
{
    setFilter({});
}

void JournalModel::setFilter(const JournalFilter& filter)
{
    beginResetModel();
    m_filter = filter;
    m_seen = m_journal.firstSequence() - 1;
    m_rows = matching();
    endResetModel();
}

JournalRows JournalModel::matching()
{
    const qint64 last = m_journal.lastSequence();
    // Every call kept, without reading a full ring's entries one by one.
    if (m_filter.matchesAll()) {
        JournalRows found = JournalRows::run(m_seen + 1, last);
        m_seen = last;
        return found;
    }
    JournalRows found;
    for (qint64 sequence = m_seen + 1; sequence <= last; ++sequence) {
        const JournalEntry* entry = m_journal.find(sequence);
        if (entry && m_filter.matches(*entry))
            found.pushBack(sequence);
    }
    m_seen = last;
    return found;
}

void JournalModel::dropForgotten()
{
    const std::size_t forgotten = m_rows.countBefore(m_journal.firstSequence());
    if (forgotten == 0)
        return;
    beginRemoveRows({}, 0, static_cast<int>(forgotten) - 1);
    m_rows.dropFront(forgotten);
    endRemoveRows();
}

void JournalModel::catchUp()
{
    if (m_journal.lastSequence() == m_seen)
        return;
    // The ring has turned past everything shown: every row goes and every call kept is new.
    if (m_seen + 1 < m_journal.firstSequence()) {
        setFilter(m_filter);
        return;
    }
    const std::size_t forgotten = m_rows.countBefore(m_journal.firstSequence());
    const JournalRows added = matching();
    // A full ring forgets a call for each one it takes: the rows keep their number and show other
    // calls, as one change of data. A removal and an insertion would make the view and its
    // header walk every row they hold, a hundred thousand in a full journal, and redraw the whole
    // table with its scroll bars.
    const std::size_t slid = forgotten <= added.size() ? forgotten : 0;
    if (slid > 0)
        slide(slid, added);
    else
        dropForgotten();
    if (added.size() == slid)
        return;
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows({}, row, row + static_cast<int>(added.size() - slid) - 1);
    m_rows.append(added, slid, added.size());
    endInsertRows();
}

void JournalModel::slide(std::size_t rows, const JournalRows& added)
{
    m_rows.dropFront(rows);
    m_rows.append(added, 0, rows);
    // What the view holds on to (the current row, the selection) moves up with its call, or goes
    // with it when the ring forgot it.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    const int shift = static_cast<int>(rows);
    for (const QModelIndex& held : before)
        after << (held.row() >= shift ? index(held.row() - shift, held.column()) : QModelIndex());
    changePersistentIndexList(before, after);
    const int last = static_cast<int>(m_rows.size()) - 1;
    emit dataChanged(index(0, 0), index(last, journal::ColumnCount - 1));
}

const JournalEntry* JournalModel::entry(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return nullptr;
    return m_journal.find(m_rows.at(static_cast<std::size_t>(row)));
}

int JournalModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int JournalModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : journal::ColumnCount;
}

QVariant JournalModel::data(const QModelIndex& index, int role) const
{
    const JournalEntry* shown = entry(index.row());
    if (!shown)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return journal::cellText(*shown, index.column());
    case Qt::ForegroundRole:
        return shown->failed() ? QVariant(QBrush(QColor(0xA0, 0x00, 0x00))) : QVariant();
    case Qt::BackgroundRole:
        return shown->failed() ? QVariant(QBrush(QColor(0xFF, 0xE4, 0xE1))) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == journal::Duration ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                   : QVariant();
    default:
        return {};
    }
}

QVariant JournalModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return journal::columnTitle(section);
    const JournalEntry* shown = entry(section);
    return shown ? QVariant(shown->sequence) : QVariant();
}

} // namespace view
