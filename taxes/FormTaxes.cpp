#include "FormTaxes.h"
#include "ui_FormTaxes.h"

#include "DeviceNumbers.h"
#include "SharedState.h"
#include "Seams.h"
#include "StatusLine.h"
#include "dlgEditChain.h"

using namespace Qt::StringLiterals;

namespace {

// Tax chains and the option that switches them on came with this generation.
constexpr int kChainsFromMajor = 3;

} // namespace

FormTaxes::FormTaxes(forms::SharedState& main, QWidget* parent)
    : forms::Loadable<QDialog>(parent), ui(std::make_unique<Ui::FormTaxes>()), m_main(main)
{
    ui->setupUi(this);
    setKeys(forms::EscapeKey::Closes);
    Text = {ui->Text1, ui->Text2, ui->Text3, ui->Text4};
    TextChain = {ui->TextChain_0, ui->TextChain_1, ui->TextChain_2, ui->TextChain_3,
                 ui->TextChain_4, ui->TextChain_5, ui->TextChain_6, ui->TextChain_7};
    CmdEditChain = {ui->CmdEditChain_0, ui->CmdEditChain_1, ui->CmdEditChain_2, ui->CmdEditChain_3,
                    ui->CmdEditChain_4, ui->CmdEditChain_5, ui->CmdEditChain_6, ui->CmdEditChain_7};
    for (QLineEdit* box : Text)
        connect(box, &QLineEdit::textChanged, this, &FormTaxes::Text_Change);
    connect(ui->CheckUseTaxChains, &QCheckBox::toggled, this, &FormTaxes::CheckUseTaxChains_Click);
    for (int k = 0; k < kChains; ++k)
        connect(CmdEditChain[k], &QPushButton::clicked, this, [this, k] { CmdEditChain_Click(k); });
    connect(ui->CmdApply, &QPushButton::clicked, this, &FormTaxes::CmdApply_Click);
    connect(ui->CmdCancel, &QPushButton::clicked, this, &FormTaxes::CmdCancel_Click);
}

FormTaxes::~FormTaxes() = default;

void FormTaxes::SetStatus(const QString& text)
{
    forms::setStatus(ui->StatusText, text);
}

void FormTaxes::Form_Load()
{
    m_driver = m_main.GetQuolt();
    SetStatus(u"Initializing..."_s);
    m_shiftOpen = m_driver->GetDeviceInfo(DeviceInfo::ShiftOpen) != 0;
    for (int i = 0; i < kRates; ++i)
        m_savedRates[i] = m_driver->GetTaxRate(std::int16_t(i + 1));
    for (int i = 0; i < kRates; ++i)
        Text[i]->setText(QString::number(m_savedRates[i]));
    m_majorVersion = m_driver->GetDeviceInfo(DeviceInfo::MajorVersion);
    if (m_majorVersion >= kChainsFromMajor)
        m_savedChainOption = m_driver->GetDeviceOpt(DeviceOption::UseTaxChains);
    UpdateRateControls();
    if (m_majorVersion >= kChainsFromMajor)
        LoadTaxChains();
    ui->CheckUseTaxChains->setChecked(m_savedChainOption != 0);
    SetStatus(QString());
    // Filling the boxes counted as changes; nothing has changed yet.
    ui->CmdApply->setEnabled(false);
}

void FormTaxes::UpdateRateControls()
{
    const bool editable =
        m_majorVersion >= kChainsFromMajor && m_savedChainOption == 0 && !m_shiftOpen;
    for (QLineEdit* box : Text)
        box->setEnabled(editable);
    ui->CheckUseTaxChains->setEnabled(m_majorVersion >= kChainsFromMajor);
}

void FormTaxes::LoadTaxChains()
{
    for (int i = 0; i < kChains; ++i) {
        m_savedChains[i] = m_driver->GetTaxChain(std::int16_t(i + 1));
        TextChain[i]->setText(m_savedChains[i]);
    }
}

void FormTaxes::Text_Change()
{
    ui->CmdApply->setEnabled(true);
}

void FormTaxes::CheckUseTaxChains_Click()
{
    ui->CmdApply->setEnabled(true);
}

void FormTaxes::CmdEditChain_Click(int index)
{
    dlgEditChain editor(this);
    editor.sChain = TextChain[index]->text();
    editor.setWindowTitle(u"Цепочка №"_s + QString::number(index + 1));
    forms::showModal(editor, this);
    if (!editor.bOk)
        return;
    TextChain[index]->setText(editor.sChain);
    ui->CmdApply->setEnabled(true);
}

void FormTaxes::CmdApply_Click()
{
    // Every box is read before anything is sent: a rate beyond 16 bits stops the apply.
    std::array<std::int16_t, kRates> rates{};
    for (int i = 0; i < kRates; ++i) {
        const auto rate = m_fields.lenientInt16(Text[i], u"Ставка %1"_s.arg(i + 1));
        if (!rate)
            return;
        rates[i] = *rate;
    }
    const std::int32_t chainOption = ui->CheckUseTaxChains->isChecked() ? 1 : 0;

    for (int i = 0; i < kRates; ++i) {
        if (rates[i] == m_savedRates[i])
            continue;
        SetStatus(m_driver->GetErrorComment(m_driver->SetTaxRate(std::int16_t(i + 1), rates[i])));
        m_savedRates[i] = rates[i];
    }
    for (int i = 0; i < kChains; ++i) {
        // An unread chain is empty and equals an empty box.
        const QString chain = TextChain[i]->text();
        if (chain == m_savedChains[i])
            continue;
        SetStatus(m_driver->GetErrorComment(m_driver->SetTaxChain(std::int16_t(i + 1), chain)));
        m_savedChains[i] = chain;
    }
    if (chainOption != m_savedChainOption) {
        SetStatus(m_driver->GetErrorComment(
            m_driver->SetDeviceOpt(DeviceOption::UseTaxChains, std::int16_t(chainOption))));
        m_savedChainOption = chainOption;
        // Switching the chains on locks the rates; switching them off frees them again.
        UpdateRateControls();
    }
    ui->CmdApply->setEnabled(false);
}

void FormTaxes::CmdCancel_Click()
{
    close();
}
