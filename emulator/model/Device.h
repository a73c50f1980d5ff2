#pragma once

#include "DeviceState.h"
#include "DocumentKinds.h"
#include "ErrorCodes.h"
#include "Printout.h"
#include "TaxLines.h"
#include "Taxes.h"

#include <QDateTime>
#include <QVariant>

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <variant>

namespace emulator {

// What one call left behind besides the new state: printed lines and the records that go to the
// control tape and the fiscal memory.
struct Effects
{
    struct IssuedDocument
    {
        int number = 0;
        int type = 0;
        int shift = 0;
        QDateTime at;
        Kopecks total = 0;
        bool cancelled = false;
        QStringList lines;
        int kpk = 0; // its number on the control tape; 0 when it is not on it
    };
    struct ClosedShift
    {
        int number = 0;
        QDateTime openedAt;
        QDateTime closedAt;
        Counters counters;
        int kpk = 0;       // the Z report's number on the control tape
        QStringList lines; // the Z report as printed
    };

    QStringList tape;
    QStringList slips;               // printed on inserted slips instead of the roll
    QMap<qsizetype, int> tapeStyles; // the style of each line of `tape` that is not plain
    QList<qsizetype> tapeCuts;       // the lines of `tape` after which the paper is torn off
    QList<IssuedDocument> documents;
    QList<ClosedShift> shifts;
    QMap<int, std::optional<Raster>> pictures; // slots loaded (a raster) or emptied (nothing)
};

// How the driver passes payments on: automatic closing lets a covering payment close the
// receipt; caching keeps the payments in the driver, so the receipt stays open until closed.
struct TenderMode
{
    bool autoClose = true;
    bool cached = false;
};

struct PrintAttributes
{
    bool doubleWidth = false;
    bool doubleHeight = false;
    bool underline = false;
};

// The fiscal printer itself: its shift, documents, counters and printing, with no knowledge of
// storage or of the driver contract. Every command either succeeds and changes the state, or
// fails with its code and leaves the state exactly as it was.
//
// The members live in one file per concern (named beside each group below); what the device
// prints is laid out in TapeLayout, its options are described in DeviceOptions and the rules of
// each document type in DocumentKinds. A new concern of the device (taxes and their chains,
// pictures and bar codes, the EKLZ control tape and its reports, the customer display, slip
// printing, payment means) gets its own group here and its own Device<Concern>.cpp, its data in
// DeviceState and its printing in TapeLayout.
class Device
{
public:
    using Clock = std::function<QDateTime()>;

    explicit Device(DeviceState state, Clock clock = {});

    const DeviceState& state() const { return m_state; }
    void replaceState(DeviceState state) { m_state = std::move(state); }
    Effects takeEffects();
    // The device's clock: the host clock moved by the device's offset and by the daily correction
    // of option 48 for every whole day it has run since that was programmed; it stands still
    // while option 47 has it stopped.
    QDateTime now() const;

    // Shift, drawer, reports and tests (DeviceShift.cpp)
    Failure checkShiftLimit() const; // ShiftTooLong when the open shift outlasted option 37
    Failure startSession(const QString& cashier, std::int32_t registerNumber);
    Failure endSession();
    Failure setClerk(const QString& cashier);
    Failure openDrawer();
    Failure printDuplicate();
    Failure printReport(std::int32_t kind);
    Failure testPrinter(std::int32_t kind);

    // The electronic control tape (DeviceEklz.cpp): its reports print what EklzReports laid
    // out from the records; the device only checks that it may print now.
    Failure checkEklzReport(bool printed) const;
    // The numbers and dates a report of `kind` asks for: shift and KPK numbers count from 1, dates
    // lie on the device's calendar. Kinds the device does not know are left to the report.
    Failure checkEklzNumbers(std::int32_t kind, std::int32_t first, std::int32_t last) const;
    Failure checkEklzDates(std::int32_t kind, const QDate& first, const QDate& last) const;
    Failure printEklzReport(const QStringList& lines);
    Failure checkEklzSpace(DocumentType type) const; // fiscal documents need room on the tape
    bool printsControlTapeOnZ() const;               // option 24
    void printControlTape(int shift, const QStringList& lines);

    // Opening, ending and cancelling documents; text lines and extra lines (DeviceDocuments.cpp)
    Failure startDocument(std::int32_t type, std::int32_t department, const QString& order,
                          const QString& cashier);
    Failure setExtraDocData(int firstGeneration, int lastGeneration, const QStringList& values);
    Failure endDocument();
    Failure cancelDocument();
    Failure textLine(const QString& text, PrintAttributes attributes);
    Failure addExtraString(const QString& line);
    Failure clearExtraStrings();
    Failure addExtraString2(const QString& text, const QString& number);
    Failure clearExtraStrings2();

