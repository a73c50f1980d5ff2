#pragma once

#include "DeviceLink.h"
#include "Loadable.h"
#include "TapeModel.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace view {

class CallHub;
class TapeView;

// "Бумажная лента": the device's paper tape as it prints, newest document in sight; find text;
// save the document in sight or the whole shift as PNG or PDF. It reads the tape after the calls
// of the program (never on a timer) and loads only the part the operator looks at.
class TapeWindow : public forms::Loadable<QWidget>
{
    Q_OBJECT

public:
    explicit TapeWindow(CallHub& hub, QWidget* parent = nullptr);
    ~TapeWindow() override;

    const TapeModel& model() const { return m_model; }
    TapeView& view() { return *m_view; }
    // Takes in what the device printed since the last look (the calls schedule it).
    void Follow();

    // How many lines a first look and each step back load.
    static constexpr qint64 kChunk = 400;

private slots:
    void CmdFind_Click();
    void CmdSaveDocument_Click();
    void CmdSaveShift_Click();
    void LoadEarlier();

private:
    void Reload();
    bool LoadBack(qint64 firstId);
    void Save(const QString& title, const TapeModel& rows, int first, int last);
    void SetStatus(const QString& text);

    QPointer<CallHub> m_hub;
    DeviceLink m_link;
    TapeModel m_model;
    bool m_followScheduled = false;
    TapeView* m_view;
    QLineEdit* TxtFind;
    QPushButton* CmdFind;
    QPushButton* CmdSaveDocument;
    QPushButton* CmdSaveShift;
    QLabel* StatusText;
};

} // namespace view
