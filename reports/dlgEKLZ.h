#pragma once

#include "Driver.h"
#include "Loadable.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>

namespace forms {
class SharedState;
}

namespace forms {
class NumberBox;
}

namespace Ui {
class dlgEKLZ;
}

// Requests the reports of the electronic control tape (EKLZ), printed by the device or, with
// "В электронном виде" checked, as text collected in the report box. The box keeps every text
// received while the window is open.
class dlgEKLZ : public forms::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit dlgEKLZ(forms::SharedState& main, QWidget* parent = nullptr);
    ~dlgEKLZ() override;

protected:
    void Form_Load() override;

private slots:
    void CmdReportActivization_Click();
    void CmdCheckBand_Click();
    void CmdSessionTotals_Click();
    void CmdDocument_Click();
    void CmdReportShortSessionNum_Click();
    void CmdReportFullSessionNum_Click();
    void CmdReportShortSessionDate_Click();
    void CmdReportFullSessionDate_Click();
    void CloseButton_Click();

private:
    using ReportCall = std::function<Driver::Result(std::int16_t kind)>;

    void SetStatus(const QString& text);
    // Shows the progress text, asks for the report in print or as text, collects the text and
    // shows the comment on the result.
    void runReport(const QString& progress, std::int16_t printedKind, const ReportCall& call);
    void appendReportText();

    std::unique_ptr<Ui::dlgEKLZ> ui;
    forms::SharedState& m_main;
    std::shared_ptr<Driver> m_driver;
    Driver::Result m_lastResult = 0;
};
