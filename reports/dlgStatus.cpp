#include "dlgStatus.h"

dlgStatus::dlgStatus(MainForm& main, QWidget* parent) : ui::Loadable<QDialog>(parent), m_main(main)
{
}
