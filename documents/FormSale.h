#pragma once

#include "Loadable.h"

#include <QDialog>

#include <cstdint>

class MainForm;

// The sale receipt window. Being built: only its shell exists yet.
class FormSale : public ui::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit FormSale(MainForm& main, QWidget* parent = nullptr);

private:
    MainForm& m_main;
};
