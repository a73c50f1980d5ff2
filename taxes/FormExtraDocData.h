#pragma once

#include "Driver.h"
#include "Fields.h"
#include "TabbedDialog.h"

#include <QDialog>

#include <array>
#include <memory>

namespace forms {
class SharedState;
}
class QLabel;
class QLineEdit;

namespace Ui {
class FormExtraDocData;
}

// What the device adds to documents beyond their items: the texts of descriptors 42, 80, 81 and
// 82, written at once; a data value per descriptor, kept in the main window and sent when a
// document opens; the extra text printed at the start of receipts; and eight status indicators.
// The window keeps nothing of its own: it reads and writes the main window's fields.
class FormExtraDocData : public forms::TabbedDialog
{
    Q_OBJECT

public:
    explicit FormExtraDocData(forms::SharedState& main, QWidget* parent = nullptr);
    ~FormExtraDocData() override;

    static constexpr int kIndicators = 8;

protected:
    void Form_Load() override;

private slots:
    void CmdApply_Click();
    void CmdClose_Click();

private:
    struct DescriptorRow
    {
        std::int16_t number;
        QLineEdit* text;
        QLineEdit* value;
        QString forms::SharedState::*field;
    };

    void SetStatus(const QString& text);
    bool writeDescriptors();
    bool storeDataValues();
    void writeExtraStrings();

    std::unique_ptr<Ui::FormExtraDocData> ui;
    forms::SharedState& m_main;
    std::shared_ptr<Driver> m_driver;
    forms::FieldReader m_fields{[this](const QString& text) { SetStatus(text); }};
    std::array<DescriptorRow, 4> m_descriptors{};
    std::array<QLabel*, kIndicators> PicStatus{};
};
