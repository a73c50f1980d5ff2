#include "CallDispatch.h"
#include "DeviceSteering.h"
#include "EmulatorFixture.h"
#include "EmulatorTest.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace emulator;
using namespace emulator::testing;

// The roles of the contract's members, as the built-in device honours them: a member listed as a
// command runs on the device, so the fault the device panel or the device tool injects for it is
// what it answers. A member given the wrong role would be offered for a fault that never comes.
class TestMemberRoles : public EmulatorTest
{
    Q_OBJECT

public:
    TestMemberRoles() : EmulatorTest(Start::ConnectedDriver) {}

private slots:
    void everyCommandAnswersItsInjectedFault();
};

namespace {

DriverArgument emptyOf(DriverArgument::Kind kind)
{
    switch (kind) {
    case DriverArgument::Kind::Int16:
        return std::int16_t(0);
    case DriverArgument::Kind::Int32:
        return std::int32_t(0);
    case DriverArgument::Kind::Double:
        return 0.0;
    case DriverArgument::Kind::Text:
        return QString();
    case DriverArgument::Kind::Date:
        return QDate();
    case DriverArgument::Kind::Bool:
        return false;
    case DriverArgument::Kind::General:
        break;
    }
    return QVariant();
}

} // namespace

void TestMemberRoles::everyCommandAnswersItsInjectedFault()
{
    Expected<std::unique_ptr<DeviceSession>> tool = DeviceSession::open(folder(), 1);
    QVERIFY2(tool, qPrintable(tool.detail()));
    const QStringList commands = EmulatedDriver::faultableMembers();
    QVERIFY(!commands.isEmpty());
    for (const QString& member : commands) {
        QVERIFY2(steer(**tool,
                       [&](DeviceState& s) {
                           s.faultMember = member;
                           s.faultCode = codeOf(ErrorCode::InjectedFault);
                       }),
                 qPrintable(member));
        // The values do not matter: the fault is answered before the command looks at them.
        DriverCall call{member, {}, {}, {}};
        const std::optional<QList<DriverArgument::Kind>> kinds = dispatch::signature(member);
        QVERIFY2(kinds, qPrintable(member));
        for (const DriverArgument::Kind kind : *kinds)
            call.arguments << emptyOf(kind);
        call.result = dispatch::run(*m_driver, call);
        QVERIFY2(call.resultCode() == codeOf(ErrorCode::InjectedFault), qPrintable(member));
    }
}

QTEST_GUILESS_MAIN(TestMemberRoles)
#include "tst_memberroles.moc"
