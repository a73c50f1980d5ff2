// What the device tells about itself: one table per query, index -> getter, each row with the
// generation that first answers it.

#include "Device.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <tuple>

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

template <typename Getter> struct InfoRow
{
    std::int32_t index;
    int since; // the first generation that answers it
    Getter get;
};

using NumberGetter = std::int32_t (*)(const Device&);
using TextGetter = QString (*)(const Device&);

template <typename Row, std::size_t N> const Row* findRow(const Row (&rows)[N], std::int32_t index)
{
    const auto found = std::find_if(std::cbegin(rows), std::cend(rows),
                                    [index](const Row& row) { return row.index == index; });
    return found == std::cend(rows) ? nullptr : &*found;
}

std::int32_t flag(bool value)
{
    return value ? 1 : 0;
}

const Sensors& sensors(const Device& d)
{
    return d.state().sensors;
}

bool documentOpen(const Device& d, bool text)
{
    const auto& document = d.state().document;
    return document && documentKind(document->type).text == text;
}

constexpr InfoRow<NumberGetter> kDeviceInfo[] = {
    {1, 0, [](const Device& d) { return flag(sensors(d).paperNearEnd); }},
    {2, 0, [](const Device&) { return 1; }}, // registered with the tax office
    {3, 0, [](const Device& d) { return flag(sensors(d).eklzNearFull); }},
    {4, 0, [](const Device& d) { return flag(d.state().shiftOpen); }},
    {5, 0, [](const Device& d) { return flag(d.state().cashierSet); }},
    {6, 0, [](const Device& d) { return flag(documentOpen(d, false)); }},
    {7, 0, [](const Device& d) { return flag(documentOpen(d, true)); }},
    {8, 0, [](const Device&) { return 0; }}, // never busy
    {9, 0, [](const Device& d) { return flag(sensors(d).printerError); }},
    {10, 0, [](const Device& d) { return flag(sensors(d).paperOut); }},
    {11, 0, [](const Device&) { return 0; }}, // fiscal memory full
    {12, 0, [](const Device&) { return 0; }}, // fiscal memory error
    {13, 0, [](const Device&) { return 0; }}, // an operation failed in the open document
    {14, 0, [](const Device& d) { return flag(!d.checkShiftLimit().ok()); }},
    {23, 0, [](const Device& d) { return d.state().shiftNumber; }},
    {24, 0, [](const Device& d) { return d.state().fiscalDocuments; }},
    {25, 0, [](const Device& d) { return d.state().nonFiscalDocuments; }},
    {26, 0, [](const Device& d) { return d.state().allDocuments; }},
    {27, 0, [](const Device& d) { return d.state().shiftNumber; }},
    {32, 0, [](const Device& d) { return flag(!sensors(d).paperOut && !sensors(d).printerError); }},
    {33, 0, [](const Device&) { return 0; }}, // no second printer is fitted
    {34, 0, [](const Device& d) { return flag(sensors(d).drawerOpen); }},
    {35, 0, [](const Device& d) { return flag(sensors(d).batteryLow); }},
    {36, 0, [](const Device& d) { return flag(!sensors(d).printerError); }},
    {37, 0, [](const Device&) { return 0; }}, // the second printer
    {38, 0, [](const Device& d) { return flag(sensors(d).printerError); }},
    {39, 0, [](const Device& d) { return flag(sensors(d).paperNearEnd); }},
    {40, 0, [](const Device& d) { return flag(sensors(d).eklzNearFull); }},
    {42, 5, [](const Device& d) { return flag(d.state().shiftOpen); }},
    {43, 6, [](const Device&) { return 0; }}, // slip paper end
    {44, 6, [](const Device& d) { return flag(sensors(d).paperOut); }},
    {45, 0, [](const Device&) { return 0; }}, // standard paper
    {102, 0,
     [](const Device& d) {
         const auto& document = d.state().document;
         return document ? static_cast<std::int32_t>(document->type) : 0;
     }},
    {103, 0, [](const Device&) { return 0; }}, // slip printing mode off
    {201, 0, [](const Device& d) { return d.state().major; }},
    {202, 0, [](const Device& d) { return d.state().minor; }},
};

constexpr InfoRow<TextGetter> kTextInfo[] = {
    {20, 0, [](const Device& d) { return d.state().serial; }},
    {21, 0, [](const Device& d) { return d.state().taxpayerNumber; }},
    {22, 0, [](const Device& d) { return d.state().registration; }},
    {23, 0, [](const Device& d) { return formatMoney(d.state().grandSalesTotal); }},
    {24, 0, [](const Device& d) { return u"%1.%2"_s.arg(d.state().major).arg(d.state().minor); }},
    {25, 4,
     [](const Device& d) { return u"%1"_s.arg(d.state().fiscalDocuments, 8, 10, QChar(u'0')); }},
    {26, 4, [](const Device& d) { return d.state().eklzNumber; }},
    {27, 4, [](const Device& d) { return d.state().lastDocumentAt.toString(u"dd.MM.yyyy"_s); }},
    {28, 4, [](const Device& d) { return d.state().lastDocumentAt.toString(u"HH:mm"_s); }},
};

