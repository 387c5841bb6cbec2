#include "platform/shell/WaylandBuffers.h"
#include "support/EnvironmentScope.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::testing::EnvironmentScope;

namespace {

WaylandBufferFacts Facts(int qt, const char* platform, bool userChose = false)
{
    WaylandBufferFacts facts;
    facts.QtVersion = qt;
    facts.Platform = platform;
    facts.UserChoseIntegration = userChose;
    return facts;
}

} // namespace

TEST(WaylandBuffers, OnlyAQtThatLoadsTheDriverForTitleBarsOnItsPlainWaylandPlatform)
{
    const int qt64 = QT_VERSION_CHECK(6, 4, 2);
    EXPECT_TRUE(MayKeepGraphicsDriverOut(Facts(qt64, ""))) << "Qt picks the platform itself";
    EXPECT_TRUE(MayKeepGraphicsDriverOut(Facts(qt64, "wayland")));
    EXPECT_TRUE(MayKeepGraphicsDriverOut(Facts(qt64, "xcb;wayland"))) << "wayland is the fallback";
    EXPECT_TRUE(MayKeepGraphicsDriverOut(Facts(qt64, "wayland:nowindowdecoration"))) << "with plugin arguments";
    EXPECT_TRUE(MayKeepGraphicsDriverOut(Facts(QT_VERSION_CHECK(6, 7, 3), "wayland")));

    EXPECT_FALSE(MayKeepGraphicsDriverOut(Facts(qt64, "xcb")));
    EXPECT_FALSE(MayKeepGraphicsDriverOut(Facts(qt64, "offscreen")));
    EXPECT_FALSE(MayKeepGraphicsDriverOut(Facts(qt64, "wayland-egl"))) << "EGL asked for by name";
    EXPECT_FALSE(MayKeepGraphicsDriverOut(Facts(QT_VERSION_CHECK(6, 8, 0), "wayland")))
        << "from 6.8 Qt leaves the driver out by itself";
    EXPECT_FALSE(MayKeepGraphicsDriverOut(Facts(qt64, "wayland", true))) << "the user's own choice stands";
}

TEST(WaylandBuffers, NoCompositorLeavesQtAsItIs)
{
    QTemporaryDir runtime;
    EnvironmentScope dir("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    EnvironmentScope display("WAYLAND_DISPLAY", "wayland-absent");
    EnvironmentScope platform("QT_QPA_PLATFORM", "wayland");
    EXPECT_EQ(AskCompositorDecorations(), CompositorDecorations::Unreachable);
    EXPECT_FALSE(KeepGraphicsDriverOutOfWayland());
    EXPECT_FALSE(qEnvironmentVariableIsSet("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION"));
}
