#include "StatusRows.h"

#include "DeviceNumbers.h"

using namespace Qt::StringLiterals;

namespace reports {
namespace {

// The basic flags every generation has, in the order of their information indices.
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
            rows.append({captions.at(i), StatusSource::DeviceInfo,
                         std::int16_t(DeviceInfo::FirstStatusFlag + i)});
        if (majorVersion >= 5)
            rows.append(
                {u"Бизнес-день открыт"_s, StatusSource::DeviceInfo, DeviceInfo::BusinessDayOpen});
    }
    if (majorVersion >= 6) {
        rows.append({u"Конец бумаги в подкладном принтере"_s, StatusSource::DeviceInfo,
                     DeviceInfo::SlipPaperOut});
        rows.append({u"Конец бумаги в термо-принтере"_s, StatusSource::DeviceInfo,
                     DeviceInfo::ThermalPaperOut});
        if (!printerOnly)
            rows.append({u"Режим покупки"_s, StatusSource::DeviceOpt, DeviceOption::PurchaseMode});
    }
    return rows;
}

} // namespace reports
