#pragma once

#include "Corrections.h"
#include "DocumentCommands.h"
#include "Driver.h"
#include "Fields.h"
#include "Loadable.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class MainForm;
class QRadioButton;

namespace Ui {
class FormSale;
}

// The sale receipt window: the operator registers, cancels and corrects positions of the open
// sale receipt, pays it and closes or cancels it. It closes itself when the receipt is over.
class FormSale : public ui::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit FormSale(MainForm& main, QWidget* parent = nullptr);
    ~FormSale() override;

protected:
    void Form_Load() override;

private slots:
    void CmdItem_Click();
    void CmdVoidItem_Click();
    void CmdItemChange_Click();
    void CmdProcChange_Click();
    void CmdAbsoluteChangeText_Click();
    void CmdRepeat_Click();
    void CmdCorrection_Click();
    void CmdTender_Click();
    void CmdTenderReset_Click();
    void CmdItog_Click();
    void CmdCloseDoc_Click();
    void CmdCancel_Click();
    void CmdResetError_Click();
    void CheckAutoCloseReceipt_Click();
    void CmdText_Click();
    void mnClearExtraStrings_Click();
    void CmdStatus_Click();
    void CmdExtraInfo_Click();

private:
    enum class Refresh { No, Yes };

    // The kinds of position, as the option buttons OptionPosType(0..2) offer them.
    enum class PositionKind { Goods, Tare, TareReturn };

    // What a position command has read from the boxes before it sends anything.
    struct PositionInput
    {
        std::int16_t department = 0;
        std::int32_t quantity = 0; // read only when registering; cancelling sends the text
        std::int32_t price = 0;
        QString name;
        std::int32_t taxGroup = 0;
    };

    void SetStatus(const QString& text);
    void RefreshDocInfo();
    // Shows the progress text, makes the call, shows its outcome and, unless told not to,
    // refreshes the counters; returns the result code.
    Driver::Result RunCommand(const QString& progress,
                              const documents::DocumentCommands::Command& call,
                              Refresh refresh = Refresh::Yes);
    std::optional<PositionKind> selectedKind() const;
    enum class Quantity { Number, Text };
    std::optional<PositionInput> readPosition(Quantity quantity);
    bool ownDepartment(std::int16_t department) const;
    // After a command that may have ended the document on the device: close the window when
    // no document is open any more, otherwise show the device's counters.
    void CloseIfDocumentEnded(bool documentOpen);

    std::unique_ptr<Ui::FormSale> ui;
    MainForm& m_main;
    std::shared_ptr<Driver> m_driver;
    std::int32_t m_MajorVersion = 0;
    std::array<QRadioButton*, 3> OptionPosType{};
    ui::FieldReader m_fields{[this](const QString& text) { SetStatus(text); }};
    documents::DocumentCommands m_commands{[this](const QString& text) { SetStatus(text); }};
    std::optional<documents::Corrections> m_corrections; // needs the form's boxes
    documents::DocumentCounters m_counters;
};
