#include "DeviceStore.h"

#include "DeviceStoreDatabase.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace emulator {
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
    const bool existing = mode == OpenMode::ExistingOnly || mode == OpenMode::InUse;
    if (existing && !QFileInfo::exists(path))
        return Opened(storageError(), u"there is no device on port %1 in %2"_s.arg(port).arg(
                                          QDir::toNativeSeparators(folder)));
    if (!QDir().mkpath(folder))
        return Opened(storageError(), u"cannot create the folder %1"_s.arg(folder));

    auto database = std::make_unique<Database>();
    if (Status s = database->connect(path); !s)
        return Opened(s.failure(), s.detail());
    std::unique_ptr<DeviceStore> store(new DeviceStore(std::move(database)));
    Database& d = *store->m_db;

    // Write-ahead logging makes a commit one append to the log. Every commit is in the file
    // before the call returns, so killing the process loses nothing; NORMAL leaves the flush to
    // the disk to checkpoints, so only a power cut of the host itself could lose the last calls.
    // A log that grew large (a whole device restored through it) shrinks back once copied.
    for (const QString& pragma : {u"PRAGMA journal_mode=WAL"_s, u"PRAGMA synchronous=NORMAL"_s,
                                  u"PRAGMA journal_size_limit=4194304"_s}) {
        if (Status s = d.exec(pragma); !s)
            return Opened(s.failure(), s.detail());
    }
    // A device being replaced may be damaged: it is about to be emptied anyway.
    if (mode != OpenMode::Replace && mode != OpenMode::InUse) {
        if (Status s = d.checkDamage(); !s)
            return Opened(s.failure(), s.detail());
    }

    // The tables and a new device are made in one transaction, so that two processes opening a
    // new device at once cannot both create it, and a refused database is left untouched.
    if (Status s = d.exec(u"BEGIN IMMEDIATE"_s); !s)
        return Opened(s.failure(), s.detail());
    const auto abandon = [&](Failure failure, const QString& detail) {
        d.exec(u"ROLLBACK"_s);
        return Opened(failure, detail);
    };
    if (Status s = d.makeTables(mode); !s)
        return abandon(s.failure(), s.detail());
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
            fresh.activateEklz(QDateTime::currentDateTime());
            d.putState->bindValue(0, fresh.serialize());
            if (Status s = d.exec(*d.putState); !s)
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
    m_db->writes = 0;
    return m_db->begin.run();
}

Status DeviceStore::commit()
{
    Status s = m_db->write(m_db->commit);
    if (!s)
        rollback();
    return s;
}

void DeviceStore::rollback()
{
    // A failed commit may have ended the transaction already: then there is nothing to undo.
    m_db->rollback.run();
}

void DeviceStore::failWrite(int number)
{
    m_db->failingWrite = number;
    m_db->writes = 0;
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
    Expected<QMap<int, Raster>> pictures = m_db->loadPictures();
    if (!pictures)
        return Expected<DeviceState>(pictures.failure(), pictures.detail());
    state->pictures = std::move(*pictures);
    m_db->dataVersion = m_db->currentDataVersion();
    return std::move(*state);
}

Status DeviceStore::save(const DeviceState& state, const Effects& effects)
{
    Database& d = *m_db;
    const QByteArray record = state.serialize();
    d.saveState.bindInPlace(1, record);
    Status s = d.write(d.saveState);
    // A state row that vanished (another program's damage) would take the new state nowhere.
    if (s && sqlite3_changes(handleOf(d.db)) != 1)
        s = Status(damaged(), u"%1 holds no device state"_s.arg(path()));
    for (qsizetype i = 0; s && i < effects.tape.size(); ++i) {
        d.addLine.bind(1, effects.tape[i]);
        s = d.write(d.addLine);
        const int style = effects.tapeStyles.value(i, 0);
        const bool cut = effects.tapeCuts.contains(i);
        if (s && (style != 0 || cut)) {
            d.addMark.bind(1, sqlite3_last_insert_rowid(handleOf(d.db)));
            d.addMark.bind(2, style);
            d.addMark.bind(3, cut ? 1 : 0);
            s = d.write(d.addMark);
        }
    }
    for (qsizetype i = 0; s && i < effects.slips.size(); ++i) {
        d.addSlipLine->bindValue(0, textValue(effects.slips[i]));
        s = d.write(*d.addSlipLine);
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
        s = d.write(*d.addDocument);
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
        s = d.write(*d.addShift);
        if (s && shift.kpk > 0) {
            s = d.addToEklz(shift.kpk, shift.number, kEklzZReport, shift.closedAt,
                            shift.counters[Counter::SalesTotal], shift.lines);
        }
    }
    if (s && !effects.pictures.isEmpty())
        s = d.savePictures(effects.pictures);
    return s;
}

Expected<DeletedRecords> DeviceStore::reset(const DeviceState& state)
{
    // A damaged database cannot be trusted to empty table by table: SQLite empties the file.
    const bool damagedFile = !m_db->checkDamage();
    if (damagedFile) {
        if (Status s = m_db->wipe(); !s)
            return Expected<DeletedRecords>(s.failure(), s.detail());
    }
    if (Status s = beginWrite(); !s)
        return Expected<DeletedRecords>(s.failure(), s.detail());
    Expected<DeletedRecords> deleted =
        damagedFile ? Expected<DeletedRecords>(DeletedRecords{0, 0, 0, true}) : m_db->records();
    Status s =
        deleted ? m_db->exec(u"DELETE FROM tape"_s) : Status(deleted.failure(), deleted.detail());
    for (const char16_t* table :
         {u"slips", u"tape_marks", u"documents", u"shifts", u"eklz", u"pictures"}) {
        if (s)
            s = m_db->exec(u"DELETE FROM "_s + QString::fromUtf16(table));
    }
    if (s) {
        m_db->putState->bindValue(0, state.serialize());
        s = m_db->exec(*m_db->putState);
    }
    if (s)
        s = commit();
    else
        rollback();
    if (!s)
        return Expected<DeletedRecords>(s.failure(), s.detail());
    return deleted;
}

bool DeviceStore::changedElsewhere()
{
    const qint64 version = m_db->currentDataVersion();
    if (version == m_db->dataVersion)
        return false;
    m_db->dataVersion = version;
    return true;
}

} // namespace emulator
