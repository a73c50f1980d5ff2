#include "DocumentCommands.h"

#include "DeviceNumbers.h"
#include "StatusLine.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QStyle>

using namespace Qt::StringLiterals;

namespace documents {

QStringList paymentTypeNames()
{
    return {u"1- Платежные карты 1"_s,
            u"2- Платежные карты 2"_s,
            u"3- Платежные карты 3"_s,
            u"4- Платежные карты 4"_s,
            u"5- Платежные карты 5"_s,
            u"6- Чек"_s,
            u"7- Кредит"_s,
            u"8- Наличные"_s};
}

void fillPaymentTypes(QComboBox& box)
{
    box.clear();
    box.addItems(paymentTypeNames());
    box.setCurrentIndex(PaymentType::Cash - PaymentType::First);
    // Typed text is taken as it stands: a text that names no entry gives code 0, so the box must
    // not complete "7" into "7- Кредит" behind the operator's back.
    if (box.isEditable())
        box.setCompleter(nullptr);
    // Wide enough for the longest name, in the box and in its drop-down list; the minimum keeps a
    // window's layout from squeezing the box below it.
    box.setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box.setMinimumWidth(box.sizeHint().width());
    QAbstractItemView* list = box.view();
    list->setMinimumWidth(list->sizeHintForColumn(0) +
                          list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                          2 * list->style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
}

std::int32_t paymentTypeCode(const QComboBox& box)
{
    // The box also takes typed text; only a text that names an entry selects it.
    return std::int32_t(box.findText(box.currentText(), Qt::MatchExactly) + PaymentType::First);
}

QString signedNumberText(std::int32_t value)
{
    return value < 0 ? QString::number(value) : u' ' + QString::number(value);
}

void DocumentCounters::refresh(Driver& driver) const
{
    for (const Counter& counter : m_counters)
        counter.box->setText(QString::number(driver.GetDocInfo(counter.index)));
}

void DocumentCommands::showOutcome(const StatusStyle& style, Driver::Result result) const
{
    const QString comment = m_driver->GetErrorComment(result);
    m_status(style.progress() ? forms::statusText(comment) : comment);
}

Driver::Result DocumentCommands::run(const StatusStyle& style, const Command& command) const
{
    if (style.progress())
        m_status(*style.progress());
    const Driver::Result result = command();
    showOutcome(style, result);
    return result;
}

bool DocumentCommands::end(const StatusStyle& style, const Command& command) const
{
    if (style.progress())
        m_status(*style.progress());
    const Driver::Result result = command();
    if (result == 0)
        return true;
    showOutcome(style, result);
    return false;
}

PaymentOutcome DocumentCommands::pay(const StatusStyle& style, const Payment& payment) const
{
    PaymentOutcome outcome;
    outcome.result = run(style, [&] {
        return m_driver->Tender2(payment.amount, payment.type, QVariant(payment.cardNumber),
                                 payment.documentNumber);
    });
    outcome.documentOpen = documentOpen();
    return outcome;
}

bool DocumentCommands::documentOpen() const
{
    return m_driver->GetDeviceInfo(DeviceInfo::DocumentOpen) != 0;
}

bool DocumentCommands::printingNeeded(const PaymentOutcome& outcome, bool paymentsCached) const
{
    if (outcome.result != 0)
        return false;
    if (paymentsCached)
        return true;
    return outcome.documentOpen && m_driver->GetDriverOpt(DriverOption::AutoClose) == 0;
}

} // namespace documents
