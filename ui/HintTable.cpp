#include "HintTableParts.h"

#include "DeviceNumbers.h"

#include <initializer_list>
#include <utility>

using namespace Qt::StringLiterals;

namespace forms::hints {
namespace {

Hints merged(std::initializer_list<Hints> parts)
{
    Hints all;
    for (const Hints& part : parts)
        all.insert(part);
    return all;
}

QString docInfo(const QString& what, std::int16_t index)
{
    return u"%1 (GetDocInfo(%2))"_s.arg(what).arg(index);
}

// What every window over an open document names alike.
Hints documentControls()
{
    const QString documentOpen = u"GetDeviceInfo(%1)"_s.arg(DeviceInfo::DocumentOpen);
    return {
        {u"CmdTender"_s, u"Регистрирует платеж. Драйвер: Tender2, затем %1: документ, который "
                         u"устройство закрыло, закрывает окно"_s.arg(documentOpen)},
        {u"CmdCloseDoc"_s, u"Завершает документ. Драйвер: EndDocument"_s},
        {u"CmdCancel"_s, u"Отменяет документ на устройстве. Драйвер: CancelDocument"_s},
        {u"CmdResetError"_s,
         u"Сбрасывает ошибку устройства. Драйвер: ResetError, затем %1"_s.arg(documentOpen)},
        {u"CmdItemChange"_s, u"Скидка или наценка суммой. Драйвер: AbsoluteCorrection"_s},
        {u"CmdProcChange"_s, u"Скидка или наценка в процентах. Драйвер: PercentCorrection"_s},
        {u"CmdAbsoluteChangeText"_s,
         u"Скидка или наценка суммой, со своим текстом. Драйвер: AbsoluteCorrectionText"_s},
        {u"CmdStatus"_s, u"Открывает окно состояния устройства (GetDeviceInfo, GetDeviceOpt)"_s},
        {u"CmdExtraInfo"_s, u"Открывает окно статистики (GetDocInfo, GetDoubleDeviceInfo)"_s},
        {u"TxtQuantity"_s, u"Количество в тысячных: 1000 — одна штука"_s},
        {u"TxtAmount"_s, u"Цена в копейках: 100 — один рубль"_s},
        {u"TxtText"_s, u"Название позиции, до 40 символов"_s},
        {u"TxtTaxGroup"_s, u"Номер налоговой группы, 0–8 (0 — без налога)"_s},
        {u"TxtSection"_s, u"Отдел позиции, целое число"_s},
        {u"TxtTenderAmount"_s, u"Сумма платежа в копейках: 5000 — 50 рублей"_s},
        {u"ComboTenderID"_s,
         u"Тип оплаты 1–8, его номер уходит в Tender2; текст, не совпавший ни с одним типом, "
         u"дает тип 0"_s},
        {u"TxtTenderCardNum"_s, u"Номер карты, до 20 символов"_s},
        {u"TxtTenderAuthCode"_s, u"Номер платежного документа, до 20 символов"_s},
        {u"TxtAbsCh"_s, u"Сумма в копейках: со знаком минус — скидка, без него — наценка"_s},
        {u"TxtAbsChText"_s, u"Сумма в копейках: со знаком минус — скидка, без него — наценка"_s},
        {u"TxtChProc"_s, u"Процент: со знаком минус — скидка, без него — наценка"_s},
        {u"TxtAbsoluteChangeText"_s, u"Текст скидки или наценки, до 40 символов"_s},
        {u"TxtAllItems"_s,
         docInfo(u"Количество всех позиций, в тысячных"_s, DocInfo::ItemQuantity)},
        {u"TxtUnicalItems"_s, docInfo(u"Число разных позиций"_s, DocInfo::DistinctItems)},
        {u"TxtAllAmount"_s, docInfo(u"Итог документа в копейках"_s, DocInfo::Amount)},
        {u"TxtTenders"_s, docInfo(u"Число платежей"_s, DocInfo::Payments)},
        {u"TxtAllTenderAmount"_s, docInfo(u"Сумма платежей в копейках"_s, DocInfo::PaidAmount)},
        {u"TxtFreeDocItems"_s,
         docInfo(u"Сколько еще позиций примет документ"_s, DocInfo::FreeItems)},
        {u"TxtFreeDocMemory"_s, docInfo(u"Свободная память документа"_s, DocInfo::FreeMemory)},
    };
}

const QString kExtendedError = u"Показывает расширенный код последней ошибки и его описание. "
                               u"Драйвер: GetErrorCode2, GetErrorComment2"_s;

Hints mainWindow()
{
    const auto opens = [](const QString& window, const QString& calls) {
        return u"Открывает окно «%1» (%2)"_s.arg(window, calls);
    };
    return {
        {u"CmdOpenSession"_s, u"Открывает смену. Драйвер: StartSession(кассир, № кассы)"_s},
        {u"CmdCloseSession"_s, u"Закрывает смену. Драйвер: EndSession"_s},
        {u"CmdOpenDrawer"_s,
         u"Открывает денежный ящик. Драйвер: SetClerk(кассир смены), затем OpenDrawer"_s},
        {u"CmdPrintDuplicate"_s, u"Печатает дубликат последнего чека. Драйвер: PrintDuplicate"_s},
        {u"CmdOpenDoc"_s,
         u"Открывает документ выбранного вида и его окно. Драйвер: SetExtraDocData или "
         u"SetExtraDocData2 (с третьего поколения), затем StartDocument"_s},
        {u"CmdDeviceData"_s,
         u"Перечитывает счетчики документов и смен. Драйвер: GetDeviceInfo, GetTextDeviceInfo"_s},
        {u"CmdGetExtendedError"_s, kExtendedError},
        {u"CmdSettings"_s,
         opens(u"Настройки"_s, u"GetDeviceOpt, SetDeviceOpt, заголовок, дата, рисунки"_s)},
        {u"CmdTaxes"_s, opens(u"Налоги"_s, u"GetTaxRate, SetTaxRate, GetTaxChain, SetTaxChain"_s)},
        {u"CmdReports"_s, opens(u"Отчеты"_s, u"PrintReport, TestPrinter, TaxChainReport"_s)},
        {u"CmdStatus"_s, opens(u"Статус устройства"_s, u"GetDeviceInfo, GetDeviceOpt"_s)},
        {u"cmdInfo"_s, opens(u"Информация"_s, u"GetTextDeviceInfo"_s)},
        {u"CmdExtraInfo"_s, opens(u"Статистика"_s, u"GetDocInfo, GetDoubleDeviceInfo"_s)},
        {u"CmdEKLZ"_s, opens(u"ЭКЛЗ"_s, u"EKLZPrintReportByNum, EKLZPrintReportByDate"_s)},
        {u"CmdLineDisplay"_s,
         opens(u"Табло"_s, u"InitLineDisplay, StringToLineDisplay, SetDeviceOpt"_s)},
        {u"CmdExtraDocData"_s,
         opens(u"Дополнительно"_s, u"SetDescriptorText, AddExtraString, ClearExtraStrings"_s)},
        {u"CmdPaymentMeans"_s, opens(u"Платежные средства"_s, u"SetPaymentMean"_s)},
        {u"CmdPrintDocumentCopyMode"_s,
         opens(u"Режим печати документа"_s, u"SetClerk, SetPrintDocumentMode"_s)},
        {u"CmdClose"_s, u"Освобождает устройство и завершает программу. Драйвер: DeinitDevice"_s},
        {u"TxtSessPosIS"_s, u"Номер кассы для StartSession, целое число"_s},
        {u"TxtSessClerkID"_s,
         u"Кассир смены, до 24 символов: для StartSession, ящика и X и Z отчетов"_s},
        {u"TxtSection"_s, u"Отдел документа для StartDocument, от -32768 до 32767"_s},
        {u"TxtClerkID"_s, u"Кассир документа для StartDocument, до 24 символов"_s},
        {u"TXTCustomerID"_s, u"Номер заказа для StartDocument, до 20 символов"_s},
    };
}

Hints startWindow()
{
    return {
        {u"InitCommand"_s,
         u"Передает настройки драйверу и инициализирует устройство. Драйвер: SetPassword, "
         u"SetDriverOpt (порт, скорость, кэширование), SetLanguage, SetLogOpt, SetLogFile, "
         u"InitDevice"_s},
        {u"CmdLLLog"_s, u"Выбор файла журнала низкого уровня"_s},
        {u"CmdHLLog"_s, u"Выбор файла журнала ошибок высокого уровня"_s},
        {u"TxtComPort"_s, u"Номер COM-порта, целое число; у каждого порта свое устройство"_s},
        {u"TxtPasswrd"_s, u"Пароль доступа к устройству"_s},
        {u"TxtLLLog"_s, u"Журнал низкого уровня; путь вида c:\\имя.log — файл в папке устройств"_s},
        {u"TxtHLLog"_s, u"Журнал ошибок; путь вида c:\\имя.log — файл в папке устройств"_s},
    };
}

Hints speedDialog()
{
    return {
        {u"OKButton"_s,
         u"Подтверждает выбор: главное окно передаст позицию скорости в SetDeviceOpt(%1)"_s.arg(
             DeviceOption::Speed)},
        {u"CancelButton"_s, u"Закрывает окно, ничего не передавая устройству"_s},
    };
}

Hints saleWindow()
{
    return {
        {u"CmdItem"_s,
         u"Регистрирует позицию выбранного вида. Драйвер: Item или ItemEx (товар), ItemTare или "
         u"ItemTareEx (тара), ReturnTare (возврат тары); формы Ex — для отдела, отличного от "
         u"отдела документа"_s},
        {u"CmdVoidItem"_s,
         u"Отменяет позицию выбранного вида. Драйвер: VoidItem или VoidItemEx, VoidItemTare или "
         u"VoidItemTareEx, VoidReturnTare; количество уходит текстом, как введено"_s},
        {u"CmdRepeat"_s, u"Повторяет последнюю позицию. Драйвер: RepeatItem"_s},
        {u"CmdCorrection"_s, u"Отменяет последнюю операцию. Драйвер: CorrectLastItem"_s},
        {u"CmdTenderReset"_s, u"Сбрасывает введенные платежи. Драйвер: ResetPayInfo"_s},
        {u"CmdItog"_s, u"Печатает промежуточный итог. Драйвер: PrintResult"_s},
        {u"CmdText"_s,
         u"Пятое поколение: печатает строку (TextLine); шестое: добавляет строку в конец чека "
         u"(AddExtraString2)"_s},
        {u"CheckAutoCloseReceipt"_s,
         u"Драйвер: SetDriverOpt(%1) — устройство само завершает оплаченный чек"_s.arg(
             DriverOption::AutoClose)},
        {u"TxtSection"_s,
         u"Отдел позиции: отдел документа — Item, другой — формы Ex с этим отделом"_s},
        {u"TxtNumTextLine"_s, u"Номер дополнительной строки для AddExtraString2, как введен"_s},
        {u"TxtTextLine"_s, u"Строка текста, до 40 символов (дополнительная строка — до 80)"_s},
    };
}

Hints annulmentWindow()
{
    return {
        {u"CmdItem"_s, u"Регистрирует аннулируемую позицию. Драйвер: Item"_s},
        {u"CmdVoidItem"_s,
         u"Отменяет позицию. Драйвер: VoidItem; количество уходит текстом, как введено"_s},
        {u"Command1"_s, u"Отменяет последнюю операцию. Драйвер: CorrectLastItem"_s},
        {u"CmdCloseDoc"_s, u"Печатает и завершает чек. Драйвер: EndDocument"_s},
    };
}

Hints purchaseWindow()
{
    return {
        {u"CmdItem"_s, u"Регистрирует покупку. Драйвер: ItemPurchase, всегда с отделом"_s},
        {u"CmdVoidItem"_s,
         u"Отменяет позицию. Драйвер: VoidItem (отдел документа) или VoidItemEx, налоговая "
         u"группа 0"_s},
        {u"CmdTender"_s,
         u"Платеж наличными. Драйвер: Tender2 с типом оплаты %1"_s.arg(PaymentType::Cash)},
    };
}

Hints purchaseReturnWindow()
{
    return {
        {u"CmdItem"_s, u"Регистрирует возврат покупки. Драйвер: ItemPurchase"_s},
        {u"CmdVoidItem"_s,
         u"Отменяет позицию. Драйвер: VoidItem (отдел документа) или VoidItemEx"_s},
        {u"CmdCorrectLastItem"_s, u"Отменяет последнюю операцию. Драйвер: CorrectLastItem"_s},
    };
}

Hints textWindow()
{
    const auto attribute = [](std::int16_t option) {
        return u"Атрибут следующих строк. Драйвер: SetDriverOpt(%1)"_s.arg(option);
    };
    return {
        {u"CmdText"_s, u"Печатает строку. Драйвер: TextLine"_s},
        {u"CmdExit"_s, u"Завершает документ. Драйвер: EndDocument"_s},
        {u"CmdGetExtendedError"_s, kExtendedError},
        {u"cbDoubleWidth"_s, attribute(DriverOption::DoubleWidth)},
        {u"cbDoubleHeight"_s, attribute(DriverOption::DoubleHeight)},
        {u"cbUnderline"_s, attribute(DriverOption::Underline)},
        {u"TxtText"_s, u"Строка текста, до 40 символов (20 двойной ширины)"_s},
    };
}

} // namespace

const Table& table()
{
    static const Table all = [] {
        const Hints document = documentControls();
        Table t;
        t.insert(u"MainForm"_s, mainWindow());
        t.insert(u"StartForm"_s, startWindow());
        t.insert(u"dlgBaudRate"_s, speedDialog());
        t.insert(u"FormSale"_s, merged({document, saleWindow()}));
        t.insert(u"FormVoidItem"_s, merged({document, annulmentWindow()}));
        t.insert(u"FormPay"_s, document);
        t.insert(u"FormPurchase"_s, merged({document, purchaseWindow()}));
        t.insert(u"FormVoidPurchase"_s, merged({document, purchaseReturnWindow()}));
        t.insert(u"FormTextDoc"_s, merged({document, textWindow()}));
        addReportWindows(t);
        addSettingWindows(t);
        addViewWindows(t);
        return t;
    }();
    return all;
}

} // namespace forms::hints
