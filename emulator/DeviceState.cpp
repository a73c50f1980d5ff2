#include "DeviceState.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborValue>

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

QCborValue dateTime(const QDateTime& value)
{
    return value.isValid() ? QCborValue(value.toMSecsSinceEpoch()) : QCborValue();
}

QDateTime dateTime(const QCborValue& value)
{
    return value.isInteger() ? QDateTime::fromMSecsSinceEpoch(value.toInteger()) : QDateTime();
}

QCborArray strings(const QStringList& list)
{
    QCborArray array;
    for (const QString& s : list)
        array.append(s);
    return array;
}

QStringList strings(const QCborValue& value)
{
    QStringList list;
    for (const QCborValue& item : value.toArray())
        list.append(item.toString());
    return list;
}

QCborArray counters(const Counters& c)
{
    QCborArray array;
    for (qint64 v : c.values())
        array.append(v);
    return array;
}

Counters counters(const QCborValue& value)
{
    Counters c;
    const QCborArray array = value.toArray();
    for (qsizetype i = 0; i < array.size() && i < kCounterCount; ++i)
        c.values()[static_cast<std::size_t>(i)] = array.at(i).toInteger();
    return c;
}

QCborMap position(const PositionRequest& p)
{
    return QCborMap{{u"k"_s, static_cast<int>(p.kind)}, {u"q"_s, p.quantity},
                    {u"p"_s, p.price},                  {u"n"_s, p.name},
                    {u"t"_s, p.taxGroup},               {u"d"_s, p.department}};
}

PositionRequest position(const QCborMap& m)
{
    PositionRequest p;
    p.kind = static_cast<EntryKind>(m.value(u"k"_s).toInteger());
    p.quantity = m.value(u"q"_s).toInteger();
    p.price = m.value(u"p"_s).toInteger();
    p.name = m.value(u"n"_s).toString();
    p.taxGroup = static_cast<std::int32_t>(m.value(u"t"_s).toInteger());
    p.department = static_cast<std::int32_t>(m.value(u"d"_s).toInteger());
    return p;
}

QCborMap body(const DocumentBody& b)
{
    QCborArray entries;
    for (const Entry& e : b.entries) {
        entries.append(QCborMap{{u"k"_s, static_cast<int>(e.kind)}, {u"q"_s, e.quantity},
                                {u"p"_s, e.price},                  {u"n"_s, e.name},
                                {u"t"_s, e.taxGroup},               {u"d"_s, e.department},
                                {u"a"_s, e.amount}});
    }
    QCborMap m{{u"entries"_s, entries},
               {u"delta"_s, counters(b.delta)},
               {u"lastAmount"_s, b.lastOperationAmount}};
    if (b.lastPosition)
        m.insert(u"last"_s, position(*b.lastPosition));
    return m;
}

DocumentBody body(const QCborMap& m)
{
    DocumentBody b;
    for (const QCborValue& v : m.value(u"entries"_s).toArray()) {
        const QCborMap e = v.toMap();
        b.entries.append(Entry{static_cast<EntryKind>(e.value(u"k"_s).toInteger()),
                               e.value(u"q"_s).toInteger(), e.value(u"p"_s).toInteger(),
                               e.value(u"n"_s).toString(),
                               static_cast<std::int32_t>(e.value(u"t"_s).toInteger()),
                               static_cast<std::int32_t>(e.value(u"d"_s).toInteger()),
                               e.value(u"a"_s).toInteger()});
    }
    b.delta = counters(m.value(u"delta"_s));
    b.lastOperationAmount = m.value(u"lastAmount"_s).toInteger();
    if (m.contains(u"last"_s))
        b.lastPosition = position(m.value(u"last"_s).toMap());
    return b;
}

QCborMap document(const Document& d)
{
    QCborArray payments;
    for (const Payment& p : d.payments) {
        payments.append(QCborMap{{u"t"_s, p.type},
                                 {u"a"_s, p.amount},
                                 {u"c"_s, p.card},
                                 {u"r"_s, p.reference},
                                 {u"x"_s, p.cached}});
    }
    QCborMap m{{u"type"_s, static_cast<int>(d.type)},
               {u"number"_s, d.number},
               {u"department"_s, d.department},
               {u"order"_s, d.order},
               {u"cashier"_s, d.cashier},
               {u"openedAt"_s, dateTime(d.openedAt)},
               {u"body"_s, body(d.body)},
               {u"payments"_s, payments},
               {u"lines"_s, strings(d.lines)}};
    if (d.undo)
        m.insert(u"undo"_s, body(*d.undo));
    return m;
}

