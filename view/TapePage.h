#pragma once

#include "DeviceStore.h"
#include "TapeModel.h"

#include <QWidget>

#include <functional>

namespace emulator {
class DeviceSession;
}

namespace view {

class TapeView;

// One paper of the device as the tape window shows it: the receipt roll or the slips. It loads
// only the part the operator looks at: the newest document and a screenful before it, older
// lines as the operator scrolls back or searches, newer ones as the operator scrolls forward
// again. What stays loaded is bounded: rows far from sight are dropped and read again when the
// operator comes back to them.
class TapePage : public QWidget
{
    Q_OBJECT

public:
    using SessionSource = std::function<emulator::DeviceSession*()>;

    TapePage(emulator::Paper paper, SessionSource session, QWidget* parent = nullptr);

    emulator::Paper paper() const { return m_paper; }
    const TapeModel& model() const { return m_model; }
    TapeView& view() { return *m_view; }
    // What the operator should know about this paper (that nothing was printed on it, that it
    // cannot be read); empty when all is well.
    const QString& notice() const { return m_notice; }

    void Clear();
    // Reads the paper anew; answers notice().
    QString Reload(emulator::DeviceSession& session);
    // Takes in what was printed since the last look; true when new lines came.
    bool Follow(emulator::DeviceSession& session);
    // Marks and shows the last row before the marked one (or the end) holding `text`, reaching
    // back into lines not loaded yet; false when there is none.
    bool Find(const QString& text);

    // How many lines a first look and each step back or forward load.
    static constexpr qint64 kChunk = 400;
    // The most rows kept loaded; more are dropped from the end away from sight.
    static constexpr int kMaxRows = 12'000;

private slots:
    void loadEarlier();
    void loadLater();

private:
    // Adds the lines from `firstId` to the first one loaded, keeping all that is loaded.
    bool loadBack(qint64 firstId);
    bool loadForward(qint64 lastId);
    // Shows the lines from `firstId` to `lastId` alone, dropping what was loaded.
    bool loadOnly(emulator::DeviceSession& session, qint64 firstId, qint64 lastId);
    // Drops rows beyond kMaxRows from the end farther from sight.
    void trim();
    bool reachesNewest() const { return m_model.lastLineId() >= m_span.last; }

    emulator::Paper m_paper;
    SessionSource m_session;
    TapeModel m_model;
    TapeView* m_view;
    emulator::TapeSpan m_span; // the paper's lines as last read from the device
    QString m_notice;
};

} // namespace view
