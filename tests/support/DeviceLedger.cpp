#include "DeviceLedger.h"

#include "DeviceLedgerRecords.h"
#include "DeviceState.h"
#include "DeviceStore.h"

#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <algorithm>
#include <functional>
#include <numeric>

using namespace Qt::StringLiterals;

namespace ledger {
namespace {

using emulator::Counter;
using emulator::DocumentType;
using emulator::Kopecks;
using namespace detail;

// A family of documents and the count and sum counters that must hold them.
struct Family
{
    const char16_t* name;
    QList<DocumentType> types;
    bool cancelled;
    Counter count;
    Counter sum;
};

const QList<DocumentType> kFiscalTypes{
    DocumentType::Sale,           DocumentType::SaleAnnulment, DocumentType::CashIn,
    DocumentType::CashOut,        DocumentType::Refund,        DocumentType::Purchase,
    DocumentType::PurchaseReturn,
};

const Family kFamilies[] = {
    {u"sales", {DocumentType::Sale}, false, Counter::SaleCount, Counter::SalesTotal},
    {u"annulments",
     {DocumentType::SaleAnnulment},
     false,
     Counter::AnnulmentCount,
     Counter::AnnulmentSum},
    {u"refunds", {DocumentType::Refund}, false, Counter::RefundCount, Counter::RefundSum},
    {u"cash-ins", {DocumentType::CashIn}, false, Counter::CashInCount, Counter::CashInSum},
    {u"cash-outs", {DocumentType::CashOut}, false, Counter::CashOutCount, Counter::CashOutSum},
    {u"purchases", {DocumentType::Purchase}, false, Counter::PurchaseCount, Counter::PurchaseSum},
    {u"purchase returns",
     {DocumentType::PurchaseReturn},
     false,
     Counter::PurchaseReturnCount,
     Counter::PurchaseReturnSum},
    {u"sale returns",
     {DocumentType::SaleAnnulment, DocumentType::Refund},
     false,
     Counter::SaleReturnCount,
     Counter::SaleReturnSum},
    {u"cancelled documents", kFiscalTypes, true, Counter::CancelledCount, Counter::CancelledSum},
};

bool isFiscal(int type)
{
    return kFiscalTypes.contains(static_cast<DocumentType>(type));
}

// Counters that are not sums of what happened: the last Z number and the drawer's cash when the
// shift began.
bool isAdditive(int number)
{
    return number != int(Counter::LastZNumber) && number != int(Counter::CashAtShiftStart);
}

// The device's tables as written, read through a connection of their own that only reads.
std::optional<Records> readRecords(const QString& path, QString* error)
{
    const QString name = u"ledger-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces);
    std::optional<Records> records;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(path);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        QSqlQuery query(db);
        const auto select = [&](const QString& sql, const std::function<void()>& row) {
            if (!query.exec(sql)) {
                *error = sql + u": "_s + query.lastError().text();
                return false;
            }
            while (query.next())
                row();
            return true;
        };
        const auto integer = [&](int column) { return query.value(column).toLongLong(); };
        Records r;
        const bool read =
            db.open() &&
            select(u"SELECT number, type, shift, total, cancelled FROM documents"_s,
                   [&] {
                       r.documents.append({int(integer(0)), int(integer(1)), int(integer(2)),
                                           integer(3), integer(4) != 0});
                   }) &&
            select(u"SELECT number, counters FROM shifts ORDER BY number"_s,
                   [&] {
                       ShiftRecord shift{int(integer(0)), {}};
                       const QStringList values = query.value(1).toString().split(u' ');
                       for (qsizetype i = 0; i < values.size() && i < emulator::kCounterCount; ++i)
                           shift.counters[std::size_t(i)] = values[i].toLongLong();
                       r.shifts.append(shift);
                   }) &&
            select(u"SELECT kpk, shift, kind, total FROM eklz ORDER BY kpk"_s, [&] {
                r.eklz.append({int(integer(0)), int(integer(1)), int(integer(2)), integer(3)});
            });
        if (!db.isOpen())
            *error = u"the database cannot be opened: "_s + db.lastError().text();
        if (read)
            records = std::move(r);
    }
    QSqlDatabase::removeDatabase(name);
    return records;
}

// Each family's counters against the documents of `documents`.
void checkFamilies(const Values& counters, const QList<DocumentRecord>& documents,
                   const QString& where, QStringList& out)
{
    for (const Family& family : kFamilies) {
        qint64 count = 0;
        qint64 sum = 0;
        for (const DocumentRecord& d : documents) {
            if (d.cancelled == family.cancelled &&
                family.types.contains(static_cast<DocumentType>(d.type))) {
                ++count;
                sum += d.total;
            }
        }
        if (at(counters, family.count) != count || at(counters, family.sum) != sum)
            out << u"%1: %2 counted %3 for %4, the documents on record are %5 for %6"_s
                       .arg(where, QString::fromUtf16(family.name))
                       .arg(at(counters, family.count))
                       .arg(at(counters, family.sum))
                       .arg(count)
                       .arg(sum);
    }
}

void checkNumbers(const emulator::DeviceState& s, const Records& r, QStringList& out)
{
    QList<int> numbers;
    int fiscal = 0;
    int nonFiscal = 0;
    for (const DocumentRecord& d : r.documents) {
        if (d.number > 0)
            numbers.append(d.number);
        if (!d.cancelled && isFiscal(d.type))
            ++fiscal;
        if (!d.cancelled && d.type == int(DocumentType::Text))
            ++nonFiscal;
    }
    std::sort(numbers.begin(), numbers.end());
    QList<int> expected(s.allDocuments);
    std::iota(expected.begin(), expected.end(), 1);
    if (numbers != expected)
        out << u"the numbered documents on record are not 1 to %1, each once (%2 of them)"_s
                   .arg(s.allDocuments)
                   .arg(numbers.size());
    if (s.document && s.document->number != 0 && s.document->number != s.allDocuments + 1)
        out << u"the open document has number %1, the next one is %2"_s.arg(s.document->number)
                   .arg(s.allDocuments + 1);
    if (s.fiscalDocuments != fiscal)
        out << u"%1 fiscal documents counted, %2 issued on record"_s.arg(s.fiscalDocuments)
                   .arg(fiscal);
    if (s.nonFiscalDocuments != nonFiscal)
        out << u"%1 non-fiscal documents counted, %2 issued on record"_s.arg(s.nonFiscalDocuments)
                   .arg(nonFiscal);
}

void checkShifts(const emulator::DeviceState& s, const Records& r, QStringList& out)
{
    for (const Period& period : periods(s, r))
        checkFamilies(period.counters, period.documents, period.name, out);

    for (int number = 1; number <= emulator::kCounterCount; ++number) {
        if (!isAdditive(number))
            continue;
        qint64 sum = s.shiftCounters.at(number);
        for (const ShiftRecord& shift : r.shifts)
            sum += shift.counters[std::size_t(number - 1)];
        if (s.totalCounters.at(number) != sum)
            out << u"general counter %1 is %2, its shifts add up to %3"_s.arg(number)
                       .arg(s.totalCounters.at(number))
                       .arg(sum);
    }

    for (qsizetype i = 0; i < r.shifts.size(); ++i) {
        const ShiftRecord& shift = r.shifts[i];
        if (shift.number != i + 1 || at(shift.counters, Counter::LastZNumber) != i + 1)
            out << u"closed shift %1 of the fiscal memory is number %2 with Z report %3"_s
                       .arg(i + 1)
                       .arg(shift.number)
                       .arg(at(shift.counters, Counter::LastZNumber));
    }
    if (s.totalCounters[Counter::LastZNumber] != r.shifts.size() ||
        s.shiftNumber != r.shifts.size() + (s.shiftOpen ? 1 : 0))
        out << u"last Z report %1 and %2 shifts opened, %3 closed shifts on record"_s
                   .arg(s.totalCounters[Counter::LastZNumber])
                   .arg(s.shiftNumber)
                   .arg(r.shifts.size());
}

void checkControlTape(const emulator::DeviceState& s, const Records& r, QStringList& out)
{
    for (qsizetype i = 0; i < r.eklz.size(); ++i) {
        if (r.eklz[i].kpk != i + 1) {
            out << u"the control tape's KPK numbers are not 1 to %1"_s.arg(r.eklz.size());
            break;
        }
    }
    if (s.lastKpk != r.eklz.size())
        out << u"last KPK %1, %2 records on the control tape"_s.arg(s.lastKpk).arg(r.eklz.size());

    // By shift and kind: how many records and their totals, on the control tape and in the
    // documents and closed shifts it must mirror.
    using Key = std::pair<int, int>;
    QMap<Key, std::pair<qint64, qint64>> onTape;
    QMap<Key, std::pair<qint64, qint64>> expected;
    for (const EklzRecord& e : r.eklz) {
        auto& entry = onTape[{e.shift, e.kind}];
        entry.first += 1;
        entry.second += e.total;
    }
    for (const DocumentRecord& d : r.documents) {
        if (isFiscal(d.type)) {
            auto& entry = expected[{d.shift, d.type}];
            entry.first += 1;
            entry.second += d.total;
        }
    }
    for (const ShiftRecord& shift : r.shifts) {
        auto& entry = expected[{shift.number, emulator::kEklzZReport}];
        entry.first += 1;
        entry.second += at(shift.counters, Counter::SalesTotal);
    }
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (onTape.value(it.key()) != it.value())
            out << u"shift %1, kind %2: the control tape holds %3 records for %4, expected %5"
                   u" for %6"_s.arg(it.key().first)
                       .arg(it.key().second)
                       .arg(onTape.value(it.key()).first)
                       .arg(onTape.value(it.key()).second)
                       .arg(it.value().first)
                       .arg(it.value().second);
    }
    for (auto it = onTape.cbegin(); it != onTape.cend(); ++it) {
        if (!expected.contains(it.key()))
            out << u"shift %1, kind %2: %3 records on the control tape that nothing issued"_s
                       .arg(it.key().first)
                       .arg(it.key().second)
                       .arg(it.value().first);
    }
}

