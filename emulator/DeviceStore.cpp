#include "DeviceStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <optional>

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
    u"CREATE TABLE IF NOT EXISTS slips(id INTEGER PRIMARY KEY AUTOINCREMENT, line TEXT NOT NULL)",
    // How a tape line is drawn (TapeStyle) and whether the paper was torn off after it; only
    // lines that are styled or torn off have a row.
    u"CREATE TABLE IF NOT EXISTS tape_marks(line INTEGER PRIMARY KEY, style INTEGER NOT NULL"
    u" DEFAULT 0, cut INTEGER NOT NULL DEFAULT 0)",
    u"CREATE TABLE IF NOT EXISTS documents(id INTEGER PRIMARY KEY AUTOINCREMENT, number INTEGER,"
    u" type INTEGER, shift INTEGER, closed_at TEXT, total INTEGER, cancelled INTEGER, text TEXT)",
    u"CREATE TABLE IF NOT EXISTS shifts(number INTEGER PRIMARY KEY, opened_at TEXT,"
    u" closed_at TEXT, counters TEXT)",
    // The control tape (EKLZ): every fiscal document and Z report under its KPK number; kind 0
    // is a Z report, otherwise the document type. Found by number, by shift and by closing date.
    u"CREATE TABLE IF NOT EXISTS eklz(kpk INTEGER PRIMARY KEY, shift INTEGER NOT NULL,"
    u" kind INTEGER NOT NULL, at TEXT NOT NULL, total INTEGER NOT NULL, text TEXT NOT NULL)",
    u"CREATE INDEX IF NOT EXISTS eklz_by_shift ON eklz(shift, kpk)",
    u"CREATE INDEX IF NOT EXISTS eklz_by_kind_shift ON eklz(kind, shift)",
    u"CREATE INDEX IF NOT EXISTS eklz_by_kind_date ON eklz(kind, at)",
};

// A null text is an empty text: bound as it is, it would be NULL in a NOT NULL column and fail
// every later save of the device.
QString textValue(const QString& text)
{
    return text.isNull() ? QString(u""_s) : text;
}

Failure storageError()
{
    return Failure{ErrorCode::StorageError, Reason::General};
}

Failure damaged()
{
    return Failure{ErrorCode::DeviceDamaged, Reason::General};
}

} // namespace

struct DeviceStore::Database
{
    QString connectionName;
    QString path;
    QSqlDatabase db;
    std::optional<QSqlQuery> saveState;
    std::optional<QSqlQuery> addLine;
    std::optional<QSqlQuery> addSlipLine;
    std::optional<QSqlQuery> addMark;
    std::optional<QSqlQuery> addDocument;
    std::optional<QSqlQuery> addShift;
    std::optional<QSqlQuery> addEklz;
    qint64 dataVersion = -1;

    ~Database()
    {
        saveState.reset();
        addLine.reset();
        addSlipLine.reset();
        addMark.reset();
        addDocument.reset();
        addShift.reset();
        addEklz.reset();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
    }

    Status exec(QSqlQuery& query)
    {
        if (query.exec())
            return Done{};
        return Status(storageError(), query.lastError().text());
    }

    Status exec(const QString& sql)
    {
        QSqlQuery query(db);
        if (query.exec(sql))
            return Done{};
        return Status(storageError(), query.lastError().text());
    }

    Expected<qint64> count(const QString& sql)
    {
        QSqlQuery query(db);
        if (!query.exec(sql) || !query.next())
            return Expected<qint64>(storageError(), query.lastError().text());
        return query.value(0).toLongLong();
    }

    qint64 currentDataVersion()
    {
        QSqlQuery query(db);
        if (!query.exec(u"PRAGMA data_version"_s) || !query.next())
            return -1;
        return query.value(0).toLongLong();
    }

