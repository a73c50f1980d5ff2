#include "FormTaxes.h"
#include "ui_FormTaxes.h"

#include "DeviceNumbers.h"
#include "OptionEditor.h"
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
    m_editor = new forms::OptionEditor(ui->CmdApply);
    addValues();
    // A chain changes only through its editor, which reports the change itself.
    for (QLineEdit* box : Text)
        m_editor->track(box);
    m_editor->track(ui->CheckUseTaxChains);
    for (int k = 0; k < kChains; ++k)
        connect(CmdEditChain[k], &QPushButton::clicked, this, [this, k] { CmdEditChain_Click(k); });
    connect(ui->CmdApply, &QPushButton::clicked, this, &FormTaxes::CmdApply_Click);
    connect(ui->CmdCancel, &QPushButton::clicked, this, &FormTaxes::CmdCancel_Click);
}

FormTaxes::~FormTaxes() = default;

// The rates, then the chains, then the option: the order "Применить" writes them in. Every box is
// read before anything is sent, so a rate beyond 16 bits stops the apply.
void FormTaxes::addValues()
{
    using Keep = forms::OptionValues::Keep;
    forms::OptionValues& values = m_editor->values();
    for (int i = 0; i < kRates; ++i) {
        const auto number = std::int16_t(i + 1);
        values.add<std::int16_t>(
            [this, i] { return m_fields.lenientInt16(Text[i], u"Ставка %1"_s.arg(i + 1)); },
            [this, number](const std::int16_t& rate) { return m_driver->SetTaxRate(number, rate); },
            Keep::Attempted);
    }
    // An unread chain is empty and equals an empty box.
    for (int i = 0; i < kChains; ++i) {
        const auto number = std::int16_t(i + 1);
        values.add<QString>(
            [this, i] { return std::optional(TextChain[i]->text()); },
            [this, number](const QString& chain) { return m_driver->SetTaxChain(number, chain); },
            Keep::Attempted);
    }
    values.add<std::int16_t>(
        [this] { return std::optional(std::int16_t(ui->CheckUseTaxChains->isChecked() ? 1 : 0)); },
        [this](const std::int16_t& option) {
            const Driver::Result result =
                m_driver->SetDeviceOpt(DeviceOption::UseTaxChains, option);
            // Switching the chains on locks the rates; switching them off frees them again.
            UpdateRateControls(option);
            return result;
        },
        Keep::Attempted);
}

void FormTaxes::SetStatus(const QString& text)
{
    forms::setStatus(ui->StatusText, text);
}

void FormTaxes::Form_Load()
{
    m_driver = m_main.GetQuolt();
    // The editor remembers what the boxes show once they are filled.
    const auto loading = m_editor->loading();
    SetStatus(u"Initializing..."_s);
    m_shiftOpen = m_driver->GetDeviceInfo(DeviceInfo::ShiftOpen) != 0;
    for (int i = 0; i < kRates; ++i)
        Text[i]->setText(QString::number(m_driver->GetTaxRate(std::int16_t(i + 1))));
    m_majorVersion = m_driver->GetDeviceInfo(DeviceInfo::MajorVersion);
    std::int32_t chainOption = 0;
    if (m_majorVersion >= kChainsFromMajor)
        chainOption = m_driver->GetDeviceOpt(DeviceOption::UseTaxChains);
    UpdateRateControls(chainOption);
    if (m_majorVersion >= kChainsFromMajor)
        LoadTaxChains();
    // Only a 1 is "on"; anything else (a failed read answers -1) shows off and, being what the
    // box shows, is not written back unless the operator sets the box.
    ui->CheckUseTaxChains->setChecked(chainOption == 1);
    SetStatus(QString());
}

void FormTaxes::UpdateRateControls(std::int32_t chainOption)
{
    const bool editable = m_majorVersion >= kChainsFromMajor && chainOption == 0 && !m_shiftOpen;
    for (QLineEdit* box : Text)
        box->setEnabled(editable);
    ui->CheckUseTaxChains->setEnabled(m_majorVersion >= kChainsFromMajor);
}

void FormTaxes::LoadTaxChains()
{
    for (int i = 0; i < kChains; ++i)
        TextChain[i]->setText(m_driver->GetTaxChain(std::int16_t(i + 1)));
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
    m_editor->markChanged();
}

void FormTaxes::CmdApply_Click()
{
    m_editor->apply(*m_driver, [this](const QString& text) { SetStatus(text); });
}

void FormTaxes::CmdCancel_Click()
{
    close();
}
