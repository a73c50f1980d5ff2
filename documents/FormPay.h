#pragma once

#include "DocumentCommands.h"
#include "Fields.h"
#include "Loadable.h"

#include <QDialog>

#include <cstdint>
#include <memory>

class MainForm;

namespace Ui {
class FormPay;
}

// The cash-in, cash-out and returned-goods payment window. Its opener sets the caption that names
// the kind; the device already knows it from the document type. The document carries no
// positions: it is paid and printed, or cancelled.
class FormPay : public ui::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit FormPay(MainForm& main, QWidget* parent = nullptr);
    ~FormPay() override;

protected:
    void Form_Load() override;

private slots:
    void CmdTender_Click();
    void CmdCloseDoc_Click();
    void CmdCancel_Click();

private:
    void SetStatus(const QString& text);

    MainForm& m_main;
    std::unique_ptr<Ui::FormPay> ui;
    std::shared_ptr<Driver> m_driver;
    ui::FieldReader m_fields{[this](const QString& t) { SetStatus(t); }};
    documents::DocumentCommands m_commands{[this](const QString& t) { SetStatus(t); }};
};
