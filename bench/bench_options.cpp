// How fast the options window opens over the built-in device.
//   bench_options [--runs N]
// Builds the window and shows it until its loading (every option, the header, the clock, the
// pictures: all read from the device) is done, N times (default 20); prints the median time and
// how many driver calls one opening makes. The driver is traced as the program traces it.

#include "BenchSupport.h"
#include "CallHub.h"
#include "FormOptions.h"
#include "SharedState.h"
#include "TracingDriver.h"

#include <QApplication>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace bench;

namespace {

// What the main window would share with the options window: the driver and the generation.
class BenchState final : public forms::SharedState
{
public:
    explicit BenchState(std::shared_ptr<Driver> driver) : m_driver(std::move(driver)) {}
    std::shared_ptr<Driver> GetQuolt() const override { return m_driver; }
    QString sessionClerk() const override { return QString(); }
    QString clerkId() const override { return QString(); }

private:
    std::shared_ptr<Driver> m_driver;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(u"--runs"_s);
    const int runs = at >= 0 ? std::max(1, args.value(at + 1).toInt()) : 20;

    QTemporaryDir dir;
    auto device = std::make_shared<emulator::EmulatedDriver>(dir.path());
    if (!connect(*device))
        return 1;
    const std::shared_ptr<TracingDriver> traced = view::CallHub::trace(device, {});
    const view::CallJournal& journal = view::CallHub::of(traced.get())->journal();
    BenchState state(traced);
    state.m_MajorVersion = traced->GetDeviceInfo(DeviceInfo::MajorVersion);
    state.m_MinorVersion = traced->GetDeviceInfo(DeviceInfo::MinorVersion);

    qint64 calls = 0;
    const double opened = medianMs(runs, [&] {
        const qint64 before = journal.firstSequence() + journal.size();
        FormOptions window(state);
        window.show(); // the window loads itself from the device when it is first shown
        QCoreApplication::processEvents();
        calls = journal.firstSequence() + journal.size() - before;
        return calls > 0;
    });
    std::printf("options window (generation %d.%d): opened in %.1f ms (median of %d), %lld driver "
                "calls\n",
                state.m_MajorVersion, state.m_MinorVersion, opened, runs,
                static_cast<long long>(calls));
    return opened < 0 ? 1 : 0;
}
