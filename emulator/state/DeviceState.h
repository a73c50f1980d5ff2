#pragma once

#include "BarCodes.h"
#include "Peripherals.h"
#include "Raster.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

namespace emulator {

using Kopecks = qint64;

// The shift and general counters, numbered as the statistics list numbers them (1 to 56).
// Sums are kept in kopecks, counts as plain numbers.
enum class Counter : int {
    Payment1 = 1, // 1..8: money taken minus money paid out, per payment type
    LastZNumber = 9,
    SalesTotal = 10,
    RefundCount = 11, // payment for returned goods (document type 6)
    RefundSum = 12,
    AnnulmentCount = 13, // sale annulment receipts (document type 2)
    AnnulmentSum = 14,
    SurchargeCount = 15,
    SurchargeSum = 16,
    DiscountCount = 17,
    DiscountSum = 18,
    CashInCount = 19,
    CashInSum = 20,
    CashOutCount = 21,
    CashOutSum = 22,
    Tax1 = 23, // 23..26: taxes per rate
    CancelledCount = 27,
    CancelledSum = 28,
    EmergencyCancelCount = 29,
    EmergencyCancelSum = 30,
    VoidCount = 31,
    VoidSum = 32,
    CorrectionCount = 33,
    CorrectionSum = 34,
    TareSaleCount = 35,
    TareSaleSum = 36,
    TareReturnCount = 37,
    TareReturnSum = 38,
    DuplicateCount = 39,
    DuplicateSum = 40,
    SaleCount = 41,
    PurchaseCount = 42,
    PurchaseSum = 43,
    SaleReturnCount = 44, // annulments and refunds together
    SaleReturnSum = 45,
    PurchaseReturnCount = 46,
    PurchaseReturnSum = 47,
    CashAtShiftStart = 48,
    SaleSurchargeCount = 49,
    SaleSurchargeSum = 50,
    SaleDiscountCount = 51,
    SaleDiscountSum = 52,
    PurchaseSurchargeCount = 53,
    PurchaseSurchargeSum = 54,
    PurchaseDiscountCount = 55,
    PurchaseDiscountSum = 56,
};
constexpr int kCounterCount = 56;

class Counters
{
public:
    qint64 operator[](Counter c) const { return m_values[index(c)]; }
    qint64& operator[](Counter c) { return m_values[index(c)]; }
    qint64 at(int number) const { return m_values[static_cast<std::size_t>(number - 1)]; }
    void clear() { m_values.fill(0); }
    const std::array<qint64, kCounterCount>& values() const { return m_values; }
    std::array<qint64, kCounterCount>& values() { return m_values; }

private:
    static std::size_t index(Counter c) { return static_cast<std::size_t>(c) - 1; }
    std::array<qint64, kCounterCount> m_values{};
};

// Counters kept per department (1 to 99) for what the goods of each department did.
using DepartmentCounters = QMap<int, Counters>;

enum class DocumentType : int {
    Sale = 1,
    SaleAnnulment = 2,
    Text = 3,
    CashIn = 4,
    CashOut = 5,
    Refund = 6,
    TextWithoutNumber = 7,
    Purchase = 8,
    PurchaseReturn = 9,
};

enum class EntryKind : int { Goods, Tare, TareReturn, Purchase, Surcharge, Discount };

// One line of a receipt that takes part in its total: a position or a correction.
struct Entry
{
    EntryKind kind = EntryKind::Goods;
    qint64 quantity = 0; // thousandths; what is left after voids
    Kopecks price = 0;
    QString name;
    std::int32_t taxGroup = 0;
    std::int32_t department = 0;
    Kopecks amount = 0; // always positive; the kind gives the direction
};

struct Payment
{
    int type = 8;
    Kopecks amount = 0;
    QString card;
    QString reference;
    bool cached = false; // kept by the driver: the document still takes positions
};

// What a registration of a position needs, kept so that RepeatItem can register it again.
struct PositionRequest
{
    EntryKind kind = EntryKind::Goods;
    qint64 quantity = 0;
    Kopecks price = 0;
    QString name;
    std::int32_t taxGroup = 0;
    std::int32_t department = 0;
};

// The part of an open document that CorrectLastItem can roll back by one step.
struct DocumentBody
{
    QList<Entry> entries;
    Counters delta;                     // what the document adds to the counters when it closes
    DepartmentCounters departmentDelta; // the part of `delta` that belongs to each department
    std::optional<PositionRequest> lastPosition;
    Kopecks lastOperationAmount = 0;
    std::int32_t lastOperationDepartment = 0;
};

struct Document
{
    DocumentType type = DocumentType::Sale;
    int number = 0; // 0 for the text document without number
    int department = 1;
    QString order;
    QString cashier;
    QDateTime openedAt;
    DocumentBody body;
    std::optional<DocumentBody> undo;
    QList<Payment> payments;
    QStringList lines; // printed so far, kept for the duplicate
};

struct Sensors
{
    bool paperNearEnd = false;
    bool paperOut = false;
    bool drawerOpen = false;
    bool batteryLow = false;
    bool eklzNearFull = false;
    bool printerError = false;
    bool eklzFull = false;
    bool slipInserted = false; // a slip document lies in the slip printer
};

inline const QString kEmptyChain = QStringLiteral("00000000000000000000");

struct DeviceState
{
    // Identity and generation
    int major = 6;
    int minor = 1;
    QString serial = QStringLiteral("00000001");
    QString taxpayerNumber = QStringLiteral("7701234567");
    QString registration = QStringLiteral("0000000001");
    QString eklzNumber = QStringLiteral("1234567890");
    QString password = QStringLiteral("735102");
    int lineWidth = 40;
    QMap<int, int> options; // device options that differ from their defaults (DeviceOptions.h)
    qint64 clockOffsetSeconds = 0;
    // The host moment from which the daily clock correction (option 48) counts whole days; invalid
    // until the correction is first programmed.
    QDateTime clockCorrectedSince;
    // The host moment at which the clock was stopped (option 47 off); invalid while it runs. The
    // device clock stands at the time it showed then.
    QDateTime clockStoppedAt;
    Sensors sensors;
    qint64 drawerKicks = 0; // pulses sent to the cash drawer's latch, ever