void checkRunningTotal(const emulator::DeviceState& s, QStringList& out)
{
    const Kopecks running = s.eklzActivationTotal + s.totalCounters[Counter::SalesTotal];
    if (s.grandSalesTotal != running)
        out << u"running sales total %1, the control tape started at %2 and %3 was sold since"_s
                   .arg(s.grandSalesTotal)
                   .arg(s.eklzActivationTotal)
                   .arg(s.totalCounters[Counter::SalesTotal]);
}

} // namespace

namespace detail {

QList<Period> periods(const emulator::DeviceState& state, const Records& records)
{
    const auto ofShift = [&](int shift) {
        QList<DocumentRecord> chosen;
        std::copy_if(records.documents.cbegin(), records.documents.cend(),
                     std::back_inserter(chosen),
                     [shift](const DocumentRecord& d) { return d.shift == shift; });
        return chosen;
    };
    QList<Period> all{{u"all time"_s, state.totalCounters.values(), records.documents}};
    for (const ShiftRecord& shift : records.shifts)
        all.append({u"shift %1"_s.arg(shift.number), shift.counters, ofShift(shift.number)});
    if (state.shiftOpen)
        all.append({u"open shift %1"_s.arg(state.shiftNumber), state.shiftCounters.values(),
                    ofShift(state.shiftNumber), true});
    return all;
}

} // namespace detail

QStringList disagreements(const QString& folder, int port)
{
    emulator::DeviceState state;
    {
        auto store = emulator::DeviceStore::open(folder, port, emulator::OpenMode::ExistingOnly);
        if (!store)
            return {u"the device cannot be opened: "_s + store.detail()};
        const emulator::Expected<emulator::DeviceState> loaded = (*store)->load();
        if (!loaded)
            return {u"the device's state cannot be read: "_s + loaded.detail()};
        state = *loaded;
    }
    QString error;
    const std::optional<Records> records =
        readRecords(emulator::DeviceStore::databasePath(folder, port), &error);
    if (!records)
        return {u"the device's records cannot be read: "_s + error};
    QStringList out;
    checkNumbers(state, *records, out);
    checkShifts(state, *records, out);
    checkControlTape(state, *records, out);
    checkRunningTotal(state, out);
    checkDrawer(state, *records, out);
    checkOperations(state, *records, out);
    return out;
}

QString integrity(const QString& databasePath)
{
    const QString connection = u"integrity-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
        db.setDatabaseName(databasePath);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(u"PRAGMA integrity_check"_s) && query.next())
                result = query.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return result;
}

} // namespace ledger
