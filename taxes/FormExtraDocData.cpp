#include "FormExtraDocData.h"
#include "ui_FormExtraDocData.h"

#include "DeviceNumbers.h"
#include "ExtraTextLines.h"
#include "SharedState.h"
#include "StatusLine.h"

using namespace Qt::StringLiterals;

namespace {

// The generations from which descriptor texts can be read back, data values travel as texts,
// the extra text is taken, and rows 80 to 82 exist.
constexpr int kReadDescriptorsFrom = 5;
constexpr int kTextValuesFrom = 4;
constexpr int kExtraTextFrom = 4;
constexpr int kLaterRowsFrom = 3;

const QColor kIndicatorOn(255, 0, 0);
const QColor kIndicatorOff(128, 128, 128);

void paint(QLabel* indicator, const QColor& colour)
{
    QPalette palette = indicator->palette();
    palette.setColor(QPalette::Window, colour);
    indicator->setPalette(palette);
}

} // namespace

FormExtraDocData::FormExtraDocData(forms::SharedState& main, QWidget* parent)
    : forms::TabbedDialog(parent), ui(std::make_unique<Ui::FormExtraDocData>()), m_main(main)
{
    ui->setupUi(this);
    setUpTabs(ui->tbsOptions, {u"Дескрипторы"_s, u"Текст"_s, u"Состояние"_s},
              {ui->pageDescriptors, ui->pageText, ui->pageStatus}, forms::TabStrip::Backwards::No,
              Placement::Centred);
    setKeys(forms::EscapeKey::Closes);
    m_descriptors = {{
        {Descriptor::Row42, ui->TxtDesc42, ui->TxtValDesc42, &forms::SharedState::m_sDesc42},
        {Descriptor::Row80, ui->TxtDesc80, ui->TxtValDesc80, &forms::SharedState::m_sDesc80},
        {Descriptor::Row81, ui->TxtDesc81, ui->TxtValDesc81, &forms::SharedState::m_sDesc81},
        {Descriptor::Row82, ui->TxtDesc82, ui->TxtValDesc82, &forms::SharedState::m_sDesc82},
    }};
    PicStatus = {ui->PicStatus_0, ui->PicStatus_1, ui->PicStatus_2, ui->PicStatus_3,
                 ui->PicStatus_4, ui->PicStatus_5, ui->PicStatus_6, ui->PicStatus_7};
    for (QLabel* indicator : PicStatus)
        paint(indicator, kIndicatorOff);
    connect(ui->CmdApply, &QPushButton::clicked, this, &FormExtraDocData::CmdApply_Click);
    connect(ui->CmdClose, &QPushButton::clicked, this, &FormExtraDocData::CmdClose_Click);
}

FormExtraDocData::~FormExtraDocData() = default;

void FormExtraDocData::SetStatus(const QString& text)
{
    forms::setStatus(ui->StatusText, text);
}

