#include "GeneralValue.h"

#include <cmath>

namespace emulator {

std::optional<qint64> wholeNumber(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::SChar:
    case QMetaType::UChar: {
        bool ok = false;
        const qlonglong number = value.toLongLong(&ok);
        return ok ? std::optional<qint64>(number) : std::nullopt;
    }
    case QMetaType::ULongLong: {
        const qulonglong number = value.toULongLong();
        if (number > static_cast<qulonglong>(INT64_MAX))
            return std::nullopt;
        return static_cast<qint64>(number);
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 9e15)
            return std::nullopt;
        return static_cast<qint64>(d);
    }
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return std::nullopt;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool sign = i == 0 && (text[i] == u'-' || text[i] == u'+');
            if (!sign && (text[i] < u'0' || text[i] > u'9'))
                return std::nullopt;
        }
        bool ok = false;
        const qlonglong number = text.toLongLong(&ok);
        return ok ? std::optional<qint64>(number) : std::nullopt;
    }
    default:
        return std::nullopt; // truth values, dates, empty values ...
    }
}

} // namespace emulator
