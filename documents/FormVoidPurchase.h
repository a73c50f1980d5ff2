#pragma once

#include "DocumentCommands.h"
#include "Fields.h"
#include "Loadable.h"

#include <QDialog>

#include <cstdint>
#include <memory>

class MainForm;

namespace Ui {
class FormVoidPurchase;
}

// The purchase return window: returned purchase positions with their department, paid in cash,
// then printed or cancelled. It has no counters.
class FormVoidPurchase : public ui::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit FormVoidPurchase(MainForm& main, QWidget* parent = nullptr);
    ~FormVoidPurchase() override;

protected:
    void Form_Load() override;

private slots:
    void CmdItem_Click();
    void CmdVoidItem_Click();
    void CmdCorrectLastItem_Click();
    void CmdTender_Click();
    void CmdCloseDoc_Click();
    void CmdCancel_Click();

private:
    void SetStatus(const QString& text);

    MainForm& m_main;
    std::unique_ptr<Ui::FormVoidPurchase> ui;
    std::shared_ptr<Driver> m_driver;
    ui::FieldReader m_fields{[this](const QString& t) { SetStatus(t); }};
    documents::DocumentCommands m_commands{[this](const QString& t) { SetStatus(t); }};
};
