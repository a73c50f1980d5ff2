#pragma once

#include "Driver.h"
#include "Loadable.h"

#include <QDialog>

#include <cstdint>
#include <memory>

namespace forms {
class SharedState;
}

namespace Ui {
class dlgStatus;
}

// Lists the device's status flags, each row checked when its condition holds. The flags are read
// once, when the window opens.
class dlgStatus : public forms::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit dlgStatus(forms::SharedState& main, QWidget* parent = nullptr);
    ~dlgStatus() override;

    bool m_bPrinterOnly = false; // show the printer part of the status only

protected:
    void Form_Load() override;

private slots:
    void CancelButton_Click();

private:
    void SetStatus(const QString& text);
    void fillStatus();

    std::unique_ptr<Ui::dlgStatus> ui;
    forms::SharedState& m_main;
    std::shared_ptr<Driver> m_driver;
};
