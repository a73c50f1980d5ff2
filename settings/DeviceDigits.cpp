#include "DeviceDigits.h"

using namespace Qt::StringLiterals;

namespace options {

std::array<QString, 3> deviceDigitPairs(std::int32_t value)
{
    // At least five digits, the sign (if any) before them; then one more leading zero when
    // exactly five characters came out, which is the one-digit day or hour.
    const qint64 wide = value;
    QString text = QString::number(wide < 0 ? -wide : wide).rightJustified(5, u'0');
    if (wide < 0)
        text.prepend(u'-');
    if (text.size() == 5)
        text.prepend(u'0');
    return {text.mid(0, 2), text.mid(2, 2), text.mid(4, 2)};
}

} // namespace options
