#include "FormOptions.h"
#include "ui_FormOptions.h"

#include "ButtonArrays.h"
#include "DeviceDigits.h"
#include "DeviceNumbers.h"
#include "SharedState.h"
#include "NumberBox.h"
#include "OptionControls.h"
#include "StatusLine.h"
#include "TabStrip.h"
#include "UpDown.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace {

void setSpinner(forms::UpDown* spinner, QLineEdit* box, int value)
{
    spinner->setValue(value);
    box->setText(QString::number(spinner->value()));
}

std::int16_t toInt16(std::int32_t value)
{
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

} // namespace

FormOptions::FormOptions(forms::SharedState& main, QWidget* parent)
    : forms::Loadable<QDialog>(parent), ui(std::make_unique<Ui::FormOptions>()), m_main(main)
{
    ui->setupUi(this);
    const QStringList captions{u"Печать"_s, u"Заголовок"_s, u"Дата/Время"_s, u"Округление"_s,
                               u"Прочее"_s, u"Прочее 2"_s,  u"Штрих-код"_s,  u"ФР48ЦЖ"_s};
    QList<QWidget*> pages;
    for (int i = 0; i < captions.size(); ++i) {
        ui->tbsOptions->addTab(captions.at(i));
        pages << findChild<QWidget*>(u"picOptions_%1"_s.arg(i));
    }
    m_tabs = new forms::TabStrip(ui->tbsOptions, pages, forms::TabStrip::Backwards::Yes);

    for (const options::CheckOption& option : options::checkOptions())
        m_checks.insert(option.number, findChild<QCheckBox*>(option.control));
    for (const options::GroupOption& option : options::groupOptions())
        m_groups.insert(option.number, options::buttonArray(this, option.group, option.buttons));
    PaperTypeOption = options::buttonArray(this, u"PaperTypeOption"_s, 5);
    opCodePage = options::buttonArray(this, u"opCodePage"_s, 3);
    opCodeType = options::buttonArray(this, u"opCodeType"_s, 9);
    opBarCodeAlignment = options::buttonArray(this, u"opBarCodeAlignment"_s, 3);
    OpBarCodeFontSize = options::buttonArray(this, u"OpBarCodeFontSize"_s, 2);
    for (int i = 0; i < 8; ++i) {
        TxtHeader[i] = findChild<QLineEdit*>(u"TxtHeader_%1"_s.arg(i));
        CheckBoldHeader[i] = findChild<QCheckBox*>(u"CheckBoldHeader_%1"_s.arg(i));
    }
    PrintPicCheck = {ui->PrintPic1Check, ui->PrintPic2Check, ui->PrintPic3Check};

    ui->udSessionTimeLimit->setRange(1, 24);
    ui->udSessionTimeLimit->setValue(24);
    ui->udStartBarCodeHeight->setRange(0, 3);
    ui->udEndBarCodeHeight->setRange(0, 3);
    ui->udNumImage->setRange(0, 255);
    ui->udBarCodeHeight->setRange(1, 255);
    ui->udBarCodeHeight->setValue(50);
    ui->udScaling->setRange(0, 3);
    ui->udWidth->setRange(0, 3);
    m_sessionTimeLimit = new forms::NumberBox(ui->TxtSessionTimeLimit, ui->udSessionTimeLimit);
    m_startBarCodeHeight =
        new forms::NumberBox(ui->TxtStartBarCodeHeight, ui->udStartBarCodeHeight);
    m_endBarCodeHeight = new forms::NumberBox(ui->TxtEndBarCodeHeight, ui->udEndBarCodeHeight);
    // The slot box takes 0 to 254 although the spinner's arrow reaches 255.
    m_numImage = new forms::NumberBox(ui->TxtNumImage, ui->udNumImage, std::pair{0, 254});
    m_barCodeHeight = new forms::NumberBox(ui->TxtBarCodeHeight, ui->udBarCodeHeight);
    m_scaling = new forms::NumberBox(ui->TxtScaling, ui->udScaling);
    m_width = new forms::NumberBox(ui->TxtWidth, ui->udWidth);

    trackChanges();
    connect(ui->CmdApply, &QPushButton::clicked, this, &FormOptions::CmdApply_Click);
    connect(ui->CmdCancel, &QPushButton::clicked, this, &FormOptions::CmdCancel_Click);
    connect(ui->CmdSetHeader, &QPushButton::clicked, this, &FormOptions::CmdSetHeader_Click);
    connect(ui->CmdSetDate, &QPushButton::clicked, this, &FormOptions::CmdSetDate_Click);
    connect(ui->CmdSetTime, &QPushButton::clicked, this, &FormOptions::CmdSetTime_Click);
    connect(ui->CmdBrowseImageFile, &QPushButton::clicked, this,
            &FormOptions::CmdBrowseImageFile_Click);
    connect(ui->CmdLoadImage, &QPushButton::clicked, this, &FormOptions::CmdLoadImage_Click);
    connect(ui->CmdSetImage, &QPushButton::clicked, this, &FormOptions::CmdSetImage_Click);
    connect(ui->CmdDeleteImage, &QPushButton::clicked, this, &FormOptions::CmdDeleteImage_Click);
    connect(ui->cmdLoadImages, &QPushButton::clicked, this, &FormOptions::cmdLoadImages_Click);
    connect(ui->cmdSetPrintPic, &QPushButton::clicked, this, &FormOptions::cmdSetPrintPic_Click);
    connect(ui->CmdProgramBarCode, &QPushButton::clicked, this,
            &FormOptions::CmdProgramBarCode_Click);
    connect(ui->CmdProgramBarCodeDirect, &QPushButton::clicked, this,
            &FormOptions::CmdProgramBarCodeDirect_Click);
}

