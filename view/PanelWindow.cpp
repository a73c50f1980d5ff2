#include "PanelWindow.h"

#include "CallHub.h"
#include "DeviceSteering.h"
#include "EmulatedDriver.h"
#include "PanelFacts.h"
#include "ResultCodes.h"
#include "SnapshotFrame.h"
#include "ViewFollower.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace view {

PanelWindow::PanelWindow(CallHub& hub, std::function<QString(int)> speedName, QWidget* parent)
    : forms::Loadable<QWidget>(parent, Qt::Window), m_hub(&hub), m_speedName(std::move(speedName)),
      TreeState(new QTreeWidget(this)), CmbFaultMember(new QComboBox(this)),
      TxtFaultCode(new QSpinBox(this)), CmdSetFault(new QPushButton(u"Задать сбой"_s, this)),
      CmdClearFault(new QPushButton(u"Снять сбой"_s, this)), LblFault(new QLabel(this)),
      m_snapshots(new SnapshotFrame(hub, m_link, this)), StatusText(new QLabel(this))
{
    setObjectName(u"PanelWindow"_s);
    setWindowTitle(u"Устройство"_s);
    TreeState->setObjectName(u"TreeState"_s);
    CmbFaultMember->setObjectName(u"CmbFaultMember"_s);
    TxtFaultCode->setObjectName(u"TxtFaultCode"_s);
    CmdSetFault->setObjectName(u"CmdSetFault"_s);
    CmdClearFault->setObjectName(u"CmdClearFault"_s);
    LblFault->setObjectName(u"LblFault"_s);
    StatusText->setObjectName(u"StatusText"_s);

    TreeState->setColumnCount(2);
    TreeState->setHeaderHidden(true);
    TreeState->setRootIsDecorated(false);
    TreeState->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    auto* sensors = new QGroupBox(u"Датчики"_s, this);
    auto* sensorGrid = new QGridLayout(sensors);
    int index = 0;
    for (const emulator::SensorSwitch& sensor : emulator::kSensorSwitches) {
        auto* box = new QCheckBox(QString::fromUtf16(sensor.caption), sensors);
        box->setObjectName(u"ChkSensor_"_s + QString::fromUtf16(sensor.name));
        sensorGrid->addWidget(box, index / 2, index % 2);
        connect(box, &QCheckBox::toggled, this, &PanelWindow::Sensor_Toggled);
        m_sensors << box;
        ++index;
    }

    auto* fault = new QGroupBox(u"Сбой следующего вызова"_s, this);
    auto* faultRow = new QHBoxLayout;
    CmbFaultMember->addItems(emulator::EmulatedDriver::faultableMembers());
    TxtFaultCode->setRange(1, INT16_MAX);
    TxtFaultCode->setValue(static_cast<int>(ErrorCode::InjectedFault));
    faultRow->addWidget(CmbFaultMember, 1);
    faultRow->addWidget(new QLabel(u"код"_s, fault));
    faultRow->addWidget(TxtFaultCode);
    faultRow->addWidget(CmdSetFault);
    faultRow->addWidget(CmdClearFault);
    auto* faultLayout = new QVBoxLayout(fault);
    faultLayout->addLayout(faultRow);
    faultLayout->addWidget(LblFault);

    // On a screen too low for the whole panel the window keeps to the screen and its content
    // scrolls.
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(TreeState, 1);
    layout->addWidget(sensors);
    layout->addWidget(fault);
    layout->addWidget(m_snapshots);
    layout->addWidget(StatusText);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(u"ScrPanel"_s);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    // Only a screen too low for the panel scrolls it, upwards and downwards; its width is always
    // that of its content, so no switch or button is ever cut at the side.
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(content->minimumSizeHint().width() +
                            scroll->verticalScrollBar()->sizeHint().width());
    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->addWidget(scroll);

    connect(CmdSetFault, &QPushButton::clicked, this, &PanelWindow::CmdSetFault_Click);
    connect(CmdClearFault, &QPushButton::clicked, this, &PanelWindow::CmdClearFault_Click);
    connect(m_snapshots, &SnapshotFrame::statusChanged, this, &PanelWindow::SetStatus);
    // One reading of the device per frame however many calls come, and none while the window is
    // not seen.
    auto* follower = new ViewFollower(*this, [this] { Refresh(); });
    connect(&hub, &CallHub::recorded, follower, &ViewFollower::poke);
    connect(&hub, &CallHub::deviceReplaced, follower, &ViewFollower::poke);

    setKeys(forms::EscapeKey::Closes);
    resize(460, 760);
    Refresh();
}

