#pragma once

#include "DeviceLink.h"
#include "Loadable.h"
#include "PanelFacts.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace view {

class CallHub;
class SnapshotFrame;

// "Устройство": the device at a glance, refreshed after every call of the program; its sensors as
// switches and a fault for the next call of a chosen member, set as the device tool sets them.
class PanelWindow : public forms::Loadable<QWidget>
{
    Q_OBJECT

public:
    PanelWindow(CallHub& hub, std::function<QString(int)> speedName, QWidget* parent = nullptr);

    // Reads the device again (the calls schedule it).
    void Refresh();

private slots:
    void Sensor_Toggled();
    void CmdSetFault_Click();
    void CmdClearFault_Click();

private:
    void ShowFacts(const QList<PanelFact>& facts);
    void Steer(const std::function<void(emulator::DeviceState&)>& edit);
    void SetStatus(const QString& text);

    QPointer<CallHub> m_hub;
    std::function<QString(int)> m_speedName;
    DeviceLink m_link;
    QList<PanelFact> m_facts;        // what the tree shows, row for row
    QList<QTreeWidgetItem*> m_items; // the tree's item of each fact
    bool m_showing = false;          // switches being set from the device, not by the operator
    QTreeWidget* TreeState;
    QList<QCheckBox*> m_sensors;
    QComboBox* CmbFaultMember;
    QSpinBox* TxtFaultCode;
    QPushButton* CmdSetFault;
    QPushButton* CmdClearFault;
    QLabel* LblFault;
    SnapshotFrame* m_snapshots;
    QLabel* StatusText;
};

} // namespace view
