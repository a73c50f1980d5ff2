#pragma once

#include "Corrections.h"
#include "DocumentCommands.h"
#include "Fields.h"
#include "Loadable.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <optional>

namespace forms {
class SharedState;
}
class QCloseEvent;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace documents {

// What every window over an open document does alike: it takes the driver when it loads, writes
// its status line, reads numbers, runs commands, keeps the document's counters and, through the
// controls every such window names alike, pays, ends or cancels the document, clears an error and
// applies discounts and surcharges. A window keeps only what differs: its own controls and
// commands, its status style, the kind of payment type it sends and when it offers printing.
//
// The shared controls are found by their names once the window's form is set up (bindControls):
// "StatusText" (required); the buttons "CmdTender", "CmdCloseDoc", "CmdCancel", "CmdResetError";
// the payment boxes "TxtTenderAmount", "ComboTenderID" (without it a window pays in cash),
// "TxtTenderCardNum", "TxtTenderAuthCode"; the counters "TxtAllItems" … "TxtFreeDocMemory";
// the correction buttons and boxes "CmdItemChange", "CmdProcChange", "CmdAbsoluteChangeText" with
// "TxtAbsCh", "TxtChProc", "TxtAbsChText", "TxtAbsoluteChangeText". A window without one of them
// simply lacks that command.
class DocumentWindow : public forms::Loadable<QDialog>
{
protected:
    // How the shared commands show themselves (see StatusStyle).
    enum class Status { Progress, Bare };
    // The integer kind in which the payment type travels to the driver.
    enum class TypeWidth { Int16, Int32 };
    // When a payment enables printing: once it went through, or only when the device will not
    // end the paid document by itself.
    enum class PrintOffer { WhenPaid, WhenNeeded };

    struct Style
    {
        Status status = Status::Bare;
        TypeWidth paymentType = TypeWidth::Int32;
        PrintOffer printOffer = PrintOffer::WhenPaid;
    };

    enum class Refresh { No, Yes };

    DocumentWindow(forms::SharedState& main, Style style, QWidget* parent);
    ~DocumentWindow() override;

    // Finds and connects the shared controls; the window's constructor calls it after setupUi.
    void bindControls();

    // The window's own loading, once the driver is known and the payment types are filled.
    virtual void Document_Load() {}

    void SetStatus(const QString& text);
    void RefreshDocInfo();
    // Adds every counter the window has; the free document memory only where the device
    // generation keeps it.
    void addCounters(std::int32_t majorVersion);

    // Runs a command with a progress text or with the bare comment and, unless told not to,
    // refreshes the counters; returns the result code.
    Driver::Result runCommand(const QString& progress, const DocumentCommands::Command& call,
                              Refresh refresh = Refresh::Yes);
    Driver::Result runCommand(const DocumentCommands::Command& call,
                              Refresh refresh = Refresh::Yes);

    // After a command that may have ended the document on the device: close the window when
    // no document is open any more, otherwise show the device's counters.
    void closeIfDocumentEnded(bool documentOpen);
    // Closes the window once its document has ended on the device, without asking about it.
    void closeEnded();

    // A window closed in any other way (its frame) while the device still holds its document
    // asks whether to leave the document open, cancel it, or go back to the window.
    void closeEvent(QCloseEvent* event) override;

    // Whether a position goes without a department: one of the document's own department is
    // booked to the department the document was opened with.
    bool ownDepartment(std::int16_t department) const;
    // Cancels a goods position, naming its department only when it is not the document's own.
    Driver::Result voidGoods(const QVariant& quantity, std::int32_t price, const QString& name,
                             std::int32_t taxGroup, std::int16_t department);

    forms::SharedState& m_main;
    std::shared_ptr<Driver> m_driver;
    forms::FieldReader m_fields{[this](const QString& text) { SetStatus(text); }};
    DocumentCommands m_commands{[this](const QString& text) { SetStatus(text); }};

private:
    void Form_Load() final;
    StatusStyle styled(const QString& progress) const;
    QVariant paymentType() const;

    void CmdTender_Click();
    void CmdCloseDoc_Click();
    void CmdCancel_Click();
    void CmdResetError_Click();
    void CmdItemChange_Click();
    void CmdProcChange_Click();
    void CmdAbsoluteChangeText_Click();

    enum class OpenDocumentAnswer { Leave, Cancel, GoBack };
    OpenDocumentAnswer askAboutOpenDocument();

    Style m_style;
    bool m_ended = false;
    DocumentCounters m_counters;
    std::optional<Corrections> m_corrections;
    QLineEdit* m_statusLine = nullptr;
    QComboBox* m_paymentTypes = nullptr;
    QLineEdit* m_tenderAmount = nullptr;
    QLineEdit* m_cardNumber = nullptr;
    QLineEdit* m_documentNumber = nullptr;
    QPushButton* m_closeDocument = nullptr;
};

} // namespace documents
