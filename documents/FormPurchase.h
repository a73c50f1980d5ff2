#pragma once

#include "Corrections.h"
#include "DocumentCommands.h"
#include "Fields.h"
#include "Loadable.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <optional>

class MainForm;

namespace Ui {
class FormPurchase;
}

// The purchase receipt window: the register buys goods from the customer, position by position
// with their department, with discounts or surcharges, and pays for them in cash.
class FormPurchase : public ui::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit FormPurchase(MainForm& main, QWidget* parent = nullptr);
    ~FormPurchase() override;

protected:
    void Form_Load() override;

private slots:
    void CmdItem_Click();
    void CmdVoidItem_Click();
    void CmdItemChange_Click();
    void CmdProcChange_Click();
    void CmdAbsoluteChangeText_Click();
    void CmdTender_Click();
    void CmdCloseDoc_Click();
    void CmdResetError_Click();
    void CmdStatus_Click();

private:
    void SetStatus(const QString& text);
    void RefreshDocInfo();

    MainForm& m_main;
    std::unique_ptr<Ui::FormPurchase> ui;
    std::shared_ptr<Driver> m_driver;
    documents::DocumentCounters m_counters;
    ui::FieldReader m_fields{[this](const QString& t) { SetStatus(t); }};
    documents::DocumentCommands m_commands{[this](const QString& t) { SetStatus(t); }};
    std::optional<documents::Corrections> m_corrections; // needs the form's boxes
};
