#pragma once

#include "DocumentWindow.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QRadioButton;

namespace Ui {
class FormSale;
}

// The sale receipt window: the operator registers, cancels and corrects positions of the open
// sale receipt, pays it and closes or cancels it. It closes itself when the receipt is over.
class FormSale : public documents::DocumentWindow
{
    Q_OBJECT

public:
    explicit FormSale(forms::SharedState& main, QWidget* parent = nullptr);
    ~FormSale() override;

protected:
    void Document_Load() override;

private slots:
    void CmdItem_Click();
    void CmdVoidItem_Click();
    void CmdRepeat_Click();
    void CmdCorrection_Click();
    void CmdTenderReset_Click();
    void CmdItog_Click();
    void CheckAutoCloseReceipt_Click();
    void CmdText_Click();
    void mnClearExtraStrings_Click();
    void CmdStatus_Click();
    void CmdExtraInfo_Click();

private:
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

    std::optional<PositionKind> selectedKind() const;
    enum class Quantity { Number, Text };
    std::optional<PositionInput> readPosition(Quantity quantity);

    std::unique_ptr<Ui::FormSale> ui;
    std::int32_t m_MajorVersion = 0;
    std::array<QRadioButton*, 3> OptionPosType{};
};
