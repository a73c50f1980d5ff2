#include "DeviceMessages.h"

#include <array>

namespace emulator {
namespace {

// In the device's own order; the numbers are fixed by its firmware.
constexpr std::array<const char16_t*, 40> kMessages{
    u"ИТОГ",
    u"СДАЧА",
    u"НАЛИЧНЫМИ",
    u"ПЛАТЕЖНОЙ КАРТОЙ",
    u"ЧЕКОМ",
    u"КРЕДИТОМ",
    u"ПОДЫТОГ",
    u"СКИДКА",
    u"НАДБАВКА",
    u"СТОРНО",
    u"КОРРЕКЦИЯ",
    u"ПОВТОР",
    u"ПРОДАЖА",
    u"АННУЛИРОВАНИЕ",
    u"ВОЗВРАТ",
    u"ПОКУПКА",
    u"ВОЗВРАТ ПОКУПКИ",
    u"ВНЕСЕНИЕ",
    u"ВЫПЛАТА",
    u"ТАРА",
    u"ВОЗВРАТ ТАРЫ",
    u"ОТДЕЛ",
    u"КАССИР",
    u"СМЕНА",
    u"ЧЕК",
    u"ДОКУМЕНТ",
    u"ДОКУМЕНТ АННУЛИРОВАН",
    u"ДУБЛИКАТ",
    u"X-ОТЧЕТ",
    u"Z-ОТЧЕТ",
    u"СМЕНА ОТКРЫТА",
    u"СМЕНА ЗАКРЫТА",
    u"НЕФИСКАЛЬНЫЙ ДОКУМЕНТ",
    u"НАЛОГ",
    u"ВСЕГО",
    u"ЭКЛЗ",
    u"КПК",
    u"ИНН",
    u"ККМ",
    u"ФП",
};

} // namespace

QString deviceMessage(int number)
{
    if (number < 0 || number >= static_cast<int>(kMessages.size()))
        return QString();
    return QString::fromUtf16(kMessages[static_cast<std::size_t>(number)]);
}

} // namespace emulator
