#include "FormOptions.h"
#include "ui_FormOptions.h"

#include "ButtonArrays.h"
#include "DeviceDigits.h"
#include "DeviceNumbers.h"
#include "SharedState.h"
#include "NumberBox.h"
#include "OptionControls.h"
#include "OptionEditor.h"
#include "StatusLine.h"
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
    : forms::TabbedDialog(parent), ui(std::make_unique<Ui::FormOptions>()), m_main(main)
{
    ui->setupUi(this);
    const QStringList captions{u"Печать"_s, u"Заголовок"_s, u"Дата/Время"_s, u"Округление"_s,
                               u"Прочее"_s, u"Прочее 2"_s,  u"Штрих-код"_s,  u"ФР48ЦЖ"_s};
    QList<QWidget*> pages;
    for (int i = 0; i < captions.size(); ++i)
        pages << findChild<QWidget*>(u"picOptions_%1"_s.arg(i));
    setUpTabs(ui->tbsOptions, captions, pages, forms::TabStrip::Backwards::Yes,
              Placement::AsOpened);

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

    m_editor = new forms::OptionEditor(ui->CmdApply);
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
        m_editor->track(box);
    QList<QRadioButton*> buttons = PaperTypeOption;
    for (const QList<QRadioButton*>& group : std::as_const(m_groups))
        buttons << group;
    for (QRadioButton* button : std::as_const(buttons))
        m_editor->track(button);
    for (forms::UpDown* spinner :
         {ui->udSessionTimeLimit, ui->udStartBarCodeHeight, ui->udEndBarCodeHeight})
        m_editor->track(spinner);
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
    // Setting the controls counts as no change; when loading ends the editor remembers what they
    // show. So an option the window forces (full cut on some generations, the clock and paper
    // type on those that have none) or cannot show is written only when the operator changes it.
    const auto loading = m_editor->loading();
    const std::int16_t deviceVersion = toInt16(m_driver->GetDeviceInfo(DeviceInfo::MajorVersion));
    const bool shiftOpen = m_driver->GetDeviceInfo(DeviceInfo::ShiftOpen) != 0;
    const ReadValues read = readOptions();
    readHeader();
    ui->lblHeaderInfo->setVisible(m_main.m_MajorVersion < 3);
    ui->VersionText->setText(m_driver->GetTextDeviceInfo(TextInfo::Version));
    const std::int32_t codePage = m_driver->GetDriverOpt(DriverOption::CodePage);
    showOptions(read);
    showClockAndPictures(read);
    showSpinners(read);
    showDateAndTime();
    enableControls(deviceVersion, shiftOpen);
    options::selectButton(opCodePage, codePage);
    addValues(read);
}

// Older devices have neither a paper type nor a clock to program: nothing is asked of them.
FormOptions::ReadValues FormOptions::readOptions()
{
    ReadValues read;
    for (std::int16_t number : options::loadOrder())
        read.options[number] = toInt16(m_driver->GetDeviceOpt(number));
    if (m_main.m_MajorVersion == 6) {
        read.paperType = toInt16(m_driver->GetDeviceInfo(DeviceInfo::PaperType));
        for (std::int16_t number : options::clockAndPictureOptions())
            read.options[number] = toInt16(m_driver->GetDeviceOpt(number));
    }
    return read;
}