// Descriptors (1000 + n) and device messages (1200 + n) are not programmable yet: they read empty.
bool isProgrammableText(std::int32_t index)
{
    return (index >= 1000 && index <= 1122) || (index >= 1200 && index <= 1322);
}

// The figures of the open document; without one a row reads `idle`.
struct DocumentRow
{
    std::int32_t index;
    int since;
    std::int32_t idle;
    qint64 (*get)(const Device&, const Document&);
};

qint64 positionQuantity(const Document& document)
{
    qint64 quantity = 0;
    for (const Entry& e : document.body.entries) {
        if (isPosition(e.kind))
            quantity += e.quantity;
    }
    return quantity;
}

qint64 distinctPositions(const Document& document)
{
    std::set<std::tuple<int, QString, Kopecks, int, int>> distinct;
    for (const Entry& e : document.body.entries) {
        if (isPosition(e.kind))
            distinct.emplace(static_cast<int>(e.kind), e.name, e.price, e.taxGroup, e.department);
    }
    return static_cast<qint64>(distinct.size());
}

constexpr int kBytesPerEntry = 80;

constexpr DocumentRow kDocumentInfo[] = {
    {2, 0, 0, [](const Device&, const Document& doc) { return positionQuantity(doc); }},
    {3, 0, 0, [](const Device&, const Document& doc) { return distinctPositions(doc); }},
    {4, 0, 0, [](const Device& d, const Document&) { return d.documentTotal(); }},
    {5, 0, 0, [](const Device&, const Document& doc) { return qint64(doc.payments.size()); }},
    {6, 0, 0, [](const Device& d, const Document&) { return d.paidTotal(); }},
    {9, 0, Device::kMaxEntries,
     [](const Device&, const Document& doc) {
         return qint64(Device::kMaxEntries - doc.body.entries.size());
     }},
    {10, 4, 0, [](const Device& d, const Document&) { return d.documentTotal(); }},
    {11, 4, 0, [](const Device& d, const Document&) { return d.paidTotal(); }},
    {12, 4, 0, [](const Device&, const Document& doc) { return qint64(doc.body.entries.size()); }},
    {13, 4, 0, [](const Device&, const Document& doc) { return qint64(doc.payments.size()); }},
    {14, 4, 0, [](const Device&, const Document& doc) { return qint64(doc.type); }},
    {15, 3, Device::kDocumentMemory,
     [](const Device&, const Document& doc) {
         return qint64(Device::kDocumentMemory - kBytesPerEntry * doc.body.entries.size());
     }},
};

// Counters by generation: 1-38 from generation 4, 39-40 from 5, 41-56 from 6.
int countersOf(int major)
{
    return major >= 6 ? 56 : major == 5 ? 40 : major == 4 ? 38 : 0;
}

constexpr int kShiftCounters = 300;
constexpr int kTotalCounters = 400;

} // namespace

std::int32_t Device::deviceInfo(std::int32_t index, Failure& failure) const
{
    const auto* row = findRow(kDeviceInfo, index);
    if (!row) {
        failure = fail(ErrorCode::UnknownIndex);
        return -1;
    }
    if (m_state.major < row->since) {
        failure = fail(ErrorCode::NotSupportedByGeneration);
        return -1;
    }
    return row->get(*this);
}

QString Device::textInfo(std::int32_t index, Failure& failure) const
{
    const auto* row = findRow(kTextInfo, index);
    if (!row) {
        if (!isProgrammableText(index))
            failure = fail(ErrorCode::UnknownIndex);
        return QString();
    }
    if (m_state.major < row->since) {
        failure = fail(ErrorCode::NotSupportedByGeneration);
        return QString();
    }
    return row->get(*this);
}

double Device::doubleInfo(std::int32_t index, Failure& failure) const
{
    const int number = index % 100;
    const bool shift = index - number == kShiftCounters;
    const bool total = index - number == kTotalCounters;
    if ((!shift && !total) || number < 1 || number > kCounterCount) {
        failure = fail(ErrorCode::UnknownIndex);
        return -1;
    }
    if (number > countersOf(m_state.major)) {
        failure = fail(ErrorCode::NotSupportedByGeneration);
        return -1;
    }
    // The general counter of the cash at the shift's start is the cash in the drawer now.
    if (total && number == static_cast<int>(Counter::CashAtShiftStart))
        return static_cast<double>(m_state.cashInDrawer);
    const Counters& counters = shift ? m_state.shiftCounters : m_state.totalCounters;
    return static_cast<double>(counters.at(number));
}

std::int32_t Device::documentInfo(std::int32_t index, Failure& failure) const
{
    const auto* row = findRow(kDocumentInfo, index);
    if (!row) {
        failure = fail(ErrorCode::UnknownIndex);
        return -1;
    }
    if (m_state.major < row->since) {
        failure = fail(ErrorCode::NotSupportedByGeneration);
        return -1;
    }
    if (!m_state.document)
        return row->idle;
    const qint64 value = row->get(*this, *m_state.document);
    return static_cast<std::int32_t>(std::clamp<qint64>(value, INT32_MIN, INT32_MAX));
}

} // namespace emulator