    Status prepare()
    {
        saveState.emplace(db);
        addLine.emplace(db);
        addSlipLine.emplace(db);
        addMark.emplace(db);
        addDocument.emplace(db);
        addShift.emplace(db);
        addEklz.emplace(db);
        const bool ok =
            saveState->prepare(u"INSERT OR REPLACE INTO device(id, state) VALUES (1, ?)"_s) &&
            addLine->prepare(u"INSERT INTO tape(line) VALUES (?)"_s) &&
            addSlipLine->prepare(u"INSERT INTO slips(line) VALUES (?)"_s) &&
            addMark->prepare(
                u"INSERT OR REPLACE INTO tape_marks(line, style, cut) VALUES (?, ?, ?)"_s) &&
            addDocument->prepare(u"INSERT INTO documents(number, type, shift, closed_at, total,"
                                 u" cancelled, text) VALUES (?, ?, ?, ?, ?, ?, ?)"_s) &&
            addShift->prepare(u"INSERT OR REPLACE INTO shifts(number, opened_at, closed_at,"
                              u" counters) VALUES (?, ?, ?, ?)"_s) &&
            addEklz->prepare(u"INSERT INTO eklz(kpk, shift, kind, at, total, text)"
                             u" VALUES (?, ?, ?, ?, ?, ?)"_s);
        if (!ok)
            return Status(storageError(), db.lastError().text());
        return Done{};
    }

    Status addToEklz(int kpk, int shift, int kind, const QDateTime& at, Kopecks total,
                     const QStringList& lines)
    {
        addEklz->bindValue(0, kpk);
        addEklz->bindValue(1, shift);
        addEklz->bindValue(2, kind);
        addEklz->bindValue(3, at.toString(Qt::ISODate));
        addEklz->bindValue(4, static_cast<qlonglong>(total));
        addEklz->bindValue(5, textValue(lines.join(u'\n')));
        return exec(*addEklz);
    }

    Expected<DeletedRecords> records()
    {
        const Expected<qint64> lines = count(u"SELECT COUNT(*) FROM tape"_s);
        const Expected<qint64> documents = count(u"SELECT COUNT(*) FROM documents"_s);
        const Expected<qint64> shifts = count(u"SELECT COUNT(*) FROM shifts"_s);
        for (const Expected<qint64>* n : {&lines, &documents, &shifts}) {
            if (!*n)
                return Expected<DeletedRecords>(n->failure(), n->detail());
        }
        return DeletedRecords{*lines, *documents, *shifts};
    }
};

DeviceStore::DeviceStore(std::unique_ptr<Database> db) : m_db(std::move(db))
{
}

DeviceStore::~DeviceStore() = default;

QString DeviceStore::databasePath(const QString& folder, int port)
{
    return QDir(folder).filePath(u"quolt-com%1.sqlite"_s.arg(port));
}

const QString& DeviceStore::path() const
{
    return m_db->path;
}

const QString& DeviceStore::connectionName() const
{
    return m_db->connectionName;
}