FormOptions::~FormOptions() = default;

void FormOptions::trackChanges()
{
    // Only the controls of options written by "Применить" mark the window as changed; the
    // commands sent at once, the code page and the clock correction do not.
    for (QCheckBox* box : std::as_const(m_checks))
        connect(box, &QCheckBox::toggled, this, &FormOptions::Option_Change);
    QList<QRadioButton*> buttons = PaperTypeOption;
    for (const QList<QRadioButton*>& group : std::as_const(m_groups))
        buttons << group;
    for (QRadioButton* button : std::as_const(buttons))
        connect(button, &QRadioButton::toggled, this, &FormOptions::Option_Change);
    for (forms::UpDown* spinner :
         {ui->udSessionTimeLimit, ui->udStartBarCodeHeight, ui->udEndBarCodeHeight})
        connect(spinner, &forms::UpDown::valueChanged, this, &FormOptions::Option_Change);
}

void FormOptions::SetStatus(const QString& text)
{
    forms::setStatus(ui->StatusText, text);
}

void FormOptions::showResult(Driver::Result result)
{
    m_result = result;
    SetStatus(forms::statusText(m_driver->GetErrorComment(result)));
}

void FormOptions::Form_Load()
{
    m_driver = m_main.GetQuolt();
    const std::int16_t deviceVersion = toInt16(m_driver->GetDeviceInfo(DeviceInfo::MajorVersion));
    const bool shiftOpen = m_driver->GetDeviceInfo(DeviceInfo::ShiftOpen) != 0;
    readOptions();
    readHeader();
    ui->lblHeaderInfo->setVisible(m_main.m_MajorVersion < 3);
    ui->VersionText->setText(m_driver->GetTextDeviceInfo(TextInfo::Version));
    m_codePage = m_driver->GetDriverOpt(DriverOption::CodePage);
    showOptions();
    showClockAndPictures();
    showSpinners();
    showDateAndTime();
    enableControls(deviceVersion, shiftOpen);
    options::selectButton(opCodePage, m_codePage);
    m_tabs->select(0);
    // Setting the controls above counted as changes; what was read is not a change.
    ui->CmdApply->setEnabled(false);
}

void FormOptions::readOptions()
{
    for (std::int16_t number : options::loadOrder())
        m_loaded[number] = toInt16(m_driver->GetDeviceOpt(number));
    if (m_main.m_MajorVersion == 6) {
        m_paperType = toInt16(m_driver->GetDeviceInfo(DeviceInfo::PaperType));
        for (std::int16_t number : options::clockAndPictureOptions())
            m_loaded[number] = toInt16(m_driver->GetDeviceOpt(number));
    } else {
        // Older devices have neither a paper type nor a clock to program: take them as the
        // window shows them, so that Apply never writes them.
        m_loaded[DeviceOption::ClockOn] = 1;
        m_loaded[DeviceOption::ClockCorrection] = 0;
        m_paperType = PaperType::Standard;
    }
}

