#pragma once

#include <cstdint>

// The numbers of the driver contract, named once. Each constant has the integer type of the
// contract argument it is passed as, so call sites read GetDeviceInfo(DeviceInfo::ShiftOpen)
// without casts. The values belong to the device and never change.

// GetDeviceInfo(index): flags, counters and versions.
namespace DeviceInfo {
// Basic status flags, 1 to 14, each 1 when set.
inline constexpr std::int16_t PaperNearEnd = 1;
inline constexpr std::int16_t FiscalMode = 2;
inline constexpr std::int16_t FiscalMemoryNearFull = 3;
inline constexpr std::int16_t ShiftOpen = 4;
inline constexpr std::int16_t CashierSet = 5;
inline constexpr std::int16_t FiscalTransaction = 6;
inline constexpr std::int16_t NonFiscalTransaction = 7;
inline constexpr std::int16_t PrinterBusy = 8;
inline constexpr std::int16_t PrinterError = 9;
inline constexpr std::int16_t PaperOut = 10;
inline constexpr std::int16_t FiscalMemoryFull = 11;
inline constexpr std::int16_t FiscalMemoryError = 12;
inline constexpr std::int16_t FiscalOperationError = 13;
inline constexpr std::int16_t ShiftTimeExceeded = 14;
inline constexpr std::int16_t FirstStatusFlag = PaperNearEnd;
inline constexpr std::int16_t LastStatusFlag = ShiftTimeExceeded;

// Counters: the current shift's number and the documents issued.
inline constexpr std::int16_t ShiftNumber = 23;
inline constexpr std::int16_t FiscalDocuments = 24;
inline constexpr std::int16_t NonFiscalDocuments = 25;
inline constexpr std::int16_t AllDocuments = 26;
inline constexpr std::int16_t Shifts = 27;

// Clock, as decimal digits HHMMSS and DDMMYY.
inline constexpr std::int16_t Time = 30;
inline constexpr std::int16_t Date = 31;

// Hardware state flags 32 to 39, each 1 when set.
inline constexpr std::int16_t FirstPrinterReady = 32;
inline constexpr std::int16_t SecondPrinterReady = 33;
inline constexpr std::int16_t DrawerOpen = 34;
inline constexpr std::int16_t BatteryLow = 35;
inline constexpr std::int16_t FirstPrinterOk = 36;
inline constexpr std::int16_t SecondPrinterOk = 37;
inline constexpr std::int16_t HardwareError = 38;
inline constexpr std::int16_t AnyPaperNearEnd = 39;
inline constexpr std::int16_t FirstHardwareFlag = FirstPrinterReady;
inline constexpr std::int16_t LastHardwareFlag = AnyPaperNearEnd;

inline constexpr std::int16_t EklzNearFull = 40;
inline constexpr std::int16_t BusinessDayOpen = 42;
inline constexpr std::int16_t SlipPaperOut = 43;
inline constexpr std::int16_t ThermalPaperOut = 44;
inline constexpr std::int16_t PaperType = 45;

// Payment means n = 1 to 8: one flag each, at base + n.
inline constexpr std::int16_t PaymentMeanCardBase = 50;
inline constexpr std::int16_t PaymentMeanCashBase = 60;
inline constexpr std::int16_t PaymentMeanDrawerBase = 70;
inline constexpr std::int16_t PaymentMeanChangeBase = 80;

// Receipt header lines n = 1 to 8: 1 when line n is printed bold, at base + n.
inline constexpr std::int16_t HeaderBoldBase = 90;

// The type of the open document, 0 when none is open.
inline constexpr std::int16_t DocumentOpen = 102;
// The packed slip printing mode, 0 or less when off.
inline constexpr std::int16_t SlipMode = 103;

inline constexpr std::int16_t MajorVersion = 201;
inline constexpr std::int16_t MinorVersion = 202;
} // namespace DeviceInfo

