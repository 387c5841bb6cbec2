#pragma once

// The main window on a monitor set: the stand-in panel folder and a folder of
// stand-in DDC/CI monitors found in the background.

#include "core/BrightnessUnit.h"
#include "platform/device/BacklightProvider.h"
#include "platform/device/DdcMonitors.h"
#include "platform/device/DdcStandIn.h"
#include "platform/device/MonitorSetProvider.h"

#include "MainWindowStandIns.h"
#include "support/DdcStandInFolder.h"
#include "support/EventLoop.h"

#include <QDir>

namespace lumora::testing {

struct MonitorSetWindowTest : StandInWindowTest {
    DdcStandInFolder ddc;
    std::shared_ptr<MonitorSetProvider> monitors;

    MonitorSetWindowTest() { OpenStores(); }
    // The window goes before the folder of stand-in monitors it reads.
    ~MonitorSetWindowTest() override
    {
        form.reset();
        monitors.reset();
    }

    void Create()
    {
        QDir().mkpath(dir.filePath("bl"));
        QDir().mkpath(dir.filePath("run"));
        form.reset();
        monitors = std::make_shared<MonitorSetProvider>(
            std::make_shared<BacklightProvider>(BacklightOptions{dir.filePath("bl"), 11}),
            std::make_shared<DdcMonitors>(std::make_shared<DdcStandIn>(ddc.Root())), 11);
        TForm1Services services;
        services.Brightness = monitors;
        services.Monitors = monitors;
        form = std::make_unique<TForm1>(StandInServices(std::move(services)));
        form->OnTerminate = [this] { ++terminations; };
    }

    // Waits for detection and runs the deferred start-up at once.
    void Started()
    {
        ASSERT_TRUE(PumpUntil([&] { return Seam().StartupPending() || terminations > 0; }));
        if (Seam().StartupPending())
            Seam().RunStartup();
    }
};

} // namespace lumora::testing
