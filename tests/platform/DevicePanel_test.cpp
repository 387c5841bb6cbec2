// The built-in panel beside the desktop's brightness service and the
// kernel's backlight events: which way a write goes, which changes count as
// made elsewhere, and the device going and coming back.

#include "platform/DeviceStandIn.h"

#include "platform/device/BacklightEvents.h"
#include "platform/device/EchoFilter.h"
#include "platform/device/PanelProvider.h"
#include "platform/device/SysfsBrightnessWriter.h"
#include "platform/device/WbemLocator.h"
#include "platform/framework/Exception.h"

#include <gtest/gtest.h>

using namespace lumora;
using lumora::test::BacklightStandIn;

namespace {

// A desktop service as the panel provider sees it; the real ones are tested
// against dbusmock in the whole-program tests.
class FakeDesktop : public DesktopBrightness {
public:
    explicit FakeDesktop(int maximum, int value = 0) : maximum_(maximum), value_(value) {}
    QString Title() const override { return "the fake desktop"; }
    int Maximum() override { return maximum_; }
    int Value() override { return value_; }
    void SetValue(int value) override
    {
        value_ = value;
        written.push_back(value);
    }
    // The service's own report of a value.
    void Report(int value) { emit ValueChanged(value); }

    std::vector<int> written;

private:
    int maximum_;
    int value_;
};

// The seam the udev monitor sits behind, fed by the test.
class EventFeed : public BacklightEventSource {
public:
    void Feed(BacklightAction action, const QString& device) { emit Arrived(BacklightEvent{action, device}); }
};

struct Panel {
    explicit Panel(const BacklightStandIn& s, int levels = 101)
        : provider(std::make_shared<PanelProvider>(
              std::make_shared<BacklightProvider>(BacklightOptions{s.Root(), levels},
                                                  std::make_shared<SysfsBrightnessWriter>()),
              &feed))
    {
        QObject::connect(provider.get(), &PanelProvider::ChangedElsewhere, [this](const QString& name, int percent) {
            outside.push_back({name, percent});
        });
        QObject::connect(provider.get(), &PanelProvider::DeviceReplaced, [this](const QString& from, const QString& to) {
            replaced.push_back({from, to});
        });
    }

    // The start-up query: the panel learns its device.
    std::shared_ptr<WbemObject> Query()
    {
        const WbemServices services = TSWbemLocator(provider).ConnectServer(".", "root\\wmi");
        return services.ExecQuery("SELECT * FROM WmiMonitorBrightness WHERE Active = True").NewEnum().Next();
    }

    void Write(const QString& name, int percent)
    {
        auto in = provider->ClassDefinition("WmiMonitorBrightnessMethods")
                      .Methods_()
                      .Item("WmiSetBrightness")
                      .InParameters();
        in->Properties_().Item("Brightness").SetValue(CimValue::Sint32(percent));
        in->Properties_().Item("Timeout").SetValue(CimValue::Uint8(0));
        provider->ExecMethod("WmiMonitorBrightnessMethods", "InstanceName", name, "WmiSetBrightness", in.get());
    }

    EventFeed feed;
    std::shared_ptr<PanelProvider> provider;
    std::vector<std::pair<QString, int>> outside;      // ChangedElsewhere as sent
    std::vector<std::pair<QString, QString>> replaced; // DeviceReplaced as sent
};

QString ErrorText(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "<no error>";
}

QString Current(const std::shared_ptr<WbemObject>& object)
{
    const CimScalar& value = object->Properties_().Item("CurrentBrightness").Value().Scalar();
    if (const auto* u = std::get_if<std::uint64_t>(&value))
        return QString::number(*u);
    if (const auto* i = std::get_if<std::int64_t>(&value))
        return QString::number(*i);
    return "<not a number>";
}

} // namespace

TEST(DeviceEchoFilter, TellsTheEchoesOfADragFromChangesMadeElsewhere)
{
    EchoFilter echoes;
    // A drag writes three values before the first report comes back.
    echoes.Wrote(10);
    echoes.Wrote(20);
    echoes.Wrote(30);
    EXPECT_TRUE(echoes.IsEcho(10, 100));
    EXPECT_TRUE(echoes.IsEcho(20, 100));
    EXPECT_TRUE(echoes.IsEcho(30, 100));
    EXPECT_FALSE(echoes.IsEcho(20, 100)) << "a value reported again later is a change made elsewhere";

    // A reporter that coalesces: the newest report settles the older writes.
    echoes.Wrote(40);
    echoes.Wrote(50);
    EXPECT_TRUE(echoes.IsEcho(50, 100));
    EXPECT_FALSE(echoes.IsEcho(40, 100));
}

