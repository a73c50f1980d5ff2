#pragma once

#include "DeviceLink.h"
#include "Loadable.h"
#include "TapeExport.h"
#include "TapeModel.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace view {

class CallHub;
class TapePage;
class TapePainter;
class TapeView;

// "Бумажная лента": the device's paper as it prints, the receipt roll and the slips each on a
// page of their own, the newest document in sight; find text; save the document in sight or the
// whole shift as PNG or PDF. It reads the paper after the calls of the program (never on a timer)
// and loads only the part the operator looks at. While hidden or closed it reads nothing: it
// catches up when shown again.
class TapeWindow : public forms::Loadable<QWidget>
{
    Q_OBJECT

public:
    explicit TapeWindow(CallHub& hub, QWidget* parent = nullptr);
    ~TapeWindow() override;

    // The receipt roll.
    const TapeModel& model() const;
    TapeView& view();
    // The slips.
    const TapeModel& slipModel() const;
    // The page in sight: the roll or the slips.
    bool showsSlips() const;
    // Takes in what the device printed since the last look (the calls schedule it).
    void Follow();
    // Where the save dialogs start: the folder of the last save and a name after the shift.
    QString suggestedPath(const QString& what);

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void CmdFind_Click();
    void CmdSaveDocument_Click();
    void CmdSaveShift_Click();
    void TabPaper_Changed();

private:
    void Reload();
    TapePage& currentPage() const;
    emulator::DeviceSession* Session();
    void ScheduleFollow();
    void Save(const QString& title, const QString& what,
              const std::function<TapeExport(const QString& path, bool pdf)>& write);
    void SetStatus(const QString& text);
    // Shows what the page in sight has to say about its paper.
    void ShowNotice();

    QPointer<CallHub> m_hub;
    DeviceLink m_link;
    bool m_followScheduled = false;
    bool m_behind = false;      // calls came while hidden
    bool m_replaced = false;    // the device was replaced while hidden
    bool m_showsNotice = false; // the status line tells about the paper, not about a command
    QString m_lastSave;         // the path of the last file saved
    QTabWidget* TabPaper;
    TapePage* m_roll;
    TapePage* m_slips;
    QLineEdit* TxtFind;
    QPushButton* CmdFind;
    QPushButton* CmdSaveDocument;
    QPushButton* CmdSaveShift;
    QLabel* StatusText;
};

} // namespace view
