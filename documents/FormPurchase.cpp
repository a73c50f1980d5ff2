#include "FormPurchase.h"

FormPurchase::FormPurchase(MainForm& main, QWidget* parent) : ui::Loadable<QDialog>(parent), m_main(main)
{
}