// GetTextDeviceInfo(index).
namespace TextInfo {
// Payment means n = 1 to 8: the name of mean n is index n.
inline constexpr std::int32_t PaymentMeanNameBase = 0;

inline constexpr std::int32_t SerialNumber = 20;
inline constexpr std::int32_t TaxpayerNumber = 21;
inline constexpr std::int32_t RegistrationNumber = 22;
inline constexpr std::int32_t SalesTotal = 23;
inline constexpr std::int32_t Version = 24;
inline constexpr std::int32_t LastKpk = 25;
inline constexpr std::int32_t EklzNumber = 26;
inline constexpr std::int32_t EklzLastDocumentDate = 27;
inline constexpr std::int32_t EklzLastDocumentTime = 28;

// Receipt header lines n = 1 to 8, at base + n.
inline constexpr std::int32_t HeaderLineBase = 30;

// Descriptor n (0 to 122) and device message n (0 to 122), at base + n.
inline constexpr std::int32_t DescriptorBase = 1000;
inline constexpr std::int32_t MessageBase = 1200;
inline constexpr std::int32_t LastDescriptorNumber = 122;
inline constexpr std::int32_t LastMessageNumber = 122;

// Line i (1, 2, ...) of the last electronic control tape report is index -i; an empty line ends it.
constexpr std::int32_t eklzReportLine(std::int32_t line)
{
    return -line;
}
} // namespace TextInfo

// The shift and general counters of GetDoubleDeviceInfo, numbered 1 to 56. Sums are in kopecks,
// counts plain numbers.
namespace DeviceCounter {
// Money taken less money paid out, per payment type 1 to 8.
inline constexpr std::int16_t Payment1 = 1;
inline constexpr std::int16_t Payment2 = 2;
inline constexpr std::int16_t Payment3 = 3;
inline constexpr std::int16_t Payment4 = 4;
inline constexpr std::int16_t Payment5 = 5;
inline constexpr std::int16_t Payment6 = 6;
inline constexpr std::int16_t Payment7 = 7;
inline constexpr std::int16_t Payment8 = 8;
inline constexpr std::int16_t LastZNumber = 9;
inline constexpr std::int16_t SalesTotal = 10;
inline constexpr std::int16_t RefundCount = 11;
inline constexpr std::int16_t RefundSum = 12;
inline constexpr std::int16_t AnnulmentCount = 13;
inline constexpr std::int16_t AnnulmentSum = 14;
inline constexpr std::int16_t SurchargeCount = 15;
inline constexpr std::int16_t SurchargeSum = 16;
inline constexpr std::int16_t DiscountCount = 17;
inline constexpr std::int16_t DiscountSum = 18;
inline constexpr std::int16_t CashInCount = 19;
inline constexpr std::int16_t CashInSum = 20;
inline constexpr std::int16_t CashOutCount = 21;
inline constexpr std::int16_t CashOutSum = 22;
// Tax per rate 1 to 4.
inline constexpr std::int16_t Tax1 = 23;
inline constexpr std::int16_t Tax2 = 24;
inline constexpr std::int16_t Tax3 = 25;
inline constexpr std::int16_t Tax4 = 26;
inline constexpr std::int16_t CancelledCount = 27;
inline constexpr std::int16_t CancelledSum = 28;
inline constexpr std::int16_t EmergencyCancelCount = 29;
inline constexpr std::int16_t EmergencyCancelSum = 30;
inline constexpr std::int16_t VoidCount = 31;
inline constexpr std::int16_t VoidSum = 32;
inline constexpr std::int16_t CorrectionCount = 33;
inline constexpr std::int16_t CorrectionSum = 34;
inline constexpr std::int16_t TareSaleCount = 35;
inline constexpr std::int16_t TareSaleSum = 36;
inline constexpr std::int16_t TareReturnCount = 37;
inline constexpr std::int16_t TareReturnSum = 38;
inline constexpr std::int16_t DuplicateCount = 39;
inline constexpr std::int16_t DuplicateSum = 40;
inline constexpr std::int16_t SaleCount = 41;
inline constexpr std::int16_t PurchaseCount = 42;
inline constexpr std::int16_t PurchaseSum = 43;
inline constexpr std::int16_t SaleReturnCount = 44;
inline constexpr std::int16_t SaleReturnSum = 45;
inline constexpr std::int16_t PurchaseReturnCount = 46;
inline constexpr std::int16_t PurchaseReturnSum = 47;
inline constexpr std::int16_t CashAtShiftStart = 48;
inline constexpr std::int16_t SaleSurchargeCount = 49;
inline constexpr std::int16_t SaleSurchargeSum = 50;
inline constexpr std::int16_t SaleDiscountCount = 51;
inline constexpr std::int16_t SaleDiscountSum = 52;
inline constexpr std::int16_t PurchaseSurchargeCount = 53;
inline constexpr std::int16_t PurchaseSurchargeSum = 54;
inline constexpr std::int16_t PurchaseDiscountCount = 55;
inline constexpr std::int16_t PurchaseDiscountSum = 56;
inline constexpr std::int16_t Count = 56;
} // namespace DeviceCounter

