#include "DocumentValues.h"

using namespace Qt::StringLiterals;

namespace documents {

const QStringList& paymentTypeNames()
{
    static const QStringList names{
        u"1- Платежные карты 1"_s, u"2- Платежные карты 2"_s, u"3- Платежные карты 3"_s,
        u"4- Платежные карты 4"_s, u"5- Платежные карты 5"_s, u"6- Чек"_s,
        u"7- Кредит"_s,            u"8- Наличные"_s};
    return names;
}

std::int32_t paymentTypeCode(const QStringList& entries, const QString& text)
{
    return std::int32_t(entries.indexOf(text) + 1);
}

QString departmentText(std::int16_t department)
{
    const QString digits = QString::number(department);
    return department < 0 ? digits : u' ' + digits;
}

} // namespace documents
