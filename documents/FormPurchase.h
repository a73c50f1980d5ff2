#pragma once

#include "DocumentWindow.h"

#include <memory>

namespace Ui {
class FormPurchase;
}

// The purchase receipt window: the register buys goods from the customer, position by position
// with their department, with discounts or surcharges, and pays for them in cash.
class FormPurchase : public documents::DocumentWindow
{
    Q_OBJECT

public:
    explicit FormPurchase(forms::SharedState& main, QWidget* parent = nullptr);
    ~FormPurchase() override;

protected:
    void Document_Load() override;

private slots:
    void CmdItem_Click();
    void CmdVoidItem_Click();
    void CmdStatus_Click();

private:
    std::unique_ptr<Ui::FormPurchase> ui;
};
