#include "MainForm.h"

MainForm::MainForm(std::shared_ptr<Driver> driver, QWidget* parent)
    : ui::Loadable<QMainWindow>(parent), m_driver(std::move(driver))
{
}

MainForm::~MainForm() = default;
