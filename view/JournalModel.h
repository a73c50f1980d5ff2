#pragma once

#include "CallJournal.h"

#include <QAbstractTableModel>

#include <deque>

namespace view {

// The journal's calls that pass the filter, as rows of a table. It follows the journal as calls
// are added and as the ring forgets its oldest calls.
class JournalModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit JournalModel(const CallJournal& journal, QObject* parent = nullptr);

    void setFilter(const JournalFilter& filter);
    const JournalFilter& filter() const { return m_filter; }
    // Takes in the entry the journal has just added.
    void added(const JournalEntry& entry);
    const JournalEntry* entry(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void dropForgotten();

    const CallJournal& m_journal;
    JournalFilter m_filter;
    std::deque<qint64> m_rows; // the sequence numbers shown, oldest first
};

} // namespace view