void FormExtraDocData::Form_Load()
{
    m_driver = m_main.GetQuolt();
    const int major = m_main.m_MajorVersion;
    for (DescriptorRow& row : m_descriptors)
        row.text->setText(m_main.*row.field);
    const bool readable = major >= kReadDescriptorsFrom;
    if (readable) {
        for (DescriptorRow& row : m_descriptors) {
            row.text->setText(m_driver->GetTextDeviceInfo(TextInfo::DescriptorBase + row.number));
            m_main.*row.field = row.text->text();
        }
    }
    ui->lblDescInfo->setVisible(!readable);

    ui->TxtValDesc80->setText(m_main.m_sValDesc80);
    if (major >= kTextValuesFrom) {
        ui->TxtValDesc42->setText(m_main.m_sValDesc42);
        ui->TxtValDesc81->setText(m_main.m_sValDesc81);
        ui->TxtValDesc82->setText(m_main.m_sValDesc82);
    } else {
        ui->TxtValDesc42->setText(QString::number(m_main.m_lValDesc42));
        ui->TxtValDesc81->setText(QString::number(m_main.m_lValDesc81));
        ui->TxtValDesc82->setText(QString::number(m_main.m_lValDesc82));
    }
    ui->TxtExtraStrings->setPlainText(m_main.m_sExtraStrings);

    // Row 42 is there on every generation.
    for (std::size_t i = 1; i < m_descriptors.size(); ++i) {
        m_descriptors[i].text->setEnabled(major >= kLaterRowsFrom);
        m_descriptors[i].value->setEnabled(major >= kLaterRowsFrom);
    }
    ui->TxtExtraStrings->setEnabled(major >= kExtraTextFrom);

    for (int i = 0; i < kIndicators; ++i) {
        const auto value =
            std::int16_t(m_driver->GetDeviceInfo(std::int16_t(DeviceInfo::FirstHardwareFlag + i)));
        paint(PicStatus[i], value == 1 ? kIndicatorOn : kIndicatorOff);
    }
}

void FormExtraDocData::CmdApply_Click()
{
    if (!writeDescriptors() || !storeDataValues())
        return;
    writeExtraStrings();
}

bool FormExtraDocData::writeDescriptors()
{
    for (const DescriptorRow& row : m_descriptors) {
        const QString text = row.text->text();
        if (text == m_main.*row.field)
            continue;
        SetStatus(u"Установка дескриптора %1..."_s.arg(row.number));
        const Driver::Result r = m_driver->SetDescriptorText(row.number, text);
        SetStatus(forms::statusText(m_driver->GetErrorComment(r)));
        if (r != 0)
            return false;
        m_main.*row.field = text;
    }
    return true;
}

bool FormExtraDocData::storeDataValues()
{
    if (m_main.m_MajorVersion < kTextValuesFrom) {
        // All three are read before any is kept: a value beyond 32 bits keeps none.
        const auto v42 = m_fields.lenientInt32(ui->TxtValDesc42, u"Данные 42"_s);
        if (!v42)
            return false;
        const auto v81 = m_fields.lenientInt32(ui->TxtValDesc81, u"Данные 81"_s);
        if (!v81)
            return false;
        const auto v82 = m_fields.lenientInt32(ui->TxtValDesc82, u"Данные 82"_s);
        if (!v82)
            return false;
        m_main.m_lValDesc42 = *v42;
        m_main.m_lValDesc81 = *v81;
        m_main.m_lValDesc82 = *v82;
    } else {
        m_main.m_sValDesc42 = ui->TxtValDesc42->text();
        m_main.m_sValDesc81 = ui->TxtValDesc81->text();
        m_main.m_sValDesc82 = ui->TxtValDesc82->text();
    }
    m_main.m_sValDesc80 = ui->TxtValDesc80->text();
    return true;
}

void FormExtraDocData::writeExtraStrings()
{
    const QString text = ui->TxtExtraStrings->toPlainText();
    if (text == m_main.m_sExtraStrings)
        return;
    const QStringList lines = extratext::displayLines(*ui->TxtExtraStrings);
    if (!text.isEmpty() && !lines.isEmpty()) {
        if (m_driver->ClearExtraStrings() != 0)
            return;
        for (const QString& line : lines) {
            SetStatus(u"Установка дополнительных строк..."_s);
            const Driver::Result r = m_driver->AddExtraString(line);
            SetStatus(forms::statusText(m_driver->GetErrorComment(r)));
            if (r != 0)
                return;
        }
    } else {
        SetStatus(u"Очистка дополнительных строк..."_s);
        const Driver::Result r = m_driver->ClearExtraStrings();
        SetStatus(forms::statusText(m_driver->GetErrorComment(r)));
        if (r != 0)
            return;
    }
    m_main.m_sExtraStrings = text;
}

void FormExtraDocData::CmdClose_Click()
{
    close();
}
