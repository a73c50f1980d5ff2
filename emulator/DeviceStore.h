#pragma once

#include "Device.h"
#include "DeviceState.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <memory>
#include <optional>

namespace emulator {

// One virtual device's memory: an SQLite database holding the state, the paper tape, the control
// tape of issued documents and the fiscal memory of closed shifts. Every save is one transaction,
// committed before it returns, so a killed process loses nothing a completed call did.
class DeviceStore
{
public:
    ~DeviceStore();
    DeviceStore(const DeviceStore&) = delete;
    DeviceStore& operator=(const DeviceStore&) = delete;

    // "<folder>/quolt-com<port>.sqlite"
    static QString databasePath(const QString& folder, int port);
    // Opens the database of `port`, creating the folder, the file and a fresh device if missing.
    static std::unique_ptr<DeviceStore> open(const QString& folder, int port, QString* error);

    const QString& path() const { return m_path; }
    std::optional<DeviceState> load();
    // A change of the device is one write transaction: begun before the state is read, so that
    // no other connection (a second program, the device tool) can commit in between.
    bool beginWrite();
    bool commit();
    void rollback();
    // Writes the new state and what the call printed; only inside beginWrite() ... commit().
    bool save(const DeviceState& state, const Effects& effects);
    // Forgets everything and starts again as the given device (the tool's "create").
    bool reset(const DeviceState& state);
    // True once after another connection (the device tool) committed a change.
    bool changedElsewhere();

    QStringList tape(int lastLines);
    qint64 tapeLineCount();
    qint64 documentCount();
    QString lastError() const { return m_error; }

private:
    DeviceStore(QString connectionName, QString path);
    bool prepare();
    bool createIfMissing();
    bool exec(QSqlQuery& query);
    bool exec(const QString& sql);
    qint64 dataVersion();

    QString m_connectionName;
    QString m_path;
    QString m_error;
    QSqlDatabase m_db;
    std::optional<QSqlQuery> m_saveState;
    std::optional<QSqlQuery> m_addLine;
    std::optional<QSqlQuery> m_addDocument;
    std::optional<QSqlQuery> m_addShift;
    qint64 m_dataVersion = -1;
};

} // namespace emulator
