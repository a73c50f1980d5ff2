#pragma once

#include "DeviceMessages.h"
#include "DeviceState.h"
#include "Printout.h"

#include <QDateTime>

// What the device prints for each of its documents, laid out on the tape (its reports and tests
// are in ReportLayout.h). The device decides what happens; these functions only say how it looks
// on paper.
namespace emulator::tape {

// The title that starts the printout of an opened shift, followed by the shift's number.
inline const QString kShiftOpenedTitle = word(Word::ShiftOpening);
// The line that opens every slip, followed by the document's number, the side and the copies.
inline const QString kSlipOpening = u'[' + word(Word::Slip) + u' ';

// A printed date and time, the date in the order option 22 asks for.
QString printed(const DeviceState& state, const QDateTime& at);
// "ОТД 3", "СМЕНА 12": a word and a number.
QString numbered(Word w, qint64 number);
// The name of payment mean `type` as programmed.
QString meanName(const DeviceState& state, int type);

// The block that heads every document, report and test: the programmed header (or the greeting,
// without one), the register's serial and taxpayer numbers, the date and time, the cashier, each
// of the last two with a text beside it.
struct Heading
{
    QDateTime at;
    QString besideDate;
    QString cashier;
    QString besideCashier;
};
void heading(Printout& out, const DeviceState& state, const Heading& h);

void documentHeader(Printout& out, const DeviceState& state, const Document& document);
void positionLines(Printout& out, const QString& name, qint64 quantity, Kopecks price,
                   Kopecks signedAmount, const QString& prefix);
// The end of a fiscal receipt: total, payments with their card data, change, end lines, EKLZ.
void receiptEnd(Printout& out, const DeviceState& state, const Document& document, Kopecks total,
                Kopecks change);
// "КПК 00000012": a document's number on the control tape.
QString kpkText(int kpk);
// The line that ties a fiscal document or a Z report to the control tape.
void eklzStamp(Printout& out, const DeviceState& state, int kpk);
void textDocumentEnd(Printout& out, const Document& document);
// The end of a cancelled document; one on the control tape (kpk > 0) carries its number there.
void cancelled(Printout& out, const DeviceState& state, int kpk);
void duplicate(Printout& out, const QStringList& receipt);

} // namespace emulator::tape
