#include "platform/shell/StatusNotifierItem.h"

#include "platform/framework/Application.h"
#include "platform/shell/ActivationToken.h"
#include "platform/shell/DBusMenuExporter.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <QtEndian>

namespace lumora {

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kWatcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");

void RegisterItemTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<SniPixmap>();
        qDBusRegisterMetaType<SniPixmapList>();
        qDBusRegisterMetaType<SniToolTip>();
        qRegisterMetaType<SniPixmapList>("lumora::SniPixmapList");
        return true;
    }();
    (void)registered;
}
} // namespace

QDBusArgument& operator<<(QDBusArgument& arg, const SniPixmap& pixmap)
{
    arg.beginStructure();
    arg << pixmap.Width << pixmap.Height << pixmap.Pixels;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, SniPixmap& pixmap)
{
    arg.beginStructure();
    arg >> pixmap.Width >> pixmap.Height >> pixmap.Pixels;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const SniToolTip& tip)
{
    arg.beginStructure();
    arg << tip.IconName << tip.Pixmaps << tip.Title << tip.Description;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, SniToolTip& tip)
{
    arg.beginStructure();
    arg >> tip.IconName >> tip.Pixmaps >> tip.Title >> tip.Description;
    arg.endStructure();
    return arg;
}

SniPixmapList SniPixmaps(const QIcon& icon)
{
    SniPixmapList list;
    if (icon.isNull())
        return list;
    QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty())
        sizes = {QSize(16, 16), QSize(22, 22), QSize(32, 32), QSize(48, 48)};
    for (const QSize& size : sizes) {
        const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        if (image.isNull())
            continue;
        SniPixmap pixmap{image.width(), image.height(), {}};
        pixmap.Pixels.resize(qsizetype(image.width()) * image.height() * 4);
        uchar* out = reinterpret_cast<uchar*>(pixmap.Pixels.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x, out += 4)
                qToBigEndian<quint32>(row[x], out);
        }
        list.append(pixmap);
    }
    return list;
}

// ---------------------------------------------------------------- item

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, QString serviceName, QString path)
    : bus_(std::move(bus)), serviceName_(std::move(serviceName)), path_(std::move(path))
{
    RegisterItemTypes();
    new StatusNotifierItemAdaptor(this);
    published_ = bus_.registerObject(path_, this, QDBusConnection::ExportAdaptors) &&
                 bus_.registerService(serviceName_);
}

StatusNotifierItem::~StatusNotifierItem()
{
    menu_.reset();
    // The watcher forgets the item when its name goes.
    bus_.unregisterService(serviceName_);
    bus_.unregisterObject(path_);
}

void StatusNotifierItem::Register()
{
    if (!published_)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath, kWatcherInterface,
                                                       QStringLiteral("RegisterStatusNotifierItem"));
    call << serviceName_;
    // Nothing waits on the answer: a watcher that does not answer only
    // leaves the icon unseen.
    bus_.asyncCall(call);
}

void StatusNotifierItem::SetIcon(const QIcon& icon)
{
    if (icon.cacheKey() == icon_.cacheKey())
        return;
    icon_ = icon;
    pixmaps_ = SniPixmaps(icon_);
    emit NewIcon();
}

void StatusNotifierItem::SetToolTip(const QString& text)
{
    if (text == toolTip_)
        return;
    toolTip_ = text;
    emit NewToolTip();
}

void StatusNotifierItem::SetMenu(QMenu* menu)
{
    if (menu == menuSource_ && (menu_ || !menu))
        return;
    menuSource_ = menu;
    menu_.reset();
    if (menu)
        menu_ = std::make_unique<DBusMenuExporter>(bus_, path_ + QStringLiteral("/Menu"), menu);
}

QDBusObjectPath StatusNotifierItem::MenuPath() const
{
    // The protocol's word for "no menu".
    return QDBusObjectPath(menu_ && menu_->Exported() ? menu_->Path() : QStringLiteral("/NO_DBUSMENU"));
}

// ---------------------------------------------------------------- adaptor

StatusNotifierItemAdaptor::StatusNotifierItemAdaptor(StatusNotifierItem* item)
    : QDBusAbstractAdaptor(item), item_(item)
{
    setAutoRelaySignals(false);
    connect(item, &StatusNotifierItem::NewIcon, this, &StatusNotifierItemAdaptor::NewIcon);
    connect(item, &StatusNotifierItem::NewToolTip, this, &StatusNotifierItemAdaptor::NewToolTip);
    connect(item, &StatusNotifierItem::NewTitle, this, &StatusNotifierItemAdaptor::NewTitle);
    connect(item, &StatusNotifierItem::NewStatus, this, &StatusNotifierItemAdaptor::NewStatus);
}

QString StatusNotifierItemAdaptor::Id() const { return QCoreApplication::applicationName(); }

QString StatusNotifierItemAdaptor::Title() const
{
    // Hosts show the title where they list hidden items and read it out as
    // the icon's name: the program's title, as its message boxes carry it.
    if (const TApplication* app = Application(); app && !app->Title().isEmpty())
        return app->Title();
    return QGuiApplication::applicationDisplayName();
}

SniPixmapList StatusNotifierItemAdaptor::IconPixmap() const { return item_->Pixmaps(); }

SniToolTip StatusNotifierItemAdaptor::ToolTip() const
{
    SniToolTip tip;
    tip.Title = item_->ToolTipText();
    return tip;
}

// The host's requests are carried out once its call has been answered, so a
// window or menu that opens never holds the host up.
void StatusNotifierItemAdaptor::Activate(int x, int y)
{
    QTimer::singleShot(0, item_, [item = item_, x, y] {
        if (item->OnActivate)
            item->OnActivate(QPoint(x, y));
    });
}

void StatusNotifierItemAdaptor::SecondaryActivate(int x, int y)
{
    QTimer::singleShot(0, item_, [item = item_, x, y] {
        if (item->OnSecondaryActivate)
            item->OnSecondaryActivate(QPoint(x, y));
    });
}

void StatusNotifierItemAdaptor::ContextMenu(int x, int y)
{
    QTimer::singleShot(0, item_, [item = item_, x, y] {
        if (item->OnContextMenu)
            item->OnContextMenu(QPoint(x, y));
    });
}

void StatusNotifierItemAdaptor::Scroll(int delta, const QString& orientation)
{
    const Qt::Orientation o =
        orientation.compare(QLatin1String("horizontal"), Qt::CaseInsensitive) == 0 ? Qt::Horizontal : Qt::Vertical;
    QTimer::singleShot(0, item_, [item = item_, delta, o] {
        if (item->OnScroll)
            item->OnScroll(delta, o);
    });
}

} // namespace lumora

namespace lumora {

void StatusNotifierItemAdaptor::ProvideXdgActivationToken(const QString& token)
{
    const QByteArray bytes = token.toUtf8();
    if (IsActivationToken(bytes))
        UseActivationToken(bytes);
}

} // namespace lumora
