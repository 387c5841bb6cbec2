#include "platform/device/LogindSession.h"
#include "platform/framework/Exception.h"
#include "platform/shell/IdleTime.h"
#include "platform/shell/MonitorPower.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

class CountingPower : public DisplayPower {
public:
    explicit CountingPower(int* count) : count_(count) {}
    void ForceOff() override { ++*count_; }

private:
    int* count_;
};

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

TEST(ShellMonitorPower, SwitchesOffOnceAboutHalfASecondAfterTheRequest)
{
    EXPECT_EQ(TMonitorPower::kDelayMs, 500);
    int offs = 0;
    TMonitorPower power(std::make_unique<CountingPower>(&offs));
    EXPECT_FALSE(power.Pending()) << "no timer at rest";
    power.TurnOff();
    power.TurnOff();
    Wait(100);
    EXPECT_EQ(offs, 0) << "the click's release must not wake the screen again";
    EXPECT_TRUE(power.Pending());
    Wait(600);
    EXPECT_EQ(offs, 1);
    EXPECT_FALSE(power.Pending());
}

TEST(ShellMonitorPower, WithoutDisplayPowerControlTheRequestFailsAtOnce)
{
    TMonitorPower power(nullptr);
    EXPECT_THROW(power.TurnOff(), Exception);
    EXPECT_FALSE(power.Pending());
    EXPECT_EQ(X11DisplayPower::Open(":987"), nullptr);
}

TEST(ShellIdleTime, WithNothingToAskIdleIsZeroWithOneWarning)
{
    EXPECT_EQ(X11IdleTime::Open(":987"), nullptr);

    testing::internal::CaptureStderr();
    NoIdleTime none;
    EXPECT_EQ(none.IdleSeconds(), 0u);
    EXPECT_EQ(none.IdleSeconds(), 0u);
    std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 1) << warnings;

    auto deadBus = std::make_shared<LogindSession>(
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("lumora-idle")));
    LogindIdleTime logind(deadBus);
    testing::internal::CaptureStderr();
    EXPECT_EQ(logind.IdleSeconds(), 0u);
    EXPECT_EQ(logind.IdleSeconds(), 0u);
    warnings = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 1) << warnings;
    QDBusConnection::disconnectFromBus(QStringLiteral("lumora-idle"));
}
