#include "FormPay.h"

FormPay::FormPay(MainForm& main, QWidget* parent) : ui::Loadable<QDialog>(parent), m_main(main)
{
}
