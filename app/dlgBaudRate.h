#pragma once

#include "Loadable.h"

#include <QDialog>

#include <cstdint>
#include <memory>

namespace Ui {
class dlgBaudRate;
}

// Lets the operator pick a new exchange speed for the running connection. It talks to nobody:
// the main window reads whether it was confirmed and which position was chosen.
class dlgBaudRate : public forms::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit dlgBaudRate(QWidget* parent = nullptr);
    ~dlgBaudRate() override;

    bool bOk = false;        // closed with OK
    std::int16_t Index = -1; // the selected list position, -1 when nothing was selected

protected:
    void Form_Load() override;

private slots:
    void OKButton_Click();
    void CancelButton_Click();

private:
    std::unique_ptr<Ui::dlgBaudRate> ui;
};
