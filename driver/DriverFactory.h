#pragma once

#include "Driver.h"

#include <QString>

#include <functional>
#include <memory>

// The ProgID under which the fiscal printer's driver object is known.
inline const QString kQuoltProgId = QStringLiteral("ZMT.Quolt840MX.1");

using DriverCreator = std::function<std::shared_ptr<Driver>()>;

// Registers (or, with an empty creator, removes) the creator of the driver known by `progId`.
// A later registration for the same ProgID replaces the earlier one: tests put their fake there.
void registerDriver(const QString& progId, DriverCreator creator);

struct DriverCreation
{
    std::shared_ptr<Driver> driver; // null when the object could not be created
    QString error;                  // why, in the operator's language, when driver is null
};

DriverCreation createDriver(const QString& progId);
