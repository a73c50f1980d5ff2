#pragma once

#include "DocumentCommands.h"
#include "Fields.h"
#include "Loadable.h"

#include <QDialog>

#include <cstdint>
#include <memory>

class MainForm;

namespace Ui {
class FormVoidItem;
}

// The sale annulment receipt window: a reduced sale window with goods positions only, always in
// the document's own department, paid back and printed, or cancelled.
class FormVoidItem : public ui::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit FormVoidItem(MainForm& main, QWidget* parent = nullptr);
    ~FormVoidItem() override;

protected:
    void Form_Load() override;

private slots:
    void CmdItem_Click();
    void CmdVoidItem_Click();
    void Command1_Click();
    void CmdTender_Click();
    void CmdCloseDoc_Click();
    void CmdCancel_Click();
    void CmdExtraInfo_Click();

private:
    void SetStatus(const QString& text);
    void RefreshDocInfo();

    MainForm& m_main;
    std::unique_ptr<Ui::FormVoidItem> ui;
    std::shared_ptr<Driver> m_driver;
    std::int32_t m_MajorVersion = 0;
    Driver::Result m_nResult = 0; // the last command's result code
    documents::DocumentCounters m_counters;
    ui::FieldReader m_fields{[this](const QString& t) { SetStatus(t); }};
    documents::DocumentCommands m_commands{[this](const QString& t) { SetStatus(t); }};
};
