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
    connect(m_view, &TapeView::laterWanted, this, &TapePage::loadLater);
}

void TapePage::Clear()
{
    m_model.clear();
    m_span = {};
    m_view->rowsReset();
}

QString TapePage::Reload(emulator::DeviceSession& session)
{
    Clear();
    m_view->setLineWidth(session.device().state().lineWidth);
    emulator::DeviceStore& store = session.store();
    const auto span = store.tapeSpan(m_paper);
    if (!span || span->last == 0) {
        m_notice = !span ? span.detail()
                   : m_paper == emulator::Paper::Roll
                       ? u"Лента пуста"_s
                       : u"На подкладных документах ничего не печаталось"_s;
        return m_notice;
    }
    m_span = *span;
    // The newest document whole, and at least a screenful before it.
    qint64 first = std::max(span->first, span->last - kChunk + 1);
    const auto cut = store.lastCutBefore(span->last, m_paper);
    if (cut && *cut > 0 && *cut + 1 < first)
        first = *cut + 1;
    m_notice = loadOnly(session, first, span->last) ? QString() : u"Лента не читается"_s;
    m_view->scrollToEnd();
    return m_notice;
}

bool TapePage::loadOnly(emulator::DeviceSession& session, qint64 firstId, qint64 lastId)
{
    m_model.clear();
    const auto lines = session.store().tapeLines(firstId, lastId, m_paper);
    if (lines)
        m_model.append(*lines);
    m_view->rowsReset();
    trim();
    return lines.ok();
}

bool TapePage::Follow(emulator::DeviceSession& session)
{
    if (m_span.last == 0)
        return Reload(session).isEmpty();
    const auto span = session.store().tapeSpan(m_paper);
    if (!span || span->last == m_span.last)
        return false;
    if (span->last < m_span.last) { // the device was created anew
        Reload(session);
        return true;
    }
    m_notice.clear();
    const bool following = reachesNewest();
    m_span = *span;
    // Newer lines than those in sight are read when the operator scrolls to them.
    if (!following)
        return true;
    // After a long absence the newest document comes into sight alone.
    if (span->last - m_model.lastLineId() > kMaxRows) {
        Reload(session);
        return true;
    }
    const auto lines = session.store().tapeLines(m_model.lastLineId() + 1, span->last, m_paper);
    if (!lines)
        return false;
    m_view->rowsAdded(0, m_model.append(*lines), true);
    trim();
    return true;
}

void TapePage::trim()
{
    const int excess = static_cast<int>(m_model.rows().size()) - kMaxRows;
    if (excess <= 0)
        return;
    if (m_view->rowInSight() >= static_cast<int>(m_model.rows().size()) / 2)
        m_view->rowsDropped(m_model.dropFront(excess), 0);
    else
        m_view->rowsDropped(0, m_model.dropBack(excess));
}

bool TapePage::loadBack(qint64 firstId)
{
    emulator::DeviceSession* session = m_session();
    if (!session || firstId >= m_model.firstLineId())
        return false;
    const auto lines = session->store().tapeLines(firstId, m_model.firstLineId() - 1, m_paper);
    if (!lines || lines->isEmpty())
        return false;
    m_view->rowsAdded(m_model.prepend(*lines), 0);
    return true;
}

bool TapePage::loadForward(qint64 lastId)
{
    emulator::DeviceSession* session = m_session();
    if (!session || lastId <= m_model.lastLineId())
        return false;
    const auto lines = session->store().tapeLines(m_model.lastLineId() + 1, lastId, m_paper);
    if (!lines || lines->isEmpty())
        return false;
    m_view->rowsAdded(0, m_model.append(*lines));
    trim();
    return true;
}

void TapePage::loadEarlier()
{
    if (m_model.firstLineId() > m_span.first &&
        loadBack(std::max(m_span.first, m_model.firstLineId() - kChunk)))
        trim();
}

void TapePage::loadLater()
{
    if (m_model.lastLineId() > 0 && !reachesNewest())
        loadForward(std::min(m_span.last, m_model.lastLineId() + kChunk));
}

bool TapePage::Find(const QString& text)
{
    // Backwards from the row found last (or from the end), into older lines when needed.
    const int from =
        m_view->markedRow() >= 0 ? m_view->markedRow() : static_cast<int>(m_model.rows().size());
    int row = m_model.findBackwards(text, from);
    emulator::DeviceSession* session = m_session();
    if (row < 0 && session) {
        emulator::DeviceStore& store = session->store();
        const auto found = store.findOnTape(text, m_model.firstLineId(), m_paper);
        if (found && *found > 0) {
            const auto cut = store.lastCutBefore(*found, m_paper);
            const qint64 first = cut && *cut > 0 ? *cut + 1 : *found;
            if (m_model.firstLineId() - first <= kMaxRows / 2) {
                // Near: the lines up to it join what is loaded.
                const int before = static_cast<int>(m_model.rows().size());
                if (loadBack(first))
                    row = m_model.findBackwards(text,
                                                static_cast<int>(m_model.rows().size()) - before);
            } else if (loadOnly(*session, first, std::min(m_span.last, *found + kChunk))) {
                // Far back: its document is shown alone; the rest is read as the operator scrolls.
                row = m_model.findBackwards(text, static_cast<int>(m_model.rows().size()));
            }
        }
    }
    m_view->setMarkedRow(row);
    if (row < 0)
        return false;
    m_view->scrollToRow(row);
    // Now that the row found is in sight, what is far from it may go.
    trim();
    return true;
}

} // namespace view
