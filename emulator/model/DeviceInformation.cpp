// What the device tells about itself: one table per query, index -> getter, each row with the
// generation that first answers it.

#include "Device.h"
#include "DeviceMessages.h"
#include "DeviceNumbers.h"

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

// The clock as the device reads it out: HHMMSS and DDMMYY as whole numbers.
std::int32_t clockDigits(const QTime& time)
{
    return time.hour() * 10000 + time.minute() * 100 + time.second();
}

std::int32_t dateDigits(const QDate& date)
{
    return date.day() * 10000 + date.month() * 100 + date.year() % 100;
}

std::int32_t headerBold(const Device& d, int line)
{
    return flag(d.state().headerBold.at(line - 1));
}

constexpr InfoRow<NumberGetter> kDeviceInfo[] = {
    {DeviceInfo::PaperNearEnd, 0, [](const Device& d) { return flag(sensors(d).paperNearEnd); }},
    {DeviceInfo::FiscalMode, 0, [](const Device&) { return 1; }}, // registered with the tax office
    {DeviceInfo::FiscalMemoryNearFull, 0,
     [](const Device& d) { return flag(sensors(d).eklzNearFull); }},
    {DeviceInfo::ShiftOpen, 0, [](const Device& d) { return flag(d.state().shiftOpen); }},
    {DeviceInfo::CashierSet, 0, [](const Device& d) { return flag(d.state().cashierSet); }},
    {DeviceInfo::FiscalTransaction, 0,
     [](const Device& d) { return flag(documentOpen(d, false)); }},
    {DeviceInfo::NonFiscalTransaction, 0,
     [](const Device& d) { return flag(documentOpen(d, true)); }},
    {DeviceInfo::PrinterBusy, 0, [](const Device&) { return 0; }}, // never busy
    {DeviceInfo::PrinterError, 0, [](const Device& d) { return flag(sensors(d).printerError); }},
    {DeviceInfo::PaperOut, 0, [](const Device& d) { return flag(sensors(d).paperOut); }},
    {DeviceInfo::FiscalMemoryFull, 0, [](const Device&) { return 0; }},
    {DeviceInfo::FiscalMemoryError, 0, [](const Device&) { return 0; }},
    // Whether an operation failed in the open document is the driver's to say.
    {DeviceInfo::FiscalOperationError, 0, [](const Device&) { return 0; }},
    {DeviceInfo::ShiftTimeExceeded, 0,
     [](const Device& d) { return flag(!d.checkShiftLimit().ok()); }},
    {DeviceInfo::ShiftNumber, 0, [](const Device& d) { return d.state().shiftNumber; }},
    {DeviceInfo::FiscalDocuments, 0, [](const Device& d) { return d.state().fiscalDocuments; }},
    {DeviceInfo::NonFiscalDocuments, 0,
     [](const Device& d) { return d.state().nonFiscalDocuments; }},
    {DeviceInfo::AllDocuments, 0, [](const Device& d) { return d.state().allDocuments; }},
    {DeviceInfo::Shifts, 0, [](const Device& d) { return d.state().shiftNumber; }},
    {DeviceInfo::Time, 0, [](const Device& d) { return clockDigits(d.now().time()); }},
    {DeviceInfo::Date, 0, [](const Device& d) { return dateDigits(d.now().date()); }},
    {DeviceInfo::FirstPrinterReady, 0,
     [](const Device& d) { return flag(!sensors(d).paperOut && !sensors(d).printerError); }},
    {DeviceInfo::SecondPrinterReady, 0,
     [](const Device&) { return 0; }}, // no second printer is fitted
    {DeviceInfo::DrawerOpen, 0, [](const Device& d) { return flag(sensors(d).drawerOpen); }},
    {DeviceInfo::BatteryLow, 0, [](const Device& d) { return flag(sensors(d).batteryLow); }},
    {DeviceInfo::FirstPrinterOk, 0, [](const Device& d) { return flag(!sensors(d).printerError); }},
    {DeviceInfo::SecondPrinterOk, 0, [](const Device&) { return 0; }}, // the second printer
    {DeviceInfo::HardwareError, 0, [](const Device& d) { return flag(sensors(d).printerError); }},
    {DeviceInfo::AnyPaperNearEnd, 0, [](const Device& d) { return flag(sensors(d).paperNearEnd); }},
    {DeviceInfo::EklzNearFull, 0, [](const Device& d) { return flag(sensors(d).eklzNearFull); }},
    {DeviceInfo::BusinessDayOpen, 5, [](const Device& d) { return flag(d.state().shiftOpen); }},
    {DeviceInfo::SlipPaperOut, 6, [](const Device& d) { return flag(d.slipMissing()); }},
    {DeviceInfo::ThermalPaperOut, 6, [](const Device& d) { return flag(sensors(d).paperOut); }},
    {DeviceInfo::PaperType, 0, [](const Device& d) { return d.state().paperType; }},
    {DeviceInfo::HeaderBoldBase + 1, 3, [](const Device& d) { return headerBold(d, 1); }},
    {DeviceInfo::HeaderBoldBase + 2, 3, [](const Device& d) { return headerBold(d, 2); }},
    {DeviceInfo::HeaderBoldBase + 3, 3, [](const Device& d) { return headerBold(d, 3); }},
    {DeviceInfo::HeaderBoldBase + 4, 3, [](const Device& d) { return headerBold(d, 4); }},
    {DeviceInfo::HeaderBoldBase + 5, 3, [](const Device& d) { return headerBold(d, 5); }},
    {DeviceInfo::HeaderBoldBase + 6, 3, [](const Device& d) { return headerBold(d, 6); }},
    {DeviceInfo::HeaderBoldBase + 7, 3, [](const Device& d) { return headerBold(d, 7); }},
    {DeviceInfo::HeaderBoldBase + 8, 3, [](const Device& d) { return headerBold(d, 8); }},
    {DeviceInfo::DocumentOpen, 0,
     [](const Device& d) {
         const auto& document = d.state().document;
         return document ? static_cast<std::int32_t>(document->type) : 0;
     }},
    {DeviceInfo::SlipMode, 0, [](const Device& d) { return d.slipModeInfo(); }},
    {DeviceInfo::MajorVersion, 0, [](const Device& d) { return d.state().major; }},
    {DeviceInfo::MinorVersion, 0, [](const Device& d) { return d.state().minor; }},
};