TEST(DeviceEchoFilter, ComparesInTheReportersOwnUnitAndKeepsABoundedList)
{
    EchoFilter echoes;
    echoes.Wrote(0);
    EXPECT_FALSE(echoes.IsEcho(0, 1000)) << "0 percent is written as one percent of the range";
    EXPECT_TRUE(echoes.IsEcho(10, 1000));
    echoes.Wrote(37);
    EXPECT_TRUE(echoes.IsEcho(4, 10));
    echoes.Wrote(37);
    EXPECT_FALSE(echoes.IsEcho(37, 0)) << "no range, no match";

    echoes.Clear();
    for (int i = 0; i <= EchoFilter::kKept; ++i)
        echoes.Wrote(i);
    EXPECT_FALSE(echoes.IsEcho(0, 100)) << "the oldest unreported write is forgotten";
    EXPECT_TRUE(echoes.IsEcho(EchoFilter::kKept, 100));
}

TEST(DeviceBacklightEvents, KernelActionsThatConcernThePanel)
{
    EXPECT_EQ(BacklightActionOf("add"), BacklightAction::Added);
    EXPECT_EQ(BacklightActionOf("remove"), BacklightAction::Removed);
    EXPECT_EQ(BacklightActionOf("change"), BacklightAction::Changed);
    EXPECT_EQ(BacklightActionOf("bind"), std::nullopt);
    EXPECT_EQ(BacklightActionOf(""), std::nullopt);
}

TEST(DevicePanel, ThroughTheDesktopServiceWhileThereIsOneAndBackToTheDeviceWhenItGoes)
{
    BacklightStandIn s;
    s.AddDevice("panel", "firmware", "100\n", "50\n");
    Panel panel(s);
    FakeDesktop kde(1000, 333);
    panel.provider->UseDesktop(&kde);

    // The panel keeps its device's name; its brightness is the service's.
    const auto instance = panel.Query();
    ASSERT_TRUE(instance);
    EXPECT_EQ(Current(instance), "33");
    panel.Write("panel", 60);
    panel.Write("panel", 0);
    EXPECT_EQ(kde.written, (std::vector<int>{600, 10})) << "level 0 is one percent of the range";
    EXPECT_EQ(s.Read("panel", "brightness"), "50\n") << "the device is the service's";

    panel.provider->UseDesktop(nullptr);
    panel.Write("panel", 40);
    EXPECT_EQ(s.Read("panel", "brightness"), "40\n");
    EXPECT_EQ(Current(panel.Query()), "40");

    // Back again; a service without a panel to offer is passed by.
    panel.provider->UseDesktop(&kde);
    panel.Write("panel", 100);
    EXPECT_EQ(kde.written.back(), 1000);
    FakeDesktop noPanel(0);
    panel.provider->UseDesktop(&noPanel);
    EXPECT_FALSE(panel.provider->ThroughDesktop());
    panel.Write("panel", 70);
    EXPECT_EQ(s.Read("panel", "brightness"), "70\n");
    EXPECT_TRUE(noPanel.written.empty());
}

TEST(DevicePanel, TheServicesReportsOfOtherValuesAreChangesMadeElsewhere)
{
    BacklightStandIn s;
    s.AddDevice("panel", "firmware", "100\n", "50\n");
    Panel panel(s);
    FakeDesktop gnome(100, 50);
    panel.provider->UseDesktop(&gnome);
    panel.Query();

    panel.Write("panel", 60);
    gnome.Report(60);
    EXPECT_TRUE(panel.outside.empty()) << "the echo of our own write";
    gnome.Report(25);
    ASSERT_EQ(panel.outside.size(), 1u);
    EXPECT_EQ(panel.outside.at(0).first, "panel");
    EXPECT_EQ(panel.outside.at(0).second, 25);
    EXPECT_TRUE(gnome.written == std::vector<int>{60}) << "nothing is written back";

    // A service no longer used reports nothing through the panel.
    panel.provider->UseDesktop(nullptr);
    gnome.Report(80);
    EXPECT_EQ(panel.outside.size(), 1u);
}

TEST(DevicePanel, KernelChangeEventsOfTheDeviceAreFollowedWithoutTheirEchoes)
{
    BacklightStandIn s;
    s.AddDevice("panel", "firmware", "200\n", "100\n");
    s.AddDevice("other", "raw", "100\n", "10\n");
    Panel panel(s);
    panel.Query();

    // The kernel reports our own write too.
    panel.Write("panel", 40);
    ASSERT_EQ(s.Read("panel", "brightness"), "80\n");
    panel.feed.Feed(BacklightAction::Changed, "panel");
    EXPECT_TRUE(panel.outside.empty());

    // The brightness keys.
    s.Write("panel", "brightness", "150\n");
    panel.feed.Feed(BacklightAction::Changed, "panel");
    ASSERT_EQ(panel.outside.size(), 1u);
    EXPECT_EQ(panel.outside.at(0).second, 75);

    // Another device, or any device while the desktop's service sets the
    // panel (its own signal reports the change), says nothing.
    panel.feed.Feed(BacklightAction::Changed, "other");
    FakeDesktop kde(100);
    panel.provider->UseDesktop(&kde);
    s.Write("panel", "brightness", "20\n");
    panel.feed.Feed(BacklightAction::Changed, "panel");
    EXPECT_EQ(panel.outside.size(), 1u);
}

