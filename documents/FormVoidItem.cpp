#include "FormVoidItem.h"

FormVoidItem::FormVoidItem(MainForm& main, QWidget* parent) : ui::Loadable<QDialog>(parent), m_main(main)
{
}
