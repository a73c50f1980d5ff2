#include "ErrorCodes.h"

#include <array>
#include <iterator>

using namespace Qt::StringLiterals;

namespace emulator {
namespace {

constexpr std::array kCodes{
    ErrorCodeInfo{ErrorCode::NoError, u"Нет ошибок", u"No errors"},
    ErrorCodeInfo{ErrorCode::NotInitialised, u"Устройство не инициализировано",
                  u"Device is not initialised"},
    ErrorCodeInfo{ErrorCode::WrongPassword, u"Неверный пароль доступа", u"Wrong access password"},
    ErrorCodeInfo{ErrorCode::InvalidPort, u"Неверный номер COM-порта", u"Invalid COM port number"},
    ErrorCodeInfo{ErrorCode::InvalidSpeed, u"Неверная скорость обмена", u"Invalid exchange speed"},
    ErrorCodeInfo{ErrorCode::InvalidLanguage, u"Неизвестный язык сообщений",
                  u"Unknown message language"},
    ErrorCodeInfo{ErrorCode::LogFileError, u"Лог-файл недоступен для записи",
                  u"The log file cannot be written"},
    ErrorCodeInfo{ErrorCode::InvalidQuantity, u"Недопустимое количество", u"Invalid quantity"},
    ErrorCodeInfo{ErrorCode::InvalidPrice, u"Недопустимая цена", u"Invalid price"},
    ErrorCodeInfo{ErrorCode::InvalidAmount, u"Недопустимая сумма", u"Invalid amount"},
    ErrorCodeInfo{ErrorCode::TextTooLong, u"Слишком длинный текст", u"Text too long"},
    ErrorCodeInfo{ErrorCode::UnknownPaymentType, u"Неизвестный тип оплаты",
                  u"Unknown payment type"},
    ErrorCodeInfo{ErrorCode::UnknownDocumentType, u"Неизвестный тип документа",
                  u"Unknown document type"},
    ErrorCodeInfo{ErrorCode::UnknownIndex, u"Неизвестный номер параметра",
                  u"Unknown parameter number"},
    ErrorCodeInfo{ErrorCode::InvalidValue, u"Недопустимое значение параметра",
                  u"Invalid parameter value"},
    ErrorCodeInfo{ErrorCode::Overflow, u"Переполнение суммы", u"Sum overflow"},
    ErrorCodeInfo{ErrorCode::ShiftTooLong, u"Превышена продолжительность смены",
                  u"The shift has lasted too long"},
    ErrorCodeInfo{ErrorCode::ShiftNotOpen, u"Смена не открыта", u"The shift is not open"},
    ErrorCodeInfo{ErrorCode::ShiftAlreadyOpen, u"Смена уже открыта", u"The shift is already open"},
    ErrorCodeInfo{ErrorCode::DocumentAlreadyOpen, u"Документ уже открыт",
                  u"A document is already open"},
    ErrorCodeInfo{ErrorCode::NoOpenDocument, u"Нет открытого документа", u"No open document"},
    ErrorCodeInfo{ErrorCode::NotAllowedInDocument, u"Операция недопустима в документе этого типа",
                  u"Operation not allowed in this type of document"},
    ErrorCodeInfo{ErrorCode::NotAllowedInState,
                  u"Операция недопустима в текущем состоянии документа",
                  u"Operation not allowed in the document's current state"},
    ErrorCodeInfo{ErrorCode::PaymentInsufficient, u"Недостаточно оплаты для закрытия документа",
                  u"Payment insufficient to close the document"},
    ErrorCodeInfo{ErrorCode::NonCashExceedsTotal, u"Безналичная оплата превышает остаток к оплате",
                  u"Non-cash payment exceeds the amount due"},
    ErrorCodeInfo{ErrorCode::PositionNotFound, u"Позиция для сторно не найдена",
                  u"No such position to void"},
    ErrorCodeInfo{ErrorCode::NothingToRepeat, u"Нет операции для повтора или коррекции",
                  u"No operation to repeat or correct"},
    ErrorCodeInfo{ErrorCode::NegativeTotal, u"Сумма не может стать отрицательной",
                  u"The amount would become negative"},
    ErrorCodeInfo{ErrorCode::DocumentFull, u"Превышено число позиций в документе",
                  u"Too many positions in the document"},
    ErrorCodeInfo{ErrorCode::NoReceiptForDuplicate, u"Нет чека для печати дубликата",
                  u"No receipt to print a duplicate of"},
    ErrorCodeInfo{ErrorCode::InsufficientCash, u"Недостаточно наличных в кассе",
                  u"Not enough cash in the drawer"},
    ErrorCodeInfo{ErrorCode::ZeroTotal, u"Чек с нулевым итогом запрещён",
                  u"A receipt with a zero total is not allowed"},
    ErrorCodeInfo{ErrorCode::PayoutExceedsCash, u"Выплата превышает наличные в кассе",
                  u"The payout exceeds the cash in the drawer"},
    ErrorCodeInfo{ErrorCode::PaperOut, u"Нет бумаги", u"Paper out"},
    ErrorCodeInfo{ErrorCode::PrinterError, u"Ошибка принтера", u"Printer error"},
    ErrorCodeInfo{ErrorCode::NotSupportedByGeneration,
                  u"Команда не поддерживается данной версией устройства",
                  u"Command not supported by this device version"},
    ErrorCodeInfo{ErrorCode::NotSupportedYet, u"Команда пока не поддерживается эмулятором",
                  u"Command not supported by the emulator yet"},
    ErrorCodeInfo{ErrorCode::InjectedFault, u"Имитация неисправности устройства",
                  u"Simulated device fault"},
    ErrorCodeInfo{ErrorCode::StorageError, u"Ошибка памяти устройства", u"Device memory error"},
    ErrorCodeInfo{ErrorCode::DeviceDamaged, u"Память устройства повреждена",
                  u"The device memory is damaged"},
    ErrorCodeInfo{ErrorCode::NoConnection, u"Нет связи с устройством",
                  u"No connection with the device"},
    ErrorCodeInfo{ErrorCode::InvalidTaxChain, u"Неверная налоговая цепочка", u"Invalid tax chain"},
    ErrorCodeInfo{ErrorCode::FileNotFound, u"Файл не найден", u"File not found"},
    ErrorCodeInfo{ErrorCode::BadPicture, u"Файл не является точечным рисунком",
                  u"The file is not a bitmap picture"},
    ErrorCodeInfo{ErrorCode::PictureTooLarge, u"Рисунок слишком велик",
                  u"The picture is too large"},
    ErrorCodeInfo{ErrorCode::NoPicture, u"Рисунок не загружен", u"No picture is loaded"},
    ErrorCodeInfo{ErrorCode::InvalidBarCode, u"Недопустимое содержимое штрих-кода",
                  u"Invalid bar code content"},
    ErrorCodeInfo{ErrorCode::InvalidDate, u"Недопустимая дата", u"Invalid date"},
    ErrorCodeInfo{ErrorCode::InvalidTime, u"Недопустимое время", u"Invalid time"},
    ErrorCodeInfo{ErrorCode::DateBeforeLastRecord,
                  u"Дата раньше последней записи фискальной памяти",
                  u"The date is before the last fiscal memory record"},
    ErrorCodeInfo{ErrorCode::EklzNoData, u"Нет запрошенных данных в ЭКЛЗ",
                  u"The EKLZ holds no such data"},
    ErrorCodeInfo{ErrorCode::EklzFull, u"ЭКЛЗ переполнена", u"The EKLZ is full"},
    ErrorCodeInfo{ErrorCode::LineDisplayLocked, u"Табло покупателя заблокировано",
                  u"The customer display is locked"},
    ErrorCodeInfo{ErrorCode::UnknownDisplayCommand, u"Неизвестная команда табло",
                  u"Unknown customer display command"},
    ErrorCodeInfo{ErrorCode::NoSlipInserted, u"Подкладной документ не вставлен",
                  u"No slip document inserted"},
};

struct ReasonInfo
{
    Reason reason;
    const char16_t* russian;
    const char16_t* english;
};

constexpr std::array kReasons{
    ReasonInfo{Reason::NotPositive, u"значение должно быть больше нуля",
               u"the value must be above zero"},
    ReasonInfo{Reason::Negative, u"значение не может быть отрицательным",
               u"the value must not be negative"},
    ReasonInfo{Reason::TooLarge, u"значение превышает предел устройства",
               u"the value exceeds the device's limit"},
    ReasonInfo{Reason::NotANumber, u"текст не является целым числом",
               u"the text is not a whole number"},
    ReasonInfo{Reason::WrongKind, u"операция относится к документу другого типа",
               u"the operation belongs to another type of document"},
    ReasonInfo{Reason::AfterPayment, u"после начала оплаты позиции не принимаются",
               u"positions are not accepted once payment has begun"},
    ReasonInfo{Reason::NoPayment, u"документ требует хотя бы одной оплаты",
               u"the document needs at least one payment"},
    ReasonInfo{Reason::OnlyCash, u"в этом документе принимаются только наличные",
               u"only cash is accepted in this document"},
    ReasonInfo{Reason::ShiftClosedAtInit, u"необходимо закрыть смену", u"the shift must be closed"},
    ReasonInfo{Reason::DocumentPending, u"сначала завершите открытый документ",
               u"finish the open document first"},
    ReasonInfo{Reason::NoPreviousOperation, u"нет предыдущей операции",
               u"there is no previous operation"},
    ReasonInfo{Reason::AlreadyCorrected, u"последняя операция уже отменена",
               u"the last operation has already been undone"},
    ReasonInfo{Reason::EmptyText, u"текст не может быть пустым", u"the text must not be empty"},
    ReasonInfo{Reason::NotWritable, u"файл не удалось открыть для записи",
               u"the file could not be opened for writing"},
    ReasonInfo{Reason::ControlCharacter, u"текст содержит управляющие символы",
               u"the text holds control characters"},
    ReasonInfo{Reason::DrawerOpen, u"денежный ящик открыт", u"the cash drawer is open"},
    ReasonInfo{Reason::DrawerLocked, u"денежный ящик заблокирован", u"the cash drawer is locked"},
    ReasonInfo{Reason::NoPosition, u"в документе нет ни одной позиции",
               u"the document holds no position"},
    ReasonInfo{Reason::TooWide, u"штрих-код шире печатающей головки",
               u"the bar code is wider than the print head"},
    ReasonInfo{Reason::OffCalendar, u"дата вне лет, которые показывают часы устройства",
               u"the date lies outside the years the device's clock shows"},
    ReasonInfo{Reason::ChainLength, u"цепочка должна состоять из 20 символов",
               u"a chain has 20 characters"},
    ReasonInfo{Reason::ChainCharacter, u"допустимы только A-D, a-d и 0",
               u"only A-D, a-d and 0 are allowed"},
    ReasonInfo{Reason::ChainGap, u"налоги группы должны стоять с её начала",
               u"the taxes of a group must stand from its start"},
    ReasonInfo{Reason::ChainRepeat, u"налог встречается в цепочке дважды",
               u"a tax occurs twice in the chain"},
    ReasonInfo{Reason::ChainOrphan, u"заполнена группа налога, которого нет в цепочке",
               u"a group is filled for a tax that is not in the chain"},
    ReasonInfo{Reason::NoSuchShift, u"смены с таким номером нет", u"there is no such shift"},
    ReasonInfo{Reason::ReversedRange, u"начало диапазона больше конца",
               u"the range begins after it ends"},
    ReasonInfo{Reason::NothingInRange, u"в диапазоне нет закрытых смен",
               u"no shift was closed in the range"},
    ReasonInfo{Reason::NoSuchKpk, u"документа с таким номером КПК нет",
               u"there is no document with this KPK number"},
};

// The row of a table whose key field holds `key`, or none.
template <typename Row, std::size_t N, typename Key>
const Row* findRow(const std::array<Row, N>& table, Key Row::*field, std::int32_t key)
{
    for (const Row& row : table) {
        if (static_cast<std::int32_t>(row.*field) == key)
            return &row;
    }
    return nullptr;
}

QString pick(Language language, const char16_t* russian, const char16_t* english)
{
    return QString::fromUtf16(language == Language::Russian ? russian : english);
}

} // namespace

QString errorComment(std::int16_t code, Language language)
{
    if (const ErrorCodeInfo* info = findRow(kCodes, &ErrorCodeInfo::code, code))
        return pick(language, info->russian, info->english);
    return language == Language::Russian ? u"Неизвестная ошибка (код %1)"_s.arg(code)
                                         : u"Unknown error (code %1)"_s.arg(code);
}

QString extendedComment(std::int32_t code2, Language language)
{
    if (code2 == 0)
        return errorComment(0, language);
    const std::int32_t code = code2 / 100;
    const std::int32_t reason = code2 % 100;
    if (code2 < 0 || code > INT16_MAX)
        return errorComment(-1, language);
    const QString text = errorComment(static_cast<std::int16_t>(code), language);
    if (const ReasonInfo* info = findRow(kReasons, &ReasonInfo::reason, reason))
        return text + u": "_s + pick(language, info->russian, info->english);
    return text;
}

const ErrorCodeInfo* errorCodeTable(std::size_t& count)
{
    count = kCodes.size();
    return kCodes.data();
}

} // namespace emulator