Document document(const QCborMap& m)
{
    Document d;
    d.type = static_cast<DocumentType>(m.value(u"type"_s).toInteger());
    d.number = static_cast<int>(m.value(u"number"_s).toInteger());
    d.department = static_cast<int>(m.value(u"department"_s).toInteger());
    d.order = m.value(u"order"_s).toString();
    d.cashier = m.value(u"cashier"_s).toString();
    d.openedAt = dateTime(m.value(u"openedAt"_s));
    d.body = body(m.value(u"body"_s).toMap());
    if (m.contains(u"undo"_s))
        d.undo = body(m.value(u"undo"_s).toMap());
    for (const QCborValue& v : m.value(u"payments"_s).toArray()) {
        const QCborMap p = v.toMap();
        d.payments.append(Payment{static_cast<int>(p.value(u"t"_s).toInteger()),
                                  p.value(u"a"_s).toInteger(), p.value(u"c"_s).toString(),
                                  p.value(u"r"_s).toString(), p.value(u"x"_s).toBool()});
    }
    d.lines = strings(m.value(u"lines"_s));
    return d;
}

} // namespace

QByteArray DeviceState::toCbor() const
{
    QCborMap optionMap;
    for (auto it = options.cbegin(); it != options.cend(); ++it)
        optionMap.insert(it.key(), it.value());
    QCborMap extra2;
    for (auto it = extraStrings2.cbegin(); it != extraStrings2.cend(); ++it)
        extra2.insert(it.key(), it.value());
    const QCborMap sensorMap{{u"paperNearEnd"_s, sensors.paperNearEnd},
                             {u"paperOut"_s, sensors.paperOut},
                             {u"drawerOpen"_s, sensors.drawerOpen},
                             {u"batteryLow"_s, sensors.batteryLow},
                             {u"eklzNearFull"_s, sensors.eklzNearFull},
                             {u"printerError"_s, sensors.printerError}};
    QCborMap m{{u"format"_s, 1},
               {u"major"_s, major},
               {u"minor"_s, minor},
               {u"serial"_s, serial},
               {u"inn"_s, taxpayerNumber},
               {u"registration"_s, registration},
               {u"eklz"_s, eklzNumber},
               {u"password"_s, password},
               {u"lineWidth"_s, lineWidth},
               {u"options"_s, optionMap},
               {u"clockOffset"_s, clockOffsetSeconds},
               {u"sensors"_s, sensorMap},
               {u"shiftOpen"_s, shiftOpen},
               {u"shiftNumber"_s, shiftNumber},
               {u"shiftOpenedAt"_s, dateTime(shiftOpenedAt)},
               {u"register"_s, registerNumber},
               {u"cashier"_s, cashier},
               {u"cashierSet"_s, cashierSet},
               {u"fiscalDocs"_s, fiscalDocuments},
               {u"nonFiscalDocs"_s, nonFiscalDocuments},
               {u"allDocs"_s, allDocuments},
               {u"shiftCounters"_s, counters(shiftCounters)},
               {u"totalCounters"_s, counters(totalCounters)},
               {u"cash"_s, cashInDrawer},
               {u"grandSales"_s, grandSalesTotal},
               {u"lastDocumentAt"_s, dateTime(lastDocumentAt)},
               {u"lastReceipt"_s, strings(lastReceipt)},
               {u"lastReceiptTotal"_s, lastReceiptTotal},
               {u"extra"_s, strings(extraStrings)},
               {u"extra2"_s, extra2},
               {u"extraData"_s, strings(pendingExtraData)},
               {u"faultMember"_s, faultMember},
               {u"faultCode"_s, faultCode}};
    QCborMap departments;
    for (auto it = departmentSales.cbegin(); it != departmentSales.cend(); ++it)
        departments.insert(it.key(), it.value());
    m.insert(u"departments"_s, departments);
    if (document)
        m.insert(u"document"_s, emulator::document(*document));
    return m.toCborValue().toCbor();
}

