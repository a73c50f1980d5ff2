#pragma once

#include "DeviceLink.h"
#include "Loadable.h"
#include "TapeModel.h"

#include <QPointer>
#include <QWidget>

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
// and loads only the part the operator looks at.
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

private slots:
    void CmdFind_Click();
    void CmdSaveDocument_Click();
    void CmdSaveShift_Click();
    void TabPaper_Changed();

private:
    void Reload();
    TapePage& currentPage() const;
    emulator::DeviceSession* Session();
    void Save(const QString& title, const TapePainter& painter, const TapeModel& rows, int first,
              int last);
    void SetStatus(const QString& text);

    QPointer<CallHub> m_hub;
    DeviceLink m_link;
    bool m_followScheduled = false;
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
