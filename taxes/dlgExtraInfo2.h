#pragma once

#include "Loadable.h"

#include <QDialog>

#include <cstdint>

class MainForm;

// The statistics window. Being built: only its shell exists yet.
class dlgExtraInfo2 : public ui::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit dlgExtraInfo2(MainForm& main, QWidget* parent = nullptr);

private:
    MainForm& m_main;
};
