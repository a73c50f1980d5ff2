#include "dlgLineDisplay.h"
#include "ui_dlgLineDisplay.h"

#include "DeviceNumbers.h"
#include "SharedState.h"
#include "StatusLine.h"

using namespace Qt::StringLiterals;

dlgLineDisplay::dlgLineDisplay(forms::SharedState& main, QWidget* parent)
    : forms::Loadable<QDialog>(parent), ui(std::make_unique<Ui::dlgLineDisplay>()), m_main(main)
{
    ui->setupUi(this);
    connect(ui->cmdInit, &QPushButton::clicked, this, &dlgLineDisplay::cmdInit_Click);
    connect(ui->cmdString, &QPushButton::clicked, this, &dlgLineDisplay::cmdString_Click);
    connect(ui->cmdDataDirect, &QPushButton::clicked, this, &dlgLineDisplay::cmdDataDirect_Click);
    connect(ui->cmdSetProtocol, &QPushButton::clicked, this, &dlgLineDisplay::cmdSetProtocol_Click);
    // The lock is written whenever the box changes, by the operator or by the loading.
    connect(ui->cbLockLineDisplay, &QCheckBox::toggled, this,
            &dlgLineDisplay::cbLockLineDisplay_Click);
    connect(ui->CancelButton, &QPushButton::clicked, this, &dlgLineDisplay::CancelButton_Click);
}

dlgLineDisplay::~dlgLineDisplay() = default;

void dlgLineDisplay::SetStatus(const QString& text)
{
    forms::setStatus(ui->StatusText, text);
}

void dlgLineDisplay::showResult(Driver::Result r)
{
    m_result = r;
    SetStatus(forms::statusText(m_driver->GetErrorComment(r)));
}

void dlgLineDisplay::Form_Load()
{
    m_driver = m_main.GetQuolt();
    if (m_driver->GetDeviceOpt(DeviceOption::LineDisplayProtocol) != DisplayProtocol::Birch)
        ui->opLineDisplayProtocol_1->setChecked(true);
    else
        ui->opLineDisplayProtocol_0->setChecked(true);
    // Checking the box here writes the lock back at once, as a click would.
    ui->cbLockLineDisplay->setChecked(m_driver->GetDeviceOpt(DeviceOption::LineDisplayLocked) ==
                                      DisplayLock::Locked);
}

void dlgLineDisplay::cmdInit_Click()
{
    SetStatus(u"Инициализация табло..."_s);
    showResult(m_driver->InitLineDisplay());
}

void dlgLineDisplay::cmdString_Click()
{
    SetStatus(u"Показ строки на табло..."_s);
    showResult(m_driver->StringToLineDisplay(ui->txtMsg->text()));
}

void dlgLineDisplay::cmdDataDirect_Click()
{
    // The third letter is a Latin c, as the text has always been shown.
    SetStatus(u"Поcылка строки данных на табло..."_s);
    showResult(m_driver->StringToLineDisplayDirect(ui->txtData->text()));
}

void dlgLineDisplay::cmdSetProtocol_Click()
{
    const std::int16_t protocol =
        ui->opLineDisplayProtocol_0->isChecked() ? DisplayProtocol::Birch : DisplayProtocol::Epson;
    SetStatus(u"Установка протокола табло покупателя..."_s);
    showResult(m_driver->SetDeviceOpt(DeviceOption::LineDisplayProtocol, protocol));
}

void dlgLineDisplay::cbLockLineDisplay_Click()
{
    const std::int16_t lock =
        ui->cbLockLineDisplay->isChecked() ? DisplayLock::Locked : DisplayLock::Unlocked;
    SetStatus(u"Установка доступа к табло покупателя..."_s);
    showResult(m_driver->SetDeviceOpt(DeviceOption::LineDisplayLocked, lock));
}

void dlgLineDisplay::CancelButton_Click()
{
    close();
}
