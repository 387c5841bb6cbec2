// The tray icon of StatusNotifierItem hosts on a bus of its own: the item and
// its exported menu as a host calls them, and the host side registering with
// a watcher (the dbusmock watcher the whole-program tests use).

#include "platform/shell/DBusMenuExporter.h"
#include "platform/shell/DesktopTrayHost.h"
#include "platform/shell/StatusNotifierHost.h"
#include "platform/shell/StatusNotifierItem.h"
#include "support/EventLoop.h"

#include <QAction>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusReply>
#include <QMenu>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>

using namespace lumora;
using lumora::testing::PumpUntil;

namespace {

const QString kWatcher = "org.kde.StatusNotifierWatcher";

// Every signal of one interface that reaches the client.
class SignalLog : public QObject {
    Q_OBJECT
public:
    QList<QDBusMessage> messages;
public slots:
    void Received(const QDBusMessage& message) { messages.append(message); }
};

// A dbus-daemon of the test's own, the program's connection to it and a
// host's, and the watcher when asked for.
class PrivateBus : public ::testing::Test {
protected:
    void SetUp() override
    {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        ASSERT_TRUE(daemon_.waitForStarted(5000) && daemon_.waitForReadyRead(5000));
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        program_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address_, "sni-program"));
        host_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address_, "sni-host"));
        ASSERT_TRUE(program_->isConnected() && host_->isConnected());
    }
    void TearDown() override
    {
        StopWatcher();
        program_.reset();
        host_.reset();
        QDBusConnection::disconnectFromBus("sni-program");
        QDBusConnection::disconnectFromBus("sni-host");
        daemon_.terminate();
        daemon_.waitForFinished(3000);
    }

    bool StartWatcher()
    {
        watcher_ = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", address_);
        watcher_->setProcessEnvironment(env);
        watcher_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        watcher_->start("/usr/bin/python3", {"-m", "dbusmock", "--session", "--template",
                                             LUMORA_SOURCE_DIR "/tests/e2e/sni_watcher_mock.py"});
        return PumpUntil([&] { return host_->interface()->isServiceRegistered(kWatcher).value(); }, 15000);
    }
    void StopWatcher()
    {
        if (!watcher_)
            return;
        watcher_->terminate();
        watcher_->waitForFinished(3000);
        watcher_.reset();
        PumpUntil([&] { return !host_->interface()->isServiceRegistered(kWatcher).value(); }, 5000);
    }

    // A host's call, answered while the program's side runs its event loop.
    QDBusMessage Call(const QString& service, const QString& path, const QString& interface, const QString& method,
                      const QVariantList& args = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(args);
        QDBusPendingCall pending = host_->asyncCall(message, 5000);
        PumpUntil([&] { return pending.isFinished(); });
        return pending.reply();
    }
    QVariant Property(const QString& service, const QString& path, const QString& interface, const QString& name)
    {
        const QDBusMessage reply = Call(service, path, "org.freedesktop.DBus.Properties", "Get", {interface, name});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    QString ProgramName() const { return program_->baseService(); }

    QStringList RegisteredItems()
    {
        return qdbus_cast<QStringList>(Property(kWatcher, "/StatusNotifierWatcher", kWatcher, "RegisteredStatusNotifierItems"));
    }

    QProcess daemon_;
    QString address_;
    std::unique_ptr<QDBusConnection> program_;
    std::unique_ptr<QDBusConnection> host_;
    std::unique_ptr<QProcess> watcher_;
};

using DBusMenuExporterTest = PrivateBus;
using StatusNotifierHostTest = PrivateBus;

QStringList Labels(const DBusMenuNode& node)
{
    QStringList out;
    for (const DBusMenuNode& c : node.Children)
        out << c.Properties.value("label", "-").toString();
    return out;
}

} // namespace

