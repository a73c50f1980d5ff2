#include "StatusRows.h"

using namespace Qt::StringLiterals;

namespace reports {
namespace {

// The basic flags every generation has, GetDeviceInfo(1) to GetDeviceInfo(14) in order.
const QStringList& basicCaptions()
{
    static const QStringList captions{
        u"Приближение конца бумаги"_s,
        u"Фискальный режим"_s,
        u"Приближение заполнения фискальной памяти"_s,
        u"Смена открыта"_s,
        u"Кассир задан"_s,
        u"Фискальная транзакция"_s,
        u"Нефискальная транзакция"_s,
        u"Принтер занят"_s,
        u"Ошибка принтера"_s,
        u"Бумага закончилась"_s,
        u"Фискальная память заполнена"_s,
        u"Ошибка фискальной памяти"_s,
        u"Ошибка в фискальной операции"_s,
        u"Превышение лимита времени смены"_s,
    };
    return captions;
}

} // namespace

QList<StatusRow> statusRows(bool printerOnly, int majorVersion)
{
    QList<StatusRow> rows;
    if (!printerOnly) {
        const QStringList& captions = basicCaptions();
        for (qsizetype i = 0; i < captions.size(); ++i)
            rows.append({captions.at(i), StatusSource::DeviceInfo, std::int16_t(i + 1)});
        if (majorVersion >= 5)
            rows.append({u"Бизнес-день открыт"_s, StatusSource::DeviceInfo, 42});
    }
    if (majorVersion >= 6) {
        rows.append({u"Конец бумаги в подкладном принтере"_s, StatusSource::DeviceInfo, 43});
        rows.append({u"Конец бумаги в термо-принтере"_s, StatusSource::DeviceInfo, 44});
        if (!printerOnly)
            rows.append({u"Режим покупки"_s, StatusSource::DeviceOpt, 46});
    }
    return rows;
}

} // namespace reports
