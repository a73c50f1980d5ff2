#pragma once

#include "CallJournal.h"
#include "JournalRows.h"

#include <QAbstractTableModel>

namespace view {

// The journal's calls that pass the filter, as rows of a table. It follows the journal in batches:
// each catch-up takes in every call added since the last one and lets go of the calls the ring
// forgot, as one change of rows or data, so that a view redraws once however many calls came.
class JournalModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit JournalModel(const CallJournal& journal, QObject* parent = nullptr);

    void setFilter(const JournalFilter& filter);
    const JournalFilter& filter() const { return m_filter; }
    // Brings the rows up to the journal as it is now.
    void catchUp();
    const JournalEntry* entry(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void dropForgotten();
    // Lets go of the oldest `rows` rows and appends as many of `added` in their place.
    void slide(std::size_t rows, const JournalRows& added);
    // The calls after the last one looked at that pass the filter; they count as looked at.
    JournalRows matching();

    const CallJournal& m_journal;
    JournalFilter m_filter;
    JournalRows m_rows; // the calls shown
    qint64 m_seen = 0;  // the newest call of the journal looked at
};

} // namespace view
