#pragma once

#include "Loadable.h"

#include <QDialog>

#include <cstdint>

class MainForm;

// The cash-in, cash-out and returned-goods payment window; its caption names the kind. Being built: only its shell exists yet.
class FormPay : public ui::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit FormPay(MainForm& main, QWidget* parent = nullptr);

private:
    MainForm& m_main;
};