    // Positions, voids and corrections (DevicePositions.cpp)
    Failure registerPosition(const PositionRequest& request, bool explicitDepartment);
    Failure voidPosition(EntryKind kind, const QVariant& quantity, std::int32_t price,
                         const QString& name, std::int32_t taxGroup,
                         std::optional<std::int32_t> department);
    Failure repeatItem();
    Failure correctLastItem();
    Failure absoluteCorrection(std::int32_t amount, const std::optional<QString>& text);
    Failure percentCorrection(std::int32_t percent);

    // Payments and closing (DevicePayments.cpp)
    Failure tender(double amount, const QVariant& type, const QVariant& card,
                   const QString& reference, TenderMode mode);
    Failure resetPayInfo();
    Failure printResult();

    // Payment means (DevicePaymentMeans.cpp)
    Failure setPaymentMean(std::int32_t number, const QString& name, std::int32_t card,
                           std::int32_t cash, std::int32_t drawer, std::int32_t change);
    const PaymentMean& paymentMean(int type) const;
    // The flags and names of the means as information items; nothing for another index.
    std::optional<std::int32_t> paymentMeanInfo(std::int32_t index, Failure& failure) const;
    std::optional<QString> paymentMeanName(std::int32_t index, Failure& failure) const;

    // Customer display (DeviceLineDisplay.cpp)
    Failure initLineDisplay();
    Failure stringToLineDisplay(const QString& text);
    Failure stringToLineDisplayDirect(const QString& data);
    bool lineDisplayLocked() const;

    // Slip printing (DeviceSlip.cpp)
    Failure setPrintDocumentMode(std::int32_t mode, std::int32_t side, std::int32_t copies,
                                 std::int32_t fiscalCopy, std::int32_t rowsBefore,
                                 std::int32_t rowsBetween);
    std::int32_t slipModeInfo() const; // the packed mode, 0 while documents print on the roll
    bool slipMissing() const;          // slip mode is on and no slip is inserted

    // Options (DeviceOptions.cpp holds their rules)
    Failure setDeviceOption(std::int32_t option, std::int32_t value);
    std::int32_t deviceOption(std::int32_t option, Failure& failure) const;

    // Header, clock and paper (DeviceProgramming.cpp)
    Failure setOrderHeader(std::int32_t line, const QString& text, std::int32_t bold);
    Failure setDate(const QString& day, const QString& month, std::int32_t year);
    Failure setTime(const QString& hour, const QString& minute, std::int32_t second);
    // Whether the clock can show this date: it prints two-digit years, 2000 to 2099.
    static bool onCalendar(const QDate& date);
    Failure setPaperType(std::int32_t code);

    // Pictures and bar codes (DevicePictures.cpp). A picture arrives decoded, or as the reason
    // its file was refused: the device still answers its own refusals first.
    using DecodedPicture = std::variant<Raster, Failure>;
    using EncodedBarCode = std::variant<BarCode, Failure>;
    Failure loadPicture(std::int32_t slot, const DecodedPicture& picture);
    // Pictures 1 to 3 at once; an empty name leaves its picture as it is.
    Failure loadPictures(const std::array<std::optional<DecodedPicture>, 3>& pictures);
    Failure setPicture(std::int32_t slot);
    Failure deletePicture(std::int32_t slot);
    Failure programBarCode(const EncodedBarCode& code);
    Failure programBarCodeMask(const EncodedBarCode& code);

    // Tax rates, tax chains, their reports and the text descriptors (DeviceTaxes.cpp)
    std::int32_t taxRate(std::int32_t number, Failure& failure) const;
    Failure setTaxRate(std::int32_t number, std::int32_t rate);
    QString taxChain(std::int32_t number, Failure& failure) const;
    Failure setTaxChain(std::int32_t number, const QString& chain);
    Failure taxChainReport(std::int32_t chain, std::int32_t amount);
    Failure taxChainsReport();
    Failure setDescriptorText(std::int32_t number, const QString& text);
    // GetTextDeviceInfo(1000 + n) of a descriptor; nothing for another index.
    std::optional<QString> descriptorInfo(std::int32_t index) const;
    // The caption of a data value: its descriptor's text, or its number when none is stored.
    QString descriptorCaption(std::int32_t number) const;

    // Information (DeviceInformation.cpp); a query reports an unknown index through `failure`.
    std::int32_t deviceInfo(std::int32_t index, Failure& failure) const;
    QString textInfo(std::int32_t index, Failure& failure) const;
    double doubleInfo(std::int32_t index, Failure& failure) const;
    std::int32_t documentInfo(std::int32_t index, Failure& failure) const;

    // Totals of the open document: the positions and corrections, plus the taxes added on top
    Kopecks documentTotal() const;
    Kopecks positionsTotal() const;
    Kopecks paidTotal() const;

