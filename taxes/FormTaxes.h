#pragma once

#include "Driver.h"
#include "Fields.h"
#include "Loadable.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>

namespace forms {
class SharedState;
}
class QLineEdit;
class QPushButton;

namespace Ui {
class FormTaxes;
}

// Reads and programs the device's four tax rates, its eight tax chains and the option that
// switches the chains on. "Применить" writes only what the operator changed; a value is
// remembered as written whatever the device answered, so a refused value is not sent again
// unless the operator changes it again.
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
    void Text_Change();
    void CheckUseTaxChains_Click();
    void CmdEditChain_Click(int index);
    void CmdApply_Click();
    void CmdCancel_Click();

private:
    void SetStatus(const QString& text);
    void UpdateRateControls();
    void LoadTaxChains();

    std::unique_ptr<Ui::FormTaxes> ui;
    forms::SharedState& m_main;
    std::shared_ptr<Driver> m_driver;
    forms::FieldReader m_fields{[this](const QString& text) { SetStatus(text); }};

    std::array<QLineEdit*, kRates> Text{};
    std::array<QLineEdit*, kChains> TextChain{};
    std::array<QPushButton*, kChains> CmdEditChain{};
    // What was last read from or written to the device; a value is written only when the form
    // differs from it, and is remembered whatever the device answered.
    std::array<std::int16_t, kRates> m_savedRates{};
    std::array<QString, kChains> m_savedChains{};
    std::int32_t m_savedChainOption = 0;
    bool m_shiftOpen = false;
    std::int32_t m_majorVersion = 0;
};
