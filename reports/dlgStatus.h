#pragma once

#include "Loadable.h"

#include <QDialog>

#include <cstdint>

class MainForm;

// The device status window. Being built: only its shell exists yet.
class dlgStatus : public ui::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit dlgStatus(MainForm& main, QWidget* parent = nullptr);

    bool m_bPrinterOnly = false; // show the printer part of the status only

private:
    MainForm& m_main;
};
