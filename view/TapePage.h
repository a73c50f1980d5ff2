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
// lines as the operator scrolls back or searches.
class TapePage : public QWidget
{
    Q_OBJECT

public:
    using SessionSource = std::function<emulator::DeviceSession*()>;

    TapePage(emulator::Paper paper, SessionSource session, QWidget* parent = nullptr);

    emulator::Paper paper() const { return m_paper; }
    const TapeModel& model() const { return m_model; }
    TapeView& view() { return *m_view; }

    void Clear();
    // Reads the paper anew; answers what the operator should know (empty when all is well).
    QString Reload(emulator::DeviceSession& session);
    // Takes in what was printed since the last look; true when new lines came.
    bool Follow(emulator::DeviceSession& session);
    // Marks and shows the last row before the marked one (or the end) holding `text`, reaching
    // back into lines not loaded yet; false when there is none.
    bool Find(const QString& text);

    // How many lines a first look and each step back load.
    static constexpr qint64 kChunk = 400;

private slots:
    void loadEarlier();

private:
    bool loadBack(qint64 firstId);

    emulator::Paper m_paper;
    SessionSource m_session;
    TapeModel m_model;
    TapeView* m_view;
};

} // namespace view
