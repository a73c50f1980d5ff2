#include "TapePage.h"

#include "DeviceSession.h"
#include "TapeView.h"

#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace view {

TapePage::TapePage(emulator::Paper paper, SessionSource session, QWidget* parent)
    : QWidget(parent), m_paper(paper), m_session(std::move(session)),
      m_view(new TapeView(m_model, this))
{
    m_view->setObjectName(paper == emulator::Paper::Roll ? u"TapeView"_s : u"SlipView"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    connect(m_view, &TapeView::earlierWanted, this, &TapePage::loadEarlier);
}

void TapePage::Clear()
{
    m_model.clear();
    m_view->setMarkedRow(-1);
    m_view->rowsChanged(0);
}

QString TapePage::Reload(emulator::DeviceSession& session)
{
    Clear();
    m_view->setLineWidth(session.device().state().lineWidth);
    emulator::DeviceStore& store = session.store();
    const auto span = store.tapeSpan(m_paper);
    if (!span || span->last == 0) {
        if (!span)
            return span.detail();
        return m_paper == emulator::Paper::Roll
                   ? u"Лента пуста"_s
                   : u"На подкладных документах ничего не печаталось"_s;
    }
    // The newest document whole, and at least a screenful before it.
    qint64 first = std::max(span->first, span->last - kChunk + 1);
    const auto cut = store.lastCutBefore(span->last, m_paper);
    if (cut && *cut > 0 && *cut + 1 < first)
        first = *cut + 1;
    const auto lines = store.tapeLines(first, span->last, m_paper);
    if (!lines)
        return lines.detail();
    m_model.append(*lines);
    m_view->rowsChanged(0);
    m_view->scrollToEnd();
    return QString();
}

bool TapePage::Follow(emulator::DeviceSession& session)
{
    if (m_model.lastLineId() == 0)
        return Reload(session).isEmpty();
    const auto span = session.store().tapeSpan(m_paper);
    if (!span || span->last == m_model.lastLineId())
        return false;
    if (span->last < m_model.lastLineId()) { // the device was created anew
        Reload(session);
        return true;
    }
    const auto lines = session.store().tapeLines(m_model.lastLineId() + 1, span->last, m_paper);
    if (!lines)
        return false;
    m_model.append(*lines);
    m_view->rowsChanged(0);
    return true;
}

bool TapePage::loadBack(qint64 firstId)
{
    emulator::DeviceSession* session = m_session();
    if (!session || m_model.firstLineId() <= 1 || firstId >= m_model.firstLineId())
        return false;
    const auto lines = session->store().tapeLines(firstId, m_model.firstLineId() - 1, m_paper);
    if (!lines || lines->isEmpty())
        return false;
    m_view->rowsChanged(m_model.prepend(*lines));
    return true;
}

void TapePage::loadEarlier()
{
    if (m_model.firstLineId() > 1)
        loadBack(std::max<qint64>(1, m_model.firstLineId() - kChunk));
}

bool TapePage::Find(const QString& text)
{
    // Backwards from the row found last (or from the end), into older lines when needed.
    const int from =
        m_view->markedRow() >= 0 ? m_view->markedRow() : static_cast<int>(m_model.rows().size());
    int row = m_model.findBackwards(text, from);
    if (row < 0) {
        emulator::DeviceSession* session = m_session();
        const auto found = session
                               ? session->store().findOnTape(text, m_model.firstLineId(), m_paper)
                               : emulator::Expected<qint64>(qint64(0));
        if (session && found && *found > 0) {
            const auto cut = session->store().lastCutBefore(*found, m_paper);
            const int before = static_cast<int>(m_model.rows().size());
            if (loadBack(cut && *cut > 0 ? *cut + 1 : *found))
                row = m_model.findBackwards(text, static_cast<int>(m_model.rows().size()) - before);
        }
    }
    m_view->setMarkedRow(row);
    if (row < 0)
        return false;
    m_view->scrollToRow(row);
    return true;
}

} // namespace view
