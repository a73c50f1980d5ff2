#pragma once

#include <QString>

namespace emulator {

// The device's fixed message texts, 0 to 122: the words it prints on its documents and reports.
// Every printout takes its words from here, so each is written once; the numbers are fixed by
// the device's firmware.
enum class Word : int {
    Total, // 0
    Change,
    InCash,
    ByCard,
    ByCheque,
    OnCredit,
    Subtotal,
    Discount,
    Surcharge,
    Void,
    Correction, // 10
    Repeat,
    Sale,
    Annulment,
    Return,
    Purchase,
    PurchaseReturn,
    CashIn,
    CashOut,
    Tare,
    TareReturn, // 20
    Department,
    Cashier,
    Shift,
    Receipt,
    Document,
    DocumentCancelled,
    Duplicate,
    XReport,
    ZReport,
    ShiftOpened, // 30
    ShiftClosed,
    NonFiscal,
    Tax,
    Overall,
    Eklz,
    Kpk,
    Inn,
    Register,
    FiscalMark,
    SaleAnnulment, // 40
    TextDocument,
    RefundPayout,
    ShiftOpening,
    X2Report,
    ProgrammingReport,
    TrialReceipt,
    PrintTest,
    PrinterTest,
    Welcome,
    Sales, // 50
    Annulments,
    Returns,
    Purchases,
    PurchaseReturns,
    CashIns,
    CashOuts,
    Discounts,
    Surcharges,
    Corrections,
    Cancellations, // 60
    Duplicates,
    CashInDrawer,
    RunningTotal,
    Opened,
    Closed,
    CashDesk,
    DocumentShort,
    DepartmentShort,
    Order,
    PurchaseCount, // 70
    Card,
    Goods,
    TaxableSum,
    TaxesSum,
    VatIncluded,
    TaxChain,
    TaxChains,
    Rate,
    Sum,
    Included, // 80
    Charged,
    FromSum,
    SwitchedOn,
    SwitchedOff,
    Version,
    SerialNumber,
    Option,
    Speed,
    ClockCorrection,
    PaperType, // 90
    ReceiptHeader,
    Pictures,
    No,
    Normal,
    Paper,
    Low,
    Battery,
    Discharged,
    NearlyFull,
    Full, // 100
    Drawer,
    IsOpen,
    IsClosed,
    Printer,
    Error,
    Slip,
    Yes,
    Bold,
    DoubleWidth,
    DoubleHeight, // 110
    Underlined,
    ControlTape,
    ActivationTotal,
    Activation,
    RegistrationNumber,
    ShiftTotals,
    ShiftNotClosed,
    DocumentByKpk,
    FullReport,
    ShortReport, // 120
    Shifts,
    Copy,
};
inline constexpr int kWordCount = static_cast<int>(Word::Copy) + 1;

QString word(Word w);
// Message `number` as GetTextDeviceInfo reads it; a number the device has no word for reads as an
// empty text.
QString deviceMessage(int number);

} // namespace emulator
