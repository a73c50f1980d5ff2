#pragma once

#include "CallJournal.h"
#include "Driver.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class TracingDriver;

namespace view {

// Where the device behind the driver keeps its memory, once the driver is connected to one.
struct DeviceAddress
{
    QString folder;
    int port = 1;
    int speed = 0; // the position of the exchange speed the driver was given

    bool operator==(const DeviceAddress&) const = default;
};

// What the hub may ask about the driver it watches, without making a driver call of its own: the
// program's calls and their order must stay exactly those of its windows.
struct DriverContext
{
    std::function<std::int32_t()> extendedCode;           // the extended code of the last failure
    std::function<QString(int code)> comment;             // the comment of a result code
    std::function<std::optional<DeviceAddress>()> device; // nothing before a connection
};

// Follows every call of one traced driver: keeps the run's journal and tells the view windows of
// each call as it completes. The hub lives as long as the driver it watches.
class CallHub : public QObject
{
    Q_OBJECT

public:
    // Wraps `inner` in a tracing driver whose calls all reach a new hub.
    static std::shared_ptr<TracingDriver> trace(std::shared_ptr<Driver> inner,
                                                DriverContext context,
                                                qsizetype journalCapacity = 100'000);
    // The hub of a driver made by trace(), or null.
    static CallHub* of(const Driver* driver);

    ~CallHub() override;

    const CallJournal& journal() const { return m_journal; }
    std::optional<DeviceAddress> device() const;

signals:
    void recorded(const view::JournalEntry& entry);
    // The whole device was replaced from outside the driver (a snapshot restored): whatever shows
    // it must read it anew.
    void deviceReplaced();

private:
    CallHub(const Driver* driver, DriverContext context, qsizetype journalCapacity);
    void record(const DriverCall& call);
    QString commentOf(int code);

    const Driver* m_driver;
    DriverContext m_context;
    CallJournal m_journal;
    QHash<int, QString> m_comments; // the comment of each result code seen, asked once
};

} // namespace view
