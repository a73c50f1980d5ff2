#include "HintTableParts.h"

#include "DeviceNumbers.h"

using namespace Qt::StringLiterals;

namespace forms::hints {
namespace {

const QString kClose = u"Закрывает окно"_s;
const QString kCloseUnapplied = u"Закрывает окно; не примененные изменения не записываются"_s;

Hints reportsWindow()
{
    const auto shiftReport = [](const QString& name, std::int16_t kind) {
        return u"%1. Драйвер: SetClerk(кассир смены главного окна), затем PrintReport(%2)"_s
            .arg(name)
            .arg(kind);
    };
    const auto test = [](const QString& name, std::int16_t kind) {
        return u"%1. Драйвер: TestPrinter(%2)"_s.arg(name).arg(kind);
    };
    return {
        {u"CmdX1Report"_s, shiftReport(u"X-отчет"_s, ReportKind::X1)},
        {u"CmdX2Report"_s, shiftReport(u"X-отчет по отделам"_s, ReportKind::X2)},
        {u"CmdZ1Report"_s, shiftReport(u"Z-отчет, закрывает смену"_s, ReportKind::Z1)},
        {u"CmdProgReport"_s,
         u"Отчет по программированию. Драйвер: PrintReport(%1)"_s.arg(ReportKind::Programming)},
        {u"CmdTest"_s, test(u"Пробный чек"_s, TestKind::TrialReceipt)},
        {u"CmdFullTestPrint"_s, test(u"Тест печати"_s, TestKind::PrintTest)},
        {u"CmdTestDevice"_s, test(u"Тест принтера"_s, TestKind::PrinterTest)},
        {u"CmdTaxChainReport"_s,
         u"Как сумма проходит через цепочку. Драйвер: TaxChainReport(№ цепочки, сумма)"_s},
        {u"CmdTaxChainsReport"_s, u"Ставки и все цепочки. Драйвер: TaxChainsReport"_s},
        {u"CmdClose"_s, kClose},
        {u"TextChainNum"_s, u"Номер налоговой цепочки, 1–8"_s},
        {u"TextSum"_s, u"Сумма в копейках, до 32767"_s},
    };
}

Hints controlTapeWindow()
{
    const QString byNumber = u"Драйвер: EKLZPrintReportByNum"_s;
    const QString byDate = u"Драйвер: EKLZPrintReportByDate"_s;
    return {
        {u"CmdReportActivization"_s, u"Итоги активизации ЭКЛЗ. "_s + byNumber},
        {u"CmdCheckBand"_s, u"Контрольная лента смены. "_s + byNumber},
        {u"CmdSessionTotals"_s, u"Итоги смены. "_s + byNumber},
        {u"CmdDocument"_s, u"Документ по номеру КПК. "_s + byNumber},
        {u"CmdReportShortSessionNum"_s, u"Краткий отчет по номерам смен. "_s + byNumber},
        {u"CmdReportFullSessionNum"_s, u"Полный отчет по номерам смен. "_s + byNumber},
        {u"CmdReportShortSessionDate"_s, u"Краткий отчет по датам. "_s + byDate},
        {u"CmdReportFullSessionDate"_s, u"Полный отчет по датам. "_s + byDate},
        {u"cbElectronic"_s, u"Отчет не печатается, а читается в окно"_s},
        {u"CloseButton"_s, kClose},
        {u"TxtNumSession1"_s, u"Номер смены"_s},
        {u"TxtNumSession2"_s, u"Номер смены"_s},
        {u"TxtNumSession3_"_s, u"Номер смены"_s},
        {u"TxtNumSession4_"_s, u"Номер смены"_s},
        {u"TxtNumDocument"_s, u"Номер документа в ЭКЛЗ (КПК)"_s},
    };
}

Hints informationWindow()
{
    return {
        {u"cmdGetDescriptorValue"_s,
         u"Текст дескриптора. Драйвер: GetTextDeviceInfo(%1 + номер)"_s.arg(
             TextInfo::DescriptorBase)},
        {u"cmdGetMessageValue"_s,
         u"Текст сообщения. Драйвер: GetTextDeviceInfo(%1 + номер)"_s.arg(TextInfo::MessageBase)},
        {u"cmdCancel"_s, kClose},
        {u"txtDescriptorNum"_s, u"Номер дескриптора"_s},
        {u"txtMessageNum"_s, u"Номер сообщения"_s},
    };
}

Hints optionsWindow()
{
    return {
        {u"CmdSetHeader"_s, u"Записывает восемь строк заголовка чека. Драйвер: SetOrderHeader"_s},
        {u"CmdSetDate"_s, u"Устанавливает дату устройства. Драйвер: SetDate(день, месяц, год)"_s},
        {u"CmdSetTime"_s, u"Устанавливает время устройства. Драйвер: SetTime(час, мин., сек.)"_s},
        {u"CmdBrowseImageFile"_s, u"Выбор файла рисунка (BMP)"_s},
        {u"CmdLoadImage"_s, u"Загружает рисунок из файла. Драйвер: LoadImage(номер, файл)"_s},
        {u"CmdSetImage"_s, u"Выбирает рисунок для печати. Драйвер: SetImage(номер)"_s},
        {u"CmdDeleteImage"_s, u"Удаляет рисунок. Драйвер: DeleteImage(номер)"_s},
        {u"cmdLoadImages"_s, u"Загружает три рисунка из файлов. Драйвер: LoadImages"_s},
        {u"cmdSetPrintPic"_s,
         u"Включает или выключает печать рисунков 1–3. Драйвер: SetDeviceOpt(%1–%2)"_s
             .arg(DeviceOption::PrintPicture1)
             .arg(DeviceOption::PrintPicture3)},
        {u"CmdProgramBarCode"_s, u"Задает штрих-код для печати. Драйвер: ProgramBarCode"_s},
        {u"CmdProgramBarCodeDirect"_s,
         u"Задает штрих-код двоичной маской. Драйвер: ProgramBarCodeDirect"_s},
        {u"CmdApply"_s,
         u"Записывает измененные настройки, и только их. Драйвер: SetDeviceOpt, SetDriverOpt, "
         u"SetPaperType"_s},
        {u"CmdCancel"_s, kCloseUnapplied},
        {u"TxtHeader_"_s, u"Строка заголовка чека, до 40 символов"_s},
        {u"TxtDay"_s, u"День месяца, 1–31"_s},
        {u"TxtMonth"_s, u"Месяц, 1–12"_s},
        {u"TxtYear"_s, u"Год четырьмя цифрами"_s},
        {u"TxtHour"_s, u"Час, 0–23"_s},
        {u"TxtMin"_s, u"Минуты, 0–59"_s},
        {u"TxtSec"_s, u"Секунды, 0–59"_s},
        {u"TxtSessionTimeLimit"_s, u"Наибольшая продолжительность смены, часов"_s},
        {u"TxtNumImage"_s, u"Номер рисунка в памяти устройства"_s},
        {u"TxtStartBarCodeHeight"_s, u"Строк штрих-кода в начале чека"_s},
        {u"TxtEndBarCodeHeight"_s, u"Строк штрих-кода в конце чека"_s},
        {u"TxtBarCodeHeight"_s, u"Высота штрих-кода, точек"_s},
        {u"TxtScaling"_s, u"Шкалирование штрих-кода"_s},
        {u"TxtWidth"_s, u"Толщина линий штрих-кода"_s},
        {u"TxtBarCode"_s, u"Данные штрих-кода"_s},
        {u"ClockCorrectionText"_s, u"Поправка суточного хода часов, секунд: от -31 до 31"_s},
    };
}

Hints lineDisplayWindow()
{
    return {
        {u"cmdInit"_s, u"Очищает табло. Драйвер: InitLineDisplay"_s},
        {u"cmdString"_s, u"Показывает строку на табло. Драйвер: StringToLineDisplay"_s},
        {u"cmdDataDirect"_s,
         u"Посылает данные в протоколе табло. Драйвер: StringToLineDisplayDirect"_s},
        {u"cmdSetProtocol"_s, u"Задает протокол табло. Драйвер: SetDeviceOpt(%1)"_s.arg(
                                  DeviceOption::LineDisplayProtocol)},
        {u"cbLockLineDisplay"_s, u"Блокирует табло для программы. Драйвер: SetDeviceOpt(%1)"_s.arg(
                                     DeviceOption::LineDisplayLocked)},
        {u"CancelButton"_s, kClose},
        {u"txtMsg"_s, u"Текст для табло, до 40 символов (две строки по 20)"_s},
        {u"txtData"_s, u"Байты команд и текста в выбранном протоколе табло"_s},
    };
}

Hints slipWindow()
{
    return {
        {u"ApplyButton"_s,
         u"Задает режим печати документов. Драйвер: SetClerk(кассир документа), затем "
         u"SetPrintDocumentMode"_s},
        {u"CancelButton"_s, kClose},
        {u"TxtNumberOfCopies"_s, u"Количество копий, 1–9"_s},
        {u"TxtFiscalCopyNumber"_s, u"Какая из копий фискальная: от 1 до числа копий"_s},
        {u"TxtRowsBefore"_s, u"Пустых строк перед копией, 0–99"_s},
        {u"TxtRowsBetween"_s, u"Пустых строк между копиями, 0–99"_s},
    };
}

Hints taxesWindow()
{
    return {
        {u"CmdEditChain_"_s, u"Открывает редактор цепочки; записывает ее \"Применить\""_s},
        {u"CmdApply"_s,
         u"Записывает измененные ставки и цепочки. Драйвер: SetTaxRate, SetTaxChain, "
         u"SetDeviceOpt(%1)"_s.arg(DeviceOption::UseTaxChains)},
        {u"CmdCancel"_s, kCloseUnapplied},
        {u"Text1"_s, u"Ставка в сотых долях процента: 2000 — 20.00 %"_s},
        {u"Text2"_s, u"Ставка в сотых долях процента: 2000 — 20.00 %"_s},
        {u"Text3"_s, u"Ставка в сотых долях процента: 2000 — 20.00 %"_s},
        {u"Text4"_s, u"Ставка в сотых долях процента: 2000 — 20.00 %"_s},
        {u"TextChain_"_s, u"Налоговая цепочка, 20 символов"_s},
    };
}

Hints chainEditor()
{
    return {
        {u"OKButton"_s, u"Возвращает цепочку в окно налогов; в устройство она не пишется"_s},
        {u"CancelButton"_s, u"Закрывает редактор, цепочка остается прежней"_s},
    };
}

Hints extrasWindow()
{
    const QString descriptor = u"Текст дескриптора, до 40 символов"_s;
    const QString value = u"Данные документа: целое число на третьем поколении, иначе текст до "
                          u"40 символов; уходят в SetExtraDocData при открытии документа"_s;
    return {
        {u"CmdApply"_s, u"Записывает измененное. Драйвер: SetDescriptorText, ClearExtraStrings, "
                        u"AddExtraString"_s},
        {u"CmdClose"_s, kCloseUnapplied},
        {u"TxtDesc42"_s, descriptor},
        {u"TxtDesc80"_s, descriptor},
        {u"TxtDesc81"_s, descriptor},
        {u"TxtDesc82"_s, descriptor},
        {u"TxtValDesc42"_s, value},
        {u"TxtValDesc80"_s, u"Данные документа, текст до 40 символов"_s},
        {u"TxtValDesc81"_s, value},
        {u"TxtValDesc82"_s, value},
        {u"TxtExtraStrings"_s, u"Строки, печатаемые в начале чека, до 80 символов каждая"_s},
    };
}

Hints paymentMeansWindow()
{
    return {
        {u"CmdApply"_s, u"Записывает все восемь платежных средств. Драйвер: SetPaymentMean"_s},
        {u"CmdClose"_s, kCloseUnapplied},
        {u"txtPMName_"_s, u"Название платежного средства, до 20 символов"_s},
    };
}

Hints tapeWindow()
{
    return {
        {u"CmdFind"_s, u"Ищет текст на ленте, от места в виду назад"_s},
        {u"CmdSaveDocument"_s, u"Сохраняет документ в виду как PNG или PDF"_s},
        {u"CmdSaveShift"_s, u"Сохраняет всю смену как PNG или PDF"_s},
    };
}

Hints panelWindow()
{
    return {
        {u"CmdSetFault"_s, u"Следующий вызов выбранного члена драйвера ответит этим кодом"_s},
        {u"CmdClearFault"_s, u"Снимает заданный сбой"_s},
        {u"CmdSnapshotSave"_s, u"Сохраняет снимок всего устройства под этим именем"_s},
        {u"CmdSnapshotRestore"_s, u"Возвращает устройство к выбранному снимку"_s},
        {u"CmdSnapshotDelete"_s, u"Удаляет выбранный снимок"_s},
    };
}

Hints journalWindow()
{
    return {
        {u"CmdCopy"_s, u"Копирует выбранные вызовы (Ctrl+C)"_s},
        {u"CmdSave"_s,
         u"Сохраняет вызовы сценарием, который quolt-device replay повторит на устройстве"_s},
    };
}

} // namespace

void addReportWindows(Table& table)
{
    table.insert(u"FormReports"_s, reportsWindow());
    table.insert(u"dlgEKLZ"_s, controlTapeWindow());
    table.insert(u"dlgInfo"_s, informationWindow());
    table.insert(u"dlgStatus"_s, {{u"CancelButton"_s, kClose}});
}

void addSettingWindows(Table& table)
{
    table.insert(u"FormOptions"_s, optionsWindow());
    table.insert(u"dlgLineDisplay"_s, lineDisplayWindow());
    table.insert(u"dlgPrintDocumentMode"_s, slipWindow());
    table.insert(u"FormTaxes"_s, taxesWindow());
    table.insert(u"dlgEditChain"_s, chainEditor());
    table.insert(u"FormExtraDocData"_s, extrasWindow());
    table.insert(u"dlgPaymentMeans"_s, paymentMeansWindow());
    table.insert(u"dlgExtraInfo2"_s, {{u"CmdCancel"_s, kClose}});
}

void addViewWindows(Table& table)
{
    table.insert(u"TapeWindow"_s, tapeWindow());
    table.insert(u"PanelWindow"_s, panelWindow());
    table.insert(u"JournalWindow"_s, journalWindow());
}

} // namespace forms::hints