void FormOptions::readHeader()
{
    for (int n = 1; n <= 8; ++n) {
        TxtHeader[n - 1]->setText(m_driver->GetTextDeviceInfo(TextInfo::HeaderLineBase + n));
        CheckBoldHeader[n - 1]->setChecked(
            m_driver->GetDeviceInfo(std::int16_t(DeviceInfo::HeaderBoldBase + n)) == 1);
    }
}

void FormOptions::showOptions()
{
    for (auto it = m_checks.cbegin(); it != m_checks.cend(); ++it) {
        if (it.key() != DeviceOption::CarryCashOver && it.key() != DeviceOption::ClockOn)
            it.value()->setChecked(m_loaded.value(it.key()) != 0);
    }
    for (auto it = m_groups.cbegin(); it != m_groups.cend(); ++it)
        options::selectButton(it.value(), m_loaded.value(it.key()));
}

void FormOptions::showClockAndPictures()
{
    if (m_main.m_MajorVersion != 6) {
        ui->ClockOnCheck->setChecked(true);
        ui->ClockOnCheck->setEnabled(false);
        ui->ClockCorrectionText->setText(u"0"_s);
        ui->ClockCorrectionText->setEnabled(false);
        for (QCheckBox* box : PrintPicCheck)
            box->setEnabled(false);
        return;
    }
    ui->CheckStartSessionNotNullMoney->setChecked(m_loaded.value(DeviceOption::CarryCashOver) != 0);
    options::selectButton(PaperTypeOption, options::paperTypeButton(m_paperType));
    ui->ClockOnCheck->setChecked(m_loaded.value(DeviceOption::ClockOn) != 0);
    ui->ClockCorrectionText->setText(
        QString::number(m_loaded.value(DeviceOption::ClockCorrection)));
    for (int n = 1; n <= 3; ++n)
        PrintPicCheck[n - 1]->setChecked(
            m_loaded.value(std::int16_t(DeviceOption::PrintPictureBase + n)) == 1);
}

void FormOptions::showSpinners()
{
    const std::int16_t limit = m_loaded.value(DeviceOption::ShiftTimeLimit);
    setSpinner(ui->udSessionTimeLimit, ui->TxtSessionTimeLimit,
               limit >= 1 && limit <= 24 ? limit : 24);
    setSpinner(ui->udEndBarCodeHeight, ui->TxtEndBarCodeHeight,
               m_loaded.value(DeviceOption::EndBarCodeHeight));
    setSpinner(ui->udStartBarCodeHeight, ui->TxtStartBarCodeHeight,
               m_loaded.value(DeviceOption::StartBarCodeHeight));
}

void FormOptions::showDateAndTime()
{
    const auto date = options::deviceDigitPairs(m_driver->GetDeviceInfo(DeviceInfo::Date));
    ui->TxtDay->setText(date[0]);
    ui->TxtMonth->setText(date[1]);
    ui->TxtYear->setText(u"20"_s + date[2]);
    const auto time = options::deviceDigitPairs(m_driver->GetDeviceInfo(DeviceInfo::Time));
    ui->TxtHour->setText(time[0]);
    ui->TxtMin->setText(time[1]);
    ui->TxtSec->setText(time[2]);
    ui->MajorVersionText->setText(
        QString::number(m_driver->GetDeviceInfo(DeviceInfo::MajorVersion)));
    ui->MinorVersionText->setText(
        QString::number(m_driver->GetDeviceInfo(DeviceInfo::MinorVersion)));
}

void FormOptions::enableControls(std::int16_t deviceVersion, bool shiftOpen)
{
    if (shiftOpen) {
        for (std::int16_t number : options::betweenShiftCheckOptions())
            m_checks.value(number)->setEnabled(false);
        for (std::int16_t number : {DeviceOption::DateFormat, DeviceOption::Rounding}) {
            for (QRadioButton* button : m_groups.value(number))
                button->setEnabled(false);
        }
        ui->TxtSessionTimeLimit->setEnabled(false);
        ui->udSessionTimeLimit->setEnabled(false);
    }
    if (deviceVersion < 3) {
        ui->CheckLockDrawer->setEnabled(false);
        ui->CheckExecuteS1->setEnabled(false);
        ui->CheckPrintLineBetweenSales->setEnabled(false);
    }
    enablePictureAndBarCode();
    const int major = m_main.m_MajorVersion;
    const int minor = m_main.m_MinorVersion;
    if (major == 4 && (minor == 1 || minor == 2)) {
        ui->CheckFullCutCheck->setEnabled(false);
        ui->CheckFullCutCheck->setChecked(false);
    }
    if (major < 6)
        ui->CheckStartSessionNotNullMoney->setEnabled(false);
    if (major != 6)
        ui->PaperTypeFrame->setEnabled(false);
}