// SetDescriptorText(number, text): the text descriptors that documents carry; each reads back as
// GetTextDeviceInfo(TextInfo::DescriptorBase + number).
namespace Descriptor {
inline constexpr std::int16_t Row42 = 42;
inline constexpr std::int16_t Row80 = 80;
inline constexpr std::int16_t Row81 = 81;
inline constexpr std::int16_t Row82 = 82;
} // namespace Descriptor

// GetDoubleDeviceInfo(index): counter n (1 to 56) of the shift or of the device's whole life.
namespace DoubleInfo {
inline constexpr std::int16_t ShiftCounterBase = 300;
inline constexpr std::int16_t TotalCounterBase = 400;

constexpr std::int16_t shiftCounter(std::int16_t counter)
{
    return static_cast<std::int16_t>(ShiftCounterBase + counter);
}
constexpr std::int16_t totalCounter(std::int16_t counter)
{
    return static_cast<std::int16_t>(TotalCounterBase + counter);
}
// The value returned for a counter the device does not keep.
inline constexpr double NotSupported = -1;
} // namespace DoubleInfo

// GetDocInfo(index): counters of the open document.
namespace DocInfo {
inline constexpr std::int16_t ItemQuantity = 2;
inline constexpr std::int16_t DistinctItems = 3;
inline constexpr std::int16_t Amount = 4;
inline constexpr std::int16_t Payments = 5;
inline constexpr std::int16_t PaidAmount = 6;
inline constexpr std::int16_t FreeItems = 9;
inline constexpr std::int16_t SalesTotal = 10;
inline constexpr std::int16_t PaymentsTotal = 11;
inline constexpr std::int16_t Entries = 12;
inline constexpr std::int16_t PaymentCount = 13;
inline constexpr std::int16_t DocumentType = 14;
inline constexpr std::int16_t FreeMemory = 15;
} // namespace DocInfo

// SetDriverOpt / GetDriverOpt: settings of the driver itself.
namespace DriverOption {
inline constexpr std::int16_t Port = 1;
inline constexpr std::int16_t CachePayments = 2;
inline constexpr std::int16_t CodePage = 11;
inline constexpr std::int16_t DoubleWidth = 13;
inline constexpr std::int16_t DoubleHeight = 14;
inline constexpr std::int16_t Underline = 15;
inline constexpr std::int16_t AutoClose = 16;
// Position in the list of exchange speeds.
inline constexpr std::int16_t Speed = 101;
} // namespace DriverOption

// Values of DriverOption::CodePage.
namespace CodePage {
inline constexpr std::int32_t Device = 0;
inline constexpr std::int32_t Windows1251 = 1;
inline constexpr std::int32_t Dos866 = 2;
} // namespace CodePage