TEST_F(DBusMenuExporterTest, HostReadsTheMenuAndItsClickRunsTheCommand)
{
    QMenu menu;
    int maxRuns = 0;
    QAction* max = menu.addAction("Max Brightness");
    QObject::connect(max, &QAction::triggered, [&] { ++maxRuns; });
    menu.addSeparator();
    QAction* off = menu.addAction("Turn Off Monitor");
    off->setEnabled(false);
    int offRuns = 0;
    QObject::connect(off, &QAction::triggered, [&] { ++offRuns; });
    DBusMenuExporter exporter(*program_, "/Menu", &menu);
    ASSERT_TRUE(exporter.Exported());

    EXPECT_EQ(Property(ProgramName(), "/Menu", "com.canonical.dbusmenu", "Version").toUInt(), 3u);
    const QDBusMessage reply = Call(ProgramName(), "/Menu", "com.canonical.dbusmenu", "GetLayout",
                                    {0, -1, QStringList{}});
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    ASSERT_EQ(reply.signature(), "u(ia{sv}av)");
    const DBusMenuNode root = qdbus_cast<DBusMenuNode>(reply.arguments().value(1));
    EXPECT_EQ(Labels(root).join('|'), "Max Brightness|-|Turn Off Monitor");
    EXPECT_EQ(root.Children[2].Properties.value("enabled"), QVariant(false));

    const QVariant noData = QVariant::fromValue(QDBusVariant(0));
    Call(ProgramName(), "/Menu", "com.canonical.dbusmenu", "Event",
         {root.Children[0].Id, QString("clicked"), noData, 0u});
    EXPECT_TRUE(PumpUntil([&] { return maxRuns == 1; }));
    Call(ProgramName(), "/Menu", "com.canonical.dbusmenu", "Event",
         {root.Children[2].Id, QString("clicked"), noData, 0u});
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(offRuns, 0) << "a greyed entry does nothing";

    const QDBusMessage properties = Call(ProgramName(), "/Menu", "com.canonical.dbusmenu", "GetGroupProperties",
                                         {QVariant::fromValue(QList<int>{root.Children[0].Id}), QStringList{"label"}});
    const auto items = qdbus_cast<DBusMenuItemPropertiesList>(properties.arguments().value(0));
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0].Properties.value("label").toString(), "Max Brightness");
}

TEST_F(DBusMenuExporterTest, ChangesToTheMenuAreAnnouncedOnce)
{
    QMenu menu;
    QAction* restore = menu.addAction("Restore Brightness");
    DBusMenuExporter exporter(*program_, "/Menu", &menu);
    SignalLog log;
    ASSERT_TRUE(host_->connect(ProgramName(), "/Menu", "com.canonical.dbusmenu", "LayoutUpdated", &log,
                               SLOT(Received(QDBusMessage))));
    ASSERT_TRUE(host_->connect(ProgramName(), "/Menu", "com.canonical.dbusmenu", "ItemsPropertiesUpdated", &log,
                               SLOT(Received(QDBusMessage))));
    // The host has seen the menu.
    const QDBusMessage first = Call(ProgramName(), "/Menu", "com.canonical.dbusmenu", "GetLayout", {0, -1, QStringList{}});
    const uint revision = first.arguments().value(0).toUInt();

    // An entry greyed: its properties are announced.
    restore->setEnabled(false);
    ASSERT_TRUE(PumpUntil([&] { return !log.messages.isEmpty(); }));
    ASSERT_EQ(log.messages[0].member(), "ItemsPropertiesUpdated");
    const auto updated = qdbus_cast<DBusMenuItemPropertiesList>(log.messages[0].arguments().value(0));
    ASSERT_EQ(updated.size(), 1);
    EXPECT_EQ(updated[0].Properties.value("enabled"), QVariant(false));

    // A submenu of three entries built at once: one layout announcement with
    // a new revision.
    log.messages.clear();
    QMenu* monitors = menu.addMenu("Monitor");
    monitors->addAction("A");
    monitors->addAction("B");
    ASSERT_TRUE(PumpUntil([&] { return !log.messages.isEmpty(); }));
    PumpUntil([] { return false; }, 100);
    ASSERT_EQ(log.messages.size(), 1);
    EXPECT_EQ(log.messages[0].member(), "LayoutUpdated");
    EXPECT_GT(log.messages[0].arguments().value(0).toUInt(), revision);
    const QDBusMessage after = Call(ProgramName(), "/Menu", "com.canonical.dbusmenu", "GetLayout", {0, -1, QStringList{}});
    const DBusMenuNode root = qdbus_cast<DBusMenuNode>(after.arguments().value(1));
    ASSERT_EQ(root.Children.size(), 2u);
    EXPECT_EQ(Labels(root.Children[1]).join('|'), "A|B");

    // Entries of the submenu added later are seen too.
    log.messages.clear();
    monitors->addAction("C");
    EXPECT_TRUE(PumpUntil([&] { return !log.messages.isEmpty(); }));
}

