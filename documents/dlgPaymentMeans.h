#pragma once

#include "Driver.h"
#include "Loadable.h"

#include <QDialog>

#include <array>
#include <memory>

namespace forms {
class SharedState;
}
class QCheckBox;
class QLineEdit;

namespace Ui {
class dlgPaymentMeans;
}

// Reads and programs the device's eight payment means: the name each payment type prints under
// and whether it is a card, counts as cash, opens the drawer and may be overpaid for change.
// "Применить" writes the whole table, but never a flag the device did not report.
class dlgPaymentMeans : public forms::Loadable<QDialog>
{
    Q_OBJECT

public:
    static constexpr int kRows = 8;

    explicit dlgPaymentMeans(forms::SharedState& main, QWidget* parent = nullptr);
    ~dlgPaymentMeans() override;

protected:
    void Form_Load() override;

private slots:
    void CmdApply_Click();
    void CmdClose_Click();

private:
    void SetStatus(const QString& text);

    std::unique_ptr<Ui::dlgPaymentMeans> ui;
    forms::SharedState& m_main;
    std::shared_ptr<Driver> m_driver;
    bool m_bSessionOpen = false;
    Driver::Result m_result = 0;

    // Row n of the table is element n - 1 of each array. The card column's control name has a
    // Cyrillic "с" in fifth place ("CheсkIsCard"), as the window has always had it.
    std::array<QLineEdit*, kRows> txtPMName{};
    std::array<QCheckBox*, kRows> CheckIsCard{};
    std::array<QCheckBox*, kRows> CheckDoCheckTotal{};
    std::array<QCheckBox*, kRows> CheckDrawer{};
    std::array<QCheckBox*, kRows> CheckChange{};
};