// SetDeviceOpt / GetDeviceOpt: settings kept by the device. Flags take 1 or 0.
namespace DeviceOption {
inline constexpr std::int16_t PrintTaxes = 3;
inline constexpr std::int16_t PrintVatIncluded = 4;
inline constexpr std::int16_t PrintTaxRates = 5;
inline constexpr std::int16_t PrintTaxRatesInReports = 6;
inline constexpr std::int16_t UseTaxChains = 7;
inline constexpr std::int16_t PrintQuantity = 8;
inline constexpr std::int16_t PrintDepartment = 9;
inline constexpr std::int16_t FullCut = 10;
inline constexpr std::int16_t CentreHeader = 11;
inline constexpr std::int16_t TallTotal = 12;
inline constexpr std::int16_t BoldTotal = 13;
inline constexpr std::int16_t AsteriskBeforeTotal = 14;
inline constexpr std::int16_t CheckCashForChange = 15;
inline constexpr std::int16_t AllowZeroTotal = 16;
inline constexpr std::int16_t MinuteBeep = 17;
inline constexpr std::int16_t BlockSalesWithDrawerOpen = 18;
inline constexpr std::int16_t UseBothPrinters = 19;
inline constexpr std::int16_t AlwaysOpenDrawer = 20;
inline constexpr std::int16_t CountTotalQuantity = 21;
inline constexpr std::int16_t DateFormat = 22;
inline constexpr std::int16_t Rounding = 23;
inline constexpr std::int16_t PrintEklzTapeOnZReport = 24;
inline constexpr std::int16_t PrintDelimiter = 25;
inline constexpr std::int16_t PrintShiftStartOnReports = 26;
inline constexpr std::int16_t AlwaysZReportOnClosing = 27;
inline constexpr std::int16_t CountVoidsAndCorrections = 28;
inline constexpr std::int16_t AccumulateAllTotals = 29;
inline constexpr std::int16_t LockDrawer = 30;
// Print zero totals of tax n (1 to 4) in reports: PrintZeroTaxTotalBase + n.
inline constexpr std::int16_t PrintZeroTaxTotalBase = 30;
inline constexpr std::int16_t PrintZeroTaxTotal1 = 31;
inline constexpr std::int16_t PrintZeroTaxTotal2 = 32;
inline constexpr std::int16_t PrintZeroTaxTotal3 = 33;
inline constexpr std::int16_t PrintZeroTaxTotal4 = 34;
inline constexpr std::int16_t ReadAfterShiftLimit = 35;
inline constexpr std::int16_t PrintLineBetweenSales = 36;
// Hours, 1 to 24.
inline constexpr std::int16_t ShiftTimeLimit = 37;
// Bar code heights on the receipt, 0 to 3.
inline constexpr std::int16_t StartBarCodeHeight = 38;
inline constexpr std::int16_t EndBarCodeHeight = 39;
// Customer line display: 0 one protocol, 1 the other; 1 locks the display.
inline constexpr std::int16_t LineDisplayProtocol = 40;
inline constexpr std::int16_t LineDisplayLocked = 41;
inline constexpr std::int16_t PrintTaxBase = 42;
inline constexpr std::int16_t TaxBaseRounding = 43;
inline constexpr std::int16_t TaxRounding = 44;
inline constexpr std::int16_t CarryCashOver = 45;
inline constexpr std::int16_t PurchaseMode = 46;
inline constexpr std::int16_t ClockOn = 47;
// Daily clock correction, -31 to 31.
inline constexpr std::int16_t ClockCorrection = 48;
// Print picture n (1 to 3): PrintPictureBase + n.
inline constexpr std::int16_t PrintPictureBase = 48;
inline constexpr std::int16_t PrintPicture1 = 49;
inline constexpr std::int16_t PrintPicture2 = 50;
inline constexpr std::int16_t PrintPicture3 = 51;
inline constexpr std::int16_t First = PrintTaxes;
inline constexpr std::int16_t Last = PrintPicture3;
// Position in the list of exchange speeds of the running connection.
inline constexpr std::int16_t Speed = 101;
} // namespace DeviceOption

// Values of DeviceOption::DateFormat: the order of a printed date.
namespace DateOrder {
inline constexpr std::int16_t DayMonthYear = 0;
inline constexpr std::int16_t YearMonthDay = 1;
inline constexpr std::int16_t MonthDayYear = 2;
} // namespace DateOrder

// Values of the rounding options (Rounding, TaxBaseRounding, TaxRounding).
namespace RoundingMode {
inline constexpr std::int16_t Down = 0;
inline constexpr std::int16_t HalfUp = 1;
inline constexpr std::int16_t Up = 2;
} // namespace RoundingMode

// SetLogOpt(option, value) and SetLogFile(log, path).
namespace LogOption {
inline constexpr std::int16_t Enabled = 1;
inline constexpr std::int16_t LowLevelLimit = 2;
inline constexpr std::int16_t HighLevelLimit = 3;
} // namespace LogOption

namespace LogFile {
inline constexpr std::int16_t LowLevel = 1;
inline constexpr std::int16_t HighLevel = 2;
} // namespace LogFile

// StartDocument(type, ...).
namespace DocumentType {
inline constexpr std::int32_t None = 0;
inline constexpr std::int32_t Sale = 1;
inline constexpr std::int32_t SaleAnnulment = 2;
inline constexpr std::int32_t Text = 3;
inline constexpr std::int32_t CashIn = 4;
inline constexpr std::int32_t CashOut = 5;
inline constexpr std::int32_t ReturnPayout = 6;
inline constexpr std::int32_t UnnumberedText = 7;
inline constexpr std::int32_t Purchase = 8;
inline constexpr std::int32_t PurchaseReturn = 9;
inline constexpr std::int32_t First = Sale;
inline constexpr std::int32_t Last = PurchaseReturn;
} // namespace DocumentType

