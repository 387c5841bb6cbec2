#pragma once

// What the main window's tests start a TForm1 on: message boxes that record
// what they were asked to show, a tray host that shows nothing, an idle time
// the test sets, and a temporary folder holding a stand-in backlight folder,
// the settings file, the login entries and the runtime folder.

#include "core/BrightnessUnit.h"
#include "core/WindowSeam.h"

#include "platform/device/BacklightProvider.h"
#include "platform/framework/Dialogs.h"
#include "platform/settings/SettingsStore.h"
#include "platform/shell/Autostart.h"
#include "platform/shell/IdleTime.h"
#include "platform/shell/NotifyIconHost.h"
#include "support/ActiveWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace lumora::testing {

// Records every box; a question is answered with `answer` (no, unless the
// test says otherwise) and recorded as "caption: text".
class RecordedBoxes : public TMessageBoxes {
public:
    void ShowMessage(QWidget*, const QString&, const QString& text) override { messages << text; }
    bool AskYesNo(QWidget*, const QString& caption, const QString& text) override
    {
        questions << caption + ": " + text;
        return answer;
    }
    void ShowError(QWidget*, const QString&, const QString& text) override { errors << text; }
    QStringList messages, questions, errors;
    bool answer = false;
};

// Takes every tray command and shows nothing.
class NoTray : public NotifyIconHost {
public:
    bool Notify(NotifyIconCommand, const NotifyIconData&) override { return true; }
    bool AreaAvailable() const override { return area; }
    bool area = true; // false: a desktop without a notification area
};

// The user has been idle for `seconds` (none unless the test says otherwise).
class SetIdle : public IdleTimeSource {
public:
    quint32 IdleSeconds() override { return seconds; }
    quint32 seconds = 0;
};

// Writes `bytes` as the whole file, its folder made first.
inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The file's bytes; none when it cannot be read.
inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A main window on stand-ins in a temporary folder: the backlight folder bl/,
// settings.conf, the login entries in autostart/ and the runtime folder run/.
struct StandInWindowTest : ::testing::Test {
    QTemporaryDir dir;
    RecordedBoxes boxes;
    TMessageBoxesScope boxScope{boxes};
    NoTray tray;
    SetIdle idle;
    std::unique_ptr<TSettingsStore> settings;
    std::unique_ptr<TAutostart> autostart;
    std::unique_ptr<TForm1> form;
    int terminations = 0;

    // A panel under bl/ at 50 of 100, and the runtime folder.
    void AddPanel(const QString& name = "acpi_video0", const QByteArray& type = "firmware")
    {
        QDir().mkpath(dir.filePath("run"));
        const QString folder = dir.filePath("bl/" + name + "/");
        WriteFile(folder + "max_brightness", "100\n");
        WriteFile(folder + "brightness", "50\n");
        WriteFile(folder + "type", type + "\n");
    }

    // The settings file and the login entries, read afresh from the folder.
    void OpenStores()
    {
        settings = std::make_unique<TSettingsStore>(dir.filePath("settings.conf"));
        autostart = std::make_unique<TAutostart>(dir.filePath("autostart"));
    }

    // `services` completed with the stand-ins: the panels under bl/ in
    // `levels` levels unless a brightness source is given, the stores, the
    // idle time, the tray, the program as "lumora" in the folder unless a path
    // is given, the runtime folder and a screen of 120 pixels per inch.
    TForm1Services StandInServices(TForm1Services services = {}, int levels = 11)
    {
        if (!services.Brightness) {
            BacklightOptions options;
            options.Root = dir.filePath("bl");
            options.Levels = levels;
            services.Brightness = std::make_shared<BacklightProvider>(options);
        }
        services.Settings = settings.get();
        services.Autostart = autostart.get();
        services.Idle = &idle;
        services.TrayHost = &tray;
        if (services.ExecutablePath.isEmpty())
            services.ExecutablePath = dir.filePath("lumora");
        services.InstanceRecordFolder = dir.filePath("run");
        services.ScreenPixelsPerInch = 120;
        return services;
    }

    // The window on the stand-in panel, started, shown and made active as a
    // user's click on it would.
    void ShowActiveWindow()
    {
        AddPanel();
        OpenStores();
        form = std::make_unique<TForm1>(StandInServices());
        Seam().RunStartup();
        form->show();
        MakeActive(*form);
    }

    // The window as a user sees and works it.
    TWindowSeam Seam() const { return TWindowSeam(*form); }

    // The level written to the stand-in panel acpi_video0.
    QString Brightness() const { return QString::fromLatin1(ReadAll(dir.filePath("bl/acpi_video0/brightness"))).trimmed(); }
};

} // namespace lumora::testing