TEST_F(StatusNotifierHostTest, IconRegistersAndTheHostsRequestsBecomeNotifications)
{
    ASSERT_TRUE(StartWatcher());
    StatusNotifierHost host(*program_);
    EXPECT_TRUE(host.AreaAvailable());
    struct Note {
        unsigned n;
        QPoint pos;
    };
    std::vector<Note> notes;
    std::vector<int> wheel;
    int areaCreated = 0;
    host.OnNotification = [&](quintptr id, unsigned n, QPoint pos) {
        EXPECT_EQ(id, 7u);
        notes.push_back({n, pos});
    };
    host.OnWheel = [&](quintptr, int steps) { wheel.push_back(steps); };
    host.OnAreaCreated = [&] { ++areaCreated; };

    QMenu menu;
    menu.addAction("Show Window");
    NotifyIconData data;
    data.id = 7;
    data.icon = QIcon(QPixmap(16, 16));
    data.tip = "Adjust Monitor Brightness";
    data.menu = &menu;
    ASSERT_TRUE(host.Notify(nimAdd, data));
    const QString item = StatusNotifierHost::ItemServiceName(1);
    ASSERT_TRUE(PumpUntil([&] { return RegisteredItems().contains(item); })) << RegisteredItems().join(',').toStdString();

    const QString iface = "org.kde.StatusNotifierItem";
    EXPECT_EQ(Property(item, "/StatusNotifierItem", iface, "Menu").value<QDBusObjectPath>().path(),
              "/StatusNotifierItem/Menu");
    const SniToolTip tip = qdbus_cast<SniToolTip>(Property(item, "/StatusNotifierItem", iface, "ToolTip"));
    EXPECT_EQ(tip.Title, "Adjust Monitor Brightness");
    const auto pixmaps = qdbus_cast<SniPixmapList>(Property(item, "/StatusNotifierItem", iface, "IconPixmap"));
    ASSERT_FALSE(pixmaps.isEmpty());
    EXPECT_EQ(pixmaps[0].Pixels.size(), pixmaps[0].Width * pixmaps[0].Height * 4);

    Call(item, "/StatusNotifierItem", iface, "Activate", {3, 4});
    Call(item, "/StatusNotifierItem", iface, "ContextMenu", {50, 60});
    Call(item, "/StatusNotifierItem", iface, "SecondaryActivate", {1, 1});
    Call(item, "/StatusNotifierItem", iface, "Scroll", {240, QString("vertical")});
    Call(item, "/StatusNotifierItem", iface, "Scroll", {-1, QString("vertical")});
    Call(item, "/StatusNotifierItem", iface, "Scroll", {3, QString("horizontal")});
    ASSERT_TRUE(PumpUntil([&] { return notes.size() >= 5 && wheel.size() >= 2; }));
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(notes[0].n, unsigned(tnActivate));
    EXPECT_EQ(notes[0].pos, QPoint(3, 4));
    EXPECT_EQ(notes[1].n, unsigned(tnRightDown));
    EXPECT_EQ(notes[1].pos, QPoint(50, 60)) << "the menu goes where the host says";
    EXPECT_EQ(notes[2].n, unsigned(tnRightUp));
    EXPECT_EQ(notes[3].n, unsigned(tnMiddleDown));
    EXPECT_EQ(wheel, (std::vector<int>{2, -1})) << "horizontal scrolling is not the level's";

    // The host's panel restarts: the icon registers again.
    StopWatcher();
    EXPECT_TRUE(PumpUntil([&] { return !host.AreaAvailable(); }));
    ASSERT_TRUE(StartWatcher());
    EXPECT_TRUE(PumpUntil([&] { return RegisteredItems().contains(item); }));
    EXPECT_EQ(areaCreated, 1);
    EXPECT_TRUE(host.AreaAvailable());

    // Hidden, the icon leaves the bus.
    EXPECT_TRUE(host.Notify(nimDelete, data));
    EXPECT_TRUE(PumpUntil([&] { return !host_->interface()->isServiceRegistered(item).value(); }));
}

TEST_F(StatusNotifierHostTest, IconsMoveToAWatcherThatComesAfterThem)
{
    // At login the panel may come up after the program: the icon starts in
    // the X11 notification area (none here) and moves when the watcher comes.
    DesktopTrayHost host(*program_);
    EXPECT_FALSE(host.UsesStatusNotifierItems());
    int areaCreated = 0;
    host.OnAreaCreated = [&] { ++areaCreated; };
    QMenu menu;
    menu.addAction("Exit");
    NotifyIconData data;
    data.id = 3;
    data.icon = QIcon(QPixmap(16, 16));
    data.tip = "Adjust Monitor Brightness";
    data.menu = &menu;
    host.Notify(nimAdd, data);
    data.tip = "Changed tip";
    host.Notify(nimModify, data);

    ASSERT_TRUE(StartWatcher());
    ASSERT_TRUE(PumpUntil([&] { return host.UsesStatusNotifierItems(); }));
    const QString item = StatusNotifierHost::ItemServiceName(1);
    EXPECT_TRUE(PumpUntil([&] { return RegisteredItems().contains(item); }));
    EXPECT_EQ(areaCreated, 1);
    EXPECT_TRUE(host.AreaAvailable());
    const SniToolTip tip =
        qdbus_cast<SniToolTip>(Property(item, "/StatusNotifierItem", "org.kde.StatusNotifierItem", "ToolTip"));
    EXPECT_EQ(tip.Title, "Changed tip") << "the icon as it last was";

    int activations = 0;
    host.OnNotification = [&](quintptr id, unsigned n, QPoint) { activations += id == 3 && n == tnActivate; };
    Call(item, "/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate", {0, 0});
    EXPECT_TRUE(PumpUntil([&] { return activations == 1; }));
}

