#include "dlgInfo.h"
#include "ui_dlgInfo.h"

#include "DeviceNumbers.h"
#include "InfoRows.h"
#include "SharedState.h"
#include "NumberBox.h"
#include "UpDown.h"

using namespace Qt::StringLiterals;

dlgInfo::dlgInfo(forms::SharedState& main, QWidget* parent)
    : forms::TabbedDialog(parent), ui(std::make_unique<Ui::dlgInfo>()), m_main(main)
{
    ui->setupUi(this);
    // The window only shows: Esc closes it as "Закрыть" does.
    setKeys(forms::EscapeKey::Closes);
    // One tab over the first page; the other pages stay out of sight.
    setUpTabs(ui->tbsOptions, {u"Информация"_s}, {ui->picOptions_0}, forms::TabStrip::Backwards::No,
              Placement::Centred);
    for (QWidget* page : {ui->picOptions_1, ui->picOptions_2, ui->picOptions_3})
        page->hide();
    ui->lvTextInfo->setColumnWidth(0, 260);

    ui->udDescriptorNum->setRange(0, TextInfo::LastDescriptorNumber);
    ui->udDescriptorNum->setValue(0);
    new forms::NumberBox(ui->txtDescriptorNum, ui->udDescriptorNum);
    ui->udMessageNum->setRange(0, TextInfo::LastMessageNumber);
    ui->udMessageNum->setValue(0);
    new forms::NumberBox(ui->txtMessageNum, ui->udMessageNum);

    connect(ui->cmdGetDescriptorValue, &QPushButton::clicked, this,
            &dlgInfo::cmdGetDescriptorValue_Click);
    connect(ui->cmdGetMessageValue, &QPushButton::clicked, this,
            &dlgInfo::cmdGetMessageValue_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &dlgInfo::cmdCancel_Click);
}

dlgInfo::~dlgInfo() = default;

void dlgInfo::Form_Load()
{
    m_driver = m_main.GetQuolt();
    for (const reports::InfoRow& row : reports::infoRows(m_main.m_MajorVersion)) {
        new QTreeWidgetItem(ui->lvTextInfo,
                            QStringList{row.caption, m_driver->GetTextDeviceInfo(row.index)});
    }
}

void dlgInfo::cmdGetDescriptorValue_Click()
{
    const std::int32_t number = ui->udDescriptorNum->value();
    ui->txtDescriptorValue->setText(m_driver->GetTextDeviceInfo(TextInfo::DescriptorBase + number));
}

void dlgInfo::cmdGetMessageValue_Click()
{
    const std::int32_t number = ui->udMessageNum->value();
    ui->txtMessageValue->setText(m_driver->GetTextDeviceInfo(TextInfo::MessageBase + number));
}

void dlgInfo::cmdCancel_Click()
{
    close();
}
