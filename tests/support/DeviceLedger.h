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
//   took in the open shift; and each closed shift's cash at the start plus what its cash means
//   took is the cash the shift after it began with, or nothing on a device whose Z report may
//   empty the drawer (option 45 of generation 6; which way the option stood at each Z report is
//   not on record, so either is accepted there). A closed shift keeps its counters but not its
//   cash at the end, so the two are compared as one. The cash means are taken as they are now:
//   the records do not keep the means a closed shift was taken with. None of the drawer is
//   compared while a mean that gives change is not a cash mean (its change leaves the drawer
//   through no cash counter);
// - in every period (all time, each closed shift, the open shift): the counts and sums of voids,
//   corrections of the last operation, tare sales, tare returns, discounts and surcharges are
//   not negative, a sum is 0 when its count is, and a discount or surcharge sum is at least its
//   count in kopecks; such an operation is counted only where a document that takes it was
//   issued (tare in sales, a sale-side correction in sales and annulments, a purchase-side one
//   in purchases and their returns); discounts and surcharges are each the sum of their sale and
//   purchase sides; taxes are counted only where a sale or annulment was issued, and in the open
//   shift not under a rate of 0. Documents on record keep their totals, not their positions, so
//   these counters are not compared with the receipts' contents, and counting voids and
//   corrections may be switched off (option 28), so a count may fall short of what was done.
QStringList disagreements(const QString& folder, int port);

// SQLite's own check of the database file: "ok" when it is sound.
QString integrity(const QString& databasePath);

} // namespace ledger