TEST_F(StatusNotifierHostTest, IconsGoBackToTheSystemTrayWhenTheWatcherStaysAway)
{
    // The panel with the StatusNotifierItem host is turned off: after the
    // grace the icon leaves the bus for Qt's tray icon, and comes back to the
    // next watcher.
    ASSERT_TRUE(StartWatcher());
    DesktopTrayHost host(*program_, std::chrono::milliseconds(300));
    ASSERT_TRUE(host.UsesStatusNotifierItems());
    int areaCreated = 0;
    host.OnAreaCreated = [&] { ++areaCreated; };
    NotifyIconData data;
    data.id = 5;
    data.icon = QIcon(QPixmap(16, 16));
    data.tip = "Adjust Monitor Brightness";
    host.Notify(nimAdd, data);
    const QString first = StatusNotifierHost::ItemServiceName(1);
    ASSERT_TRUE(PumpUntil([&] { return RegisteredItems().contains(first); }));

    StopWatcher();
    ASSERT_TRUE(PumpUntil([&] { return !host.UsesStatusNotifierItems(); }, 5000));
    EXPECT_FALSE(program_->interface()->isServiceRegistered(first).value()) << "no item left on the bus";
    EXPECT_EQ(areaCreated, 1);
    data.tip = "Changed tip";
    EXPECT_TRUE(host.Notify(nimModify, data)) << "the icon is in the X11 area now";

    ASSERT_TRUE(StartWatcher());
    ASSERT_TRUE(PumpUntil([&] { return host.UsesStatusNotifierItems(); }));
    const QString second = StatusNotifierHost::ItemServiceName(1); // a new item, the old one's name
    EXPECT_TRUE(PumpUntil([&] { return RegisteredItems().contains(second); }));
    const SniToolTip tip =
        qdbus_cast<SniToolTip>(Property(second, "/StatusNotifierItem", "org.kde.StatusNotifierItem", "ToolTip"));
    EXPECT_EQ(tip.Title, "Changed tip") << "the icon as it last was";
    EXPECT_EQ(areaCreated, 2);

    host.Notify(nimDelete, data);
    EXPECT_TRUE(PumpUntil([&] { return !program_->interface()->isServiceRegistered(second).value(); }));
}

TEST_F(StatusNotifierHostTest, AWatcherBackWithinTheGraceKeepsTheIcons)
{
    // A panel restarting: its watcher leaves and comes back; the item stays
    // on the bus and registers with the new watcher.
    ASSERT_TRUE(StartWatcher());
    DesktopTrayHost host(*program_, std::chrono::milliseconds(20000));
    NotifyIconData data;
    data.id = 6;
    data.icon = QIcon(QPixmap(16, 16));
    host.Notify(nimAdd, data);
    const QString item = StatusNotifierHost::ItemServiceName(1);
    ASSERT_TRUE(PumpUntil([&] { return RegisteredItems().contains(item); }));

    StopWatcher();
    ASSERT_TRUE(StartWatcher());
    EXPECT_TRUE(PumpUntil([&] { return RegisteredItems().contains(item); }));
    EXPECT_TRUE(host.UsesStatusNotifierItems());
    EXPECT_TRUE(program_->interface()->isServiceRegistered(item).value());
}

TEST(SniPixmaps, PixelsTravelAsArgbInNetworkOrder)
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0x11, 0x22, 0x33, 0xFF));
    image.setPixel(1, 0, qRgba(0, 0, 0, 0));
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image));
    const SniPixmapList list = SniPixmaps(icon);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].Width, 2);
    EXPECT_EQ(list[0].Pixels.toHex(), QByteArray("ff11223300000000"));
    EXPECT_TRUE(SniPixmaps(QIcon()).isEmpty());
}

#include "StatusNotifierBus_test.moc"
