#include "SnapshotFrame.h"

#include "DeviceLink.h"
#include "Seams.h"
#include "Snapshots.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace view {

SnapshotFrame::SnapshotFrame(CallHub& hub, DeviceLink& link, QWidget* parent)
    : QGroupBox(u"Снимки устройства"_s, parent), m_hub(&hub), m_link(link),
      TxtSnapshotName(new QLineEdit(this)), LstSnapshots(new QListWidget(this)),
      CmdSnapshotSave(new QPushButton(u"Сохранить"_s, this)),
      CmdSnapshotRestore(new QPushButton(u"Восстановить"_s, this)),
      CmdSnapshotDelete(new QPushButton(u"Удалить"_s, this))
{
    setObjectName(u"FraSnapshots"_s);
    TxtSnapshotName->setObjectName(u"TxtSnapshotName"_s);
    LstSnapshots->setObjectName(u"LstSnapshots"_s);
    CmdSnapshotSave->setObjectName(u"CmdSnapshotSave"_s);
    CmdSnapshotRestore->setObjectName(u"CmdSnapshotRestore"_s);
    CmdSnapshotDelete->setObjectName(u"CmdSnapshotDelete"_s);
    TxtSnapshotName->setPlaceholderText(u"Имя снимка"_s);
    TxtSnapshotName->setMaxLength(64);
    LstSnapshots->setMaximumHeight(fontMetrics().height() * 5);

    auto* grid = new QGridLayout(this);
    grid->addWidget(TxtSnapshotName, 0, 0);
    grid->addWidget(CmdSnapshotSave, 0, 1);
    grid->addWidget(LstSnapshots, 1, 0, 3, 1);
    grid->addWidget(CmdSnapshotRestore, 1, 1);
    grid->addWidget(CmdSnapshotDelete, 2, 1);
    grid->setRowStretch(3, 1);

    connect(LstSnapshots, &QListWidget::currentTextChanged, this,
            &SnapshotFrame::LstSnapshots_Changed);
    connect(CmdSnapshotSave, &QPushButton::clicked, this, &SnapshotFrame::CmdSnapshotSave_Click);
    connect(CmdSnapshotRestore, &QPushButton::clicked, this,
            &SnapshotFrame::CmdSnapshotRestore_Click);
    connect(CmdSnapshotDelete, &QPushButton::clicked, this,
            &SnapshotFrame::CmdSnapshotDelete_Click);
}

void SnapshotFrame::Follow(const std::optional<DeviceAddress>& address)
{
    if (address == m_listed)
        return;
    m_listed = address;
    List();
}

void SnapshotFrame::List()
{
    LstSnapshots->clear();
    if (!m_listed)
        return;
    const emulator::Expected<QStringList> names =
        emulator::snapshots::list(m_listed->folder, m_listed->port);
    if (names)
        LstSnapshots->addItems(*names);
    else
        emit statusChanged(u"Список снимков не прочитан: "_s + names.detail());
}

void SnapshotFrame::LstSnapshots_Changed()
{
    if (QListWidgetItem* item = LstSnapshots->currentItem())
        TxtSnapshotName->setText(item->text());
}

std::optional<QString> SnapshotFrame::chosenName()
{
    const QString name = TxtSnapshotName->text();
    if (emulator::snapshots::isSafeName(name))
        return name;
    emit statusChanged(name.isEmpty()
                           ? u"Введите имя снимка"_s
                           : u"Имя снимка «%1» не годится: нужно от 1 до 64 латинских "
                             u"букв, цифр, знаков «-», «_» или «.», не с точки"_s.arg(name));
    return std::nullopt;
}

// The session of the device the main window is connected to, which the list then follows; null,
// with the reason in the status line, when there is none.
emulator::DeviceSession* SnapshotFrame::connectedSession()
{
    emulator::DeviceSession* session = m_link.session(m_hub ? m_hub->device() : std::nullopt);
    if (!session) {
        emit statusChanged(m_link.error());
        return nullptr;
    }
    m_listed = m_hub->device();
    return session;
}

void SnapshotFrame::CmdSnapshotSave_Click()
{
    const std::optional<QString> name = chosenName();
    if (!name)
        return;
    emulator::DeviceSession* session = connectedSession();
    if (!session)
        return;
    if (!LstSnapshots->findItems(*name, Qt::MatchExactly).isEmpty() &&
        forms::confirmLoss(this, u"Снимок «%1» уже есть. Заменить его?"_s.arg(*name)) !=
            forms::Answer::Yes)
        return;
    const emulator::Status done =
        emulator::snapshots::save(session->store(), m_listed->folder, m_listed->port, *name);
    emit statusChanged(done ? u"Снимок «%1» сохранён"_s.arg(*name)
                            : u"Снимок не сохранён: "_s + done.detail());
    List();
}

void SnapshotFrame::CmdSnapshotRestore_Click()
{
    const std::optional<QString> name = chosenName();
    if (!name)
        return;
    emulator::DeviceSession* session = connectedSession();
    if (!session)
        return;
    if (forms::confirmLoss(this, u"Вернуть устройство к снимку «%1»? Всё, что устройство сделало "
                                 u"после него, будет потеряно."_s.arg(*name)) != forms::Answer::Yes)
        return;
    // One write transaction: it waits for the device's lock as any change does, and the running
    // driver takes the restored device in at its next call.
    const emulator::Status done =
        emulator::snapshots::restore(*session, m_listed->folder, m_listed->port, *name);
    emit statusChanged(done ? u"Устройство возвращено к снимку «%1»"_s.arg(*name)
                            : u"Снимок не восстановлен: "_s + done.detail());
    if (done && m_hub)
        emit m_hub->deviceReplaced();
}

void SnapshotFrame::CmdSnapshotDelete_Click()
{
    const std::optional<QString> name = chosenName();
    if (!name)
        return;
    const std::optional<DeviceAddress> address = m_hub ? m_hub->device() : std::nullopt;
    if (!address) {
        emit statusChanged(u"Устройство не подключено"_s);
        return;
    }
    m_listed = address;
    if (forms::confirmLoss(this, u"Удалить снимок «%1»?"_s.arg(*name)) != forms::Answer::Yes)
        return;
    const emulator::Status done =
        emulator::snapshots::remove(address->folder, address->port, *name);
    emit statusChanged(done ? u"Снимок «%1» удалён"_s.arg(*name)
                            : u"Снимок не удалён: "_s + done.detail());
    List();
}

} // namespace view
