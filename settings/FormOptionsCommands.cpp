// The commands of the options window that program the device at once, outside "Применить":
// receipt header, date and time, pictures and bar codes.
#include "FormOptions.h"
#include "ui_FormOptions.h"

#include "ButtonArrays.h"
#include "DeviceNumbers.h"
#include "NumberBox.h"
#include "Seams.h"

using namespace Qt::StringLiterals;

namespace {

std::int16_t flag(const QCheckBox* box)
{
    return box->isChecked() ? 1 : 0;
}

} // namespace

void FormOptions::CmdSetHeader_Click()
{
    SetStatus(u"Установка заголовка..."_s);
    Driver::Result result = 0;
    // A refused line ends the command: the lines before it stay programmed.
    for (int n = 1; n <= 8; ++n) {
        result = m_driver->SetOrderHeader(std::int16_t(n), TxtHeader[n - 1]->text(),
                                          flag(CheckBoldHeader[n - 1]));
        if (result != 0)
            break;
    }
    showResult(result);
}

void FormOptions::CmdSetDate_Click()
{
    const auto year = m_fields.strictInt32(ui->TxtYear, u"Год"_s);
    if (!year)
        return;
    showResult(m_driver->SetDate(ui->TxtDay->text(), ui->TxtMonth->text(), *year));
}

void FormOptions::CmdSetTime_Click()
{
    const auto second = m_fields.strictInt32(ui->TxtSec, u"Сек."_s);
    if (!second)
        return;
    showResult(m_driver->SetTime(ui->TxtHour->text(), ui->TxtMin->text(), *second));
}

void FormOptions::CmdBrowseImageFile_Click()
{
    forms::OpenFileRequest request;
    request.filter = u"Точечные рисунки(*.bmp)|*.bmp|Все файлы (*.*)|*.*"_s;
    request.filterIndex = 1;
    request.title = u"Загрузить рисунок"_s;
    request.defaultExtension = u"bmp"_s;
    request.pathMustExist = true;
    const std::optional<QString> file = forms::openFile(this, request);
    if (file && !file->isEmpty())
        ui->TxtImageFileName->setText(*file);
}

void FormOptions::runSlotCommand(const QString& progress,
                                 Driver::Result (Driver::*command)(std::int16_t))
{
    const auto slot = std::int16_t(m_numImage->value());
    SetStatus(progress);
    showResult(((*m_driver).*command)(slot));
}

void FormOptions::CmdLoadImage_Click()
{
    const auto slot = std::int16_t(m_numImage->value());
    SetStatus(u"Загрузка рисунка..."_s);
    showResult(m_driver->LoadImage(slot, ui->TxtImageFileName->text()));
}

void FormOptions::CmdSetImage_Click()
{
    runSlotCommand(u"Установка номера рисунка..."_s, &Driver::SetImage);
}

void FormOptions::CmdDeleteImage_Click()
{
    runSlotCommand(u"Удаление рисунка..."_s, &Driver::DeleteImage);
}

void FormOptions::cmdLoadImages_Click()
{
    SetStatus(u"Loading pictures..."_s);
    showResult(m_driver->LoadImages(ui->Picture1FileText->text(), ui->Picture2FileText->text(),
                                    ui->Picture3FileText->text()));
}

void FormOptions::cmdSetPrintPic_Click()
{
    // The loaded values of the options are left alone: these switches have their own button.
    for (int n = 1; n <= 3; ++n) {
        showResult(m_driver->SetDeviceOpt(std::int16_t(DeviceOption::PrintPictureBase + n),
                                          flag(PrintPicCheck[n - 1])));
        if (m_result != 0)
            break;
    }
}

void FormOptions::CmdProgramBarCode_Click()
{
    const std::int32_t symbology = options::firstChecked(opCodeType);
    const std::int32_t alignment = options::firstChecked(opBarCodeAlignment);
    const std::int32_t font = options::firstChecked(OpBarCodeFontSize);
    const std::int32_t textBefore = flag(ui->CheckPrintCodeBefore);
    const std::int32_t textAfter = flag(ui->CheckPrintCodeAfter);
    SetStatus(u"Programming bar code..."_s);
    showResult(m_driver->ProgramBarCode(textAfter, textBefore, alignment, m_scaling->value(),
                                        m_width->value(), font, symbology, m_barCodeHeight->value(),
                                        ui->TxtBarCode->text()));
}

void FormOptions::CmdProgramBarCodeDirect_Click()
{
    showResult(m_driver->ProgramBarCodeDirect(ui->TxtBarCodeDirect->text()));
}
