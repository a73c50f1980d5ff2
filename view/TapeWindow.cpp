#include "TapeWindow.h"

#include "CallHub.h"
#include "Seams.h"
#include "TapeLayout.h"
#include "TapePainter.h"
#include "TapeView.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace view {

TapeWindow::TapeWindow(CallHub& hub, QWidget* parent)
    : forms::Loadable<QWidget>(parent, Qt::Window), m_hub(&hub),
      m_view(new TapeView(m_model, this)), TxtFind(new QLineEdit(this)),
      CmdFind(new QPushButton(u"Найти"_s, this)),
      CmdSaveDocument(new QPushButton(u"Сохранить документ…"_s, this)),
      CmdSaveShift(new QPushButton(u"Сохранить смену…"_s, this)), StatusText(new QLabel(this))
{
    setObjectName(u"TapeWindow"_s);
    setWindowTitle(u"Бумажная лента"_s);
    m_view->setObjectName(u"TapeView"_s);
    TxtFind->setObjectName(u"TxtFind"_s);
    CmdFind->setObjectName(u"CmdFind"_s);
    CmdSaveDocument->setObjectName(u"CmdSaveDocument"_s);
    CmdSaveShift->setObjectName(u"CmdSaveShift"_s);
    StatusText->setObjectName(u"StatusText"_s);
    TxtFind->setPlaceholderText(u"Текст на ленте"_s);

    auto* find = new QHBoxLayout;
    find->addWidget(TxtFind, 1);
    find->addWidget(CmdFind);
    auto* save = new QHBoxLayout;
    save->addWidget(CmdSaveDocument);
    save->addWidget(CmdSaveShift);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(find);
    layout->addWidget(m_view, 1);
    layout->addLayout(save);
    layout->addWidget(StatusText);

    connect(CmdFind, &QPushButton::clicked, this, &TapeWindow::CmdFind_Click);
    connect(TxtFind, &QLineEdit::returnPressed, this, &TapeWindow::CmdFind_Click);
    connect(CmdSaveDocument, &QPushButton::clicked, this, &TapeWindow::CmdSaveDocument_Click);
    connect(CmdSaveShift, &QPushButton::clicked, this, &TapeWindow::CmdSaveShift_Click);
    connect(m_view, &TapeView::earlierWanted, this, &TapeWindow::LoadEarlier);
    // After every call, once the program is back in its event loop: a burst of calls is read
    // in one go, within the frame that follows it.
    connect(&hub, &CallHub::deviceReplaced, this, &TapeWindow::Reload);
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

void TapeWindow::SetStatus(const QString& text)
{
    StatusText->setText(text);
}

void TapeWindow::Reload()
{
    m_model.clear();
    m_view->rowsChanged(0);
    emulator::DeviceSession* session = m_hub ? m_link.session(m_hub->device()) : nullptr;
    m_link.takeMoved();
    if (!session) {
        SetStatus(m_link.error());
        return;
    }
    m_view->setLineWidth(session->device().state().lineWidth);
    const auto span = session->store().tapeSpan();
    if (!span || span->last == 0) {
        SetStatus(span ? u"Лента пуста"_s : span.detail());
        return;
    }
    // The newest document whole, and at least a screenful before it.
    qint64 first = std::max(span->first, span->last - kChunk + 1);
    const auto cut = session->store().lastCutBefore(span->last);
    if (cut && *cut > 0 && *cut + 1 < first)
        first = *cut + 1;
    if (const auto lines = session->store().tapeLines(first, span->last)) {
        m_model.append(*lines);
        m_view->rowsChanged(0);
        m_view->scrollToEnd();
        SetStatus(QString());
    } else {
        SetStatus(lines.detail());
    }
}

void TapeWindow::Follow()
{
    m_followScheduled = false;
    emulator::DeviceSession* session = m_hub ? m_link.session(m_hub->device()) : nullptr;
    if (!session || m_link.takeMoved() || m_model.lastLineId() == 0) {
        Reload();
        return;
    }
    const auto span = session->store().tapeSpan();
    if (!span)
        return;
    if (span->last < m_model.lastLineId()) { // the device was created anew
        Reload();
        return;
    }
    if (span->last == m_model.lastLineId())
        return;
    if (const auto lines = session->store().tapeLines(m_model.lastLineId() + 1, span->last)) {
        m_model.append(*lines);
        m_view->rowsChanged(0);
    }
}

bool TapeWindow::LoadBack(qint64 firstId)
{
    emulator::DeviceSession* session = m_hub ? m_link.session(m_hub->device()) : nullptr;
    if (!session || m_model.firstLineId() <= 1 || firstId >= m_model.firstLineId())
        return false;
    const auto lines = session->store().tapeLines(firstId, m_model.firstLineId() - 1);
    if (!lines || lines->isEmpty())
        return false;
    m_view->rowsChanged(m_model.prepend(*lines));
    return true;
}

void TapeWindow::LoadEarlier()
{
    if (m_model.firstLineId() > 0)
        LoadBack(std::max<qint64>(1, m_model.firstLineId() - kChunk));
}

void TapeWindow::CmdFind_Click()
{
    const QString text = TxtFind->text();
    if (text.isEmpty()) {
        SetStatus(u"Введите текст для поиска"_s);
        return;
    }
    // Backwards from the row found last (or from the end), into older lines when needed.
    const int from =
        m_view->markedRow() >= 0 ? m_view->markedRow() : static_cast<int>(m_model.rows().size());
    int row = m_model.findBackwards(text, from);
    if (row < 0) {
        emulator::DeviceSession* session = m_hub ? m_link.session(m_hub->device()) : nullptr;
        const auto found = session ? session->store().findOnTape(text, m_model.firstLineId())
                                   : emulator::Expected<qint64>(qint64(0));
        if (session && found && *found > 0) {
            const auto cut = session->store().lastCutBefore(*found);
            const int before = static_cast<int>(m_model.rows().size());
            if (LoadBack(cut && *cut > 0 ? *cut + 1 : *found))
                row = m_model.findBackwards(text, static_cast<int>(m_model.rows().size()) - before);
        }
    }
    if (row < 0) {
        SetStatus(u"Текст «%1» не найден"_s.arg(text));
        m_view->setMarkedRow(-1);
        return;
    }
    m_view->setMarkedRow(row);
    m_view->scrollToRow(row);
    SetStatus(QString());
}

void TapeWindow::Save(const QString& title, const TapeModel& rows, int first, int last)
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
    const TapePainter& painter = m_view->painter();
    const bool pdf = QFileInfo(*path).suffix().compare(u"pdf"_s, Qt::CaseInsensitive) == 0;
    const bool saved = pdf ? painter.writePdf(*path, rows.rows(), first, last)
                           : painter.image(rows.rows(), first, last).save(*path, "PNG");
    SetStatus(saved ? u"Сохранено: %1"_s.arg(*path) : u"Не удалось записать %1"_s.arg(*path));
}

void TapeWindow::CmdSaveDocument_Click()
{
    const auto [first, last] = m_model.documentAround(m_view->rowInSight());
    Save(u"Сохранить документ"_s, m_model, first, last);
}

void TapeWindow::CmdSaveShift_Click()
{
    // The shift runs from the printout of its opening to the end of the tape.
    emulator::DeviceSession* session = m_hub ? m_link.session(m_hub->device()) : nullptr;
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
    Save(u"Сохранить смену"_s, shift, 0, static_cast<int>(shift.rows().size()) - 1);
}

} // namespace view
