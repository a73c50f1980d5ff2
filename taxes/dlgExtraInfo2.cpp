#include "dlgExtraInfo2.h"

dlgExtraInfo2::dlgExtraInfo2(MainForm& main, QWidget* parent) : ui::Loadable<QDialog>(parent), m_main(main)
{
}
