#pragma once

#include "Driver.h"
#include "Loadable.h"

#include <QDialog>

#include <memory>

namespace forms {
class SharedState;
}

namespace Ui {
class dlgLineDisplay;
}

// Drives the customer display attached to the device: clears it, shows a text or a raw data
// string on it, chooses its protocol and locks it against the driver's display commands.
class dlgLineDisplay : public forms::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit dlgLineDisplay(forms::SharedState& main, QWidget* parent = nullptr);
    ~dlgLineDisplay() override;

protected:
    void Form_Load() override;

private slots:
    void cmdInit_Click();
    void cmdString_Click();
    void cmdDataDirect_Click();
    void cmdSetProtocol_Click();
    void cbLockLineDisplay_Click();
    void CancelButton_Click();

private:
    void SetStatus(const QString& text);
    void showResult(Driver::Result r);

    std::unique_ptr<Ui::dlgLineDisplay> ui;
    forms::SharedState& m_main;
    std::shared_ptr<Driver> m_driver;
    Driver::Result m_result = 0;
};
