// The whole program beside Plasma 6's real power manager, as Debian 13 ships
// it (the Plasma 6 test double's tests cover what it cannot offer here).

#include "Desktop.h"
#include "PlasmaPower.h"

#include <QThread>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QString kTitle = "Lumora Brightness Control";

// The message boxes shown now: windows titled like the main window.
int ShownBoxes(Driver& driver, const QString& mainWindow)
{
    int boxes = 0;
    for (const QString& id : driver.Run({"search", "--onlyvisible", "--name", "^" + kTitle + "$"}).split('\n'))
        boxes += !id.isEmpty() && id != mainWindow ? 1 : 0;
    return boxes;
}

} // namespace

// On a machine without a panel (and no monitor answering DDC/CI) the power
// manager claims org.kde.ScreenBrightness and lists no display. The program
// asks it, takes that as no service rather than a failure, and sets the
// backlight device itself, without a box.
//
// A display it would offer needs a panel behind its backlight helper. Offered
// one by hand (the helper made startable on the private system bus, polkit's
// double allowing the helper's four actions, and a stand-in folder mounted at
// /sys/class/backlight in a mount namespace shared by the system bus, the
// helper and the power manager) it still listed none and said only "No
// suitable displays detected", with the helper started and answering and no
// word on what it missed. It also looks the device up through libudev, which
// a folder does not satisfy the way a kernel device does; that is the likely
// missing piece. So setting the panel through it and following its changes
// are tested against the Plasma 6 double (DesktopBrightness_test) only.
TEST(PlasmaProgram, OnTheRealPowerManagerWithoutADisplayTheProgramSetsTheBacklightItselfWithoutABox)
{
    if (!PlasmaPowerManager::Installed())
        GTEST_SKIP() << "Plasma's power manager is not installed";
    PlasmaPowerManager plasma;
    ASSERT_TRUE(plasma.Started()) << plasma.Log().toStdString();
    const auto displays = plasma.Displays();
    ASSERT_TRUE(displays.has_value()) << plasma.Log().toStdString();
    ASSERT_TRUE(displays->isEmpty()) << "a display to set here: " << displays->join(' ').toStdString();

    VirtualDisplay display;
    Driver driver(display);
    Sandbox sandbox(100, 50);
    sandbox.UseSessionBus(plasma.BusAddress());
    WriteFile(sandbox.SettingsFile(), "[Software\\Kestrelo\\LumoraBrightness]\nLevel=7\n");
    Program program(sandbox, display, {"--backlight-root", sandbox.BacklightRoot(), "--levels", "11"});
    const QString window = driver.WaitForWindow(kTitle);
    ASSERT_FALSE(window.isEmpty()) << program.Output().toStdString();
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 70; })) << sandbox.Brightness();
    EXPECT_TRUE(plasma.Calls().contains("member=Get") && plasma.Calls().contains("DisplaysDBusNames"))
        << "the program did not ask the service:\n" << plasma.Calls().toStdString();

    // A level chosen in the window goes to the device too, once the needle
    // has settled.
    QThread::msleep(1000);
    driver.Drag(window, TrackBarAt(70), TrackBarAt(30));
    EXPECT_TRUE(Eventually([&] { return sandbox.Brightness() == 30; })) << sandbox.Brightness();
    QThread::msleep(500);
    EXPECT_EQ(ShownBoxes(driver, window), 0);
    EXPECT_FALSE(plasma.Calls().contains("member=SetBrightness")) << plasma.Calls().toStdString();
    EXPECT_TRUE(plasma.Serving()) << plasma.Log().toStdString();
    driver.Close(window);
    EXPECT_TRUE(program.WaitForExit(10000));
    EXPECT_FALSE(program.Output().contains("does not answer")) << program.Output().toStdString();
}
