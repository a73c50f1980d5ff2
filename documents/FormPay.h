#pragma once

#include "DocumentWindow.h"

#include <memory>

namespace Ui {
class FormPay;
}

// The cash-in, cash-out and returned-goods payment window. Its opener sets the caption that names
// the kind; the device already knows it from the document type. The document carries no
// positions: it is paid and printed, or cancelled. Everything it does is shared with the other
// document windows.
class FormPay : public documents::DocumentWindow
{
    Q_OBJECT

public:
    explicit FormPay(forms::SharedState& main, QWidget* parent = nullptr);
    ~FormPay() override;

private:
    std::unique_ptr<Ui::FormPay> ui;
};
