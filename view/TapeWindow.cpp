#include "TapeWindow.h"

#include "CallHub.h"
#include "Seams.h"
#include "TapeLayout.h"
#include "TapePage.h"
#include "TapePainter.h"
#include "TapeView.h"

#include <QDir>
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
    connect(&hub, &CallHub::deviceReplaced, this, [this] {
        if (isVisible())
            Reload();
        else
            m_replaced = true;
    });
    connect(&hub, &CallHub::recorded, this, &TapeWindow::ScheduleFollow);

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
    m_showsNotice = false;
    StatusText->setText(text);
}

void TapeWindow::ShowNotice()
{
    if (!m_showsNotice)
        return;
    StatusText->setText(currentPage().notice());
}

void TapeWindow::TabPaper_Changed()
{
    // The shift's printout is on the roll only.
    CmdSaveShift->setEnabled(!showsSlips());
    ShowNotice();
}

void TapeWindow::ScheduleFollow()
{
    // A hidden window reads nothing; it catches up when shown.
    if (!isVisible()) {
        m_behind = true;
        return;
    }
    // After every call, once the program is back in its event loop: a burst of calls is read
    // in one go, within the frame that follows it.
    if (m_followScheduled)
        return;
    m_followScheduled = true;
    QTimer::singleShot(0, this, &TapeWindow::Follow);
}

void TapeWindow::showEvent(QShowEvent* event)
{
    if (m_replaced) {
        m_replaced = m_behind = false;
        Reload();
    } else if (m_behind) {
        m_behind = false;
        Follow();
    }
    forms::Loadable<QWidget>::showEvent(event);
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
    m_roll->Reload(*session);
    m_slips->Reload(*session);
    m_showsNotice = true;
    ShowNotice();
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
    // "Лента пуста" goes once the paper has lines.
    ShowNotice();
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

QString TapeWindow::suggestedPath(const QString& what)
{
    QString name = u"лента"_s;
    if (emulator::DeviceSession* session = Session()) {
        const emulator::Device& device = session->device();
        const emulator::DeviceState& state = device.state();
        const QDate date =
            state.shiftOpenedAt.isValid() ? state.shiftOpenedAt.date() : device.now().date();
        name = u"смена-%1-%2"_s.arg(state.shiftNumber).arg(date.toString(u"yyyy-MM-dd"_s));
    }
    if (!what.isEmpty())
        name += u'-' + what;
    const QFileInfo last(m_lastSave);
    const QString suffix = last.suffix().isEmpty() ? u"png"_s : last.suffix();
    const QString file = name + u'.' + suffix;
    return m_lastSave.isEmpty() ? file : last.dir().filePath(file);
}

void TapeWindow::Save(const QString& title, const QString& what,
                      const std::function<TapeExport(const QString& path, bool pdf)>& write)
{
    forms::OpenFileRequest request;
    request.title = title;
    request.filter = u"Рисунок PNG (*.png)|*.png|Документ PDF (*.pdf)|*.pdf"_s;
    // The dialog starts where the last file went, with a name after the shift, in its format.
    request.initialDirectory = suggestedPath(what);
    const bool lastPdf = QFileInfo(m_lastSave).suffix().compare(u"pdf"_s, Qt::CaseInsensitive) == 0;
    request.filterIndex = lastPdf ? 2 : 1;
    request.defaultExtension = lastPdf ? u"pdf"_s : u"png"_s;
    const std::optional<QString> path = forms::saveFile(this, request);
    if (!path)
        return;
    const bool pdf = QFileInfo(*path).suffix().compare(u"pdf"_s, Qt::CaseInsensitive) == 0;
    const TapeExport saved = write(*path, pdf);
    if (!saved.files.isEmpty())
        m_lastSave = saved.files.constFirst();
    if (!saved.ok())
        SetStatus(saved.error);
    else if (saved.files.size() == 1)
        SetStatus(u"Сохранено: %1"_s.arg(saved.files.constFirst()));
    else
        SetStatus(
            u"Сохранено в %1 файлах: %2 … %3"_s.arg(saved.files.size())
                .arg(saved.files.constFirst(), QFileInfo(saved.files.constLast()).fileName()));
}

void TapeWindow::CmdSaveDocument_Click()
{
    TapePage& page = currentPage();
    const auto [first, last] = page.model().documentAround(page.view().rowInSight());
    if (last < first) {
        SetStatus(u"Сохранять нечего"_s);
        return;
    }
    const TapePainter& painter = page.view().painter();
    const QList<TapeRow>& rows = page.model().rows();
    Save(u"Сохранить документ"_s, u"документ"_s, [&](const QString& path, bool pdf) {
        const RowSource source = loadedRows(rows, first, last);
        return pdf ? writeTapePdf(painter, path, source) : writeTapePng(painter, path, source);
    });
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
    const qint64 first = cut && *cut > 0 ? *cut + 1 : *opened;
    const TapePainter& painter = m_roll->view().painter();
    // Read from the store a stretch at a time: the shift is never held whole.
    Save(u"Сохранить смену"_s, QString(), [&](const QString& path, bool pdf) {
        const RowSource source = storedRows(store, first, span->last);
        return pdf ? writeTapePdf(painter, path, source) : writeTapePng(painter, path, source);
    });
}

} // namespace view
