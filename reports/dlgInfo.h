#pragma once

#include "Driver.h"
#include "TabbedDialog.h"

#include <QDialog>

#include <memory>

namespace forms {
class SharedState;
}

namespace Ui {
class dlgInfo;
}

// Shows the device's identification as a list of names and values, read once when the window
// opens, and reads any descriptor or device message text by its number. It changes nothing on
// the device and has no status line: the texts are shown as the driver returns them.
class dlgInfo : public forms::TabbedDialog
{
    Q_OBJECT

public:
    explicit dlgInfo(forms::SharedState& main, QWidget* parent = nullptr);
    ~dlgInfo() override;

protected:
    void Form_Load() override;

private slots:
    void cmdGetDescriptorValue_Click();
    void cmdGetMessageValue_Click();
    void cmdCancel_Click();

private:
    std::unique_ptr<Ui::dlgInfo> ui;
    forms::SharedState& m_main;
    std::shared_ptr<Driver> m_driver;
};
