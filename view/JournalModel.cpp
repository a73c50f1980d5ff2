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
    m_rows.clear();
    for (qsizetype i = 0; i < m_journal.size(); ++i) {
        const JournalEntry& entry = m_journal.at(i);
        if (m_filter.matches(entry))
            m_rows.push_back(entry.sequence);
    }
    endResetModel();
}

void JournalModel::dropForgotten()
{
    const qint64 first = m_journal.firstSequence();
    int forgotten = 0;
    while (forgotten < static_cast<int>(m_rows.size()) &&
           m_rows[static_cast<std::size_t>(forgotten)] < first)
        ++forgotten;
    if (forgotten == 0)
        return;
    beginRemoveRows({}, 0, forgotten - 1);
    m_rows.erase(m_rows.begin(), m_rows.begin() + forgotten);
    endRemoveRows();
}

void JournalModel::added(const JournalEntry& entry)
{
    dropForgotten();
    if (!m_filter.matches(entry))
        return;
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.push_back(entry.sequence);
    endInsertRows();
}

const JournalEntry* JournalModel::entry(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return nullptr;
    return m_journal.find(m_rows[static_cast<std::size_t>(row)]);
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