std::optional<DeviceState> DeviceState::fromCbor(const QByteArray& data)
{
    QCborParserError error;
    const QCborValue value = QCborValue::fromCbor(data, &error);
    if (error.error != QCborError::NoError || !value.isMap())
        return std::nullopt;
    const QCborMap m = value.toMap();
    if (m.value(u"format"_s).toInteger() != 1)
        return std::nullopt;
    DeviceState s;
    s.major = static_cast<int>(m.value(u"major"_s).toInteger());
    s.minor = static_cast<int>(m.value(u"minor"_s).toInteger());
    s.serial = m.value(u"serial"_s).toString();
    s.taxpayerNumber = m.value(u"inn"_s).toString();
    s.registration = m.value(u"registration"_s).toString();
    s.eklzNumber = m.value(u"eklz"_s).toString();
    s.password = m.value(u"password"_s).toString();
    s.lineWidth = static_cast<int>(m.value(u"lineWidth"_s).toInteger(40));
    for (const auto& [key, v] : m.value(u"options"_s).toMap())
        s.options.insert(static_cast<int>(key.toInteger()), static_cast<int>(v.toInteger()));
    s.clockOffsetSeconds = m.value(u"clockOffset"_s).toInteger();
    const QCborMap sensorMap = m.value(u"sensors"_s).toMap();
    s.sensors.paperNearEnd = sensorMap.value(u"paperNearEnd"_s).toBool();
    s.sensors.paperOut = sensorMap.value(u"paperOut"_s).toBool();
    s.sensors.drawerOpen = sensorMap.value(u"drawerOpen"_s).toBool();
    s.sensors.batteryLow = sensorMap.value(u"batteryLow"_s).toBool();
    s.sensors.eklzNearFull = sensorMap.value(u"eklzNearFull"_s).toBool();
    s.sensors.printerError = sensorMap.value(u"printerError"_s).toBool();
    s.shiftOpen = m.value(u"shiftOpen"_s).toBool();
    s.shiftNumber = static_cast<int>(m.value(u"shiftNumber"_s).toInteger());
    s.shiftOpenedAt = dateTime(m.value(u"shiftOpenedAt"_s));
    s.registerNumber = static_cast<int>(m.value(u"register"_s).toInteger());
    s.cashier = m.value(u"cashier"_s).toString();
    s.cashierSet = m.value(u"cashierSet"_s).toBool();
    for (const auto& [key, v] : m.value(u"departments"_s).toMap())
        s.departmentSales.insert(static_cast<int>(key.toInteger()), v.toInteger());
    s.fiscalDocuments = static_cast<int>(m.value(u"fiscalDocs"_s).toInteger());
    s.nonFiscalDocuments = static_cast<int>(m.value(u"nonFiscalDocs"_s).toInteger());
    s.allDocuments = static_cast<int>(m.value(u"allDocs"_s).toInteger());
    s.shiftCounters = counters(m.value(u"shiftCounters"_s));
    s.totalCounters = counters(m.value(u"totalCounters"_s));
    s.cashInDrawer = m.value(u"cash"_s).toInteger();
    s.grandSalesTotal = m.value(u"grandSales"_s).toInteger();
    s.lastDocumentAt = dateTime(m.value(u"lastDocumentAt"_s));
    s.lastReceipt = strings(m.value(u"lastReceipt"_s));
    s.lastReceiptTotal = m.value(u"lastReceiptTotal"_s).toInteger();
    s.extraStrings = strings(m.value(u"extra"_s));
    for (const auto& [key, v] : m.value(u"extra2"_s).toMap())
        s.extraStrings2.insert(static_cast<int>(key.toInteger()), v.toString());
    s.pendingExtraData = strings(m.value(u"extraData"_s));
    s.faultMember = m.value(u"faultMember"_s).toString();
    s.faultCode = static_cast<int>(m.value(u"faultCode"_s).toInteger());
    if (m.contains(u"document"_s))
        s.document = emulator::document(m.value(u"document"_s).toMap());
    return s;
}

int defaultDeviceOption(int option)
{
    switch (option) {
    case 23: return 1;  // rounding 4/5
    case 37: return 24; // shift limit, hours
    case 43: return 1;
    case 44: return 1;
    case 47: return 1;  // clock on
    case 101: return 1; // 9600
    default: return 0;
    }
}

bool isKnownDeviceOption(int option)
{
    return (option >= 3 && option <= 51) || option == 101;
}

} // namespace emulator
