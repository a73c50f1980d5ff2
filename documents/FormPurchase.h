#pragma once

#include "Loadable.h"

#include <QDialog>

#include <cstdint>

class MainForm;

// The purchase receipt window. Being built: only its shell exists yet.
class FormPurchase : public ui::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit FormPurchase(MainForm& main, QWidget* parent = nullptr);

private:
    MainForm& m_main;
};