Expected<std::unique_ptr<DeviceStore>> DeviceStore::open(const QString& folder, int port,
                                                         OpenMode mode)
{
    using Opened = Expected<std::unique_ptr<DeviceStore>>;
    const QString path = databasePath(folder, port);
    if (mode == OpenMode::ExistingOnly && !QFileInfo::exists(path))
        return Opened(storageError(), u"there is no device on port %1 in %2"_s.arg(port).arg(
                                          QDir::toNativeSeparators(folder)));
    if (!QDir().mkpath(folder))
        return Opened(storageError(), u"cannot create the folder %1"_s.arg(folder));

    auto database = std::make_unique<Database>();
    database->connectionName = nextConnectionName();
    database->path = path;
    database->db = QSqlDatabase::addDatabase(u"QSQLITE"_s, database->connectionName);
    database->db.setDatabaseName(path);
    database->db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=5000"_s);
    if (!database->db.open())
        return Opened(storageError(), database->db.lastError().text());
    std::unique_ptr<DeviceStore> store(new DeviceStore(std::move(database)));
    Database& d = *store->m_db;

    // Write-ahead logging makes a commit one append to the log. Every commit is in the file
    // before the call returns, so killing the process loses nothing; NORMAL leaves the flush to
    // the disk to checkpoints, so only a power cut of the host itself could lose the last calls.
    for (const QString& pragma : {u"PRAGMA journal_mode=WAL"_s, u"PRAGMA synchronous=NORMAL"_s}) {
        if (Status s = d.exec(pragma); !s)
            return Opened(s.failure(), s.detail());
    }

    // The tables and a new device are made in one transaction, so that two processes opening a
    // new device at once cannot both create it, and a refused database is left untouched.
    if (Status s = store->beginWrite(); !s)
        return Opened(s.failure(), s.detail());
    const auto abandon = [&](Failure failure, const QString& detail) {
        store->rollback();
        return Opened(failure, detail);
    };
    for (const char16_t* statement : kSchema) {
        if (Status s = d.exec(QString::fromUtf16(statement)); !s)
            return abandon(s.failure(), s.detail());
    }
    if (Status s = d.prepare(); !s)
        return abandon(s.failure(), s.detail());
    if (mode != OpenMode::Replace) {
        const Expected<qint64> states = d.count(u"SELECT COUNT(*) FROM device"_s);
        if (!states)
            return abandon(states.failure(), states.detail());
        if (*states == 0) {
            const Expected<DeletedRecords> held = d.records();
            if (!held)
                return abandon(held.failure(), held.detail());
            if (held->tapeLines + held->documents + held->shifts > 0) {
                return abandon(damaged(),
                               u"%1 holds %2 tape lines, %3 documents and %4 closed shifts but no"
                               u" device state"_s.arg(QDir::toNativeSeparators(path))
                                   .arg(held->tapeLines)
                                   .arg(held->documents)
                                   .arg(held->shifts));
            }
            // A new device comes with its control tape activated.
            DeviceState fresh;
            fresh.eklzActivatedAt = QDateTime::currentDateTime();
            d.saveState->bindValue(0, fresh.serialize());
            if (Status s = d.exec(*d.saveState); !s)
                return abandon(s.failure(), s.detail());
        }
    }
    if (Status s = store->commit(); !s)
        return Opened(s.failure(), s.detail());
    d.dataVersion = d.currentDataVersion();
    return Opened(std::move(store));
}

Status DeviceStore::beginWrite()
{
    // IMMEDIATE takes the write lock at once (waiting up to the busy timeout for another writer),
    // so the state read next is the one this transaction will replace.
    return m_db->exec(u"BEGIN IMMEDIATE"_s);
}

Status DeviceStore::commit()
{
    Status s = m_db->exec(u"COMMIT"_s);
    if (!s)
        rollback();
    return s;
}

void DeviceStore::rollback()
{
    QSqlQuery query(m_db->db);
    query.exec(u"ROLLBACK"_s);
}

Expected<DeviceState> DeviceStore::load()
{
    QSqlQuery query(m_db->db);
    if (!query.exec(u"SELECT state FROM device WHERE id = 1"_s))
        return Expected<DeviceState>(storageError(), query.lastError().text());
    if (!query.next())
        return Expected<DeviceState>(damaged(), u"%1 holds no device state"_s.arg(path()));
    std::optional<DeviceState> state = DeviceState::deserialize(query.value(0).toByteArray());
    if (!state)
        return Expected<DeviceState>(damaged(),
                                     u"the device state in %1 cannot be read"_s.arg(path()));
    m_db->dataVersion = m_db->currentDataVersion();
    return std::move(*state);
}

