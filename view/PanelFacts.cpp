#include "PanelFacts.h"

#include "Printout.h"

using namespace Qt::StringLiterals;

namespace view {
namespace {

const QString kDateTime = u"dd.MM.yyyy HH:mm:ss"_s;

QString documentTypeName(emulator::DocumentType type)
{
    using enum emulator::DocumentType;
    switch (type) {
    case Sale:
        return u"Продажа"_s;
    case SaleAnnulment:
        return u"Аннулирование"_s;
    case Text:
        return u"Текстовый"_s;
    case CashIn:
        return u"Внесение"_s;
    case CashOut:
        return u"Выплата"_s;
    case Refund:
        return u"Возврат"_s;
    case TextWithoutNumber:
        return u"Текстовый без номера"_s;
    case Purchase:
        return u"Покупка"_s;
    case PurchaseReturn:
        return u"Возврат покупки"_s;
    }
    return QString::number(static_cast<int>(type));
}

} // namespace

QList<PanelFact> panelFacts(const emulator::Device& device, const DeviceAddress& address,
                            const std::function<QString(int)>& speedName)
{
    const emulator::DeviceState& s = device.state();
    const QString connection = u"Подключение"_s;
    const QString shift = u"Смена"_s;
    const QString document = u"Документ"_s;
    const QString money = u"Касса"_s;
    QList<PanelFact> facts{
        {connection, u"Порт"_s, u"COM%1"_s.arg(address.port)},
        {connection, u"Скорость"_s,
         speedName ? speedName(address.speed) : QString::number(address.speed)},
        {connection, u"Версия"_s, u"%1.%2"_s.arg(s.major).arg(s.minor)},
        {connection, u"Заводской номер"_s, s.serial},
        {connection, u"Часы устройства"_s,
         device.now().toString(kDateTime) +
             (s.clockStoppedAt.isValid() ? u" (остановлены)"_s : QString())},
    };
    if (s.shiftOpen) {
        facts << PanelFact{shift, u"Номер"_s, QString::number(s.shiftNumber)}
              << PanelFact{shift, u"Открыта"_s, s.shiftOpenedAt.toString(kDateTime)}
              << PanelFact{shift, u"Кассир"_s, s.cashier};
    } else {
        facts << PanelFact{shift, u"Состояние"_s, u"закрыта (всего смен: %1)"_s.arg(s.shiftNumber)};
    }
    if (s.document) {
        const emulator::Kopecks total = device.documentTotal();
        const emulator::Kopecks paid = device.paidTotal();
        facts << PanelFact{document, u"Тип"_s, documentTypeName(s.document->type)}
              << PanelFact{document, u"Номер"_s, QString::number(s.document->number)}
              << PanelFact{document, u"Позиций"_s, QString::number(s.document->body.entries.size())}
              << PanelFact{document, u"Итог"_s, emulator::formatMoney(total)}
              << PanelFact{document, u"Оплачено"_s, emulator::formatMoney(paid)}
              << PanelFact{document, u"К оплате"_s,
                           emulator::formatMoney(std::max<emulator::Kopecks>(0, total - paid))};
    } else {
        facts << PanelFact{document, u"Открытый документ"_s, u"нет"_s};
    }
    facts << PanelFact{money, u"Наличных в ящике"_s, emulator::formatMoney(s.cashInDrawer)}
          << PanelFact{money, u"Открытий ящика"_s, QString::number(s.drawerKicks)};
    const QString display = u"Дисплей покупателя"_s;
    const auto& screen = s.peripherals.display.lines;
    for (std::size_t row = 0; row < screen.size(); ++row) {
        // Trailing blanks are the unlit rest of the line.
        QString text = screen[row];
        while (text.endsWith(u' '))
            text.chop(1);
        facts << PanelFact{display, u"Строка %1"_s.arg(row + 1), text};
    }
    return facts;
}

} // namespace view
