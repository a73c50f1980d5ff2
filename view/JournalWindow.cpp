#include "JournalWindow.h"

#include "CallHub.h"
#include "CallScript.h"
#include "JournalTable.h"
#include "Seams.h"
#include "ViewFollower.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace view {

JournalWindow::JournalWindow(CallHub& hub, QWidget* parent)
    : forms::Loadable<QWidget>(parent, Qt::Window), m_hub(&hub), m_model(hub.journal()),
      CmbMember(new QComboBox(this)), ChkFailures(new QCheckBox(u"Только ошибки"_s, this)),
      CmdCopy(new QPushButton(u"Копировать"_s, this)),
      CmdSave(new QPushButton(u"Сохранить сценарий..."_s, this)), TblCalls(new QTableView(this)),
      LblCount(new QLabel(this))
{
    setObjectName(u"JournalWindow"_s);
    setWindowTitle(u"Журнал вызовов"_s);
    CmbMember->setObjectName(u"CmbMember"_s);
    ChkFailures->setObjectName(u"ChkFailures"_s);
    CmdCopy->setObjectName(u"CmdCopy"_s);
    CmdSave->setObjectName(u"CmdSave"_s);
    TblCalls->setObjectName(u"TblCalls"_s);
    LblCount->setObjectName(u"LblCount"_s);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(u"Метод:"_s, this));
    filters->addWidget(CmbMember, 1);
    filters->addWidget(ChkFailures);
    filters->addStretch();
    filters->addWidget(LblCount);
    filters->addWidget(CmdCopy);
    filters->addWidget(CmdSave);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(TblCalls);

    // Rows of one height and no measuring of contents: the table stays quick with a full ring.
    // The height is set before the rows come, which would otherwise be resized one by one.
    auto* numbers = new SequenceHeader(TblCalls);
    numbers->setSectionResizeMode(QHeaderView::Fixed);
    numbers->setDefaultSectionSize(fontMetrics().height() + 4);
    TblCalls->setVerticalHeader(numbers);
    TblCalls->setModel(&m_model);
    TblCalls->setItemDelegate(new CallCellDelegate(TblCalls));
    TblCalls->setSelectionBehavior(QAbstractItemView::SelectRows);
    TblCalls->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TblCalls->setWordWrap(false);
    TblCalls->horizontalHeader()->setStretchLastSection(false);
    // Each column as wide as its title at least, and the six within the window's width.
    const int widths[] = {96, 150, 360, 240, 110, 70};
    for (int column = 0; column < journal::ColumnCount; ++column) {
        TblCalls->setColumnWidth(
            column,
            std::max(widths[column], TblCalls->horizontalHeader()->sectionSizeHint(column)));
    }

    auto* copy = new QAction(this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(copy);
    connect(copy, &QAction::triggered, this, &JournalWindow::CmdCopy_Click);
    connect(CmbMember, &QComboBox::activated, this, &JournalWindow::CmbMember_Activated);
    connect(ChkFailures, &QCheckBox::toggled, this, &JournalWindow::ChkFailures_Toggled);
    connect(CmdCopy, &QPushButton::clicked, this, &JournalWindow::CmdCopy_Click);
    connect(CmdSave, &QPushButton::clicked, this, &JournalWindow::CmdSave_Click);
    // One update per frame however many calls come, and none while the window is not seen.
    auto* follower = new ViewFollower(*this, [this] { CatchUp(); });
    connect(&hub, &CallHub::recorded, follower, &ViewFollower::poke);

    setKeys(forms::EscapeKey::Closes);
    resize(1120, 520);
    fillMembers();
    showCount();
    TblCalls->scrollToBottom();
}

void JournalWindow::CatchUp()
{
    // Follow the newest call unless the operator has scrolled up to read an older one.
    QScrollBar* bar = TblCalls->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    m_model.catchUp();
    // The list offers every member seen: the first entry stands for all of them.
    if (m_hub && CmbMember->count() - 1 != m_hub->journal().members().size())
        fillMembers();
    if (atEnd)
        TblCalls->scrollToBottom();
    showCount();
}

void JournalWindow::fillMembers()
{
    const QString chosen = CmbMember->currentData().toString();
    CmbMember->clear();
    CmbMember->addItem(u"Все методы"_s, QString());
    if (m_hub) {
        for (const QString& member : m_hub->journal().members())
            CmbMember->addItem(member, member);
    }
    CmbMember->setCurrentIndex(std::max(0, CmbMember->findData(chosen)));
}

void JournalWindow::applyFilter()
{
    m_model.setFilter(JournalFilter{CmbMember->currentData().toString(), ChkFailures->isChecked()});
    TblCalls->scrollToBottom();
    showCount();
}

void JournalWindow::showCount()
{
    LblCount->setText(u"Показано: %1"_s.arg(m_model.rowCount()));
}

void JournalWindow::CmbMember_Activated(int)
{
    applyFilter();
}

void JournalWindow::ChkFailures_Toggled(bool)
{
    applyFilter();
}

void JournalWindow::CmdCopy_Click()
{
    QModelIndexList rows = TblCalls->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    for (const QModelIndex& row : rows) {
        if (const JournalEntry* entry = m_model.entry(row.row()))
            lines << journal::rowText(*entry);
    }
    if (!lines.isEmpty())
        QApplication::clipboard()->setText(lines.join(u'\n') + u'\n');
}

void JournalWindow::CmdSave_Click()
{
    if (!m_hub)
        return;
    const std::optional<QString> path =
        forms::saveFile(this, {u"Сценарии вызовов(*.jsonl)|*.jsonl|All Files (*.*)|*.*"_s,
                               1,
                               u"Сохранить сценарий"_s,
                               {},
                               u"jsonl"_s,
                               true});
    if (!path)
        return;
    // The whole run as the journal keeps it, whatever the filter shows: a script replays from
    // the first call on.
    const CallJournal& journal = m_hub->journal();
    QSaveFile file(*path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(callscript::header());
        for (qsizetype i = 0; i < journal.size(); ++i)
            file.write(callscript::line(journal.at(i).call));
    }
    if (!file.commit()) {
        forms::showMessage(this, u"Не удалось сохранить сценарий: "_s + file.errorString());
        return;
    }
    // A ring that is full has forgotten the first calls: say where the script begins.
    const qint64 first = journal.firstSequence();
    LblCount->setText(
        first > 1 ? u"Сохранено вызовов: %1, начиная с %2-го"_s.arg(journal.size()).arg(first)
                  : u"Сохранено вызовов: %1"_s.arg(journal.size()));
}

} // namespace view
