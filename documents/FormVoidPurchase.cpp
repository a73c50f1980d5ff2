#include "FormVoidPurchase.h"

FormVoidPurchase::FormVoidPurchase(MainForm& main, QWidget* parent) : ui::Loadable<QDialog>(parent), m_main(main)
{
}
