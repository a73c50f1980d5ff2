#pragma once

#include "CallHub.h"

#include <QGroupBox>
#include <QPointer>

#include <optional>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace emulator {
class DeviceSession;
}

namespace view {

class DeviceLink;

// "Снимки": named copies of the whole device that the operator keeps and returns to, the same
// copies as the device tool's. It works on the panel's own connection to the device.
class SnapshotFrame : public QGroupBox
{
    Q_OBJECT

public:
    SnapshotFrame(CallHub& hub, DeviceLink& link, QWidget* parent = nullptr);

    // Lists the snapshots of the device on `address` when it is another one than last time.
    void Follow(const std::optional<DeviceAddress>& address);

signals:
    void statusChanged(const QString& text);

private slots:
    void LstSnapshots_Changed();
    void CmdSnapshotSave_Click();
    void CmdSnapshotRestore_Click();
    void CmdSnapshotDelete_Click();

private:
    // The name in the box when it is one a snapshot may have; otherwise says why not.
    std::optional<QString> chosenName();
    emulator::DeviceSession* connectedSession();
    void List();

    QPointer<CallHub> m_hub;
    DeviceLink& m_link;
    std::optional<DeviceAddress> m_listed;
    QLineEdit* TxtSnapshotName;
    QListWidget* LstSnapshots;
    QPushButton* CmdSnapshotSave;
    QPushButton* CmdSnapshotRestore;
    QPushButton* CmdSnapshotDelete;
};

} // namespace view
