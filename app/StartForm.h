#pragma once

#include "Driver.h"
#include "Fields.h"
#include "Loadable.h"
#include "SharedState.h"

#include <QDialog>

#include <memory>

class QLineEdit;

namespace Ui {
class StartForm;
}

// The first window: creates the driver object, takes the connection settings and initialises the
// device; on success it opens the main window and closes itself. The driver object it created
// lives on in the main window.
class StartForm : public forms::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit StartForm(QWidget* parent = nullptr);
    ~StartForm() override;

    // The driver object created at load (null when it could not be created).
    std::shared_ptr<Driver> GetQuolt() const { return m_driver; }

    // True when the last initialisation switched payment caching on. It outlives the start
    // window: it is the shared state's, which document windows read long after the start window
    // has closed.
    inline static bool& m_bCashPay = forms::SharedState::m_bCashPay;

protected:
    void Form_Load() override;

private slots:
    void InitCommand_Click();
    void CmdLLLog_Click();
    void CmdHLLog_Click();

private:
    void SetStatus(const QString& text);
    void fillLanguages();
    void fillSpeeds();
    void browseLog(QLineEdit* box, const QString& title);
    void closeTooLongShift();
    void openMainWindow();

    std::unique_ptr<Ui::StartForm> ui;
    std::shared_ptr<Driver> m_driver;
    forms::FieldReader m_fields{[this](const QString& text) { SetStatus(text); }};
};
