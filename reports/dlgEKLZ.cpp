#include "dlgEKLZ.h"
#include "ui_dlgEKLZ.h"

#include "DeviceNumbers.h"
#include "ElectronicReport.h"
#include "SharedState.h"
#include "NumberBox.h"
#include "StatusLine.h"
#include "UpDown.h"

#include <QTextCursor>

using namespace Qt::StringLiterals;

namespace {

constexpr int kMaxShift = 9999;
constexpr int kMaxKpk = 99'999'999;

void paint(QWidget* picture, const QColor& colour)
{
    QPalette palette = picture->palette();
    palette.setColor(QPalette::Window, colour);
    picture->setPalette(palette);
}

} // namespace

dlgEKLZ::dlgEKLZ(forms::SharedState& main, QWidget* parent)
    : forms::Loadable<QDialog>(parent), ui(std::make_unique<Ui::dlgEKLZ>()), m_main(main)
{
    ui->setupUi(this);
    // The window only asks for reports; nothing stays open on the device: Esc closes it.
    setKeys(forms::EscapeKey::Closes);

    const std::pair<QLineEdit*, forms::UpDown*> shiftBoxes[] = {
        {ui->TxtNumSession1, ui->udNumSession1},     {ui->TxtNumSession2, ui->udNumSession2},
        {ui->TxtNumSession3_1, ui->udNumSession3_1}, {ui->TxtNumSession3_2, ui->udNumSession3_2},
        {ui->TxtNumSession4_1, ui->udNumSession4_1}, {ui->TxtNumSession4_2, ui->udNumSession4_2},
    };
    for (const auto& [box, spinner] : shiftBoxes) {
        spinner->setRange(1, kMaxShift);
        spinner->setValue(1);
        new forms::NumberBox(box, spinner);
    }
    ui->udNumDocument->setRange(1, kMaxKpk);
    ui->udNumDocument->setValue(1);
    new forms::NumberBox(ui->TxtNumDocument, ui->udNumDocument);

    for (QDateEdit* picker : {ui->dtDate1_1, ui->dtDate1_2, ui->dtDate2_1, ui->dtDate2_2}) {
        picker->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
        picker->setDate(QDate(2004, 8, 23));
    }

    connect(ui->CmdReportActivization, &QPushButton::clicked, this,
            &dlgEKLZ::CmdReportActivization_Click);
    connect(ui->CmdCheckBand, &QPushButton::clicked, this, &dlgEKLZ::CmdCheckBand_Click);
    connect(ui->CmdSessionTotals, &QPushButton::clicked, this, &dlgEKLZ::CmdSessionTotals_Click);
    connect(ui->CmdDocument, &QPushButton::clicked, this, &dlgEKLZ::CmdDocument_Click);
    connect(ui->CmdReportShortSessionNum, &QPushButton::clicked, this,
            &dlgEKLZ::CmdReportShortSessionNum_Click);
    connect(ui->CmdReportFullSessionNum, &QPushButton::clicked, this,
            &dlgEKLZ::CmdReportFullSessionNum_Click);
    connect(ui->CmdReportShortSessionDate, &QPushButton::clicked, this,
            &dlgEKLZ::CmdReportShortSessionDate_Click);
    connect(ui->CmdReportFullSessionDate, &QPushButton::clicked, this,
            &dlgEKLZ::CmdReportFullSessionDate_Click);
    connect(ui->CloseButton, &QPushButton::clicked, this, &dlgEKLZ::CloseButton_Click);
}

dlgEKLZ::~dlgEKLZ() = default;

void dlgEKLZ::SetStatus(const QString& text)
{
    forms::setStatus(ui->StatusText, text);
}

void dlgEKLZ::Form_Load()
{
    m_driver = m_main.GetQuolt();
    paint(ui->PicEKLZNearEnd, QColor(128, 128, 128));
    if (m_driver->GetDeviceInfo(DeviceInfo::EklzNearFull) == 1)
        paint(ui->PicEKLZNearEnd, QColor(255, 0, 0));
}

