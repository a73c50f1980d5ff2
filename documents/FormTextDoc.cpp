#include "FormTextDoc.h"

FormTextDoc::FormTextDoc(MainForm& main, QWidget* parent) : ui::Loadable<QDialog>(parent), m_main(main)
{
}
