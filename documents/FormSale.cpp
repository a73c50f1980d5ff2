#include "FormSale.h"

FormSale::FormSale(MainForm& main, QWidget* parent) : ui::Loadable<QDialog>(parent), m_main(main)
{
}
