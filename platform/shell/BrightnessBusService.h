#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

#include <functional>

namespace lumora {

// One monitor as the bus lists it: (id, name, level, answering), "(ssib)".
// The level is the level index the monitor shows through its range; -1 when
// its brightness is not known.
struct BusMonitor {
    QString Id;
    QString Name;
    int Level = -1;
    bool Answering = false;
    friend bool operator==(const BusMonitor&, const BusMonitor&) = default;
};
using BusMonitorList = QList<BusMonitor>;

QDBusArgument& operator<<(QDBusArgument& argument, const BusMonitor& monitor);
const QDBusArgument& operator>>(const QDBusArgument& argument, BusMonitor& monitor);
// Makes the list known to the bus layer; called before the first use.
void RegisterBusMonitorTypes();

// The program's own interface on the session bus, for scripts and desktop
// shortcuts: the running copy's level, its number of levels, a way to set
// one, and a signal when the shown level changes.
namespace brightnessbus {
inline constexpr char kService[] = "org.kestrelo.LumoraBrightness";
inline constexpr char kPath[] = "/org/kestrelo/LumoraBrightness";
inline constexpr char kInterface[] = "org.kestrelo.LumoraBrightness";
} // namespace brightnessbus

// The first copy's object on the bus. The window is reached through the
// callbacks, so this knows nothing of it.
//   property Level (i): the current level index
//   property LevelCount (i)
//   method SetLevel(i): sets a level as the user's choice would; an index
//     outside 0 .. LevelCount - 1 gives org.freedesktop.DBus.Error.InvalidArgs
//   signal LevelChanged(i), with PropertiesChanged for Level beside it
//   method Monitors() -> a(ssib): every monitor, as BusMonitor says
//   method SetMonitorLevel(s id, i level): that monitor alone to a level
//     index, through its range; an unknown monitor or a level outside the
//     levels gives InvalidArgs
class BrightnessBusService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kestrelo.LumoraBrightness")
    Q_PROPERTY(int Level READ Level)
    Q_PROPERTY(int LevelCount READ LevelCount)
public:
    BrightnessBusService();
    ~BrightnessBusService() override;

    // Puts the object and the name on the bus. False, with nothing left
    // there, when there is no bus or the name is taken (another copy, started
    // from another executable, has it); a taken name is said on stderr.
    bool Register(QDBusConnection bus = QDBusConnection::sessionBus());
    bool Registered() const { return registered_; }

    std::function<int()> LevelSource;
    std::function<int()> LevelCountSource;
    // Raises with the program's text when the level cannot be set; the
    // caller gets it as the error's message.
    std::function<void(int level)> OnSetLevel;
    std::function<BusMonitorList()> MonitorsSource;
    // Raises with the program's text when the monitor cannot be set.
    std::function<void(const QString& id, int level)> OnSetMonitorLevel;

    int Level() const;
    int LevelCount() const;
    // Tells the bus that the shown level is now `level`.
    void AnnounceLevel(int level);

public slots:
    void SetLevel(int level);
    BusMonitorList Monitors();
    void SetMonitorLevel(const QString& id, int level);

signals:
    void LevelChanged(int level);

private:
    void Refuse(const QString& errorName, const QString& text);

    QString connectionName_;
    bool registered_ = false;
};

} // namespace lumora

Q_DECLARE_METATYPE(lumora::BusMonitor)
Q_DECLARE_METATYPE(lumora::BusMonitorList)
