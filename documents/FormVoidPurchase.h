#pragma once

#include "DocumentWindow.h"

#include <memory>

namespace Ui {
class FormVoidPurchase;
}

// The purchase return window: returned purchase positions with their department, paid in cash,
// then printed or cancelled. It has no counters.
class FormVoidPurchase : public documents::DocumentWindow
{
    Q_OBJECT

public:
    explicit FormVoidPurchase(forms::SharedState& main, QWidget* parent = nullptr);
    ~FormVoidPurchase() override;

private slots:
    void CmdItem_Click();
    void CmdVoidItem_Click();
    void CmdCorrectLastItem_Click();

private:
    std::unique_ptr<Ui::FormVoidPurchase> ui;
};