void dlgEKLZ::runReport(const QString& progress, std::int16_t printedKind, const ReportCall& call)
{
    const bool electronic = ui->cbElectronic->isChecked();
    SetStatus(progress);
    m_lastResult = call(electronic ? EklzReport::electronic(printedKind) : printedKind);
    // Whatever the device answered, the text it has ready is shown.
    if (electronic)
        appendReportText();
    SetStatus(forms::statusText(m_driver->GetErrorComment(m_lastResult)));
}

void dlgEKLZ::appendReportText()
{
    const reports::ReportText report = reports::readElectronicReport(*m_driver);
    QString text = report.text;
    if (report.truncated)
        text += u"(чтение отчета прервано после %1 строк)\n"_s.arg(reports::kMaxReportLines);
    QTextCursor end(ui->txtReport->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    ui->txtReport->setTextCursor(end);
}

void dlgEKLZ::CmdReportActivization_Click()
{
    runReport(u"Отчет по активизации ЭКЛЗ..."_s, EklzReport::Activation,
              [this](std::int16_t kind) { return m_driver->EKLZPrintReportByNum(kind, 0, 0, 0); });
}

void dlgEKLZ::CmdCheckBand_Click()
{
    const std::int32_t shift = ui->udNumSession1->value();
    runReport(u"Запрос контрольной ленты..."_s, EklzReport::ControlTape,
              [this, shift](std::int16_t kind) {
                  return m_driver->EKLZPrintReportByNum(kind, shift, 0, 0);
              });
}

void dlgEKLZ::CmdSessionTotals_Click()
{
    const std::int32_t shift = ui->udNumSession2->value();
    runReport(u"Запрос итогов смены..."_s, EklzReport::ShiftTotals,
              [this, shift](std::int16_t kind) {
                  return m_driver->EKLZPrintReportByNum(kind, shift, 0, 0);
              });
}

void dlgEKLZ::CmdDocument_Click()
{
    const std::int32_t kpk = ui->udNumDocument->value();
    runReport(
        u"Запрос документа по номеру КПК..."_s, EklzReport::DocumentByKpk,
        [this, kpk](std::int16_t kind) { return m_driver->EKLZPrintReportByNum(kind, kpk, 0, 0); });
}

void dlgEKLZ::CmdReportShortSessionNum_Click()
{
    const std::int32_t first = ui->udNumSession3_1->value();
    const std::int32_t last = ui->udNumSession3_2->value();
    runReport(u"Краткий отчет по номерам смен по закрытиям смен..."_s, EklzReport::ShortByShifts,
              [this, first, last](std::int16_t kind) {
                  return m_driver->EKLZPrintReportByNum(kind, first, last, 0);
              });
}

void dlgEKLZ::CmdReportFullSessionNum_Click()
{
    const std::int32_t first = ui->udNumSession4_1->value();
    const std::int32_t last = ui->udNumSession4_2->value();
    runReport(u"Полный отчет по номерам смен по закрытиям смен..."_s, EklzReport::FullByShifts,
              [this, first, last](std::int16_t kind) {
                  return m_driver->EKLZPrintReportByNum(kind, first, last, 0);
              });
}

void dlgEKLZ::CmdReportShortSessionDate_Click()
{
    const QDate first = ui->dtDate1_1->date();
    const QDate last = ui->dtDate1_2->date();
    runReport(u"Краткий отчет по датам по закрытиям смен..."_s, EklzReport::ShortByDates,
              [this, first, last](std::int16_t kind) {
                  return m_driver->EKLZPrintReportByDate(kind, EklzReport::ByDateReserved, first,
                                                         last);
              });
}

void dlgEKLZ::CmdReportFullSessionDate_Click()
{
    const QDate first = ui->dtDate2_1->date();
    const QDate last = ui->dtDate2_2->date();
    runReport(u"Полный отчет по датам по закрытиям смен..."_s, EklzReport::FullByDates,
              [this, first, last](std::int16_t kind) {
                  return m_driver->EKLZPrintReportByDate(kind, EklzReport::ByDateReserved, first,
                                                         last);
              });
}

void dlgEKLZ::CloseButton_Click()
{
    close();
}
