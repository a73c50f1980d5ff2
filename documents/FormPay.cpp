#include "FormPay.h"
#include "ui_FormPay.h"

FormPay::FormPay(forms::SharedState& main, QWidget* parent)
    : DocumentWindow(main, {Status::Bare, TypeWidth::Int32, PrintOffer::WhenPaid}, parent),
      ui(std::make_unique<Ui::FormPay>())
{
    ui->setupUi(this);
    bindControls();
}

FormPay::~FormPay() = default;
