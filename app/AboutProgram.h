#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class Driver;

// What "О программе" tells the operator: the program's version, the device it works with, where
// the virtual devices and the driver's logs are kept, and where the documentation is.
struct AboutFacts
{
    QString version;
    std::int32_t majorVersion = 0;
    std::int32_t minorVersion = 0;
    std::optional<int> port;     // none when the driver does not say
    QString devicesFolder;       // empty when the driver does not say
    QString documentationFolder; // empty when there is none
};

// The facts of this run. The device's address comes from the call tracing, not from a driver
// call: asking about the program must not add calls to the device's journal.
AboutFacts aboutFacts(const Driver& driver, std::int32_t majorVersion, std::int32_t minorVersion);

QString aboutText(const AboutFacts& facts);

// The documentation beside an installed program (<prefix>/share/doc/testquolt), else that of the
// source tree the program was built from, else nothing.
QString documentationFolder(const QString& programFolder);
