#include "Corrections.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace documents {

bool Corrections::absolute(Driver& driver) const
{
    const auto amount = m_fields.strictInt32(m_boxes.absolute, u"Абсолютная Скидка / Наценка"_s);
    if (!amount)
        return false;
    m_commands.run(StatusStyle::withProgress(u"Абсолютная скидка/наценка..."_s),
                   [&] { return driver.AbsoluteCorrection(*amount); });
    return true;
}

bool Corrections::percent(Driver& driver) const
{
    const auto percent = m_fields.strictInt32(m_boxes.percent, u"Процентная Скидка / Наценка"_s);
    if (!percent)
        return false;
    m_commands.run(StatusStyle::withProgress(u"Процентная скидка/наценка..."_s),
                   [&] { return driver.PercentCorrection(*percent); });
    return true;
}

bool Corrections::absoluteWithText(Driver& driver) const
{
    const auto amount =
        m_fields.strictInt32(m_boxes.absoluteWithText, u"Абсолютная Скидка / Наценка с текстом"_s);
    if (!amount)
        return false;
    const QString text = m_boxes.text->text();
    m_commands.run(StatusStyle::withProgress(u"Абсолютная скидка/наценка с текстом..."_s),
                   [&] { return driver.AbsoluteCorrectionText(*amount, text); });
    return true;
}

} // namespace documents
