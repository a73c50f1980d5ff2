#include "StatisticsRows.h"

#include "DeviceNumbers.h"

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace statistics {

const QList<DocumentRow>& documentRows()
{
    static const QList<DocumentRow> rows{
        {u"Итог продаж незакрытого чека"_s, DocInfo::SalesTotal,
         u"Ошибка при получении информации об итоге продаж чека"_s},
        {u"Итог проплат незакрытого чека"_s, DocInfo::PaymentsTotal,
         u"Ошибка при получении информации об итоге платежей чека"_s},
        {u"Количество учетных записей"_s, DocInfo::Entries,
         u"Ошибка при получении информации о количестве продаж чека"_s},
        {u"Количество введенных проплат"_s, DocInfo::PaymentCount,
         u"Ошибка при получении информации о количестве платежей чека"_s},
        {u"Тип документа"_s, DocInfo::DocumentType,
         u"Ошибка при получении информации о типе документа"_s},
    };
    return rows;
}

const QStringList& counterNames()
{
    static const QStringList names{
        u"Итог по платежному средству №1"_s,
        u"Итог по платежному средству №2"_s,
        u"Итог по платежному средству №3"_s,
        u"Итог по платежному средству №4"_s,
        u"Итог по платежному средству №5"_s,
        u"Итог по платежному средству №6"_s,
        u"Итог по платежному средству №7"_s,
        u"Итог по платежному средству №8"_s,
        u"Номер последнего Z-отчета"_s,
        u"Итог продаж"_s,
        u"Количество возвратов"_s,
        u"Сумма возвратов"_s,
        u"Количество аннулирований"_s,
        u"Сумма аннулирований"_s,
        u"Количество наценок"_s,
        u"Сумма наценок"_s,
        u"Количество скидок"_s,
        u"Сумма скидок"_s,
        u"Количество внесений"_s,
        u"Сумма внесений"_s,
        u"Количество выплат"_s,
        u"Сумма выплат"_s,
        u"Сумма налогов по ставке №1"_s,
        u"Сумма налогов по ставке №2"_s,
        u"Сумма налогов по ставке №3"_s,
        u"Сумма налогов по ставке №4"_s,
        u"Количество отмен чека"_s,
        u"Сумма отмен чека"_s,
        u"Количество аварийных отмен чека"_s,
        u"Сумма аварийных отмен чека"_s,
        u"Количество операций сторно"_s,
        u"Сумма сторно"_s,
        u"Количество операций коррекции"_s,
        u"Сумма коррекций"_s,
        u"Количество продаж тары"_s,
        u"Сумма продажи тары"_s,
        u"Количество возвратов тары"_s,
        u"Сумма возвратов тары"_s,
        u"Количество дубликатов чеков"_s,
        u"Сумма дубликатов чеков"_s,
        u"Количество продаж"_s,
        u"Количество покупок"_s,
        u"Сумма покупок"_s,
        u"Количество возвратов продаж"_s,
        u"Сумма возвратов продаж"_s,
        u"Количество возвратов покупок"_s,
        u"Сумма возвратов покупок"_s,
        u"Остаток в кассе на начало смены"_s,
        u"Количество наценок продаж"_s,
        u"Сумма наценок продаж"_s,
        u"Количество скидок продаж"_s,
        u"Сумма скидок продаж"_s,
        u"Количество наценок покупок"_s,
        u"Сумма наценок покупок"_s,
        u"Количество скидок покупок"_s,
        u"Сумма скидок покупок"_s,
    };
    return names;
}

int counterCount(int majorVersion)
{
    // Generation 5 added the receipt duplicates, generation 6 the purchase counters; every other
    // generation reports the basic 38.
    switch (majorVersion) {
    case 5:
        return 40;
    case 6:
        return 56;
    default:
        return 38;
    }
}

QString counterText(double value)
{
    if (value == DoubleInfo::NotSupported)
        return u"Не поддерживается"_s;
    if (value == 0.0)
        value = 0.0; // no "-0"
    // With a point, as every number the program shows, whatever the locale.
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    // Whole amounts (the usual case: kopecks and counts) are written out in full rather than in
    // exponent form, however large.
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return locale.toString(value, 'f', 0);
    return locale.toString(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace statistics
