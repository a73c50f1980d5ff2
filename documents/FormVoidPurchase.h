#pragma once

#include "Loadable.h"

#include <QDialog>

#include <cstdint>

class MainForm;

// The purchase return window. Being built: only its shell exists yet.
class FormVoidPurchase : public ui::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit FormVoidPurchase(MainForm& main, QWidget* parent = nullptr);

private:
    MainForm& m_main;
};