constexpr InfoRow<TextGetter> kTextInfo[] = {
    {TextInfo::SerialNumber, 0, [](const Device& d) { return d.state().serial; }},
    {TextInfo::TaxpayerNumber, 0, [](const Device& d) { return d.state().taxpayerNumber; }},
    {TextInfo::RegistrationNumber, 0, [](const Device& d) { return d.state().registration; }},
    {TextInfo::SalesTotal, 0,
     [](const Device& d) { return formatMoney(d.state().grandSalesTotal); }},
    {TextInfo::Version, 0,
     [](const Device& d) { return u"%1.%2"_s.arg(d.state().major).arg(d.state().minor); }},
    {TextInfo::LastKpk, 4,
     [](const Device& d) { return u"%1"_s.arg(d.state().lastKpk, 8, 10, QChar(u'0')); }},
    {TextInfo::EklzNumber, 4, [](const Device& d) { return d.state().eklzNumber; }},
    {TextInfo::EklzLastDocumentDate, 4,
     [](const Device& d) { return d.state().eklzLastAt.toString(u"dd.MM.yyyy"_s); }},
    {TextInfo::EklzLastDocumentTime, 4,
     [](const Device& d) { return d.state().eklzLastAt.toString(u"HH:mm"_s); }},
    {TextInfo::HeaderLineBase + 1, 3, [](const Device& d) { return d.state().headerLines.at(0); }},
    {TextInfo::HeaderLineBase + 2, 3, [](const Device& d) { return d.state().headerLines.at(1); }},
    {TextInfo::HeaderLineBase + 3, 3, [](const Device& d) { return d.state().headerLines.at(2); }},
    {TextInfo::HeaderLineBase + 4, 3, [](const Device& d) { return d.state().headerLines.at(3); }},
    {TextInfo::HeaderLineBase + 5, 3, [](const Device& d) { return d.state().headerLines.at(4); }},
    {TextInfo::HeaderLineBase + 6, 3, [](const Device& d) { return d.state().headerLines.at(5); }},
    {TextInfo::HeaderLineBase + 7, 3, [](const Device& d) { return d.state().headerLines.at(6); }},
    {TextInfo::HeaderLineBase + 8, 3, [](const Device& d) { return d.state().headerLines.at(7); }},
};