void FormOptions::enablePictureAndBarCode()
{
    const int major = m_main.m_MajorVersion;
    const int minor = m_main.m_MinorVersion;
    if (major >= 3 && minor >= 1)
        return;
    QList<QWidget*> listA{ui->TxtBarCode,        ui->TxtBarCodeHeight,    ui->TxtWidth,
                          ui->TxtScaling,        ui->udBarCodeHeight,     ui->udWidth,
                          ui->udScaling,         ui->CheckPrintCodeAfter, ui->CheckPrintCodeBefore,
                          ui->CmdProgramBarCode, ui->TxtImageFileName,    ui->TxtNumImage,
                          ui->udNumImage,        ui->CmdLoadImage,        ui->CmdSetImage,
                          ui->CmdDeleteImage};
    for (const QList<QRadioButton*>* group : {&opBarCodeAlignment, &OpBarCodeFontSize, &opCodeType})
        listA.append(QList<QWidget*>(group->cbegin(), group->cend()));
    if (major < 3) {
        listA << QList<QWidget*>{ui->TxtStartBarCodeHeight,   ui->udStartBarCodeHeight,
                                 ui->TxtEndBarCodeHeight,     ui->udEndBarCodeHeight,
                                 ui->CmdProgramBarCodeDirect, ui->TxtBarCodeDirect};
    }
    for (QWidget* widget : std::as_const(listA))
        widget->setEnabled(false);
}

void FormOptions::Option_Change()
{
    ui->CmdApply->setEnabled(true);
}

std::int16_t FormOptions::ControlValue(std::int16_t number) const
{
    if (QCheckBox* box = m_checks.value(number))
        return box->isChecked() ? 1 : 0;
    if (m_groups.contains(number))
        return std::int16_t(options::firstChecked(m_groups.value(number)));
    switch (number) {
    case DeviceOption::ShiftTimeLimit:
        return std::int16_t(m_sessionTimeLimit->value());
    case DeviceOption::StartBarCodeHeight:
        return std::int16_t(m_startBarCodeHeight->value());
    case DeviceOption::EndBarCodeHeight:
        return std::int16_t(m_endBarCodeHeight->value());
    default:
        return 0;
    }
}

void FormOptions::CmdApply_Click()
{
    // Every input is read before the first write, so a failed read sends nothing.
    const QList<std::int16_t> order = options::applyOrder(m_main.m_MajorVersion == 6);
    QList<std::int16_t> values;
    for (std::int16_t number : order)
        values << ControlValue(number);
    const std::int16_t paperType = [this] {
        for (int i = 0; i < PaperTypeOption.size(); ++i) {
            if (PaperTypeOption.at(i)->isChecked())
                return options::paperTypeCodes().at(i);
        }
        return PaperType::Standard;
    }();
    const std::int16_t clockOn = ui->ClockOnCheck->isChecked() ? 1 : 0;
    const auto correction =
        m_fields.lenientInt16(ui->ClockCorrectionText, u"Поправка суточного хода часов"_s);
    if (!correction)
        return;

    for (int i = 0; i < order.size(); ++i)
        applyOption(order.at(i), values.at(i), false);
    if (paperType != m_paperType) {
        m_result = m_driver->SetPaperType(paperType, 0);
        SetStatus(m_driver->GetErrorComment(m_result));
        if (m_result == 0)
            m_paperType = paperType;
    }
    applyOption(DeviceOption::ClockOn, clockOn, true);
    applyOption(DeviceOption::ClockCorrection, *correction, true);
    // The code page read at load stays the reference, so it is sent again at every Apply.
    const int codePage = options::firstChecked(opCodePage);
    if (codePage != m_codePage) {
        m_result = m_driver->SetDriverOpt(DriverOption::CodePage, codePage);
        SetStatus(m_driver->GetErrorComment(m_result));
    }
    ui->CmdApply->setEnabled(false);
}

void FormOptions::applyOption(std::int16_t number, std::int16_t value, bool onlyOnSuccess)
{
    if (value == m_loaded.value(number))
        return;
    m_result = m_driver->SetDeviceOpt(number, value);
    SetStatus(m_driver->GetErrorComment(m_result));
    if (!onlyOnSuccess || m_result == 0)
        m_loaded[number] = value;
}

void FormOptions::CmdCancel_Click()
{
    close();
}
