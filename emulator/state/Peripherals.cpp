#include "Peripherals.h"

#include "DeviceNumbers.h"
#include "PaymentMeans.h"

#include <algorithm>

namespace emulator {

PaymentMeans defaultPaymentMeans()
{
    const QStringList names = defaultPaymentMeanNames();
    PaymentMeans means;
    for (int type = PaymentType::First; type <= PaymentType::Last; ++type) {
        PaymentMean& mean = means[static_cast<std::size_t>(type - 1)];
        mean.name = names[type - 1];
        mean.card = type <= PaymentType::Card5;
        const bool cash = type == PaymentType::Cash;
        mean.cash = cash;
        mean.drawer = cash;
        mean.change = cash;
    }
    return means;
}

QDataStream& operator<<(QDataStream& out, const Peripherals& p)
{
    for (const PaymentMean& mean : p.paymentMeans)
        out << mean.name << mean.card << mean.cash << mean.drawer << mean.change;
    for (const QString& line : p.display.lines)
        out << line;
    out << qint32(p.display.row) << qint32(p.display.column);
    const slipmode::Settings& s = p.slip.settings;
    return out << p.slip.on << qint32(s.side) << qint32(s.copies) << qint32(s.fiscalCopy)
               << qint32(s.rowsBefore) << qint32(s.rowsBetween);
}

QDataStream& operator>>(QDataStream& in, Peripherals& p)
{
    for (PaymentMean& mean : p.paymentMeans)
        in >> mean.name >> mean.card >> mean.cash >> mean.drawer >> mean.change;
    for (QString& line : p.display.lines)
        in >> line;
    qint32 row = 0, column = 0, side = 0, copies = 0, fiscal = 0, before = 0, between = 0;
    in >> row >> column >> p.slip.on >> side >> copies >> fiscal >> before >> between;
    // A damaged record must not place the cursor outside the screen.
    const bool screenOk =
        row >= 0 && row < DisplayScreen::kRows && column >= 0 && column < DisplayScreen::kColumns &&
        std::all_of(p.display.lines.cbegin(), p.display.lines.cend(),
                    [](const QString& line) { return line.size() == DisplayScreen::kColumns; });
    if (!screenOk)
        in.setStatus(QDataStream::ReadCorruptData);
    p.display.row = row;
    p.display.column = column;
    p.slip.settings = slipmode::Settings{side, copies, fiscal, before, between};
    return in;
}

} // namespace emulator