Status DeviceStore::save(const DeviceState& state, const Effects& effects)
{
    Database& d = *m_db;
    d.saveState->bindValue(0, state.serialize());
    Status s = d.exec(*d.saveState);
    for (qsizetype i = 0; s && i < effects.tape.size(); ++i) {
        d.addLine->bindValue(0, textValue(effects.tape[i]));
        s = d.exec(*d.addLine);
        const int style = effects.tapeStyles.value(i, 0);
        const bool cut = effects.tapeCuts.contains(i);
        if (s && (style != 0 || cut)) {
            d.addMark->bindValue(0, d.addLine->lastInsertId());
            d.addMark->bindValue(1, style);
            d.addMark->bindValue(2, cut ? 1 : 0);
            s = d.exec(*d.addMark);
        }
    }
    for (qsizetype i = 0; s && i < effects.slips.size(); ++i) {
        d.addSlipLine->bindValue(0, textValue(effects.slips[i]));
        s = d.exec(*d.addSlipLine);
    }
    for (qsizetype i = 0; s && i < effects.documents.size(); ++i) {
        const Effects::IssuedDocument& doc = effects.documents[i];
        d.addDocument->bindValue(0, doc.number);
        d.addDocument->bindValue(1, doc.type);
        d.addDocument->bindValue(2, doc.shift);
        d.addDocument->bindValue(3, doc.at.toString(Qt::ISODate));
        d.addDocument->bindValue(4, static_cast<qlonglong>(doc.total));
        d.addDocument->bindValue(5, doc.cancelled ? 1 : 0);
        d.addDocument->bindValue(6, textValue(doc.lines.join(u'\n')));
        s = d.exec(*d.addDocument);
        if (s && doc.kpk > 0)
            s = d.addToEklz(doc.kpk, doc.shift, doc.type, doc.at, doc.total, doc.lines);
    }
    for (qsizetype i = 0; s && i < effects.shifts.size(); ++i) {
        const Effects::ClosedShift& shift = effects.shifts[i];
        QStringList values;
        for (qint64 v : shift.counters.values())
            values.append(QString::number(v));
        d.addShift->bindValue(0, shift.number);
        d.addShift->bindValue(1, shift.openedAt.toString(Qt::ISODate));
        d.addShift->bindValue(2, shift.closedAt.toString(Qt::ISODate));
        d.addShift->bindValue(3, values.join(u' '));
        s = d.exec(*d.addShift);
        if (s && shift.kpk > 0) {
            s = d.addToEklz(shift.kpk, shift.number, kEklzZReport, shift.closedAt,
                            shift.counters[Counter::SalesTotal], shift.lines);
        }
    }
    return s;
}

Expected<DeletedRecords> DeviceStore::reset(const DeviceState& state)
{
    if (Status s = beginWrite(); !s)
        return Expected<DeletedRecords>(s.failure(), s.detail());
    const Expected<DeletedRecords> deleted = m_db->records();
    Status s =
        deleted ? m_db->exec(u"DELETE FROM tape"_s) : Status(deleted.failure(), deleted.detail());
    if (s)
        s = m_db->exec(u"DELETE FROM slips"_s);
    s = m_db->exec(u"DELETE FROM tape_marks"_s);
    if (s)
        s = m_db->exec(u"DELETE FROM documents"_s);
    if (s)
        s = m_db->exec(u"DELETE FROM shifts"_s);
    if (s)
        s = m_db->exec(u"DELETE FROM eklz"_s);
    if (s) {
        m_db->saveState->bindValue(0, state.serialize());
        s = m_db->exec(*m_db->saveState);
    }
    if (s)
        s = commit();
    else
        rollback();
    if (!s)
        return Expected<DeletedRecords>(s.failure(), s.detail());
    return deleted;
}

Status DeviceStore::copyTo(const QString& path)
{
    // VACUUM INTO reads one snapshot of the database, so a copy never holds half a change.
    const QString part = path + u".part"_s;
    QFile::remove(part);
    QSqlQuery query(m_db->db);
    query.prepare(u"VACUUM INTO ?"_s);
    query.bindValue(0, part);
    if (!query.exec())
        return Status(storageError(), query.lastError().text());
    QFile::remove(path);
    if (!QFile::rename(part, path))
        return Status(storageError(), u"cannot write %1"_s.arg(QDir::toNativeSeparators(path)));
    return Done{};
}

Status DeviceStore::restoreFrom(const QString& path)
{
    if (!QFileInfo::exists(path))
        return Status(storageError(), u"there is no %1"_s.arg(QDir::toNativeSeparators(path)));
    QSqlQuery attach(m_db->db);
    attach.prepare(u"ATTACH DATABASE ? AS saved"_s);
    attach.bindValue(0, path);
    if (!attach.exec())
        return Status(storageError(), attach.lastError().text());
    Status s = beginWrite();
    const bool began = s.ok();
    // Every table of the device, the copy's rows in place of the device's own.
    for (const char16_t* table :
         {u"device", u"tape", u"tape_marks", u"slips", u"documents", u"shifts", u"eklz"}) {
        const QString name = QString::fromUtf16(table);
        if (s)
            s = m_db->exec(u"DELETE FROM main.%1"_s.arg(name));
        if (s)
            s = m_db->exec(u"INSERT INTO main.%1 SELECT * FROM saved.%1"_s.arg(name));
    }
    if (s) {
        const Expected<qint64> states = m_db->count(u"SELECT COUNT(*) FROM main.device"_s);
        if (!states || *states != 1)
            s = Status(damaged(), u"%1 holds no device"_s.arg(QDir::toNativeSeparators(path)));
    }
    if (s)
        s = commit();
    else if (began)
        rollback();
    m_db->exec(u"DETACH DATABASE saved"_s);
    return s;
}

