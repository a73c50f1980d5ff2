#pragma once

#include <QString>
#include <QStringList>

// The names the payment means 1 to 8 carry until they are programmed; devices that cannot report
// their names are shown with these.
inline QStringList defaultPaymentMeanNames()
{
    using namespace Qt::StringLiterals;
    return {u"КАРТА 1"_s, u"КАРТА 2"_s, u"КАРТА 3"_s, u"КАРТА 4"_s,
            u"КАРТА 5"_s, u"ЧЕК"_s,     u"КРЕДИТ"_s,  u"НАЛИЧНЫЕ РУБ."_s};
}
