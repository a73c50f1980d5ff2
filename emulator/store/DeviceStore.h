#pragma once

#include "Device.h"
#include "DeviceState.h"
#include "Expected.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace emulator {

// How a device's database is opened. The driver creates a device on first use; the device tool
// works only on a device that exists, except to replace it.
enum class OpenMode {
    CreateIfMissing,
    ExistingOnly,
    // An existing device that its driver has opened, and checked, already: a view that reads and
    // follows it opens at once, without reading every page of a long life again.
    InUse,
    Replace, // opens even a damaged database, for reset()
};

// The kind of a Z report's record on the control tape (documents keep their type, 1 to 9).
inline constexpr int kEklzZReport = 0;

// The two papers the device prints on: the receipt roll and inserted slips.
enum class Paper { Roll, Slip };

// What replacing a device deleted.
struct DeletedRecords
{
    qint64 tapeLines = 0;
    qint64 documents = 0;
    qint64 shifts = 0;
    bool damaged = false; // the database was damaged: its records could not be counted
};

// A line of the paper tape as a picture of the tape needs it.
struct TapeLine
{
    qint64 id = 0; // grows along the tape
    QString text;
    int style = 0;    // TapeStyle
    bool cut = false; // the paper was torn off after this line
};

// The ids of the first and the last line of the tape; both 0 when nothing was printed.
struct TapeSpan
{
    qint64 first = 0;
    qint64 last = 0;
};

// How SQLite runs one read: its statement and the steps of EXPLAIN QUERY PLAN.
struct QueryPlan
{
    QString sql;
    QStringList steps;
};

// One virtual device's memory: an SQLite database holding the state, the paper tape, the control
// tape of issued documents and the fiscal memory of closed shifts. Every change is one write
// transaction, committed before it returns, so a killed process loses nothing a completed call
// did. A database that holds fiscal records but no readable state is damaged: it is refused and
// left as it is, never silently replaced.
class DeviceStore
{
public:
    ~DeviceStore();
    DeviceStore(const DeviceStore&) = delete;
    DeviceStore& operator=(const DeviceStore&) = delete;

    // "<folder>/quolt-com<port>.sqlite"
    static QString databasePath(const QString& folder, int port);
    static Expected<std::unique_ptr<DeviceStore>> open(const QString& folder, int port,
                                                       OpenMode mode = OpenMode::CreateIfMissing);

    const QString& path() const;
    // The SQLite connection of this device, for the readers of its records (EklzArchive).
    const QString& connectionName() const;
    Expected<DeviceState> load();
    // A change of the device is one write transaction: begun before the state is read, so that
    // no other connection (a second program, the device tool) can commit in between.
    Status beginWrite();
    Status commit();
    void rollback();
    // Writes the new state and what the call printed; only inside beginWrite() ... commit().
    Status save(const DeviceState& state, const Effects& effects);
    // A consistent copy of the whole device (state, tapes, fiscal memory) written to `path`,
    // replacing the file there only once the copy is complete and on the disk, and its checksum
    // beside it (checksumPath()).
    Status copyTo(const QString& path);
    // Replaces the whole device by the copy in `path` as one write transaction: it waits for the
    // device's lock as any change does; other connections see the device before or after, never
    // a part of each; a copy that is damaged (or differs from its checksum) or holds no device is
    // refused, and a failure or the death of the process midway leaves the device as it was. The
    // copy itself is only read. `midway`, for the tests, runs after each page copied; the copy
    // stops, the device unchanged, when it answers false.
    Status restoreFrom(const QString& path, const std::function<bool()>& midway = {});
    // The file beside a copy that holds its size and checksum; a copy without one is checked
    // page by page when it is restored.
    static QString checksumPath(const QString& copy);
    // Forgets everything and starts again as the given device (the tool's "create").
    Expected<DeletedRecords> reset(const DeviceState& state);
    // True once after another connection committed a change.
    bool changedElsewhere();
    // For the tests of failures: the write with this number (1 for the first) of the next
    // change, counting its statements and then its commit, fails as a failing disk would.
    void failWrite(int number);

    // The lines printed on the paper, all of them or the last ones.
    Expected<QStringList> tape(int lastLines, Paper paper = Paper::Roll);
    Expected<qint64> tapeLineCount();
    // Parts of the tape, for a view that loads only what it shows. Slips are torn off one by one:
    // each ends where the next one opens, and the newest ends with the paper.
    Expected<TapeSpan> tapeSpan(Paper paper = Paper::Roll);
    Expected<QList<TapeLine>> tapeLines(qint64 firstId, qint64 lastId, Paper paper = Paper::Roll);
    // The last line before `id` after which the paper was torn off; 0 when none.
    Expected<qint64> lastCutBefore(qint64 id, Paper paper = Paper::Roll);
    // The last line before `beforeId` that contains `text`; 0 when none.
    Expected<qint64> findOnTape(const QString& text, qint64 beforeId, Paper paper = Paper::Roll);
    Expected<qint64> documentCount();
    // How each read of the tape above is run, so that a test can hold them to the primary key
    // and the indexes as the tape grows.
    Expected<QList<QueryPlan>> tapeReadPlans();

private:
    struct Database;
    explicit DeviceStore(std::unique_ptr<Database> db);

    std::unique_ptr<Database> m_db;
};

} // namespace emulator
