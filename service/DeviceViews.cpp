#include "DeviceViews.h"

#include "DeviceSession.h"
#include "DeviceSteering.h"
#include "Printout.h"
#include "Raster.h"

#include <QJsonArray>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace emulator;

namespace service {
namespace {

QJsonValue moment(const QDateTime& time)
{
    return time.isValid() ? QJsonValue(time.toString(Qt::ISODate)) : QJsonValue();
}

QJsonValue countOf(const Expected<qint64>& count)
{
    return count ? QJsonValue(*count) : QJsonValue();
}

} // namespace

QJsonObject deviceState(DeviceSession& session)
{
    session.refresh();
    const Device& device = session.device();
    DeviceStore& store = session.store();
    const DeviceState& s = device.state();

    QJsonObject sensors;
    for (const SensorSwitch& sensor : kSensorSwitches)
        sensors.insert(QString::fromUtf16(sensor.name), s.sensors.*(sensor.flag));
    QJsonValue document;
    if (s.document) {
        document = QJsonObject{{u"type"_s, static_cast<int>(s.document->type)},
                               {u"number"_s, s.document->number},
                               {u"entries"_s, s.document->body.entries.size()},
                               {u"total"_s, device.documentTotal()},
                               {u"paid"_s, device.paidTotal()}};
    }
    QJsonValue fault;
    if (!s.faultMember.isEmpty())
        fault = QJsonObject{{u"member"_s, s.faultMember}, {u"code"_s, s.faultCode}};
    return QJsonObject{
        {u"port"_s, session.port()},
        {u"database"_s, store.path()},
        {u"generation"_s, u"%1.%2"_s.arg(s.major).arg(s.minor)},
        {u"serial"_s, s.serial},
        {u"taxpayerNumber"_s, s.taxpayerNumber},
        {u"registration"_s, s.registration},
        {u"eklz"_s, QJsonObject{{u"number"_s, s.eklzNumber},
                                {u"activated"_s, moment(s.eklzActivatedAt)},
                                {u"activationTotal"_s, s.eklzActivationTotal},
                                {u"lastKpk"_s, s.lastKpk}}},
        {u"clock"_s, QJsonObject{{u"now"_s, moment(device.now())},
                                 {u"offsetSeconds"_s, s.clockOffsetSeconds},
                                 {u"stopped"_s, s.clockStoppedAt.isValid()}}},
        {u"shift"_s,
         QJsonObject{{u"open"_s, s.shiftOpen},
                     {u"number"_s, s.shiftNumber},
                     {u"openedAt"_s, s.shiftOpen ? moment(s.shiftOpenedAt) : QJsonValue()},
                     {u"cashier"_s, s.cashier},
                     {u"tooLong"_s, !device.checkShiftLimit().ok()}}},
        {u"document"_s, document},
        {u"documents"_s, QJsonObject{{u"all"_s, s.allDocuments},
                                     {u"fiscal"_s, s.fiscalDocuments},
                                     {u"nonFiscal"_s, s.nonFiscalDocuments},
                                     {u"onControlTape"_s, countOf(store.documentCount())}}},
        {u"zReports"_s, s.totalCounters[Counter::LastZNumber]},
        {u"salesTotal"_s, s.grandSalesTotal},
        {u"cashInDrawer"_s, s.cashInDrawer},
        {u"drawerKicks"_s, s.drawerKicks},
        {u"tapeLines"_s, countOf(store.tapeLineCount())},
        {u"pendingFault"_s, fault},
        {u"sensors"_s, sensors},
    };
}

std::optional<QJsonObject> tapeFrom(DeviceSession& session, qint64 from, int limit, QString* error)
{
    DeviceStore& store = session.store();
    const Expected<TapeSpan> span = store.tapeSpan();
    if (!span) {
        *error = span.detail();
        return std::nullopt;
    }
    const qint64 first = std::max({from, span->first, qint64(1)});
    const qint64 last = std::min(span->last, first + std::clamp(limit, 1, kMaxTapeLines) - 1);
    QJsonArray lines;
    if (span->last > 0 && first <= last) {
        const Expected<QList<TapeLine>> read = store.tapeLines(first, last);
        if (!read) {
            *error = read.detail();
            return std::nullopt;
        }
        for (const TapeLine& line : *read) {
            QJsonObject json{{u"line"_s, line.id}};
            if (const std::optional<Raster> raster = rasterOfTapeLine(line.text)) {
                json.insert(u"text"_s, rasterPlaceholder(*raster));
                json.insert(u"picture"_s, QJsonObject{{u"width"_s, raster->width},
                                                      {u"height"_s, raster->height}});
            } else {
                const TapeText text = tapeText(line.text);
                json.insert(u"text"_s, text.text);
                if (text.bold)
                    json.insert(u"bold"_s, true);
                if (text.tall)
                    json.insert(u"tall"_s, true);
            }
            if (line.cut)
                json.insert(u"cut"_s, true);
            lines << json;
        }
    }
    return QJsonObject{{u"first"_s, span->first},
                       {u"last"_s, span->last},
                       {u"lines"_s, lines},
                       {u"next"_s, std::max(first, last + 1)}};
}

} // namespace service
