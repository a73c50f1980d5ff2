#include "dlgBaudRate.h"
#include "ui_dlgBaudRate.h"

#include "ExchangeSpeeds.h"

dlgBaudRate::dlgBaudRate(QWidget* parent)
    : forms::Loadable<QDialog>(parent), ui(std::make_unique<Ui::dlgBaudRate>())
{
    ui->setupUi(this);
    // Esc confirms nothing, as "Отмена" does.
    setKeys(forms::EscapeKey::Closes);
    connect(ui->OKButton, &QPushButton::clicked, this, &dlgBaudRate::OKButton_Click);
    connect(ui->CancelButton, &QPushButton::clicked, this, &dlgBaudRate::CancelButton_Click);
}

dlgBaudRate::~dlgBaudRate() = default;

void dlgBaudRate::Form_Load()
{
    // The running connection can only move to the speeds below 0.25M.
    ui->lbBaudRate->clear();
    for (int position = 0; position < kRunningConnectionSpeeds; ++position) {
        auto* item = new QListWidgetItem(exchangeSpeedName(position), ui->lbBaudRate);
        item->setData(Qt::UserRole, position);
    }
    ui->lbBaudRate->setCurrentRow(-1);
    bOk = false;
}

void dlgBaudRate::OKButton_Click()
{
    bOk = true;
    // The selection, not the current row: a list shown with the focus makes its first row current
    // without the operator choosing it.
    const QList<QListWidgetItem*> selected = ui->lbBaudRate->selectedItems();
    Index = std::int16_t(selected.isEmpty() ? -1 : ui->lbBaudRate->row(selected.constFirst()));
    close();
}

void dlgBaudRate::CancelButton_Click()
{
    bOk = false;
    close();
}
