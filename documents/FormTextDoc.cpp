#include "FormTextDoc.h"
#include "ui_FormTextDoc.h"

#include "DeviceNumbers.h"
#include "SharedState.h"

#include <array>

using namespace Qt::StringLiterals;

FormTextDoc::FormTextDoc(forms::SharedState& main, QWidget* parent)
    : DocumentWindow(main, {}, parent), ui(std::make_unique<Ui::FormTextDoc>())
{
    ui->setupUi(this);
    bindControls();
    connect(ui->CmdText, &QPushButton::clicked, this, &FormTextDoc::CmdText_Click);
    connect(ui->CmdExit, &QPushButton::clicked, this, &FormTextDoc::CmdExit_Click);
    connect(ui->CmdGetExtendedError, &QPushButton::clicked, this,
            &FormTextDoc::CmdGetExtendedError_Click);
    // Setting a box from the program sends the option as a click would.
    connect(ui->cbDoubleWidth, &QCheckBox::toggled, this, &FormTextDoc::cbDoubleWidth_Click);
    connect(ui->cbDoubleHeight, &QCheckBox::toggled, this, &FormTextDoc::cbDoubleHeight_Click);
    connect(ui->cbUnderline, &QCheckBox::toggled, this, &FormTextDoc::cbUnderline_Click);
}

FormTextDoc::~FormTextDoc() = default;

void FormTextDoc::Document_Load()
{
    const std::array<std::pair<QCheckBox*, std::int16_t>, 3> attributes{
        {{ui->cbDoubleWidth, DriverOption::DoubleWidth},
         {ui->cbDoubleHeight, DriverOption::DoubleHeight},
         {ui->cbUnderline, DriverOption::Underline}}};
    // Only the unnumbered document on a device from the fourth generation on takes attributes.
    const bool live = m_main.m_MajorVersion >= 4 && m_DocumentType == DocumentType::UnnumberedText;
    for (const auto& [box, option] : attributes) {
        if (live) {
            box->setChecked(m_driver->GetDriverOpt(option) != 0);
        } else {
            box->setChecked(false);
            box->setEnabled(false);
        }
    }
}

void FormTextDoc::sendAttribute(std::int16_t option, const QCheckBox* box)
{
    m_driver->SetDriverOpt(option, box->isChecked() ? 1 : 0);
}

void FormTextDoc::cbDoubleWidth_Click()
{
    sendAttribute(DriverOption::DoubleWidth, ui->cbDoubleWidth);
}

void FormTextDoc::cbDoubleHeight_Click()
{
    sendAttribute(DriverOption::DoubleHeight, ui->cbDoubleHeight);
}

void FormTextDoc::cbUnderline_Click()
{
    sendAttribute(DriverOption::Underline, ui->cbUnderline);
}

void FormTextDoc::CmdText_Click()
{
    const QString text = ui->TxtText->text();
    runCommand([&] { return m_driver->TextLine(text); });
}

void FormTextDoc::CmdExit_Click()
{
    // A refusal is not shown here: "Получить" tells the operator why.
    if (m_driver->EndDocument() == 0)
        closeEnded();
}

void FormTextDoc::CmdGetExtendedError_Click()
{
    const std::int32_t code = m_driver->GetErrorCode2();
    ui->ExtendedErrorCodeText->setText(documents::signedNumberText(code));
    ui->ExtendedErrorText->setText(m_driver->GetErrorComment2(code));
}
