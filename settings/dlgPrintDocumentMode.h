#pragma once

#include "Driver.h"
#include "Fields.h"
#include "Loadable.h"

#include <QDialog>

#include <memory>

namespace forms {
class SharedState;
}

namespace Ui {
class dlgPrintDocumentMode;
}

// Switches the device between printing documents on the receipt roll and on inserted slips, with
// the slip's side, copies, fiscal copy and blank rows. The main window's cashier is registered
// first: the device takes the mode from a registered cashier only.
class dlgPrintDocumentMode : public forms::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit dlgPrintDocumentMode(forms::SharedState& main, QWidget* parent = nullptr);
    ~dlgPrintDocumentMode() override;

protected:
    void Form_Load() override;

private slots:
    void ApplyButton_Click();
    void CancelButton_Click();

private:
    void SetStatus(const QString& text);
    void showResult(Driver::Result r);

    std::unique_ptr<Ui::dlgPrintDocumentMode> ui;
    forms::SharedState& m_main;
    std::shared_ptr<Driver> m_driver;
    Driver::Result m_result = 0;
    forms::FieldReader m_fields{[this](const QString& text) { SetStatus(text); }};
};
