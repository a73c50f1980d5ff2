#pragma once

#include <QString>
#include <QStringList>

// The books of a built-in device checked against each other, as an auditor would: the counters
// it keeps in its state against the documents, closed shifts and control tape records it wrote.
// A sound device keeps them in agreement after any sequence of calls, refused or not, and after
// its program was killed between two of them.
namespace ledger {

// Every disagreement found in the device of `port` in `folder`, each in words; empty when the
// books agree. What is compared:
// - document numbers on record are 1 to the count of all documents, each once, and an open
//   document holds the next one;
// - the fiscal and non-fiscal document counts, and for each family of documents (sales,
//   annulments, refunds, cash-ins, cash-outs, purchases, purchase returns, sale returns,
//   cancelled ones) its count and sum, against the documents on record: all time, per closed
//   shift and for the open shift;
// - every general counter is the sum of the closed shifts' counters and the open shift's;
// - closed shifts are numbered 1 to the last Z number, and each carries its own Z number;
// - the control tape holds each fiscal document and each Z report once, under the KPK numbers
//   1 to the last one, with the document's total;
// - the running sales total is the total the control tape started at plus the sales counted;
// - the cash in the drawer is the cash at the shift's start plus what the cash payment means
//   took in the open shift (when every mean that gives change is a cash mean, so that change
//   leaves through a cash counter).
QStringList disagreements(const QString& folder, int port);

// SQLite's own check of the database file: "ok" when it is sound.
QString integrity(const QString& databasePath);

} // namespace ledger
