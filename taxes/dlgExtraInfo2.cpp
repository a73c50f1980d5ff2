#include "dlgExtraInfo2.h"
#include "ui_dlgExtraInfo2.h"

#include "DeviceNumbers.h"
#include "SharedState.h"
#include "StatisticsRows.h"
#include "StatusLine.h"

#include <exception>

using namespace Qt::StringLiterals;

namespace {

void addRow(QTreeWidget* list, const QString& name, const QString& value)
{
    new QTreeWidgetItem(list, QStringList{name, value});
}

} // namespace

dlgExtraInfo2::dlgExtraInfo2(forms::SharedState& main, QWidget* parent)
    : forms::TabbedDialog(parent), ui(std::make_unique<Ui::dlgExtraInfo2>()), m_main(main)
{
    ui->setupUi(this);
    // The window only shows: Esc closes it as "Закрыть" does.
    setKeys(forms::EscapeKey::Closes);
    setUpTabs(ui->tbsOptions, {u"Чек"_s, u"Смена"_s, u"Общие"_s},
              {ui->pageDocument, ui->pageSession, ui->pageTotal}, forms::TabStrip::Backwards::No,
              Placement::Centred);
    // Wide enough for the longest counter name, with room before the value.
    for (QTreeWidget* list : {ui->lvDocument, ui->lvSession, ui->lvTotal})
        list->setColumnWidth(0, 320);
    connect(ui->CmdCancel, &QPushButton::clicked, this, &dlgExtraInfo2::CmdCancel_Click);
}

dlgExtraInfo2::~dlgExtraInfo2() = default;

void dlgExtraInfo2::SetStatus(const QString& text)
{
    forms::setStatus(ui->StatusText, text);
}

void dlgExtraInfo2::Form_Load()
{
    std::optional<QString> error;
    // A failing driver stops the reading; the rows read so far stay.
    try {
        error = fillLists();
    } catch (const std::exception& failure) {
        error = QString::fromLocal8Bit(failure.what());
    } catch (...) {
        error = u"сбой драйвера"_s;
    }
    SetStatus(error ? u"Ошибка: "_s + *error : u"Нет ошибок"_s);
}

std::optional<QString> dlgExtraInfo2::fillLists()
{
    m_driver = m_main.GetQuolt();

    for (const statistics::DocumentRow& row : statistics::documentRows()) {
        const std::int32_t value = m_driver->GetDocInfo(row.index);
        addRow(ui->lvDocument, row.name, QString::number(value));
        // Without the open document's figures the rest is not worth reading.
        if (value == -1)
            return row.failure;
    }

    const int count = statistics::counterCount(m_main.m_MajorVersion);
    fillCounters(ui->lvSession, DoubleInfo::ShiftCounterBase, count);
    fillCounters(ui->lvTotal, DoubleInfo::TotalCounterBase, count);
    return std::nullopt;
}

void dlgExtraInfo2::fillCounters(QTreeWidget* list, std::int16_t base, int count)
{
    const QStringList& names = statistics::counterNames();
    for (int i = 1; i <= count; ++i) {
        const double value = m_driver->GetDoubleDeviceInfo(std::int16_t(base + i));
        addRow(list, names.at(i - 1), statistics::counterText(value));
    }
}

void dlgExtraInfo2::CmdCancel_Click()
{
    close();
}