// Tender2(amount, type, ...) and SetPaymentMean(number, ...).
namespace PaymentType {
inline constexpr std::int32_t None = 0;
inline constexpr std::int32_t Card1 = 1;
inline constexpr std::int32_t Card2 = 2;
inline constexpr std::int32_t Card3 = 3;
inline constexpr std::int32_t Card4 = 4;
inline constexpr std::int32_t Card5 = 5;
inline constexpr std::int32_t Cheque = 6;
inline constexpr std::int32_t Credit = 7;
inline constexpr std::int32_t Cash = 8;
inline constexpr std::int32_t First = Card1;
inline constexpr std::int32_t Last = Cash;
} // namespace PaymentType

// PrintReport(kind).
namespace ReportKind {
inline constexpr std::int16_t X1 = 1;
inline constexpr std::int16_t X2 = 2;
inline constexpr std::int16_t Z1 = 3;
inline constexpr std::int16_t Programming = 11;
} // namespace ReportKind

// TestPrinter(kind).
namespace TestKind {
inline constexpr std::int16_t TrialReceipt = 1;
inline constexpr std::int16_t PrintTest = 2;
inline constexpr std::int16_t PrinterTest = 3;
} // namespace TestKind

// EKLZPrintReportByNum / EKLZPrintReportByDate(kind, ...): the printed kinds; the same report
// returned as text is the printed kind plus ElectronicOffset.
namespace EklzReport {
inline constexpr std::int16_t Activation = 1;
inline constexpr std::int16_t ControlTape = 2;
inline constexpr std::int16_t ShiftTotals = 3;
inline constexpr std::int16_t DocumentByKpk = 4;
inline constexpr std::int16_t ShortByShifts = 5;
inline constexpr std::int16_t FullByShifts = 6;
inline constexpr std::int16_t ShortByDates = 9;
inline constexpr std::int16_t FullByDates = 10;
inline constexpr std::int16_t ElectronicOffset = 100;
// The second argument of the reports by date, which the device expects to be -1.
inline constexpr std::int32_t ByDateReserved = -1;

constexpr std::int16_t electronic(std::int16_t printed)
{
    return static_cast<std::int16_t>(printed + ElectronicOffset);
}
} // namespace EklzReport

// Paper type codes of SetPaperType and DeviceInfo::PaperType.
namespace PaperType {
inline constexpr std::int16_t Standard = 0;
inline constexpr std::int16_t BlackRedA = 1;
inline constexpr std::int16_t BlackBlue = 4;
inline constexpr std::int16_t BlackRedB = 5;
inline constexpr std::int16_t OtherTwoColour = 255;
// The second argument of SetPaperType, which the device does not use: always sent as 0.
inline constexpr std::int16_t Reserved = 0;
} // namespace PaperType

// SetPrintDocumentMode(mode, side, ...): where documents print and on which side of a slip.
namespace PrintMode {
inline constexpr std::int32_t Roll = 1;
inline constexpr std::int32_t Slip = 2;
} // namespace PrintMode

namespace SlipSide {
inline constexpr std::int32_t Right = 1;
inline constexpr std::int32_t Left = 2;
} // namespace SlipSide

// Values of DeviceOption::LineDisplayProtocol.
namespace DisplayProtocol {
inline constexpr std::int16_t Birch = 0;
inline constexpr std::int16_t Epson = 1;
} // namespace DisplayProtocol

// Values of DeviceOption::LineDisplayLocked.
namespace DisplayLock {
inline constexpr std::int16_t Unlocked = 0;
inline constexpr std::int16_t Locked = 1;
} // namespace DisplayLock

// ProgramBarCode(..., alignment, ..., font, ...): where the code and its readable text stand on
// the paper, and the font of the readable text (24 x 12 or 16 x 8 dots).
namespace BarCodeAlignment {
inline constexpr std::int32_t Left = 0;
inline constexpr std::int32_t Centre = 1;
inline constexpr std::int32_t Right = 2;
} // namespace BarCodeAlignment

namespace BarCodeFont {
inline constexpr std::int32_t Large = 0;
inline constexpr std::int32_t Small = 1;
} // namespace BarCodeFont