bool DeviceStore::changedElsewhere()
{
    const qint64 version = m_db->currentDataVersion();
    if (version == m_db->dataVersion)
        return false;
    m_db->dataVersion = version;
    return true;
}

Expected<QStringList> DeviceStore::tape(int lastLines, Paper paper)
{
    const QString table = paper == Paper::Slip ? u"slips"_s : u"tape"_s;
    QSqlQuery query(m_db->db);
    if (lastLines > 0) {
        query.prepare(u"SELECT line FROM (SELECT id, line FROM %1 ORDER BY id DESC LIMIT ?)"
                      u" ORDER BY id"_s.arg(table));
        query.bindValue(0, lastLines);
    } else {
        query.prepare(u"SELECT line FROM %1 ORDER BY id"_s.arg(table));
    }
    if (!query.exec())
        return Expected<QStringList>(storageError(), query.lastError().text());
    QStringList lines;
    while (query.next())
        lines.append(query.value(0).toString());
    return lines;
}

Expected<TapeSpan> DeviceStore::tapeSpan()
{
    QSqlQuery query(m_db->db);
    if (!query.exec(u"SELECT MIN(id), MAX(id) FROM tape"_s) || !query.next())
        return Expected<TapeSpan>(storageError(), query.lastError().text());
    if (query.value(0).isNull())
        return TapeSpan{};
    return TapeSpan{query.value(0).toLongLong(), query.value(1).toLongLong()};
}

Expected<QList<TapeLine>> DeviceStore::tapeLines(qint64 firstId, qint64 lastId)
{
    QSqlQuery query(m_db->db);
    query.prepare(u"SELECT tape.id, tape.line, tape_marks.style, tape_marks.cut FROM tape"
                  u" LEFT JOIN tape_marks ON tape_marks.line = tape.id"
                  u" WHERE tape.id BETWEEN ? AND ? ORDER BY tape.id"_s);
    query.bindValue(0, firstId);
    query.bindValue(1, lastId);
    if (!query.exec())
        return Expected<QList<TapeLine>>(storageError(), query.lastError().text());
    QList<TapeLine> lines;
    while (query.next()) {
        lines.append(TapeLine{query.value(0).toLongLong(), query.value(1).toString(),
                              query.value(2).toInt(), query.value(3).toInt() != 0});
    }
    return lines;
}

Expected<qint64> DeviceStore::lastCutBefore(qint64 id)
{
    QSqlQuery query(m_db->db);
    query.prepare(u"SELECT MAX(line) FROM tape_marks WHERE cut = 1 AND line < ?"_s);
    query.bindValue(0, id);
    if (!query.exec() || !query.next())
        return Expected<qint64>(storageError(), query.lastError().text());
    return query.value(0).isNull() ? qint64(0) : query.value(0).toLongLong();
}

Expected<qint64> DeviceStore::findOnTape(const QString& text, qint64 beforeId)
{
    QSqlQuery query(m_db->db);
    query.prepare(u"SELECT MAX(id) FROM tape WHERE id < ? AND instr(line, ?) > 0"_s);
    query.bindValue(0, beforeId);
    query.bindValue(1, text);
    if (!query.exec() || !query.next())
        return Expected<qint64>(storageError(), query.lastError().text());
    return query.value(0).isNull() ? qint64(0) : query.value(0).toLongLong();
}

Expected<qint64> DeviceStore::tapeLineCount()
{
    return m_db->count(u"SELECT COUNT(*) FROM tape"_s);
}

Expected<qint64> DeviceStore::documentCount()
{
    return m_db->count(u"SELECT COUNT(*) FROM documents"_s);
}

} // namespace emulator