TEST(DevicePanel, AGoneDeviceIsReportedOnceAndGetsTheLevelBackWhenItReturns)
{
    BacklightStandIn s;
    s.AddDevice("panel", "firmware", "100\n", "50\n");
    Panel panel(s);
    panel.Query();
    panel.Write("panel", 30);

    ASSERT_TRUE(QDir(s.DevicePath("panel")).removeRecursively());
    panel.feed.Feed(BacklightAction::Removed, "panel");
    EXPECT_EQ(ErrorText([&] { panel.Write("panel", 40); }),
              "Cannot read " + s.DevicePath("panel") + "/max_brightness: No such file or directory");
    EXPECT_EQ(ErrorText([&] { panel.Write("panel", 60); }), "<no error>") << "one error per outage";
    EXPECT_EQ(ErrorText([&] { panel.Write("panel", 70); }), "<no error>");

    // Back with another range: the last level, on the new range.
    s.AddDevice("panel", "firmware", "1000\n", "1000\n");
    panel.feed.Feed(BacklightAction::Added, "panel");
    EXPECT_EQ(s.Read("panel", "brightness"), "700\n");
    EXPECT_TRUE(panel.replaced.empty());
    EXPECT_TRUE(panel.outside.empty());

    // A second outage is reported again.
    ASSERT_TRUE(QDir(s.DevicePath("panel")).removeRecursively());
    panel.feed.Feed(BacklightAction::Removed, "panel");
    EXPECT_NE(ErrorText([&] { panel.Write("panel", 40); }), "<no error>");
}

TEST(DevicePanel, AnotherDeviceWhereNoneWasTakesThePanelsPlace)
{
    BacklightStandIn s;
    s.AddDevice("acpi_video0", "firmware", "100\n", "50\n");
    Panel panel(s);
    panel.Query();
    panel.Write("acpi_video0", 80);

    ASSERT_TRUE(QDir(s.DevicePath("acpi_video0")).removeRecursively());
    panel.feed.Feed(BacklightAction::Removed, "acpi_video0");
    s.AddDevice("intel_backlight", "raw", "400\n", "4\n");
    panel.feed.Feed(BacklightAction::Added, "intel_backlight");
    ASSERT_EQ(panel.replaced.size(), 1u);
    EXPECT_EQ(panel.replaced.at(0).first, "acpi_video0");
    EXPECT_EQ(panel.replaced.at(0).second, "intel_backlight");
    EXPECT_EQ(s.Read("intel_backlight", "brightness"), "320\n");
    panel.Write("intel_backlight", 10);
    EXPECT_EQ(s.Read("intel_backlight", "brightness"), "40\n");

    // A better kind appearing beside it is chosen by the usual order.
    s.AddDevice("acpi_video0", "firmware", "100\n", "50\n");
    panel.feed.Feed(BacklightAction::Added, "acpi_video0");
    ASSERT_EQ(panel.replaced.size(), 2u);
    EXPECT_EQ(s.Read("acpi_video0", "brightness"), "10\n");
}

TEST(DevicePanel, WithoutEventsAGoneDeviceIsFoundAgainByTheNextWrite)
{
    // A stand-in folder gets no kernel events: the failing write notices.
    BacklightStandIn s;
    s.AddDevice("panel", "firmware", "100\n", "50\n");
    Panel panel(s);
    panel.Query();
    panel.Write("panel", 30);
    ASSERT_TRUE(QDir(s.DevicePath("panel")).removeRecursively());
    EXPECT_NE(ErrorText([&] { panel.Write("panel", 40); }), "<no error>");
    EXPECT_EQ(ErrorText([&] { panel.Write("panel", 50); }), "<no error>");
    s.AddDevice("panel", "firmware", "100\n", "1\n");
    panel.Write("panel", 60);
    EXPECT_EQ(s.Read("panel", "brightness"), "60\n");

    // A failure of a device still there is not an outage: it keeps failing.
    ASSERT_TRUE(QFile::remove(s.DevicePath("panel") + "/brightness"));
    ASSERT_TRUE(QDir(s.DevicePath("panel")).mkdir("brightness"));
    EXPECT_NE(ErrorText([&] { panel.Write("panel", 40); }), "<no error>");
    EXPECT_NE(ErrorText([&] { panel.Write("panel", 40); }), "<no error>");
}
