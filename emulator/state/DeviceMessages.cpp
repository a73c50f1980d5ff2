#include "DeviceMessages.h"

#include <array>

namespace emulator {
namespace {

struct Message
{
    Word word;
    const char16_t* text;
};

// In the device's own order: each row stands at its word's number.
constexpr std::array<Message, kWordCount> kMessages{{
    {Word::Total, u"ИТОГ"},
    {Word::Change, u"СДАЧА"},
    {Word::InCash, u"НАЛИЧНЫМИ"},
    {Word::ByCard, u"ПЛАТЕЖНОЙ КАРТОЙ"},
    {Word::ByCheque, u"ЧЕКОМ"},
    {Word::OnCredit, u"КРЕДИТОМ"},
    {Word::Subtotal, u"ПОДЫТОГ"},
    {Word::Discount, u"СКИДКА"},
    {Word::Surcharge, u"НАДБАВКА"},
    {Word::Void, u"СТОРНО"},
    {Word::Correction, u"КОРРЕКЦИЯ"},
    {Word::Repeat, u"ПОВТОР"},
    {Word::Sale, u"ПРОДАЖА"},
    {Word::Annulment, u"АННУЛИРОВАНИЕ"},
    {Word::Return, u"ВОЗВРАТ"},
    {Word::Purchase, u"ПОКУПКА"},
    {Word::PurchaseReturn, u"ВОЗВРАТ ПОКУПКИ"},
    {Word::CashIn, u"ВНЕСЕНИЕ"},
    {Word::CashOut, u"ВЫПЛАТА"},
    {Word::Tare, u"ТАРА"},
    {Word::TareReturn, u"ВОЗВРАТ ТАРЫ"},
    {Word::Department, u"ОТДЕЛ"},
    {Word::Cashier, u"КАССИР"},
    {Word::Shift, u"СМЕНА"},
    {Word::Receipt, u"ЧЕК"},
    {Word::Document, u"ДОКУМЕНТ"},
    {Word::DocumentCancelled, u"ДОКУМЕНТ АННУЛИРОВАН"},
    {Word::Duplicate, u"ДУБЛИКАТ"},
    {Word::XReport, u"X-ОТЧЕТ"},
    {Word::ZReport, u"Z-ОТЧЕТ"},
    {Word::ShiftOpened, u"СМЕНА ОТКРЫТА"},
    {Word::ShiftClosed, u"СМЕНА ЗАКРЫТА"},
    {Word::NonFiscal, u"НЕФИСКАЛЬНЫЙ ДОКУМЕНТ"},
    {Word::Tax, u"НАЛОГ"},
    {Word::Overall, u"ВСЕГО"},
    {Word::Eklz, u"ЭКЛЗ"},
    {Word::Kpk, u"КПК"},
    {Word::Inn, u"ИНН"},
    {Word::Register, u"ККМ"},
    {Word::FiscalMark, u"ФП"},
    {Word::SaleAnnulment, u"АННУЛИРОВАНИЕ ПРОДАЖИ"},
    {Word::TextDocument, u"ТЕКСТОВЫЙ ДОКУМЕНТ"},
    {Word::RefundPayout, u"ВЫПЛАТА ЗА ВОЗВРАЩЕННЫЙ ТОВАР"},
    {Word::ShiftOpening, u"ОТКРЫТИЕ СМЕНЫ"},
    {Word::X2Report, u"X2-ОТЧЕТ ПО ОТДЕЛАМ"},
    {Word::ProgrammingReport, u"ОТЧЕТ ПО ПРОГРАММИРОВАНИЮ"},
    {Word::TrialReceipt, u"ПРОБНЫЙ ЧЕК"},
    {Word::PrintTest, u"ТЕСТ ПЕЧАТИ"},
    {Word::PrinterTest, u"ТЕСТ ПРИНТЕРА"},
    {Word::Welcome, u"ДОБРО ПОЖАЛОВАТЬ!"},
    {Word::Sales, u"ПРОДАЖИ"},
    {Word::Annulments, u"АННУЛИРОВАНИЯ"},
    {Word::Returns, u"ВОЗВРАТЫ"},
    {Word::Purchases, u"ПОКУПКИ"},
    {Word::PurchaseReturns, u"ВОЗВРАТЫ ПОКУПОК"},
    {Word::CashIns, u"ВНЕСЕНИЯ"},
    {Word::CashOuts, u"ВЫПЛАТЫ"},
    {Word::Discounts, u"СКИДКИ"},
    {Word::Surcharges, u"НАДБАВКИ"},
    {Word::Corrections, u"КОРРЕКЦИИ"},
    {Word::Cancellations, u"ОТМЕНЫ ЧЕКОВ"},
    {Word::Duplicates, u"ДУБЛИКАТЫ"},
    {Word::CashInDrawer, u"НАЛИЧНЫХ В КАССЕ"},
    {Word::RunningTotal, u"НАРАСТАЮЩИЙ ИТОГ"},
    {Word::Opened, u"ОТКРЫТА"},
    {Word::Closed, u"ЗАКРЫТА"},
    {Word::CashDesk, u"КАССА"},
    {Word::DocumentShort, u"ДОК"},
    {Word::DepartmentShort, u"ОТД"},
    {Word::Order, u"ЗАКАЗ"},
    {Word::PurchaseCount, u"ПОКУПОК"},
    {Word::Card, u"КАРТА"},
    {Word::Goods, u"ТОВАР"},
    {Word::TaxableSum, u"ОБЛАГАЕМАЯ СУММА"},
    {Word::TaxesSum, u"СУММА НАЛОГОВ"},
    {Word::VatIncluded, u"В Т.Ч. НДС"},
    {Word::TaxChain, u"НАЛОГОВАЯ ЦЕПОЧКА"},
    {Word::TaxChains, u"НАЛОГОВЫЕ ЦЕПОЧКИ"},
    {Word::Rate, u"СТАВКА"},
    {Word::Sum, u"СУММА"},
    {Word::Included, u"ВКЛЮЧЕН"},
    {Word::Charged, u"НАЧИСЛЕН"},
    {Word::FromSum, u"С СУММЫ"},
    {Word::SwitchedOn, u"ВКЛЮЧЕНЫ"},
    {Word::SwitchedOff, u"ВЫКЛЮЧЕНЫ"},
    {Word::Version, u"ВЕРСИЯ"},
    {Word::SerialNumber, u"ЗАВ. НОМЕР"},
    {Word::Option, u"ОПЦИЯ"},
    {Word::Speed, u"СКОРОСТЬ"},
    {Word::ClockCorrection, u"КОРРЕКЦИЯ ЧАСОВ"},
    {Word::PaperType, u"ТИП БУМАГИ"},
    {Word::ReceiptHeader, u"ЗАГОЛОВОК ЧЕКА"},
    {Word::Pictures, u"КАРТИНКИ"},
    {Word::No, u"НЕТ"},
    {Word::Normal, u"НОРМА"},
    {Word::Paper, u"БУМАГА"},
    {Word::Low, u"МАЛО"},
    {Word::Battery, u"БАТАРЕЯ"},
    {Word::Discharged, u"РАЗРЯЖЕНА"},
    {Word::NearlyFull, u"ПОЧТИ ЗАПОЛНЕНА"},
    {Word::Full, u"ЗАПОЛНЕНА"},
    {Word::Drawer, u"ДЕНЕЖНЫЙ ЯЩИК"},
    {Word::IsOpen, u"ОТКРЫТ"},
    {Word::IsClosed, u"ЗАКРЫТ"},
    {Word::Printer, u"ПРИНТЕР"},
    {Word::Error, u"ОШИБКА"},
    {Word::Slip, u"ПОДКЛАДНОЙ ДОКУМЕНТ"},
    {Word::Yes, u"ЕСТЬ"},
    {Word::Bold, u"ЖИРНЫЙ"},
    {Word::DoubleWidth, u"ДВОЙНАЯ ШИРИНА"},
    {Word::DoubleHeight, u"ДВОЙНАЯ ВЫСОТА"},
    {Word::Underlined, u"ПОДЧЕРКНУТЫЙ"},
    {Word::ControlTape, u"КОНТРОЛЬНАЯ ЛЕНТА"},
    {Word::ActivationTotal, u"ИТОГ АКТИВИЗАЦИИ ЭКЛЗ"},
    {Word::Activation, u"АКТИВИЗАЦИЯ"},
    {Word::RegistrationNumber, u"РЕГ. НОМЕР"},
    {Word::ShiftTotals, u"ИТОГИ СМЕНЫ"},
    {Word::ShiftNotClosed, u"СМЕНА НЕ ЗАКРЫТА"},
    {Word::DocumentByKpk, u"ДОКУМЕНТ ПО НОМЕРУ КПК"},
    {Word::FullReport, u"ПОЛНЫЙ ОТЧЕТ ПО ЗАКРЫТИЯМ СМЕН"},
    {Word::ShortReport, u"КРАТКИЙ ОТЧЕТ ПО ЗАКРЫТИЯМ СМЕН"},
    {Word::Shifts, u"СМЕН"},
    {Word::Copy, u"КОПИЯ"},
}};

constexpr bool inOrder()
{
    for (std::size_t i = 0; i < kMessages.size(); ++i) {
        if (static_cast<std::size_t>(kMessages[i].word) != i)
            return false;
    }
    return true;
}
static_assert(inOrder(), "every message stands at its word's number");

} // namespace

QString word(Word w)
{
    return QString::fromUtf16(kMessages[static_cast<std::size_t>(w)].text);
}

QString deviceMessage(int number)
{
    if (number < 0 || number >= kWordCount)
        return QString();
    return word(static_cast<Word>(number));
}

} // namespace emulator