void FormOptions::addValues(const ReadValues& read)
{
    using Keep = forms::OptionValues::Keep;
    using Reference = forms::OptionValues::Reference;
    forms::OptionValues& values = m_editor->values();
    const auto setOption = [this](std::int16_t number) {
        return [this, number](const std::int16_t& value) {
            return m_result = m_driver->SetDeviceOpt(number, value);
        };
    };
    const auto control = [this](std::int16_t number) {
        return [this, number] { return std::optional(ControlValue(number)); };
    };
    for (std::int16_t number : options::applyOrder(m_main.m_MajorVersion == 6)) {
        // A shift limit the spinner cannot hold shows as 24, and 24 goes out with the next apply.
        if (number == DeviceOption::ShiftTimeLimit) {
            const auto id = values.add<std::int16_t>(control(number), setOption(number),
                                                     Keep::Attempted, Reference::Read);
            values.remember(id, read.options.value(number));
        } else {
            values.add<std::int16_t>(control(number), setOption(number), Keep::Attempted);
        }
    }
    values.add<std::int16_t>([this] { return std::optional(paperTypeCode()); },
                             [this](const std::int16_t& code) {
                                 return m_result =
                                            m_driver->SetPaperType(code, PaperType::Reserved);
                             },
                             Keep::Accepted);
    values.add<std::int16_t>(control(DeviceOption::ClockOn), setOption(DeviceOption::ClockOn),
                             Keep::Accepted);
    values.add<std::int16_t>(
        [this] {
            return m_fields.lenientInt16(ui->ClockCorrectionText,
                                         u"Поправка суточного хода часов"_s);
        },
        setOption(DeviceOption::ClockCorrection), Keep::Accepted);
    // The code page is measured against the page it had at load, so it is sent at every apply
    // once changed.
    values.add<std::int32_t>(
        [this] { return std::optional<std::int32_t>(options::firstChecked(opCodePage)); },
        [this](const std::int32_t& page) {
            return m_result = m_driver->SetDriverOpt(DriverOption::CodePage, page);
        },
        Keep::AsRead);
}

void FormOptions::readHeader()
{
    for (int n = 1; n <= 8; ++n) {
        TxtHeader[n - 1]->setText(m_driver->GetTextDeviceInfo(TextInfo::HeaderLineBase + n));
        CheckBoldHeader[n - 1]->setChecked(
            m_driver->GetDeviceInfo(std::int16_t(DeviceInfo::HeaderBoldBase + n)) == 1);
    }
}

void FormOptions::showOptions(const ReadValues& read)
{
    for (auto it = m_checks.cbegin(); it != m_checks.cend(); ++it) {
        if (it.key() != DeviceOption::CarryCashOver && it.key() != DeviceOption::ClockOn)
            it.value()->setChecked(read.options.value(it.key()) != 0);
    }
    for (auto it = m_groups.cbegin(); it != m_groups.cend(); ++it)
        options::selectButton(it.value(), read.options.value(it.key()));
}

void FormOptions::showClockAndPictures(const ReadValues& read)
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
    const QHash<std::int16_t, std::int16_t>& option = read.options;
    ui->CheckStartSessionNotNullMoney->setChecked(option.value(DeviceOption::CarryCashOver) != 0);
    options::selectButton(PaperTypeOption, options::paperTypeButton(read.paperType));
    ui->ClockOnCheck->setChecked(option.value(DeviceOption::ClockOn) != 0);
    ui->ClockCorrectionText->setText(QString::number(option.value(DeviceOption::ClockCorrection)));
    for (int n = 1; n <= 3; ++n)
        PrintPicCheck[n - 1]->setChecked(
            option.value(std::int16_t(DeviceOption::PrintPictureBase + n)) == 1);
}

void FormOptions::showSpinners(const ReadValues& read)
{
    const std::int16_t limit = read.options.value(DeviceOption::ShiftTimeLimit);
    setSpinner(ui->udSessionTimeLimit, ui->TxtSessionTimeLimit,
               limit >= 1 && limit <= 24 ? limit : 24);
    setSpinner(ui->udEndBarCodeHeight, ui->TxtEndBarCodeHeight,
               read.options.value(DeviceOption::EndBarCodeHeight));
    setSpinner(ui->udStartBarCodeHeight, ui->TxtStartBarCodeHeight,
               read.options.value(DeviceOption::StartBarCodeHeight));
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

std::int16_t FormOptions::paperTypeCode() const
{
    for (int i = 0; i < PaperTypeOption.size(); ++i) {
        if (PaperTypeOption.at(i)->isChecked())
            return options::paperTypeCodes().at(i);
    }
    return PaperType::Standard;
}

void FormOptions::CmdApply_Click()
{
    m_editor->apply(*m_driver, [this](const QString& text) { SetStatus(text); });
}

void FormOptions::CmdCancel_Click()
{
    close();
}
