#pragma once

#include "Driver.h"
#include "Fields.h"
#include "Loadable.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>

namespace forms {
class OptionEditor;
class SharedState;
} // namespace forms
class QLineEdit;
class QPushButton;

namespace Ui {
class FormTaxes;
}

// Reads and programs the device's four tax rates, its eight tax chains and the option that
// switches the chains on. "Применить" writes only what the operator changed; a value is
// remembered as written whatever the device answered, so a refused value is not sent again
// unless the operator changes it again. A chain option the device did not report as 0 or 1 shows
// unchecked and is not written back until the operator sets it.
class FormTaxes : public forms::Loadable<QDialog>
{
    Q_OBJECT

public:
    explicit FormTaxes(forms::SharedState& main, QWidget* parent = nullptr);
    ~FormTaxes() override;

    static constexpr int kRates = 4;
    static constexpr int kChains = 8;

protected:
    void Form_Load() override;

private slots:
    void CmdEditChain_Click(int index);
    void CmdApply_Click();
    void CmdCancel_Click();

private:
    void SetStatus(const QString& text);
    void addValues();
    // `chainOption`: the use-tax-chains option as last read or written.
    void UpdateRateControls(std::int32_t chainOption);
    void LoadTaxChains();

    std::unique_ptr<Ui::FormTaxes> ui;
    forms::SharedState& m_main;
    std::shared_ptr<Driver> m_driver;
    forms::FieldReader m_fields{[this](const QString& text) { SetStatus(text); }};
    forms::OptionEditor* m_editor = nullptr;

    std::array<QLineEdit*, kRates> Text{};
    std::array<QLineEdit*, kChains> TextChain{};
    std::array<QPushButton*, kChains> CmdEditChain{};
    bool m_shiftOpen = false;
    std::int32_t m_majorVersion = 0;
};
