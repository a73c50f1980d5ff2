#pragma once

#include "Loadable.h"

#include <QDialog>

#include <cstdint>

class MainForm;

// The sale annulment receipt window. Being built: only its shell exists yet.
class FormVoidItem : public ui::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit FormVoidItem(MainForm& main, QWidget* parent = nullptr);

private:
    MainForm& m_main;
};
