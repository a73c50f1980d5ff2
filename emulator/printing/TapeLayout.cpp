#include "TapeLayout.h"

#include "DeviceMessages.h"
#include "DeviceNumbers.h"
#include "DeviceOptions.h"
#include "DocumentKinds.h"

using namespace Qt::StringLiterals;

namespace emulator::tape {
namespace {

// The purchases of a receipt as option 21 counts them: its positions, or their whole quantity.
QString purchases(const DeviceState& state, const Document& document)
{
    qint64 positions = 0;
    qint64 quantity = 0;
    for (const Entry& entry : document.body.entries) {
        if (isPosition(entry.kind)) {
            positions += 1;
            quantity += entry.quantity;
        }
    }
    return optionValue(state, DeviceOption::CountTotalQuantity) != 0 ? formatQuantity(quantity)
                                                                     : QString::number(positions);
}

// The pictures at the head of a receipt, centred: the chosen slot's, then pictures 1 to 3 as
// their options ask (a picture already printed as the chosen one is not printed twice).
void receiptPictures(Printout& out, const DeviceState& state)
{
    QList<int> chosen;
    if (state.chosenPicture > 0)
        chosen.append(state.chosenPicture);
    for (int n = 1; n <= 3; ++n) {
        if (optionValue(state, DeviceOption::PrintPictureBase + n) != 0 && !chosen.contains(n))
            chosen.append(n);
    }
    for (int slot : chosen) {
        const auto picture = state.pictures.constFind(slot);
        if (picture != state.pictures.cend())
            out.raster(picture->placed(kPrintWidthDots, 1));
    }
}

// The readable text of a bar code, aligned as its bars are and in its programmed font.
void readableText(Printout& out, const BarCode& code)
{
    const qsizetype first = out.lines().size();
    if (code.alignment == BarCodeAlignment::Left)
        out.line(code.text);
    else if (code.alignment == BarCodeAlignment::Right)
        out.line(code.text.rightJustified(out.width(), u' '));
    else
        out.centered(code.text);
    if (code.font == BarCodeFont::Small)
        out.styleFrom(first, TapeStyle::SmallFont);
}

// The programmed bar code where a height option asks for it (0: not printed, 1 to 3: that many
// times its programmed height), with its readable text before and after as programmed.
void receiptBarCode(Printout& out, const DeviceState& state, int heightOption)
{
    const int factor = optionValue(state, heightOption);
    if (!state.barCode || factor <= 0)
        return;
    const BarCode& code = *state.barCode;
    if (code.textBefore && !code.text.isEmpty())
        readableText(out, code);
    out.raster(code.raster(factor));
    if (code.textAfter && !code.text.isEmpty())
        readableText(out, code);
}

} // namespace

QString printed(const DeviceState& state, const QDateTime& at)
{
    switch (optionValue(state, DeviceOption::DateFormat)) {
    case DateOrder::YearMonthDay:
        return at.toString(u"yyyy.MM.dd HH:mm"_s);
    case DateOrder::MonthDayYear:
        return at.toString(u"MM.dd.yyyy HH:mm"_s);
    default:
        return at.toString(u"dd.MM.yyyy HH:mm"_s);
    }
}

QString numbered(Word w, qint64 number)
{
    return word(w) + u' ' + QString::number(number);
}

QString meanName(const DeviceState& state, int type)
{
    return state.peripherals.paymentMeans[static_cast<std::size_t>(type - PaymentType::First)].name;
}

void heading(Printout& out, const DeviceState& state, const Heading& h)
{
    // The programmed header; without one the device greets.
    const bool centred = optionValue(state, DeviceOption::CentreHeader) != 0;
    bool headerPrinted = false;
    for (int i = 0; i < DeviceState::kHeaderLines; ++i) {
        if (state.headerLines.at(i).isEmpty())
            continue;
        out.styled(state.headerLines.at(i), centred, state.headerBold.at(i), false);
        headerPrinted = true;
    }
    if (!headerPrinted)
        out.centered(word(Word::Welcome));
    out.columns(word(Word::Register) + u' ' + state.serial,
                word(Word::Inn) + u' ' + state.taxpayerNumber);
    out.columns(printed(state, h.at), h.besideDate);
    out.columns(word(Word::Cashier) + u' ' + h.cashier, h.besideCashier);
}

void documentHeader(Printout& out, const DeviceState& state, const Document& document)
{
    const bool receipt = documentKind(document.type).positions;
    if (receipt)
        receiptPictures(out, state);
    heading(out, state,
            {document.openedAt,
             document.number > 0 ? numbered(Word::DocumentShort, document.number) : QString(),
             document.cashier, numbered(Word::DepartmentShort, document.department)});
    if (!document.order.isEmpty())
        out.line(word(Word::Order) + u' ' + document.order);
    const QString title = documentTitle(document.type);
    if (!title.isEmpty())
        out.centered(title);
    if (receipt) {
        for (const QString& extra : state.extraStrings)
            out.line(extra);
    }
    for (const QString& descriptor : state.descriptors)
        out.line(descriptor);
    for (const QString& data : state.pendingExtraData)
        out.line(data);
    if (receipt)
        receiptBarCode(out, state, DeviceOption::StartBarCodeHeight);
    if (receipt && optionValue(state, DeviceOption::PrintDelimiter) != 0)
        out.separator(u'=');
}

void positionLines(Printout& out, const QString& name, qint64 quantity, Kopecks price,
                   Kopecks signedAmount, const QString& prefix)
{
    out.line(prefix.isEmpty() ? name : name.isEmpty() ? prefix : prefix + u' ' + name);
    out.columns(u"  "_s + formatQuantity(quantity) + u" x "_s + formatMoney(price),
                u'=' + formatMoney(signedAmount));
}

void receiptEnd(Printout& out, const DeviceState& state, const Document& document, Kopecks total,
                Kopecks change)
{
    out.separator();
    if (documentKind(document.type).positions &&
        optionValue(state, DeviceOption::PrintQuantity) != 0)
        out.columns(word(Word::PurchaseCount), purchases(state, document));
    // The total in the style the options ask for, with an asterisk before the amount if asked.
    const QChar sign = optionValue(state, DeviceOption::AsteriskBeforeTotal) != 0 ? u'*' : u'=';
    Printout totalLine(out.width());
    totalLine.columns(word(Word::Total), sign + formatMoney(total));
    out.styled(totalLine.lines().constFirst(), false,
               optionValue(state, DeviceOption::BoldTotal) != 0,
               optionValue(state, DeviceOption::TallTotal) != 0);
    for (const Payment& payment : document.payments) {
        out.amountLine(meanName(state, payment.type), payment.amount);
        if (!payment.card.isEmpty())
            out.line(u"  "_s + word(Word::Card) + u' ' + payment.card);
        if (payment.type != PaymentType::Cash && !payment.reference.isEmpty())
            out.line(u"  "_s + word(Word::Document) + u' ' + payment.reference);
    }
    if (change > 0)
        out.amountLine(word(Word::Change), change);
    if (documentKind(document.type).positions) {
        for (const QString& extra : state.extraStrings2)
            out.line(extra);
        receiptBarCode(out, state, DeviceOption::EndBarCodeHeight);
    }
    out.separator();
    eklzStamp(out, state, state.lastKpk + 1);
    out.centered(word(Word::FiscalMark));
}

QString kpkText(int kpk)
{
    return word(Word::Kpk) + u' ' + u"%1"_s.arg(kpk, 8, 10, QChar(u'0'));
}

void eklzStamp(Printout& out, const DeviceState& state, int kpk)
{
    out.columns(word(Word::Eklz) + u' ' + state.eklzNumber, kpkText(kpk));
}

void textDocumentEnd(Printout& out, const Document& document)
{
    out.separator();
    if (document.number > 0)
        out.centered(word(Word::NonFiscal));
}

void cancelled(Printout& out, const DeviceState& state, int kpk)
{
    out.separator();
    if (kpk > 0)
        eklzStamp(out, state, kpk);
    out.centered(word(Word::DocumentCancelled));
}

void duplicate(Printout& out, const QStringList& receipt)
{
    out.centered(word(Word::Duplicate));
    for (const QString& line : receipt)
        out.line(line);
    out.centered(word(Word::Duplicate));
}

} // namespace emulator::tape
