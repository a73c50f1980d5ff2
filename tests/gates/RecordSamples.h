#pragma once

// Samples of the device's saved record: the records of every format the device wrote, kept in
// records/ as the versions that wrote them wrote them, and the state each one holds.

#include "DeviceState.h"

#include <QDir>
#include <QFile>

namespace emulator::samples {

// A sample record of records/ ("record-<format>-<device>.bin"); empty when it cannot be read.
inline QByteArray record(const char* name)
{
    QFile file(QDir(QStringLiteral(QUOLT_RECORDS)).filePath(QString::fromLatin1(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QDateTime localAt(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime);
}

inline Counters countersFrom(qint64 first, qint64 step)
{
    Counters c;
    for (int i = 0; i < kCounterCount; ++i)
        c.values()[static_cast<std::size_t>(i)] = first + step * i;
    return c;
}

inline DocumentBody bodyOf(const QString& name, qint64 price)
{
    DocumentBody b;
    Entry goods;
    goods.kind = EntryKind::Goods;
    goods.quantity = 2500;
    goods.price = price;
    goods.name = name;
    goods.taxGroup = 2;
    goods.department = 3;
    goods.amount = price * 5 / 2;
    Entry discount;
    discount.kind = EntryKind::Discount;
    discount.amount = 125;
    discount.department = 1;
    b.entries = {goods, discount};
    b.delta[Counter::SalesTotal] = goods.amount - discount.amount;
    b.delta[Counter::DiscountCount] = 1;
    b.delta[Counter::DiscountSum] = 125;
    b.departmentDelta[3][Counter::SalesTotal] = goods.amount;
    b.departmentDelta[1][Counter::DiscountSum] = 125;
    b.lastPosition = PositionRequest{EntryKind::Goods, 2500, price, name, 2, 3};
    b.lastOperationAmount = -125;
    b.lastOperationDepartment = 1;
    return b;
}

// A device at work whose every remembered value differs from a new device's: the state of the
// samples record-<format>-working-device.bin.
inline DeviceState workingDevice()
{
    DeviceState s;
    s.major = 5;
    s.minor = 2;
    s.serial = QStringLiteral("00004217");
    s.taxpayerNumber = QStringLiteral("5012345678");
    s.registration = QStringLiteral("0000042017");
    s.eklzNumber = QStringLiteral("9876543210");
    s.password = QStringLiteral("123456");
    s.lineWidth = 38;
    s.options = {{15, 1}, {37, 12}, {47, 0}, {48, -5}};
    s.clockOffsetSeconds = -17983;
    s.clockCorrectedSince = QDateTime(QDate(2026, 3, 1), QTime(8, 0, 1), Qt::UTC);
    s.clockStoppedAt = QDateTime(QDate(2026, 12, 9), QTime(19, 17, 5), Qt::UTC);
    s.sensors = Sensors{true, false, true, false, true, false, true, true};
    s.drawerKicks = 42;

    s.shiftOpen = true;
    s.shiftNumber = 17;
    s.shiftOpenedAt = localAt(2026, 12, 9, 8, 30, 0);
    s.registerNumber = 3;
    s.cashier = QStringLiteral("Кассир Иванова");
    s.cashierSet = true;
    s.departmentCounters[1][Counter::SalesTotal] = 7500;
    s.departmentCounters[1][Counter::SaleCount] = 3;
    s.departmentCounters[3][Counter::SalesTotal] = 1500;
    s.departmentCounters[3][Counter::VoidCount] = 1;

    s.fiscalDocuments = 120;
    s.nonFiscalDocuments = 14;
    s.allDocuments = 140;
    s.shiftCounters = countersFrom(7, 1000);
    s.totalCounters = countersFrom(3, 100000);
    s.cashInDrawer = 123456;
    s.grandSalesTotal = 9876543210;
    s.lastDocumentAt = localAt(2026, 12, 9, 22, 16, 40);

    Document d;
    d.type = DocumentType::Sale;
    d.number = 121;
    d.department = 3;
    d.order = QStringLiteral("17");
    d.cashier = QStringLiteral("Кассир2");
    d.openedAt = localAt(2026, 12, 9, 22, 17, 30);
    d.body = bodyOf(QStringLiteral("Хлеб"), 2000);
    d.undo = bodyOf(QStringLiteral("Соль"), 700);
    Payment card;
    card.type = 2;
    card.amount = 1000;
    card.card = QStringLiteral("4111111111111111");
    card.reference = QStringLiteral("R-17");
    card.cached = true;
    d.payments = {card};
    d.lines = {QStringLiteral("ПРОДАЖА"), QStringLiteral("Хлеб 2.500 x 20.00")};
    s.document = d;
    s.lastReceipt = {QStringLiteral("ЧЕК 120"), QStringLiteral("ИТОГ 42.00")};
    s.lastReceiptTotal = 4200;
    s.extraStrings = {QStringLiteral("Спасибо за покупку")};
    s.extraStrings2 = {{2, QStringLiteral("До свидания")}};
    s.pendingExtraData = {QStringLiteral("42: данные")};

    s.headerLines[0] = QStringLiteral("ООО Ромашка");
    s.headerLines[7] = QStringLiteral("г. Москва");
    s.headerBold[0] = true;
    s.paperType = 4;

    s.taxRates = {2000, 1000, 0, 1800};
    s.taxChains[0] = QStringLiteral("12000000000000000000");
    s.taxChains[7] = QStringLiteral("00000000000000000034");
    s.descriptors = {{42, QStringLiteral("НДС")}, {80, QStringLiteral("НСП")}};

    s.lastKpk = 133;
    s.eklzActivatedAt = localAt(2026, 1, 15, 10, 0, 0);
    s.eklzActivationTotal = 5000;
    s.eklzLastAt = localAt(2026, 12, 9, 22, 16, 45);

    s.peripherals.paymentMeans[1] =
        PaymentMean{QStringLiteral("КАРТА МИР"), true, false, true, false};
    s.peripherals.display.lines[0] = QStringLiteral("Хлеб           20.00");
    s.peripherals.display.row = 1;
    s.peripherals.display.column = 5;
    s.peripherals.slip.on = true;
    s.peripherals.slip.settings = slipmode::Settings{1, 2, 1, 5, 2};

    s.chosenPicture = 7;
    BarCode code;
    code.modules = QStringLiteral("10110010");
    code.moduleDots = 2;
    code.height = 40;
    code.alignment = 1;
    code.textBefore = true;
    code.font = 1;
    code.text = QStringLiteral("4601234567893");
    s.barCode = code;

    s.faultMember = QStringLiteral("Tender2");
    s.faultCode = 41;
    return s;
}

} // namespace emulator::samples
