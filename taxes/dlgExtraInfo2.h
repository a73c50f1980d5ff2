#pragma once

#include "Driver.h"
#include "TabbedDialog.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <optional>

namespace forms {
class SharedState;
}
class QTreeWidget;

namespace Ui {
class dlgExtraInfo2;
}

// Shows the device's counters on three tabs: the open document, the open shift and the general
// totals. Everything is read once, when the window opens.
class dlgExtraInfo2 : public forms::TabbedDialog
{
    Q_OBJECT

public:
    explicit dlgExtraInfo2(forms::SharedState& main, QWidget* parent = nullptr);
    ~dlgExtraInfo2() override;

protected:
    void Form_Load() override;

private slots:
    void CmdCancel_Click();

private:
    void SetStatus(const QString& text);
    // Fills the lists; returns the error text that stopped it, or nothing.
    std::optional<QString> fillLists();
    void fillCounters(QTreeWidget* list, std::int16_t base, int count);

    std::unique_ptr<Ui::dlgExtraInfo2> ui;
    forms::SharedState& m_main;
    std::shared_ptr<Driver> m_driver;
};