// Descriptors (1000 + n) the generation does not keep read empty, without a failure.
bool isProgrammableText(std::int32_t index)
{
    using namespace TextInfo;
    return (index >= DescriptorBase && index <= DescriptorBase + LastDescriptorNumber) ||
           (index >= MessageBase && index <= MessageBase + LastMessageNumber);
}

// The figures of the open document; without one a row reads `idle`.
struct DocumentRow
{
    std::int32_t index;
    int since;
    std::int32_t idle;
    qint64 (*get)(const Device&, const Document&);
};

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
    {DocInfo::ItemQuantity, 0, 0,
     [](const Device&, const Document& doc) { return positionQuantity(doc.body.entries); }},
    {DocInfo::DistinctItems, 0, 0,
     [](const Device&, const Document& doc) { return distinctPositions(doc); }},
    {DocInfo::Amount, 0, 0, [](const Device& d, const Document&) { return d.documentTotal(); }},
    {DocInfo::Payments, 0, 0,
     [](const Device&, const Document& doc) { return qint64(doc.payments.size()); }},
    {DocInfo::PaidAmount, 0, 0, [](const Device& d, const Document&) { return d.paidTotal(); }},
    {DocInfo::FreeItems, 0, Device::kMaxEntries,
     [](const Device&, const Document& doc) {
         return qint64(Device::kMaxEntries - doc.body.entries.size());
     }},
    {DocInfo::SalesTotal, 4, 0, [](const Device& d, const Document&) { return d.documentTotal(); }},
    {DocInfo::PaymentsTotal, 4, 0, [](const Device& d, const Document&) { return d.paidTotal(); }},
    {DocInfo::Entries, 4, 0,
     [](const Device&, const Document& doc) { return qint64(doc.body.entries.size()); }},
    {DocInfo::PaymentCount, 4, 0,
     [](const Device&, const Document& doc) { return qint64(doc.payments.size()); }},
    {DocInfo::DocumentType, 4, 0,
     [](const Device&, const Document& doc) { return qint64(doc.type); }},
    {DocInfo::FreeMemory, 3, Device::kDocumentMemory,
     [](const Device&, const Document& doc) {
         return qint64(Device::kDocumentMemory - kBytesPerEntry * doc.body.entries.size());
     }},
};

// Counters by generation: 1-38 from generation 4, 39-40 from 5, 41-56 from 6.
int countersOf(int major)
{
    return major >= 6 ? DeviceCounter::Count : major == 5 ? 40 : major == 4 ? 38 : 0;
}

} // namespace

std::int32_t Device::deviceInfo(std::int32_t index, Failure& failure) const
{
    if (const std::optional<std::int32_t> mean = paymentMeanInfo(index, failure))
        return *mean;
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
    if (const std::optional<QString> descriptor = descriptorInfo(index))
        return *descriptor;
    using namespace TextInfo;
    if (index >= MessageBase && index <= MessageBase + LastMessageNumber)
        return deviceMessage(index - MessageBase);
    if (std::optional<QString> name = paymentMeanName(index, failure))
        return *name;
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
    const bool shift = index - number == DoubleInfo::ShiftCounterBase;
    const bool total = index - number == DoubleInfo::TotalCounterBase;
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
