#pragma once

#include "SlipMode.h"

#include <QDataStream>
#include <QString>
#include <QStringList>

#include <array>

// What the device keeps about the equipment around its printer: the payment means the receipts
// are paid with, the customer display and the slip printer.
namespace emulator {

struct PaymentMean
{
    QString name;
    bool card = false;   // records and prints the card number
    bool cash = false;   // counts in the drawer's cash
    bool drawer = false; // paying with it opens the drawer
    bool change = false; // may be overpaid; the rest is given back as change

    friend bool operator==(const PaymentMean&, const PaymentMean&) = default;
};

inline constexpr int kPaymentMeans = 8;
using PaymentMeans = std::array<PaymentMean, kPaymentMeans>;

// The payment means of a new device: five cards, cheque, credit and cash.
PaymentMeans defaultPaymentMeans();

// The customer display: two lines of 20 characters and the cursor of the raw data commands.
struct DisplayScreen
{
    static constexpr int kColumns = 20;
    static constexpr int kRows = 2;

    std::array<QString, kRows> lines{QString(kColumns, u' '), QString(kColumns, u' ')};
    int row = 0;
    int column = 0;

    friend bool operator==(const DisplayScreen&, const DisplayScreen&) = default;
};

// The slip printer: whether documents print on slips, and how. Whether a slip is inserted is
// one of the device's sensors.
struct SlipPrinter
{
    bool on = false;
    slipmode::Settings settings;
};

struct Peripherals
{
    PaymentMeans paymentMeans = defaultPaymentMeans();
    DisplayScreen display;
    SlipPrinter slip;
};

QDataStream& operator<<(QDataStream& out, const Peripherals& p);
QDataStream& operator>>(QDataStream& in, Peripherals& p);

} // namespace emulator
