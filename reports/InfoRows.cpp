#include "InfoRows.h"

#include "DeviceNumbers.h"

using namespace Qt::StringLiterals;

namespace reports {
namespace {

constexpr int kEklzRowsFromMajor = 4;

} // namespace

QList<InfoRow> infoRows(int majorVersion)
{
    QList<InfoRow> rows{
        {u"Заводской номер"_s, TextInfo::SerialNumber},
        {u"ИНН"_s, TextInfo::TaxpayerNumber},
        {u"Рег. номер"_s, TextInfo::RegistrationNumber},
        {u"Итог продаж"_s, TextInfo::SalesTotal},
        {u"Версия"_s, TextInfo::Version},
    };
    if (majorVersion >= kEklzRowsFromMajor) {
        rows += QList<InfoRow>{
            {u"Последний КПК"_s, TextInfo::LastKpk},
            {u"Номер ЭКЛЗ"_s, TextInfo::EklzNumber},
            {u"Дата последнего документа в ЭКЛЗ"_s, TextInfo::EklzLastDocumentDate},
            {u"Время последнего документа в ЭКЛЗ"_s, TextInfo::EklzLastDocumentTime},
        };
    }
    return rows;
}

} // namespace reports