    // Shift
    bool shiftOpen = false;
    int shiftNumber = 0; // shifts ever opened
    QDateTime shiftOpenedAt;
    int registerNumber = 1;
    QString cashier;
    bool cashierSet = false;
    // The open shift's counters of each department that had any activity (the X2 report): the
    // documents with goods of the department, and the discounts, surcharges, voids and corrections
    // made in it, counted when and as the shift counters count them.
    DepartmentCounters departmentCounters;

    // Counters
    int fiscalDocuments = 0;
    int nonFiscalDocuments = 0;
    int allDocuments = 0;
    Counters shiftCounters;
    Counters totalCounters;
    Kopecks cashInDrawer = 0;
    Kopecks grandSalesTotal = 0;
    QDateTime lastDocumentAt;

    // Document
    std::optional<Document> document;
    QStringList lastReceipt;
    Kopecks lastReceiptTotal = 0;
    QStringList extraStrings;         // printed at the start of every receipt
    QMap<int, QString> extraStrings2; // printed at the end of every receipt, by number
    QStringList pendingExtraData;     // printed in the next document's header

    // Programming: the receipt header (eight lines, each plain or bold) and the paper type
    QStringList headerLines = QStringList(kHeaderLines);
    QList<bool> headerBold = QList<bool>(kHeaderLines, false);
    int paperType = 0;
    static constexpr int kHeaderLines = 8;

    // Taxes: rates in hundredths of a percent, chains as their texts; the text descriptors
    // 42, 80, 81 and 82 printed on every document.
    std::array<int, 4> taxRates{};
    std::array<QString, 8> taxChains{kEmptyChain, kEmptyChain, kEmptyChain, kEmptyChain,
                                     kEmptyChain, kEmptyChain, kEmptyChain, kEmptyChain};
    QMap<int, QString> descriptors;
    // The electronic control tape (EKLZ): the last KPK number given to a document or a Z report,
    // when it was activated and the running sales total the device had then.
    int lastKpk = 0;
    QDateTime eklzActivatedAt;
    Kopecks eklzActivationTotal = 0;
    QDateTime eklzLastAt; // when the last record went to the tape

    // Payment means, customer display, slip printer
    Peripherals peripherals;

    // Graphics: the pictures loaded into their slots (kept in a table of their own beside the
    // state record, see DeviceStore), the slot printed at the head of every receipt (0 none) and
    // the programmed bar code printed by the options of its heights.
    static constexpr int kMaxPictureSlot = 254;
    QMap<int, Raster> pictures;
    int chosenPicture = 0;
    std::optional<BarCode> barCode;

    // Steering from the device tool: the next call of this member fails with this code.
    QString faultMember;
    int faultCode = 0;

    // The control tape starts now, holding the running sales total the device has reached.
    void activateEklz(const QDateTime& at)
    {
        eklzActivatedAt = at;
        eklzActivationTotal = grandSalesTotal;
    }

    QByteArray serialize() const;
    static std::optional<DeviceState> deserialize(const QByteArray& data);
};

} // namespace emulator
