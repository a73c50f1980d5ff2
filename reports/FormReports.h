#pragma once

#include "Driver.h"
#include "Fields.h"
#include "Loadable.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>

namespace forms {
class SharedState;
}

namespace Ui {
class FormReports;
}

// Prints the device's reports and tests: X1, X2 and Z1, the programming report, the tax chain
// reports, the trial receipt and the two printer tests. Which buttons work is decided once, at
// load, by whether the shift was open then.
class FormReports : public forms::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit FormReports(forms::SharedState& main, QWidget* parent = nullptr);
    ~FormReports() override;

protected:
    void Form_Load() override;

private slots:
    void CmdX1Report_Click();
    void CmdX2Report_Click();
    void CmdZ1Report_Click();
    void CmdProgReport_Click();
    void CmdTest_Click();
    void CmdFullTestPrint_Click();
    void CmdTestDevice_Click();
    void CmdTaxChainReport_Click();
    void CmdTaxChainsReport_Click();
    void CmdClose_Click();

private:
    void SetStatus(const QString& text);
    // Shows the progress text, runs the calls and shows the comment on their result, which it
    // returns.
    Driver::Result Run(const QString& progress, const std::function<Driver::Result()>& calls);
    // A shift report for the cashier typed in the main window at this moment; a refused
    // cashier skips the report.
    void runShiftReport(const QString& progress, std::int16_t kind);

    std::unique_ptr<Ui::FormReports> ui;
    forms::SharedState& m_main;
    std::shared_ptr<Driver> m_driver;
    forms::FieldReader m_fields;
};
