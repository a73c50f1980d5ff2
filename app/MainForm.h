#pragma once

#include "Driver.h"
#include "Fields.h"
#include "Loadable.h"
#include "SharedState.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class QRadioButton;

namespace Ui {
class MainForm;
}

// The hub of the program from a successful initialisation to the end of the run: it holds the
// driver object for every other window, opens and closes the shift and opens every other window.
// Other windows read and write the shared state it implements, through that face alone.
class MainForm : public forms::Loadable<QMainWindow>, public forms::SharedState
{
    Q_OBJECT

public:
    // The start window hands over the driver object it created (its GetQuolt()).
    explicit MainForm(std::shared_ptr<Driver> driver, QWidget* parent = nullptr);
    ~MainForm() override;

    std::shared_ptr<Driver> GetQuolt() const override { return m_driver; }
    // The cashier typed into the shift cashier box at this moment (TxtSessClerkID).
    QString sessionClerk() const override;
    // The document cashier as typed in TxtClerkID.
    QString clerkId() const override;
    void readShiftState() override;

protected:
    void Form_Load() override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void CmdOpenSession_Click();
    void CmdCloseSession_Click();
    void CmdOpenDrawer_Click();
    void CmdPrintDuplicate_Click();
    void CmdDeviceData_Click();
    void CmdGetExtendedError_Click();
    void CmdOpenDoc_Click();
    void mnBaudRate_Click();
    void mnAbout_Click();
    void CmdClose_Click();

    void CmdStatus_Click();
    void CmdExtraInfo_Click();
    // Their windows are still to come; the buttons already take their places.
    void CmdSettings_Click();
    void CmdTaxes_Click();
    void CmdReports_Click();
    void cmdInfo_Click();
    void CmdEKLZ_Click();
    void CmdExtraDocData_Click();
    void CmdPaymentMeans_Click();
    void CmdLineDisplay_Click();
    void CmdPrintDocumentCopyMode_Click();

private:
    void SetStatus(const QString& text);
    void showResult(Driver::Result r);
    void refreshCounters();
    void enableByGeneration();
    void showShift(bool open);
    int selectedDocumentType() const;
    void sendExtraDocData();
    void offerToCancelOpenDocument();
    void openDocumentWindow(int type);

    std::unique_ptr<Ui::MainForm> ui;
    std::shared_ptr<Driver> m_driver;
    // The document type options, indexed 1..9 by the type code they stand for.
    std::array<QRadioButton*, 10> Option1{};
    forms::FieldReader m_fields{[this](const QString& text) { SetStatus(text); }};
    bool m_released = false;
};
