#include "TapeWindow.h"

#include "CallHub.h"
#include "Seams.h"
#include "TapeLayout.h"
#include "TapePage.h"
#include "TapePainter.h"
#include "TapeView.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace view {

TapeWindow::TapeWindow(CallHub& hub, QWidget* parent)
    : forms::Loadable<QWidget>(parent, Qt::Window), m_hub(&hub), TabPaper(new QTabWidget(this)),
      m_roll(new TapePage(
          emulator::Paper::Roll, [this] { return Session(); }, TabPaper)),
      m_slips(new TapePage(
          emulator::Paper::Slip, [this] { return Session(); }, TabPaper)),
      TxtFind(new QLineEdit(this)), CmdFind(new QPushButton(u"Найти"_s, this)),
      CmdSaveDocument(new QPushButton(u"Сохранить документ…"_s, this)),
      CmdSaveShift(new QPushButton(u"Сохранить смену…"_s, this)), StatusText(new QLabel(this))
{
    setObjectName(u"TapeWindow"_s);
    setWindowTitle(u"Бумажная лента"_s);
    TabPaper->setObjectName(u"TabPaper"_s);
    TxtFind->setObjectName(u"TxtFind"_s);
    CmdFind->setObjectName(u"CmdFind"_s);
    CmdSaveDocument->setObjectName(u"CmdSaveDocument"_s);
    CmdSaveShift->setObjectName(u"CmdSaveShift"_s);
    StatusText->setObjectName(u"StatusText"_s);
    TxtFind->setPlaceholderText(u"Текст на ленте"_s);
    TabPaper->addTab(m_roll, u"Лента"_s);
    TabPaper->addTab(m_slips, u"Подкладной документ"_s);

    auto* find = new QHBoxLayout;
    find->addWidget(TxtFind, 1);
    find->addWidget(CmdFind);
    auto* save = new QHBoxLayout;
    save->addWidget(CmdSaveDocument);
    save->addWidget(CmdSaveShift);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(find);
    layout->addWidget(TabPaper, 1);
    layout->addLayout(save);
    layout->addWidget(StatusText);

    connect(CmdFind, &QPushButton::clicked, this, &TapeWindow::CmdFind_Click);
    connect(TxtFind, &QLineEdit::returnPressed, this, &TapeWindow::CmdFind_Click);
    connect(CmdSaveDocument, &QPushButton::clicked, this, &TapeWindow::CmdSaveDocument_Click);
    connect(CmdSaveShift, &QPushButton::clicked, this, &TapeWindow::CmdSaveShift_Click);
    connect(TabPaper, &QTabWidget::currentChanged, this, &TapeWindow::TabPaper_Changed);
    connect(&hub, &CallHub::deviceReplaced, this, &TapeWindow::Reload);
    // After every call, once the program is back in its event loop: a burst of calls is read
    // in one go, within the frame that follows it.
    connect(&hub, &CallHub::recorded, this, [this] {
        if (m_followScheduled)
            return;
        m_followScheduled = true;
        QTimer::singleShot(0, this, &TapeWindow::Follow);
    });

    setKeys(forms::EscapeKey::Closes);
    resize(460, 720);
    Reload();
}

TapeWindow::~TapeWindow() = default;

const TapeModel& TapeWindow::model() const
{
    return m_roll->model();
}

TapeView& TapeWindow::view()
{
    return m_roll->view();
}

const TapeModel& TapeWindow::slipModel() const
{
    return m_slips->model();
}

bool TapeWindow::showsSlips() const
{
    return TabPaper->currentWidget() == m_slips;
}

TapePage& TapeWindow::currentPage() const
{
    return showsSlips() ? *m_slips : *m_roll;
}

emulator::DeviceSession* TapeWindow::Session()
{
    return m_hub ? m_link.session(m_hub->device()) : nullptr;
}

void TapeWindow::SetStatus(const QString& text)
{
    StatusText->setText(text);
}

void TapeWindow::TabPaper_Changed()
{
    // The shift's printout is on the roll only.
    CmdSaveShift->setEnabled(!showsSlips());
}

void TapeWindow::Reload()
{
    emulator::DeviceSession* session = Session();
    m_link.takeMoved();
    if (!session) {
        m_roll->Clear();
        m_slips->Clear();
        SetStatus(m_link.error());
        return;
    }
    const QString roll = m_roll->Reload(*session);
    const QString slips = m_slips->Reload(*session);
    SetStatus(showsSlips() ? slips : roll);
}

void TapeWindow::Follow()
{
    m_followScheduled = false;
    emulator::DeviceSession* session = Session();
    if (!session || m_link.takeMoved()) {
        Reload();
        return;
    }
    const bool onRoll = m_roll->Follow(*session);
    const bool onSlip = m_slips->Follow(*session);
    // The paper the device has just printed on comes into sight.
    if (onRoll != onSlip)
        TabPaper->setCurrentWidget(onSlip ? m_slips : m_roll);
}

void TapeWindow::CmdFind_Click()
{
    const QString text = TxtFind->text();
    if (text.isEmpty()) {
        SetStatus(u"Введите текст для поиска"_s);
        return;
    }
    SetStatus(currentPage().Find(text) ? QString() : u"Текст «%1» не найден"_s.arg(text));
}

void TapeWindow::Save(const QString& title, const TapePainter& painter, const TapeModel& rows,
                      int first, int last)
{
    if (last < first) {
        SetStatus(u"Сохранять нечего"_s);
        return;
    }
    forms::OpenFileRequest request;
    request.title = title;
    request.filter = u"Рисунок PNG (*.png)|*.png|Документ PDF (*.pdf)|*.pdf"_s;
    request.defaultExtension = u"png"_s;
    const std::optional<QString> path = forms::saveFile(this, request);
    if (!path)
        return;
    const bool pdf = QFileInfo(*path).suffix().compare(u"pdf"_s, Qt::CaseInsensitive) == 0;
    const bool saved = pdf ? painter.writePdf(*path, rows.rows(), first, last)
                           : painter.image(rows.rows(), first, last).save(*path, "PNG");
    SetStatus(saved ? u"Сохранено: %1"_s.arg(*path) : u"Не удалось записать %1"_s.arg(*path));
}

void TapeWindow::CmdSaveDocument_Click()
{
    TapePage& page = currentPage();
    const auto [first, last] = page.model().documentAround(page.view().rowInSight());
    Save(u"Сохранить документ"_s, page.view().painter(), page.model(), first, last);
}

void TapeWindow::CmdSaveShift_Click()
{
    // The shift runs from the printout of its opening to the end of the tape.
    emulator::DeviceSession* session = Session();
    if (!session) {
        SetStatus(m_link.error());
        return;
    }
    emulator::DeviceStore& store = session->store();
    const auto span = store.tapeSpan();
    const auto opened =
        store.findOnTape(emulator::tape::kShiftOpenedTitle, span ? span->last + 1 : 0);
    if (!span || !opened || *opened == 0) {
        SetStatus(u"На ленте нет открытия смены"_s);
        return;
    }
    const auto cut = store.lastCutBefore(*opened);
    const auto lines = store.tapeLines(cut && *cut > 0 ? *cut + 1 : *opened, span->last);
    if (!lines) {
        SetStatus(lines.detail());
        return;
    }
    TapeModel shift;
    shift.append(*lines);
    Save(u"Сохранить смену"_s, m_roll->view().painter(), shift, 0,
         static_cast<int>(shift.rows().size()) - 1);
}

} // namespace view
