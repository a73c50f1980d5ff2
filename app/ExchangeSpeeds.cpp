#include "ExchangeSpeeds.h"

#include <QStringList>

using namespace Qt::StringLiterals;

QString exchangeSpeedName(int position)
{
    static const QStringList names = {u"4800"_s,  u"9600"_s,   u"19200"_s, u"38400"_s, u"57600"_s,
                                      u"76800"_s, u"115200"_s, u"0.25M"_s, u"0.5M"_s,  u"1M"_s};
    return names.value(position);
}
