#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>

#include <functional>

namespace lumora {

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

    int Level() const;
    int LevelCount() const;
    // Tells the bus that the shown level is now `level`.
    void AnnounceLevel(int level);

public slots:
    void SetLevel(int level);

signals:
    void LevelChanged(int level);

private:
    void Refuse(const QString& errorName, const QString& text);

    QString connectionName_;
    bool registered_ = false;
};

} // namespace lumora
