#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QIcon>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <memory>

class QMenu;

namespace lumora {

class DBusMenuExporter;

// One picture of an icon as StatusNotifierItem hosts take it: (iiay), the
// pixels 32-bit ARGB in network byte order.
struct SniPixmap {
    int Width = 0;
    int Height = 0;
    QByteArray Pixels;
};
using SniPixmapList = QList<SniPixmap>;

// The item's tip: (sa(iiay)ss), icon name, icon pictures, title, text.
struct SniToolTip {
    QString IconName;
    SniPixmapList Pixmaps;
    QString Title;
    QString Description;
};

QDBusArgument& operator<<(QDBusArgument& arg, const SniPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& arg, SniPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& arg, const SniToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& arg, SniToolTip& tip);

// The icon's pictures at the sizes hosts draw (its own sizes, else 16 to 48
// pixels), in the host's pixel order.
SniPixmapList SniPixmaps(const QIcon& icon);

// An org.kde.StatusNotifierItem of our own on the session bus: the tray icon
// on hosts that speak this protocol (Plasma, GNOME's AppIndicator extension,
// waybar and others), with its menu exported over com.canonical.dbusmenu.
// What the host asks for (activation, the context menu, the wheel) is handed
// on through the callbacks, with the position the host gives.
class StatusNotifierItem : public QObject {
    Q_OBJECT
public:
    // `serviceName` is the bus name the item takes and registers under; the
    // item lives at `path`, its menu at `path` + "/Menu".
    StatusNotifierItem(QDBusConnection bus, QString serviceName, QString path = QStringLiteral("/StatusNotifierItem"));
    ~StatusNotifierItem() override;

    // Whether the item's object and name are on the bus.
    bool Published() const { return published_; }
    QString ServiceName() const { return serviceName_; }
    // Tells the watcher about the item (again, after the watcher restarted).
    void Register();

    void SetIcon(const QIcon& icon);
    void SetToolTip(const QString& text);
    void SetMenu(QMenu* menu);

    const QIcon& Icon() const { return icon_; }
    // The icon's pictures as hosts take them, made once per icon: hosts ask
    // for them at every registration and change.
    const SniPixmapList& Pixmaps() const { return pixmaps_; }
    const QString& ToolTipText() const { return toolTip_; }
    QDBusObjectPath MenuPath() const;

    std::function<void(QPoint)> OnActivate;
    std::function<void(QPoint)> OnSecondaryActivate;
    std::function<void(QPoint)> OnContextMenu;
    std::function<void(int delta, Qt::Orientation)> OnScroll;

signals:
    void NewIcon();
    void NewToolTip();
    void NewTitle();
    void NewStatus(const QString& status);

private:
    QDBusConnection bus_;
    QString serviceName_;
    QString path_;
    bool published_ = false;
    QIcon icon_;
    SniPixmapList pixmaps_;
    QString toolTip_;
    QMenu* menuSource_ = nullptr;
    std::unique_ptr<DBusMenuExporter> menu_;
};

// The org.kde.StatusNotifierItem interface of a StatusNotifierItem.
class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ Category)
    Q_PROPERTY(QString Id READ Id)
    Q_PROPERTY(QString Title READ Title)
    Q_PROPERTY(QString Status READ Status)
    Q_PROPERTY(int WindowId READ WindowId)
    Q_PROPERTY(QString IconThemePath READ IconThemePath)
    Q_PROPERTY(QString IconName READ IconName)
    Q_PROPERTY(lumora::SniPixmapList IconPixmap READ IconPixmap)
    Q_PROPERTY(QString OverlayIconName READ OverlayIconName)
    Q_PROPERTY(lumora::SniPixmapList OverlayIconPixmap READ OverlayIconPixmap)
    Q_PROPERTY(QString AttentionIconName READ AttentionIconName)
    Q_PROPERTY(lumora::SniPixmapList AttentionIconPixmap READ AttentionIconPixmap)
    Q_PROPERTY(QString AttentionMovieName READ AttentionMovieName)
    Q_PROPERTY(lumora::SniToolTip ToolTip READ ToolTip)
    Q_PROPERTY(bool ItemIsMenu READ ItemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ Menu)
public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem* item);

    // The item controls a piece of hardware, the screen.
    QString Category() const { return QStringLiteral("Hardware"); }
    QString Id() const;
    QString Title() const;
    QString Status() const { return QStringLiteral("Active"); }
    int WindowId() const { return 0; }
    QString IconThemePath() const { return {}; }
    QString IconName() const { return {}; }
    SniPixmapList IconPixmap() const;
    QString OverlayIconName() const { return {}; }
    SniPixmapList OverlayIconPixmap() const { return {}; }
    QString AttentionIconName() const { return {}; }
    SniPixmapList AttentionIconPixmap() const { return {}; }
    QString AttentionMovieName() const { return {}; }
    SniToolTip ToolTip() const;
    // A left click activates; the menu is for the other button.
    bool ItemIsMenu() const { return false; }
    QDBusObjectPath Menu() const { return item_->MenuPath(); }

public slots:
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    void Scroll(int delta, const QString& orientation);
    // Plasma hands over a Wayland activation token before it activates the
    // item, so the window it brings up may take the focus.
    void ProvideXdgActivationToken(const QString& token);

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);

private:
    StatusNotifierItem* item_;
};

} // namespace lumora

Q_DECLARE_METATYPE(lumora::SniPixmap)
Q_DECLARE_METATYPE(lumora::SniToolTip)
