#pragma once

#include "JournalModel.h"
#include "Loadable.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace view {

class CallHub;

// "Журнал вызовов": every driver call of the run with its arguments, result and duration, the
// failed ones marked; filtered by member and by failure; rows copied as text; the run saved as a
// script that quolt-device replays.
class JournalWindow : public forms::Loadable<QWidget>
{
    Q_OBJECT

public:
    explicit JournalWindow(CallHub& hub, QWidget* parent = nullptr);

    JournalModel& model() { return m_model; }

private slots:
    void CmbMember_Activated(int index);
    void ChkFailures_Toggled(bool checked);
    void CmdCopy_Click();
    void CmdSave_Click();

private:
    // Takes in the calls made since the last look.
    void CatchUp();
    void applyFilter();
    void fillMembers();
    void showCount();

    QPointer<CallHub> m_hub;
    JournalModel m_model;
    QComboBox* CmbMember;
    QCheckBox* ChkFailures;
    QPushButton* CmdCopy;
    QPushButton* CmdSave;
    QTableView* TblCalls;
    QLabel* LblCount;
};

} // namespace view
