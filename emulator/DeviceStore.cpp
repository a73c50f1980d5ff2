#include "DeviceStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QVariant>

#include <atomic>

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return u"quolt-device-%1"_s.arg(++counter);
}

const char16_t* const kSchema[] = {
    u"CREATE TABLE IF NOT EXISTS device(id INTEGER PRIMARY KEY CHECK (id = 1), state BLOB NOT "
    u"NULL)",
    u"CREATE TABLE IF NOT EXISTS tape(id INTEGER PRIMARY KEY AUTOINCREMENT, line TEXT NOT NULL)",
    u"CREATE TABLE IF NOT EXISTS documents(id INTEGER PRIMARY KEY AUTOINCREMENT, number INTEGER,"
    u" type INTEGER, shift INTEGER, closed_at TEXT, total INTEGER, cancelled INTEGER, text TEXT)",
    u"CREATE TABLE IF NOT EXISTS shifts(number INTEGER PRIMARY KEY, opened_at TEXT,"
    u" closed_at TEXT, counters TEXT)",
};

} // namespace

DeviceStore::DeviceStore(QString connectionName, QString path)
    : m_connectionName(std::move(connectionName)), m_path(std::move(path))
{
}

DeviceStore::~DeviceStore()
{
    m_saveState.reset();
    m_addLine.reset();
    m_addDocument.reset();
    m_addShift.reset();
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QString DeviceStore::databasePath(const QString& folder, int port)
{
    return QDir(folder).filePath(u"quolt-com%1.sqlite"_s.arg(port));
}

std::unique_ptr<DeviceStore> DeviceStore::open(const QString& folder, int port, QString* error)
{
    const auto report = [error](const QString& text) {
        if (error)
            *error = text;
        return nullptr;
    };
    if (!QDir().mkpath(folder))
        return report(u"cannot create the folder %1"_s.arg(folder));
    std::unique_ptr<DeviceStore> store(
        new DeviceStore(nextConnectionName(), databasePath(folder, port)));
    store->m_db = QSqlDatabase::addDatabase(u"QSQLITE"_s, store->m_connectionName);
    store->m_db.setDatabaseName(store->m_path);
    store->m_db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=5000"_s);
    if (!store->m_db.open())
        return report(store->m_db.lastError().text());
    // Write-ahead logging makes a commit one append to the log. Every commit is in the file
    // before the call returns, so killing the process loses nothing; NORMAL leaves the flush to
    // the disk to checkpoints, so only a power cut of the host itself could lose the last calls.
    if (!store->exec(u"PRAGMA journal_mode=WAL"_s) || !store->exec(u"PRAGMA synchronous=NORMAL"_s))
        return report(store->m_error);
    for (const char16_t* statement : kSchema) {
        if (!store->exec(QString::fromUtf16(statement)))
            return report(store->m_error);
    }
    if (!store->prepare())
        return report(store->m_error);
    if (!store->createIfMissing())
        return report(store->m_error);
    store->m_dataVersion = store->dataVersion();
    return store;
}

bool DeviceStore::createIfMissing()
{
    // Looked at and written in one transaction, so that two processes opening a new device at
    // once cannot both create it.
    if (!beginWrite())
        return false;
    QSqlQuery count(m_db);
    if (!count.exec(u"SELECT COUNT(*) FROM device"_s) || !count.next()) {
        m_error = count.lastError().text();
        rollback();
        return false;
    }
    const bool missing = count.value(0).toInt() == 0;
    count.finish();
    if (missing) {
        m_saveState->bindValue(0, DeviceState{}.serialize());
        if (!exec(*m_saveState)) {
            rollback();
            return false;
        }
    }
    return commit();
}

bool DeviceStore::prepare()
{
    m_saveState.emplace(m_db);
    m_addLine.emplace(m_db);
    m_addDocument.emplace(m_db);
    m_addShift.emplace(m_db);
    const bool ok =
        m_saveState->prepare(u"INSERT OR REPLACE INTO device(id, state) VALUES (1, ?)"_s) &&
        m_addLine->prepare(u"INSERT INTO tape(line) VALUES (?)"_s) &&
        m_addDocument->prepare(u"INSERT INTO documents(number, type, shift, closed_at, total,"
                               u" cancelled, text) VALUES (?, ?, ?, ?, ?, ?, ?)"_s) &&
        m_addShift->prepare(u"INSERT OR REPLACE INTO shifts(number, opened_at, closed_at, counters)"
                            u" VALUES (?, ?, ?, ?)"_s);
    if (!ok)
        m_error = m_db.lastError().text();
    return ok;
}

bool DeviceStore::exec(QSqlQuery& query)
{
    if (query.exec())
        return true;
    m_error = query.lastError().text();
    return false;
}

bool DeviceStore::exec(const QString& sql)
{
    QSqlQuery query(m_db);
    if (query.exec(sql))
        return true;
    m_error = query.lastError().text();
    return false;
}

bool DeviceStore::beginWrite()
{
    // IMMEDIATE takes the write lock at once (waiting up to the busy timeout for another writer),
    // so the state read next is the one this transaction will replace.
    return exec(u"BEGIN IMMEDIATE"_s);
}

bool DeviceStore::commit()
{
    if (exec(u"COMMIT"_s))
        return true;
    rollback();
    return false;
}

void DeviceStore::rollback()
{
    QSqlQuery query(m_db);
    query.exec(u"ROLLBACK"_s);
}

qint64 DeviceStore::dataVersion()
{
    QSqlQuery query(m_db);
    if (!query.exec(u"PRAGMA data_version"_s) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

std::optional<DeviceState> DeviceStore::load()
{
    QSqlQuery query(m_db);
    if (!query.exec(u"SELECT state FROM device WHERE id = 1"_s) || !query.next()) {
        m_error = query.lastError().text();
        return std::nullopt;
    }
    std::optional<DeviceState> state = DeviceState::deserialize(query.value(0).toByteArray());
    if (!state)
        m_error = u"the device state in %1 cannot be read"_s.arg(m_path);
    m_dataVersion = dataVersion();
    return state;
}

bool DeviceStore::save(const DeviceState& state, const Effects& effects)
{
    m_saveState->bindValue(0, state.serialize());
    bool ok = exec(*m_saveState);
    for (qsizetype i = 0; ok && i < effects.tape.size(); ++i) {
        m_addLine->bindValue(0, effects.tape[i]);
        ok = exec(*m_addLine);
    }
    for (qsizetype i = 0; ok && i < effects.documents.size(); ++i) {
        const Effects::IssuedDocument& d = effects.documents[i];
        m_addDocument->bindValue(0, d.number);
        m_addDocument->bindValue(1, d.type);
        m_addDocument->bindValue(2, d.shift);
        m_addDocument->bindValue(3, d.at.toString(Qt::ISODate));
        m_addDocument->bindValue(4, static_cast<qlonglong>(d.total));
        m_addDocument->bindValue(5, d.cancelled ? 1 : 0);
        m_addDocument->bindValue(6, d.lines.join(u'\n'));
        ok = exec(*m_addDocument);
    }
    for (qsizetype i = 0; ok && i < effects.shifts.size(); ++i) {
        const Effects::ClosedShift& s = effects.shifts[i];
        QStringList values;
        for (qint64 v : s.counters.values())
            values.append(QString::number(v));
        m_addShift->bindValue(0, s.number);
        m_addShift->bindValue(1, s.openedAt.toString(Qt::ISODate));
        m_addShift->bindValue(2, s.closedAt.toString(Qt::ISODate));
        m_addShift->bindValue(3, values.join(u' '));
        ok = exec(*m_addShift);
    }
    return ok;
}

bool DeviceStore::reset(const DeviceState& state)
{
    if (!beginWrite())
        return false;
    bool ok = exec(u"DELETE FROM tape"_s) && exec(u"DELETE FROM documents"_s) &&
              exec(u"DELETE FROM shifts"_s);
    if (ok) {
        m_saveState->bindValue(0, state.serialize());
        ok = exec(*m_saveState);
    }
    if (ok)
        return commit();
    rollback();
    return false;
}

bool DeviceStore::changedElsewhere()
{
    const qint64 version = dataVersion();
    if (version == m_dataVersion)
        return false;
    m_dataVersion = version;
    return true;
}

QStringList DeviceStore::tape(int lastLines)
{
    QSqlQuery query(m_db);
    if (lastLines > 0) {
        query.prepare(u"SELECT line FROM (SELECT id, line FROM tape ORDER BY id DESC LIMIT ?)"
                      u" ORDER BY id"_s);
        query.bindValue(0, lastLines);
    } else {
        query.prepare(u"SELECT line FROM tape ORDER BY id"_s);
    }
    QStringList lines;
    if (!query.exec()) {
        m_error = query.lastError().text();
        return lines;
    }
    while (query.next())
        lines.append(query.value(0).toString());
    return lines;
}

qint64 DeviceStore::tapeLineCount()
{
    QSqlQuery query(m_db);
    if (!query.exec(u"SELECT COUNT(*) FROM tape"_s) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

qint64 DeviceStore::documentCount()
{
    QSqlQuery query(m_db);
    if (!query.exec(u"SELECT COUNT(*) FROM documents"_s) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

} // namespace emulator
