#pragma once

#include "Driver.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QLineEdit;

// What the document windows share once a document is open on the device: the payment types,
// the document counters, and the way a command shows itself in the status line, pays and ends
// the document.
namespace documents {

// The payment types in the order the device numbers them, from 1 to 8.
QStringList paymentTypeNames();

// Fills a payment type box and selects cash.
void fillPaymentTypes(QComboBox& box);

// The device's code of the payment type in the box: its position counted from 1, or 0 when the
// operator typed a text that names no payment type.
std::int32_t paymentTypeCode(const QComboBox& box);

// A whole number written for the operator: a blank before a number that is not negative, a minus
// sign before one that is.
QString signedNumberText(std::int32_t value);

// The counters of the current document a window shows, each filled from GetDocInfo(index).
// Refreshing checks no result and shows no status: the counters are only the device's view.
class DocumentCounters
{
public:
    void add(QLineEdit* box, std::int16_t index) { m_counters.append({box, index}); }
    void refresh(Driver& driver) const;

private:
    struct Counter
    {
        QLineEdit* box;
        std::int16_t index;
    };
    QList<Counter> m_counters;
};

// How a command shows itself in the status line. Some windows write a progress text before the
// call and "Статус: " with the driver's comment after it; others only the bare comment.
class StatusStyle
{
public:
    static StatusStyle bare() { return StatusStyle{std::nullopt}; }
    static StatusStyle withProgress(QString progress) { return StatusStyle{std::move(progress)}; }

    const std::optional<QString>& progress() const { return m_progress; }

private:
    explicit StatusStyle(std::optional<QString> progress) : m_progress(std::move(progress)) {}

    std::optional<QString> m_progress;
};

struct Payment
{
    double amount = 0.0;
    QVariant type;      // each window passes the code as the kind it has always sent
    QString cardNumber; // goes to the device as a general value holding the text
    QString documentNumber;
};

struct PaymentOutcome
{
    Driver::Result result = 0;
    bool documentOpen = true; // false when the device ended the document on this payment
};

// Runs a document window's driver commands and writes their outcome into its status line.
class DocumentCommands
{
public:
    using StatusSink = std::function<void(const QString&)>;
    using Command = std::function<Driver::Result()>;

    explicit DocumentCommands(StatusSink status) : m_status(std::move(status)) {}

    // The window's driver object, known once the window has loaded.
    void setDriver(std::shared_ptr<Driver> driver) { m_driver = std::move(driver); }

    // Shows the progress text (if the style has one), runs the command and shows its outcome.
    Driver::Result run(const StatusStyle& style, const Command& command) const;

    // Ends the document with `command` (closing or cancelling it). On success nothing is shown,
    // since the window goes away; a refusal is shown in the window's style. True when ended.
    bool end(const StatusStyle& style, const Command& command) const;

    // Registers a payment and then asks the device whether the document is still open: a full
    // payment may have ended it.
    PaymentOutcome pay(const StatusStyle& style, const Payment& payment) const;

    // Whether the device still has an open document.
    bool documentOpen() const;

    // Whether, after this payment, the window must offer printing to end the document: when the
    // driver keeps the payments until printing, and also when the payment went through but the
    // driver has automatic closing switched off, since the device then never ends a paid
    // document by itself and printing is the only way to finish it.
    bool printingNeeded(const PaymentOutcome& outcome, bool paymentsCached) const;

private:
    void showOutcome(const StatusStyle& style, Driver::Result result) const;

    StatusSink m_status;
    std::shared_ptr<Driver> m_driver;
};

} // namespace documents