void PanelWindow::SetStatus(const QString& text)
{
    StatusText->setText(text);
}

void PanelWindow::ShowFacts(const QList<PanelFact>& facts)
{
    // After a call the rows are usually the same and only values change: the tree keeps its items
    // and lays out nothing anew.
    const bool sameRows = std::equal(facts.cbegin(), facts.cend(), m_facts.cbegin(), m_facts.cend(),
                                     [](const PanelFact& a, const PanelFact& b) {
                                         return a.group == b.group && a.caption == b.caption;
                                     });
    if (sameRows) {
        for (qsizetype i = 0; i < facts.size(); ++i) {
            if (facts[i].value != m_facts[i].value)
                m_items[i]->setText(1, facts[i].value);
        }
        m_facts = facts;
        return;
    }
    TreeState->clear();
    m_items.clear();
    QTreeWidgetItem* group = nullptr;
    for (const PanelFact& fact : facts) {
        if (!group || group->text(0) != fact.group) {
            group = new QTreeWidgetItem(TreeState, {fact.group});
            QFont bold = group->font(0);
            bold.setBold(true);
            group->setFont(0, bold);
        }
        m_items << new QTreeWidgetItem(TreeState, {u"    "_s + fact.caption, fact.value});
    }
    m_facts = facts;
}

void PanelWindow::Refresh()
{
    const std::optional<DeviceAddress> address = m_hub ? m_hub->device() : std::nullopt;
    emulator::DeviceSession* session = m_link.session(address);
    m_snapshots->Follow(session ? address : std::nullopt);
    setEnabled(session != nullptr || !address);
    if (!session) {
        ShowFacts({});
        SetStatus(m_link.error());
        for (QCheckBox* box : m_sensors)
            box->setEnabled(false);
        CmdSetFault->setEnabled(false);
        CmdClearFault->setEnabled(false);
        return;
    }
    ShowFacts(panelFacts(session->device(), *address, m_speedName));
    const emulator::DeviceState& state = session->device().state();
    m_showing = true;
    qsizetype i = 0;
    for (const emulator::SensorSwitch& sensor : emulator::kSensorSwitches) {
        m_sensors[i]->setEnabled(true);
        m_sensors[i++]->setChecked(state.sensors.*(sensor.flag));
    }
    m_showing = false;
    CmdSetFault->setEnabled(true);
    CmdClearFault->setEnabled(!state.faultMember.isEmpty());
    LblFault->setText(state.faultMember.isEmpty()
                          ? u"Сбой не задан"_s
                          : u"Задан: %1 → код %2"_s.arg(state.faultMember).arg(state.faultCode));
}

void PanelWindow::Steer(const std::function<void(emulator::DeviceState&)>& edit)
{
    emulator::DeviceSession* session = m_link.session(m_hub ? m_hub->device() : std::nullopt);
    if (!session) {
        SetStatus(m_link.error());
        return;
    }
    // One write transaction: it waits for the device's lock as any change does.
    const emulator::Status done = emulator::steer(*session, edit);
    SetStatus(done ? QString() : u"Изменение не сохранено: "_s + done.detail());
    Refresh();
}

void PanelWindow::Sensor_Toggled()
{
    const qsizetype index = m_sensors.indexOf(qobject_cast<QCheckBox*>(sender()));
    if (m_showing || index < 0)
        return;
    // Only the switch the operator turned: the others may have been changed elsewhere.
    bool emulator::Sensors::*flag = emulator::kSensorSwitches[index].flag;
    const bool on = m_sensors[index]->isChecked();
    Steer([&](emulator::DeviceState& s) { s.sensors.*flag = on; });
}

void PanelWindow::CmdSetFault_Click()
{
    const QString member = CmbFaultMember->currentText();
    const int code = TxtFaultCode->value();
    Steer([&](emulator::DeviceState& s) {
        s.faultMember = member;
        s.faultCode = code;
    });
}

void PanelWindow::CmdClearFault_Click()
{
    Steer([](emulator::DeviceState& s) {
        s.faultMember.clear();
        s.faultCode = 0;
    });
}

} // namespace view
