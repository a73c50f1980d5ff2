#include "dlgStatus.h"
#include "ui_dlgStatus.h"

#include "SharedState.h"
#include "StatusLine.h"
#include "StatusRows.h"
#include "ScreenPlacement.h"

#include <exception>

using namespace Qt::StringLiterals;

dlgStatus::dlgStatus(forms::SharedState& main, QWidget* parent)
    : forms::Loadable<QDialog>(parent), ui(std::make_unique<Ui::dlgStatus>()), m_main(main)
{
    ui->setupUi(this);
    // The window only shows: Esc closes it as "Закрыть" does.
    setKeys(forms::EscapeKey::Closes);
    connect(ui->CancelButton, &QPushButton::clicked, this, &dlgStatus::CancelButton_Click);
}

dlgStatus::~dlgStatus() = default;

void dlgStatus::SetStatus(const QString& text)
{
    forms::setStatus(ui->StatusText, text);
}

void dlgStatus::Form_Load()
{
    forms::centreOnScreen(*this);
    m_driver = m_main.GetQuolt();
    // A driver that fails half-way leaves the rows read so far and says why it stopped.
    try {
        fillStatus();
    } catch (const std::exception& failure) {
        SetStatus(u"Ошибка: "_s + QString::fromLocal8Bit(failure.what()));
    } catch (...) {
        SetStatus(u"Ошибка: сбой драйвера"_s);
    }
}

void dlgStatus::fillStatus()
{
    const auto rows = reports::statusRows(m_bPrinterOnly, m_main.m_MajorVersion);
    for (const reports::StatusRow& row : rows) {
        const std::int32_t value = row.source == reports::StatusSource::DeviceInfo
                                       ? m_driver->GetDeviceInfo(row.index)
                                       : m_driver->GetDeviceOpt(row.index);
        auto* item = new QListWidgetItem(row.caption, ui->lvStatus);
        // The marks show the device's state; the operator cannot change them.
        item->setFlags(Qt::ItemIsEnabled);
        // Only 1 means the condition holds; any other value leaves the row unmarked.
        item->setCheckState(value == 1 ? Qt::Checked : Qt::Unchecked);
    }
}

void dlgStatus::CancelButton_Click()
{
    close();
}
