#pragma once

#include "CallHub.h"
#include "Device.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace view {

// One line of the device panel: what it tells and its value as the panel shows it.
struct PanelFact
{
    QString group;
    QString caption;
    QString value;

    bool operator==(const PanelFact&) const = default;
};

// The device's state at a glance, as the panel lists it: connection and clock (marked when it is
// stopped), shift, open document, cash and the kicks sent to the drawer, customer display.
// `speedName` names the position of an exchange speed.
QList<PanelFact> panelFacts(const emulator::Device& device, const DeviceAddress& address,
                            const std::function<QString(int)>& speedName);

} // namespace view