    static constexpr Kopecks kMaxAmount = 999'999'999'999; // ten billion roubles less a kopeck
    // GetDocInfo answers in 32 bits: a document's total, the sum paid and the quantity of its
    // positions (thousandths) never pass what it can report.
    static constexpr qint64 kMaxReportable = std::numeric_limits<std::int32_t>::max();
    static constexpr qint64 kMaxQuantity = 99'999'999; // 99 999.999
    static constexpr int kMaxEntries = 100;
    static constexpr int kDocumentMemory = 8000; // bytes of document memory
    static constexpr int kMaxExtraStrings = 20;
    static constexpr int kMaxExtraStringLength = 80;
    static constexpr int kMaxCashierLength = 24;
    static constexpr int kMaxDepartment = 99;
    static constexpr qsizetype kPictureMemory = 512 * 1024; // bytes of dots for all pictures

private:
    // What closing the open document settles, in kopecks.
    struct Settlement
    {
        Kopecks total = 0;
        Kopecks paid = 0;
        Kopecks withoutChange = 0; // paid with means that give no change
        Kopecks cash = 0;          // paid with means that count as cash
        Kopecks change = 0;
        Kopecks cashNet = 0; // cash that stays in (or leaves) the drawer
    };

    static constexpr Failure kOk{};
    static Failure fail(ErrorCode code, Reason reason = Reason::General)
    {
        return Failure{code, reason};
    }

    // Guards and arithmetic shared by every concern (Device.cpp)
    Failure checkPrinter() const;
    Failure requireShift() const;
    Failure requireDocument(std::initializer_list<DocumentType> types) const;
    Failure requireNoPayment() const;
    Failure requireDocumentFor(EntryKind kind) const;
    Failure checkText(const QString& text, qsizetype limit) const;
    int option(int number) const;
    bool isSaleSide() const;
    Kopecks roundedAmount(qint64 quantity, Kopecks price) const;
    Kopecks roundedShare(Kopecks base, std::int32_t percent) const;
    Kopecks roundedQuotient(qint64 dividend, qint64 divisor) const;
    void addToBoth(Counter counter, qint64 value); // shift and general counters
    Printout paper() const { return Printout(m_state.lineWidth); }
    // To the tape and, with a document open, into the document too; a printout outside any
    // document is torn off after it.
    void print(Printout& out);
    void tearOff(); // the paper is torn off after the last line printed

    // Opens the drawer, or leaves an open one alone as option 20 says (DeviceShift.cpp).
    void kickDrawer();

    // Closing steps (DevicePayments.cpp, DeviceDocuments.cpp)
    Settlement settlement() const;
    Failure checkSettlement(const Settlement& s) const;
    void countClosedDocument(const Settlement& s);
    Failure closeDocument();
    void finishDocument(bool cancelled, Kopecks total);
    // The document just finished goes to the control tape under the next KPK number.
    void putOnControlTape();

    // What a locked customer display shows (DeviceLineDisplay.cpp)
    void showPositionOnDisplay(const QString& name, Kopecks amount);
    void showChangeOnDisplay(Kopecks total, Kopecks change);
    // Slips (DeviceSlip.cpp)
    Failure checkSlip() const;
    void printOnSlip(const Document& document);

    // A discount or surcharge of `amount` kopecks (above zero) on the subtotal.
    Failure addCorrection(bool discount, Kopecks amount, const QString& caption);

    // Taxes of the open receipt (DeviceTaxes.cpp)
    TaxSettings taxSettings() const;
    TaxPrinting taxPrinting(bool report) const;
    std::optional<TaxSheet> taxesOf(const QList<Entry>& entries) const;
    // Refuses the entries a document would hold after a change when their total with its taxes
    // would be negative (31) or pass what the device can report (18), and so would the quantity
    // of their positions (18).
    Failure checkDocumentFigures(const QList<Entry>& entries) const;
    Kopecks addedTaxes() const;
    // Prints the closing receipt's tax lines and counts its taxes.
    void settleTaxes(Printout& out);
    void printReportTaxTotals(Printout& out, const Counters& counters) const;
    // The X and Z reports up to their closing rule: the shift's figures, then its taxes.
    void printShiftReport(Printout& out, const QString& title, bool byDepartment) const;

    QDateTime hostNow() const;
    // The host's time as the device clock follows it: the moment it was stopped while option 47
    // is off.
    QDateTime runningHostNow() const;
    // Stops the clock where it stands, or starts it again from there (option 47).
    void switchClock(bool on);
    // Whole days of the daily clock correction run since it was last settled.
    qint64 correctionDays(const QDateTime& host) const;
    // Moves the days already run into the clock's offset, before the correction changes.
    void settleClockCorrection();

    DeviceState m_state;
    Clock m_clock;
    Effects m_effects;
};

} // namespace emulator
